#include "AtomicFile.h"

#include "Log.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <mutex>

#include <unistd.h>

namespace {
std::mutex g_hookMutex;
std::function<bool(const QString &)> g_failureHook;

bool injectedFailure(const QString &path)
{
    std::lock_guard lock(g_hookMutex);
    return g_failureHook && g_failureHook(path);
}
// Why the temporary file could not be made, in the system's words: a read-only disk or a
// folder without permission says so, where Qt's own text would only call the file not writable.
QString openFailureReason(const QString &path, const QString &qtText)
{
    const QFileInfo target(path);
    const QByteArray folder = QFile::encodeName(target.absolutePath());
    if (!QFileInfo::exists(target.absolutePath()))
        return qtText;
    if (::access(folder.constData(), W_OK | X_OK) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    if (target.exists() && ::access(QFile::encodeName(path).constData(), W_OK) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    return qtText;
}
} // namespace

namespace AtomicFile {

bool write(const QString &path, const QByteArray &data, QString *errorText, Failure *failure)
{
    auto fail = [&](Failure step, const QString &why) {
        if (errorText)
            *errorText = why;
        if (failure)
            *failure = step;
        PollixLog(QStringLiteral("Failed to write %1: %2").arg(path, why));
        return false;
    };
    if (failure)
        *failure = Failure::None;
    if (path.isEmpty())
        return fail(Failure::Open, QStringLiteral("empty path"));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(Failure::Open, openFailureReason(path, file.errorString()));
    if (file.write(data) != data.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(Failure::Write, why);
    }
    // A short file stays in the device's buffer until the flush. commit() flushes it too, but
    // (Qt 6.4) does not report a flush that failed: on a full disk it would put an empty or cut
    // file in place of the old one and answer true. So flush here and look at the answer.
    const bool flushed = file.flush() && file.error() == QFileDevice::NoError;
    if (!flushed || injectedFailure(path)) {
        const QString why = flushed ? QStringLiteral("write interrupted") : file.errorString();
        file.cancelWriting();
        return fail(Failure::Write, why);
    }
    if (!file.commit())
        return fail(Failure::Commit, file.errorString());
    return true;
}

bool failureHookFails(const QString &path)
{
    return injectedFailure(path);
}

void setFailureHook(std::function<bool(const QString &)> hook)
{
    std::lock_guard lock(g_hookMutex);
    g_failureHook = std::move(hook);
}

} // namespace AtomicFile
