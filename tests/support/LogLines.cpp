#include "LogLines.h"

#include "platform/Log.h"

#include <QMutex>

namespace {
QMutex s_mutex;
QStringList s_lines;
QtMessageHandler s_previous = nullptr;
bool s_wasEnabled = false;

void capture(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (context.category && QByteArray(context.category) == lcPollix().categoryName()) {
        QMutexLocker lock(&s_mutex);
        s_lines << text;
        return;
    }
    if (s_previous)
        s_previous(type, context, text);
}
} // namespace

LogLines::LogLines()
{
    QMutexLocker lock(&s_mutex);
    s_lines.clear();
    s_wasEnabled = lcPollix().isInfoEnabled();
    const_cast<QLoggingCategory &>(lcPollix()).setEnabled(QtInfoMsg, true);
    s_previous = qInstallMessageHandler(capture);
}

LogLines::~LogLines()
{
    qInstallMessageHandler(s_previous);
    QMutexLocker lock(&s_mutex);
    const_cast<QLoggingCategory &>(lcPollix()).setEnabled(QtInfoMsg, s_wasEnabled);
    s_previous = nullptr;
}

QStringList LogLines::lines() const
{
    QMutexLocker lock(&s_mutex);
    return s_lines;
}

QStringList LogLines::containing(const QString &text) const
{
    return lines().filter(text);
}
