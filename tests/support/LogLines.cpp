#include "LogLines.h"

#include "platform/Log.h"

#include <QMutex>

namespace {
QMutex s_mutex;
QStringList s_lines, s_frameLines;
QtMessageHandler s_previous = nullptr;
bool s_wasEnabled = false;

void capture(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    const QByteArray category(context.category ? context.category : "");
    if (category == lcPollix().categoryName() || category == lcPollixFrames().categoryName()) {
        QMutexLocker lock(&s_mutex);
        (category == lcPollix().categoryName() ? s_lines : s_frameLines) << text;
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
    s_frameLines.clear();
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

QStringList LogLines::frameLines() const
{
    QMutexLocker lock(&s_mutex);
    return s_frameLines;
}
