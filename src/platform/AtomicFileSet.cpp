#include "AtomicFileSet.h"

#include "AtomicFile.h"
#include "Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <mutex>

#include <stdio.h>
#include <unistd.h>

namespace {
std::mutex g_hookMutex;
std::function<bool(const QString &)> g_moveFailureHook;

bool injectedMoveFailure(const QString &path)
{
    std::lock_guard lock(g_hookMutex);
    return g_moveFailureHook && g_moveFailureHook(path);
}

// A name beside the target that no store lists (the stores list ".xml" files only).
QString sideName(const QString &path, const char *kind)
{
    return QStringLiteral("%1.%2-%3").arg(path, QLatin1String(kind)).arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
}

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// One file of the change and where it stands.
struct Entry
{
    QString target;
    QString staged; // the new bytes, written whole
    QString backup; // a second name of the old file; empty when there was none
    bool moved = false;
};

void removeQuietly(const QString &path)
{
    if (!path.isEmpty())
        ::unlink(native(path).constData());
}
} // namespace

void AtomicFileSet::add(const QString &path, const QByteArray &data)
{
    for (auto &file : m_files) {
        if (file.first == path) {
            file.second = data;
            return;
        }
    }
    m_files.append({path, data});
}

QStringList AtomicFileSet::paths() const
{
    QStringList out;
    for (const auto &file : m_files)
        out << file.first;
    return out;
}

std::optional<QByteArray> AtomicFileSet::dataFor(const QString &path) const
{
    for (const auto &file : m_files)
        if (file.first == path)
            return file.second;
    return std::nullopt;
}

bool AtomicFileSet::commit(QString *errorText)
{
    QList<Entry> entries;
    m_failedPath.clear();
    auto fail = [&](const QString &path, const QString &why) {
        m_failedPath = path;
        if (errorText)
            *errorText = QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), why);
        PollixLog(QStringLiteral("Failed to write %1 with the files changed together: %2").arg(path, why));
        // Put back what was moved, newest first, then clear away every side file.
        for (qsizetype i = entries.size() - 1; i >= 0; --i) {
            const Entry &e = entries.at(i);
            if (!e.moved)
                continue;
            if (e.backup.isEmpty())
                removeQuietly(e.target);
            else if (::rename(native(e.backup).constData(), native(e.target).constData()) != 0)
                PollixLog(QStringLiteral("Could not put back %1: %2").arg(e.target, systemError()));
        }
        for (const Entry &e : entries) {
            removeQuietly(e.staged);
            if (!e.moved)
                removeQuietly(e.backup);
        }
        return false;
    };

    // 1. Every new file whole on the disk beside its target; no target touched yet.
    for (const auto &[path, data] : m_files) {
        const QString folder = QFileInfo(path).absolutePath();
        if (!QFileInfo::exists(folder))
            QDir().mkpath(folder);
        Entry e;
        e.target = path;
        e.staged = sideName(path, "new");
        QString why;
        // A write the test hook fails fails as the target's own write would.
        if (AtomicFile::failureHookFails(path))
            return fail(path, QStringLiteral("write interrupted"));
        if (!AtomicFile::write(e.staged, data, &why))
            return fail(path, why);
        entries.append(e);
    }
    // 2. A second name for each old file, so that it outlives its replacement until the end.
    for (Entry &e : entries) {
        if (!QFileInfo::exists(e.target))
            continue;
        e.backup = sideName(e.target, "old");
        if (::link(native(e.target).constData(), native(e.backup).constData()) != 0) {
            const QString why = systemError();
            e.backup.clear();
            return fail(e.target, why);
        }
    }
    // 3. The moves; one that fails takes the earlier ones back.
    for (Entry &e : entries) {
        if (injectedMoveFailure(e.target))
            return fail(e.target, QStringLiteral("move interrupted"));
        if (::rename(native(e.staged).constData(), native(e.target).constData()) != 0)
            return fail(e.target, systemError());
        e.moved = true;
        e.staged.clear();
    }
    for (const Entry &e : entries)
        removeQuietly(e.backup);
    m_files.clear();
    return true;
}

void AtomicFileSet::setMoveFailureHook(std::function<bool(const QString &)> hook)
{
    std::lock_guard lock(g_hookMutex);
    g_moveFailureHook = std::move(hook);
}
