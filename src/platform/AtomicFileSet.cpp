#include "AtomicFileSet.h"

#include "AtomicFile.h"
#include "ChangeJournal.h"
#include "ContentHash.h"
#include "FolderHandle.h"
#include "Log.h"
#include "SideFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}
} // namespace

void AtomicFileSet::add(const QString &path, const QByteArray &data)
{
    for (File &file : m_files) {
        if (file.path == path) {
            file.data = data;
            return;
        }
    }
    m_files.append({path, data});
}

void AtomicFileSet::remove(const QString &path)
{
    for (File &file : m_files) {
        if (file.path == path) {
            file.data.reset();
            return;
        }
    }
    m_files.append({path, std::nullopt});
}

QStringList AtomicFileSet::paths() const
{
    QStringList out;
    for (const File &file : m_files)
        out << file.path;
    return out;
}

std::optional<QByteArray> AtomicFileSet::dataFor(const QString &path) const
{
    for (const File &file : m_files)
        if (file.path == path)
            return file.data;
    return std::nullopt;
}

bool AtomicFileSet::removes(const QString &path) const
{
    for (const File &file : m_files)
        if (file.path == path)
            return !file.data;
    return false;
}

bool AtomicFileSet::commit(QString *errorText)
{
    QList<ChangeJournal::Step> steps;
    QString journal;
    m_failedPath.clear();
    auto fail = [&](const QString &path, const QString &why, bool moving) {
        m_failedPath = path;
        QString reason = QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), why);
        PollixLog(QStringLiteral("Failed to write %1 with the files changed together: %2").arg(path, why));
        QString undoWhy;
        // Another Pollix holds the folder now (this one was stopped meanwhile): it finished or
        // took back the change from the journal as it started, or saves over these files by now.
        // Nothing is put back, nothing noted again: the reason is that other Pollix.
        if (QString taken; moving && AtomicFile::folderTaken(path, &taken)) {
            reason = QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), taken);
            if (errorText)
                *errorText = reason;
            PollixLog(reason);
            return false;
        }
        if (!moving) {
            // No target was touched: the side files made so far go, and that is all.
            for (const ChangeJournal::Step &s : std::as_const(steps))
                for (const QString &side : {s.staged, s.kept})
                    if (!side.isEmpty())
                        ::unlink(native(side).constData());
        } else if (!journal.isEmpty() &&
                   ChangeJournal::write(steps, ChangeJournal::Direction::Back, &undoWhy, journal).isEmpty()) {
            // The journal still says forward: files put back now would be a half-undone change
            // that a kill rolls forward. Carry the change through instead, as the next start would.
            PollixLog(QStringLiteral("The change cannot be taken back (%1); it is carried through instead").arg(undoWhy));
            QString forwardWhy;
            if (ChangeJournal::apply(steps, ChangeJournal::Direction::Forward, &forwardWhy, journal)) {
                m_failedPath.clear();
                m_files.clear();
                return true;
            }
            reason += QStringLiteral("; the change could neither be taken back (%1) nor finished (%2): it stays noted down "
                                     "and is finished when Pollix starts next")
                          .arg(undoWhy, forwardWhy);
        } else if (!ChangeJournal::apply(steps, ChangeJournal::Direction::Back, &undoWhy, journal)) {
            // The journal (saying "back" now) and the side files stay for the next start.
            reason += QStringLiteral("; not every file could be put back yet (%1): the rest are put back when Pollix starts next")
                          .arg(undoWhy);
        }
        if (errorText)
            *errorText = reason;
        PollixLog(reason);
        return false;
    };

    // 0. No file of a change still unfinished: finished later, that change would undo this one.
    QString held;
    if (const QString pending = ChangeJournal::unfinishedChangeOf(paths(), &held); !pending.isEmpty())
        return fail(held, pending, false);
    // 1. Every new file whole on the disk beside its target; no target touched yet. A journal
    // notes what each file's new and old bytes are, so that a start tells them from a later save.
    const bool journalled = !ChangeJournal::folder().isEmpty();
    // Each new file as it was written beside its target, by step: once moved it is known to hold
    // its new bytes while it still is that file.
    QList<std::optional<ContentHash::Stamp>> written;
    for (const File &file : m_files) {
        if (QString why; AtomicFile::changeRefused(file.path, &why))
            return fail(file.path, why, false);
        ChangeJournal::Step step;
        step.target = file.path;
        if (file.data) {
            const QString folder = QFileInfo(file.path).absolutePath();
            if (!QFileInfo::exists(folder))
                QDir().mkpath(folder);
            // A write the test hook fails fails as the target's own write would.
            if (AtomicFile::failureHookFails(file.path))
                return fail(file.path, QStringLiteral("write interrupted"), false);
            QString why;
            if (!AtomicFile::writeBeside(file.path, SideFiles::Kind::Staged, *file.data, &step.staged, &why))
                return fail(file.path, why, false);
            if (journalled)
                step.newDigest = ContentHash::of(*file.data);
        } else if (!QFileInfo::exists(file.path)) {
            continue; // nothing to remove
        }
        written << (journalled && !step.staged.isEmpty() ? ContentHash::stampOf(step.staged) : std::nullopt);
        steps << step;
    }
    if (steps.isEmpty()) {
        m_files.clear();
        return true;
    }
    // 2. A second name for each old file, so that it outlives its replacement until the end.
    for (ChangeJournal::Step &step : steps) {
        if (!QFileInfo::exists(step.target))
            continue;
        // A file Pollix wrote itself, unchanged since, is not read again for its digest. Looked at
        // before the second name is given, which sets its change time.
        const std::optional<ContentHash::Stamp> found = journalled ? ContentHash::stampOf(step.target) : std::nullopt;
        std::optional<QByteArray> digest = found ? ContentHash::remembered(step.target, *found) : std::nullopt;
        const QString kept = SideFiles::nameBeside(step.target, SideFiles::Kind::Kept);
        if (::link(native(step.target).constData(), native(kept).constData()) != 0)
            return fail(step.target, systemError(), false);
        step.kept = kept;
        if (journalled) {
            // The second name must be that very file: another may have been put in its place meanwhile.
            const std::optional<ContentHash::Stamp> keptStamp = digest ? ContentHash::stampOf(kept) : std::nullopt;
            QString why;
            if (!keptStamp || !keptStamp->sameFileAndBytes(*found))
                digest = ContentHash::ofFile(kept, &why);
            if (!digest)
                return fail(step.target, why, false);
            step.oldDigest = *digest;
        }
    }
    // 3. The change noted down, then the moves; one that fails takes the earlier ones back.
    QString why;
    if (AtomicFile::folderTaken(steps.first().target, &why))
        return fail(steps.first().target, why, false);
    journal = ChangeJournal::write(steps, ChangeJournal::Direction::Forward, &why);
    if (journal.isEmpty() && !ChangeJournal::folder().isEmpty())
        return fail(steps.isEmpty() ? QString() : steps.first().target, why, false);
    for (const ChangeJournal::Step &step : steps) {
        if (injectedMoveFailure(step.target))
            return fail(step.target, QStringLiteral("move interrupted"), true);
        if (AtomicFile::folderTaken(step.target, &why))
            return fail(step.target, why, true);
        bool done = false;
        if (step.staged.isEmpty()) {
            done = ::unlink(native(step.target).constData()) == 0 || (why = systemError(), false);
        } else if (step.kept.isEmpty()) {
            // A file the change makes replaces none made meanwhile.
            const FolderHandle folder = FolderHandle::open(QFileInfo(step.target).absolutePath(), true, &why);
            done = folder.isOpen() && folder.moveTo(QFileInfo(step.staged).fileName(), folder, QFileInfo(step.target).fileName(), &why);
        } else {
            done = ::rename(native(step.staged).constData(), native(step.target).constData()) == 0 || (why = systemError(), false);
        }
        if (!done)
            return fail(step.target, why, true);
    }
    // What each target holds now is known: its next change need not read it for its digest,
    // where a stamp vouches for the bytes (a local disk, as for the archive of replaced data).
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const std::optional<ContentHash::Stamp> now = written.at(i) ? ContentHash::stampOf(steps.at(i).target) : std::nullopt;
        if (now && now->sameFileAndBytes(*written.at(i)) && ContentHash::stampsExactAt(steps.at(i).target))
            ContentHash::remember(steps.at(i).target, *now, steps.at(i).newDigest);
    }
    // 4. Done: the journal and then the old files' second names go (when something of that
    // fails, what is left goes at the next start: every file is in place already).
    if (!ChangeJournal::apply(steps, ChangeJournal::Direction::Forward, &why, journal))
        PollixLog(QStringLiteral("A finished change left its journal and side files: %1").arg(why));
    m_files.clear();
    return true;
}

void AtomicFileSet::setMoveFailureHook(std::function<bool(const QString &)> hook)
{
    std::lock_guard lock(g_hookMutex);
    g_moveFailureHook = std::move(hook);
}
