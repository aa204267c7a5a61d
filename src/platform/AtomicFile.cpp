#include "AtomicFile.h"

#include "Log.h"

#include <QSaveFile>

#include <mutex>

namespace {
std::mutex g_hookMutex;
std::function<bool(const QString &)> g_failureHook;

bool injectedFailure(const QString &path)
{
    std::lock_guard lock(g_hookMutex);
    return g_failureHook && g_failureHook(path);
}
} // namespace

namespace AtomicFile {

bool write(const QString &path, const QByteArray &data, QString *errorText)
{
    auto fail = [&](const QString &why) {
        if (errorText)
            *errorText = why;
        PollixLog(QStringLiteral("Failed to write %1: %2").arg(path, why));
        return false;
    };
    if (path.isEmpty())
        return fail(QStringLiteral("empty path"));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    if (file.write(data) != data.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(why);
    }
    if (injectedFailure(path)) {
        file.cancelWriting();
        return fail(QStringLiteral("write interrupted"));
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

void setFailureHook(std::function<bool(const QString &)> hook)
{
    std::lock_guard lock(g_hookMutex);
    g_failureHook = std::move(hook);
}

} // namespace AtomicFile
