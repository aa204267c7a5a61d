#include "ProcessStart.h"

#include <QByteArray>
#include <QFile>
#include <QList>

namespace {
// The kernel's own files: small, and sized 0 by the file system, so read as a stream.
QByteArray procFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.read(4096);
}
} // namespace

namespace ProcessStart {

QString of(qint64 pid)
{
    if (pid <= 0)
        return QString();
    // The program's name, in parentheses, may itself hold blanks and parentheses: the fields
    // are counted from the last ")". The start time is the stat file's 22nd field.
    const QByteArray stat = procFile(QStringLiteral("/proc/%1/stat").arg(pid));
    const qsizetype close = stat.lastIndexOf(')');
    if (close < 0)
        return QString();
    const QList<QByteArray> fields = stat.mid(close + 1).simplified().split(' ');
    constexpr int kStartAfterName = 22 - 3;
    if (fields.size() <= kStartAfterName)
        return QString();
    bool ok = false;
    const qulonglong ticks = fields.at(kStartAfterName).toULongLong(&ok);
    const QByteArray boot = procFile(QStringLiteral("/proc/sys/kernel/random/boot_id")).trimmed();
    if (!ok || boot.isEmpty())
        return QString();
    return QString::fromLatin1(boot) + QLatin1Char('/') + QString::number(ticks);
}

bool stillRuns(qint64 pid, const QString &start)
{
    return !start.isEmpty() && of(pid) == start;
}

} // namespace ProcessStart
