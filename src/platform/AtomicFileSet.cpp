#include "AtomicFileSet.h"

#include "AtomicFile.h"
#include "ChangeJournal.h"
#include "ContentHash.h"
#include "FileVersions.h"
#include "FolderHandle.h"
#include "Log.h"
#include "RecordFile.h"
#include "SideFiles.h"
#include "TakenFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <memory>
#include <mutex>

#include <sys/stat.h>
#include <unistd.h>

namespace {
std::mutex g_hookMutex;
std::function<bool(const QString &)> g_moveFailureHook;

bool injectedMoveFailure(const QString &path)
{
    std::lock_guard lock(g_hookMutex);
    return g_moveFailureHook && g_moveFailureHook(path);
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

namespace {
// The folder of a file the change writes or removes, held open from its first write to its last
// move, so that a folder swapped for a link meanwhile leads nothing elsewhere: below the journal's
// folder reached from it (as the start reaches it to finish the change), each folder on the way
// opened without following a link; elsewhere (no journal) by its path. With make, the folders
// missing on the way are made (elsewhere from the nearest one there). Closed, with *why, when it
// cannot be opened. The journal's folder itself, once reached, is held in journals for the whole
// change: its journal is written, rewritten and removed there, beside the files it names.
std::shared_ptr<const FolderHandle> heldFolder(const QString &dir, bool make, std::shared_ptr<const FolderHandle> &journals,
                                               QString *why)
{
    const QString journalFolder = ChangeJournal::folder();
    const QString below = journalFolder.isEmpty() ? QString() : QDir(journalFolder).relativeFilePath(dir);
    QString base = dir, rest;
    if (!journalFolder.isEmpty() && !below.startsWith(QLatin1String("..")) && !QDir::isAbsolutePath(below)) {
        base = journalFolder;
        rest = below == QLatin1String(".") ? QString() : below;
    }
    while (make && !QFileInfo(base).isDir() && QFileInfo(base).absolutePath() != base) {
        rest = rest.isEmpty() ? QFileInfo(base).fileName() : QFileInfo(base).fileName() + QLatin1Char('/') + rest;
        base = QFileInfo(base).absolutePath();
    }
    if (base != journalFolder) {
        FolderHandle folder = FolderHandle::open(base, true, why);
        if (folder.isOpen() && !rest.isEmpty())
            folder = make ? folder.makeFolder(rest, why) : folder.openFolder(rest, why);
        return std::make_shared<const FolderHandle>(std::move(folder));
    }
    // The journal's folder (the data folder) as the start took it: one a link put in its place
    // since leads nothing there.
    if (!journals || !journals->isOpen())
        journals = std::make_shared<const FolderHandle>(TakenFolders::reach(base, false, why));
    if (rest.isEmpty() || !journals->isOpen())
        return journals;
    return std::make_shared<const FolderHandle>(make ? journals->makeFolder(rest, why) : journals->openFolder(rest, why));
}

// After the journal of a change went in place, whether another start of Pollix carried the change
// on from it while this one was stopped: the journal is gone (this process removes it only once
// every move is done) and none of the change's side files is left as this process made it (that
// start moved the new bytes in, or gave the change up, and removed the rest). savedSince: the
// first target that is not as the change left it (the very file written, or gone where the change
// removes it), which holds another save since; empty when the change stands whole.
struct CarriedOn
{
    bool elsewhere = false;
    QString savedSince;
};

CarriedOn carriedOnElsewhere(const QList<ChangeJournal::Step> &steps, const QList<struct stat> &staged, const QString &journal,
                             const FolderHandle &journals)
{
    CarriedOn out;
    if (journal.isEmpty() || journals.kindAt(QFileInfo(journal).fileName()) != RecordFile::Kind::Missing)
        return out;
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const ChangeJournal::Step &s = steps.at(i);
        if ((!s.staged.isEmpty() && s.folder->leadsTo(QFileInfo(s.staged).fileName(), staged.at(i))) ||
            (!s.kept.isEmpty() && s.folder->kindAt(QFileInfo(s.kept).fileName()) != RecordFile::Kind::Missing))
            return out;
    }
    out.elsewhere = true;
    for (qsizetype i = 0; i < steps.size() && out.savedSince.isEmpty(); ++i) {
        const ChangeJournal::Step &s = steps.at(i);
        const QString name = QFileInfo(s.target).fileName();
        const bool asLeft = s.staged.isEmpty() ? s.folder->kindAt(name) == RecordFile::Kind::Missing
                                               : s.folder->holdsWritten(name, staged.at(i));
        if (!asLeft)
            out.savedSince = name;
    }
    return out;
}
} // namespace

bool AtomicFileSet::commit(QString *errorText)
{
    QList<ChangeJournal::Step> steps;
    QString journal;
    // Each new file as it was written beside its target, by step: once moved it is known to hold
    // its new bytes while it still is that file; and what it is, which its move checks.
    QList<std::optional<ContentHash::Stamp>> written;
    QList<struct stat> staged;
    // The journal's folder, held open with the change's files: the journal goes in there and is
    // taken out of there, whatever is put in that folder's place meanwhile.
    std::shared_ptr<const FolderHandle> journals;
    const FolderHandle noJournals;
    const auto journalFolder = [&]() -> const FolderHandle & { return journals ? *journals : noJournals; };
    m_failedPath.clear();
    const auto nameOf = [](const QString &path) { return QFileInfo(path).fileName(); };
    // Every file of the change in place: what each holds is known (the version the next save of
    // it must find: the file as written, never what a look finds there now), and its next change
    // need not read it for its digest, where a stamp vouches for the bytes (a local disk, as for
    // the archive of replaced data).
    const auto noteInPlace = [&] {
        for (qsizetype i = 0; i < steps.size(); ++i) {
            const ChangeJournal::Step &step = steps.at(i);
            struct stat now{};
            if (step.staged.isEmpty() || !step.folder->holdsWritten(nameOf(step.target), staged.at(i)) ||
                step.folder->kindAt(nameOf(step.target), &now) != RecordFile::Kind::File)
                continue;
            FileVersions::noteWritten(step.target, staged.at(i), dataFor(step.target).value_or(QByteArray()));
            if (const ContentHash::Stamp stamp = ContentHash::stampOf(now);
                written.at(i) && stamp.sameFileAndBytes(*written.at(i)) && ContentHash::stampsExactOn(step.folder->fd()))
                ContentHash::remember(step.target, stamp, step.newDigest);
        }
    };
    // The journal as it was being put in place, and the step whose move is under way: a failure
    // from then on may find the change carried on by another start, and puts back only the moves
    // made (a file whose place another program's save took meanwhile keeps that save).
    QString noting;
    qsizetype movingAt = -1;
    // Stopped meanwhile (right after its journal went in place, in its moves or after them), this
    // Pollix may find its change carried on by another start, from the journal noted (gone now):
    // nothing of it is this Pollix's to put back or note again. Every file as the change left it
    // and the folder this Pollix's still, the change is done (true); else the other start (which
    // may hold the folder now) or a later save is said (false). None: not carried on elsewhere.
    const auto carriedOn = [&](const QString &path, const QString &noted) -> std::optional<bool> {
        const CarriedOn carried = carriedOnElsewhere(steps, staged, noted, journalFolder());
        if (!carried.elsewhere)
            return std::nullopt;
        QString taken;
        const bool isTaken = AtomicFile::folderTaken(path, &taken);
        if (carried.savedSince.isEmpty() && !isTaken) {
            PollixLog(QStringLiteral("The change of %1 was finished by another start of Pollix while this one was "
                                     "stopped: every file holds what it wrote")
                          .arg(paths().join(QStringLiteral(", "))));
            noteInPlace();
            m_failedPath.clear();
            m_files.clear();
            return true;
        }
        m_failedPath = path;
        QString reason = carried.savedSince.isEmpty()
                             ? QStringLiteral("%1: another start of Pollix finished this change from its journal while this "
                                              "Pollix was stopped, and every file holds what it wrote")
                                   .arg(QFileInfo(path).fileName())
                             : QStringLiteral("%1: another start of Pollix carried this change on from its journal while this "
                                              "Pollix was stopped, and %2 holds another save since, which stays")
                                   .arg(QFileInfo(path).fileName(), carried.savedSince);
        if (isTaken)
            reason += QStringLiteral(". ") + taken;
        if (errorText)
            *errorText = reason;
        PollixLog(reason);
        return false;
    };
    // named: why names the file already (a folder that takes no new file, AtomicFile::notSavedIn).
    auto fail = [&](const QString &path, const QString &why, bool moving, bool named = false) {
        m_failedPath = path;
        QString reason = named ? why : QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), why);
        PollixLog(QStringLiteral("Failed to write %1 with the files changed together: %2").arg(path, why));
        if (const std::optional<bool> said = carriedOn(path, moving ? journal : noting))
            return *said;
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
        // The side files of the steps from..to (not included) go: no target of theirs holds the
        // change's bytes.
        const auto dropSideFiles = [&](qsizetype from, qsizetype to) {
            for (qsizetype i = from; i < to; ++i) {
                const ChangeJournal::Step &s = steps.at(i);
                if (!s.staged.isEmpty())
                    s.folder->removeWritten(QFileInfo(s.staged).fileName(), staged.at(i));
                if (!s.kept.isEmpty())
                    s.folder->removeFile(QFileInfo(s.kept).fileName());
            }
        };
        // What the failed move's step holds is put back only where its new file is in place as
        // written (an exchange that could not be taken back): one another program wrote into
        // meanwhile holds that program's save, which stays. The steps after it were never moved.
        const qsizetype moved = !moving || movingAt < 0 ? 0
                                : movingAt + (!steps.at(movingAt).staged.isEmpty() &&
                                              steps.at(movingAt).folder->holdsWritten(
                                                  QFileInfo(steps.at(movingAt).target).fileName(), staged.at(movingAt)));
        const QList<ChangeJournal::Step> back = steps.mid(0, moved);
        if (!moving || back.isEmpty()) {
            // No target was touched: the side files made so far go (the journal first, where it
            // went in place), and that is all.
            if (moving)
                ChangeJournal::remove(journal, journals.get());
            dropSideFiles(0, steps.size());
        } else if (!journal.isEmpty() &&
                   ChangeJournal::write(back, ChangeJournal::Direction::Back, &undoWhy, journal, nullptr, journals.get()).isEmpty()) {
            // The journal still says forward: files put back now would be a half-undone change
            // that a kill rolls forward. Carry the change through instead, as the next start would.
            PollixLog(QStringLiteral("The change cannot be taken back (%1); it is carried through instead").arg(undoWhy));
            QString forwardWhy;
            if (ChangeJournal::apply(steps, ChangeJournal::Direction::Forward, &forwardWhy, journal, journals.get())) {
                m_failedPath.clear();
                m_files.clear();
                return true;
            }
            reason += QStringLiteral("; the change could neither be taken back (%1) nor finished (%2): it stays noted down "
                                     "and is finished when Pollix starts next")
                          .arg(undoWhy, forwardWhy);
        } else {
            // The journal says "back" now, and names only the moves made: the other steps' side
            // files are no longer needed.
            dropSideFiles(moved, steps.size());
            // Where a move fails, the journal and the side files stay for the next start.
            if (!ChangeJournal::apply(back, ChangeJournal::Direction::Back, &undoWhy, journal, journals.get()))
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
    QHash<QString, std::shared_ptr<const FolderHandle>> folders;
    for (const File &file : m_files) {
        if (QString why; AtomicFile::changeRefused(file.path, &why))
            return fail(file.path, why, false);
        ChangeJournal::Step step;
        step.target = file.path;
        // A folder is made only for a file written into it.
        const QString dir = QFileInfo(file.path).absolutePath();
        std::shared_ptr<const FolderHandle> &folder = folders[dir];
        if (!folder || (file.data && !folder->isOpen())) {
            QString why;
            folder = heldFolder(dir, file.data.has_value(), journals, &why);
            // A folder missing holds nothing to remove; one that cannot be opened may.
            if (!folder->isOpen() && (file.data || RecordFile::kindAt(dir) != RecordFile::Kind::Missing))
                return fail(file.path, why, false);
        }
        step.folder = folder;
        struct stat st{};
        if (file.data) {
            // A write the test hook fails fails as the target's own write would.
            if (AtomicFile::failureHookFails(file.path))
                return fail(file.path, QStringLiteral("write interrupted"), false);
            QString why, side;
            AtomicFile::Failure failure = AtomicFile::Failure::None;
            if (!AtomicFile::writeBeside(*step.folder, nameOf(file.path), SideFiles::Kind::Staged, *file.data, &side, &st, &why,
                                         &failure))
                return fail(file.path, why, false, failure == AtomicFile::Failure::Open);
            step.staged = step.folder->pathOf(side);
            if (journalled)
                step.newDigest = ContentHash::of(*file.data);
        } else if (step.folder->kindAt(nameOf(file.path)) == RecordFile::Kind::Missing) {
            continue; // nothing to remove
        }
        written << (journalled && !step.staged.isEmpty() ? std::optional(ContentHash::stampOf(st)) : std::nullopt);
        staged << st;
        steps << step;
    }
    if (steps.isEmpty()) {
        m_files.clear();
        return true;
    }
    // 2. The old bytes of each file kept until the end: a second name of the file, or, on a disk
    // without second names (FAT and exFAT, some network shares), a synced copy of it. Each only
    // while it is the version this Pollix read or wrote, and each move only while it still is.
    QList<std::optional<ContentHash::Stamp>> replacing(steps.size());
    for (qsizetype i = 0; i < steps.size(); ++i) {
        ChangeJournal::Step &step = steps[i];
        const FolderHandle &folder = *step.folder;
        const QString name = nameOf(step.target);
        struct stat before{};
        const RecordFile::Kind kind = folder.kindAt(name, &before);
        if (kind == RecordFile::Kind::Missing)
            continue;
        if (kind != RecordFile::Kind::File)
            return fail(step.target, QStringLiteral("it is %1").arg(RecordFile::kindText(kind)), false);
        if (const QString changed = FileVersions::changedWhy(folder, name, step.target, &before); !changed.isEmpty())
            return fail(step.target, changed, false);
        // A file Pollix wrote itself, unchanged since, is not read again for its digest. Looked at
        // before the second name is given, which sets its change time.
        const ContentHash::Stamp found = ContentHash::stampOf(before);
        replacing[i] = found;
        std::optional<QByteArray> digest = journalled ? ContentHash::remembered(step.target, found) : std::nullopt;
        const QString kept = QFileInfo(SideFiles::nameBeside(step.target, SideFiles::Kind::Kept)).fileName();
        if (QString why; !folder.linkOrCopyTo(name, folder, kept, &why))
            return fail(step.target, why, false);
        step.kept = folder.pathOf(kept);
        struct stat keptStat{}, after{};
        const bool copied = folder.kindAt(kept, &keptStat) != RecordFile::Kind::File || keptStat.st_ino != before.st_ino ||
                            keptStat.st_dev != before.st_dev;
        // A copy holds the old bytes only when nothing wrote into the file while it was made.
        if (copied && (folder.kindAt(name, &after) != RecordFile::Kind::File ||
                       !ContentHash::stampOf(after).sameFileAndBytes(found) || after.st_ctim.tv_sec != before.st_ctim.tv_sec ||
                       after.st_ctim.tv_nsec != before.st_ctim.tv_nsec))
            return fail(step.target, QStringLiteral("it changed while its old bytes were kept"), false);
        // A copy is told from a later save by what it holds, with a journal or without (a change
        // taken back tells the old file so).
        if (journalled || copied) {
            // The second name must be that very file: another may have been put in its place
            // meanwhile. A copy is read back for what it holds.
            QString why;
            if (copied || !digest || !ContentHash::stampOf(keptStat).sameFileAndBytes(found)) {
                const int fd = folder.openFile(kept, &why);
                digest = fd < 0 ? std::nullopt : ContentHash::ofDescriptor(fd, &why);
                if (fd >= 0)
                    ::close(fd);
            }
            if (!digest)
                return fail(step.target, why, false);
            step.oldDigest = *digest;
        }
    }
    // 3. The change noted down, then the moves; one that fails takes the earlier ones back.
    QString why;
    if (AtomicFile::folderTaken(steps.first().target, &why))
        return fail(steps.first().target, why, false);
    if (journalled && !journalFolder().isOpen())
        heldFolder(ChangeJournal::folder(), false, journals, &why);
    if (journalled && !journalFolder().isOpen())
        return fail(steps.first().target, QStringLiteral("the change could not be noted down first: %1").arg(why), false);
    journal = ChangeJournal::write(steps, ChangeJournal::Direction::Forward, &why, {}, &noting, journals.get());
    if (journal.isEmpty() && journalled)
        return fail(steps.isEmpty() ? QString() : steps.first().target, why, false);
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const ChangeJournal::Step &step = steps.at(i);
        movingAt = i;
        if (injectedMoveFailure(step.target))
            return fail(step.target, QStringLiteral("move interrupted"), true);
        // Asked again right before each move: a Pollix stopped meanwhile may have lost the folder.
        if (AtomicFile::folderTaken(step.target, &why))
            return fail(step.target, why, true);
        const FolderHandle &folder = *step.folder;
        const QString name = nameOf(step.target);
        // And the file in place must still be the one whose old bytes are kept: a save made since
        // (by a start that took the folder and ended meanwhile, say) stays.
        if (replacing.at(i)) {
            FileVersions::replaceBegins(step.target);
            struct stat now{};
            if (folder.kindAt(name, &now) != RecordFile::Kind::File || !ContentHash::stampOf(now).sameFileAndBytes(*replacing.at(i)))
                return fail(step.target, FileVersions::changedText(step.target), true);
        }
        bool done = false;
        // Each new file must then be the very file written: whatever was put under its side
        // file's name meanwhile (a link, a pipe, a folder) is never saved as it. Over an old file
        // it goes in place only over the one whose old bytes are kept, looked at again as it is
        // replaced: a save that came in that moment stays (FolderHandle::replaceChecked).
        if (step.staged.isEmpty()) {
            done = folder.removeFile(name, &why);
        } else if (step.kept.isEmpty()) {
            done = folder.moveChecked(nameOf(step.staged), name, staged.at(i), &why); // replaces none made meanwhile
        } else {
            const auto isKept = [&](const QString &held) {
                struct stat now{};
                return folder.kindAt(held, &now) == RecordFile::Kind::File &&
                               ContentHash::stampOf(now).sameFileAndBytes(*replacing.at(i))
                           ? QString()
                           : FileVersions::changedText(step.target);
            };
            done = folder.replaceChecked(nameOf(step.staged), name, staged.at(i), &why, isKept, true);
        }
        if (!done)
            return fail(step.target, why, true);
    }
    // Stopped after its last move, its journal may have been finished by another start already.
    if (const std::optional<bool> said = carriedOn(steps.last().target, journal))
        return *said;
    noteInPlace();
    // 4. Done: the journal and then the old files' second names go (when something of that
    // fails, what is left goes at the next start: every file is in place already).
    if (!ChangeJournal::apply(steps, ChangeJournal::Direction::Forward, &why, journal, journals.get()))
        PollixLog(QStringLiteral("A finished change left its journal and side files: %1").arg(why));
    m_files.clear();
    return true;
}

void AtomicFileSet::setMoveFailureHook(std::function<bool(const QString &)> hook)
{
    std::lock_guard lock(g_hookMutex);
    g_moveFailureHook = std::move(hook);
}
