#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>

// Replaces and removes several files as one change: either every file gets its new bytes (and
// every file to remove goes) or every file stays as it was, also across a kill or a power cut.
// Each new file is first written whole beside its target (a full disk or a read-only folder
// stops the change there, before any target was touched), and each old file gets a second name,
// or, on a disk without second names (FAT, exFAT, some network shares), a synced copy. Then the
// change is noted down (ChangeJournal) and only then are the files moved into place; a move that
// fails puts the earlier ones back, and a change cut short is finished at the next start from its
// journal. Every file is written and moved in its folder held open from the first write to the
// last move (a folder swapped for a link meanwhile leads nothing elsewhere), each move must leave
// the target's name leading to the very file written, and the lock is asked again before each
// move. A file that is there is changed only while it is the version this Pollix last read or
// wrote (FileVersions), looked at as its old bytes are kept, again right before its move and as it
// is replaced (FolderHandle::replaceChecked): a save made since by anyone, also one that came in
// at that very moment, stays, and the change fails, saying so, with the files it had moved put
// back. Every side file is named by SideFiles.
class AtomicFileSet
{
public:
    // A later add or remove of the same path replaces what was asked for it before.
    void add(const QString &path, const QByteArray &data);
    void remove(const QString &path);
    bool isEmpty() const { return m_files.isEmpty(); }
    // The paths written and removed.
    QStringList paths() const;
    // The bytes added for path, if any (none for a path to remove).
    std::optional<QByteArray> dataFor(const QString &path) const;
    bool removes(const QString &path) const;

    // False when any file could not be replaced or removed; every target is then as it was,
    // and *errorText names the file and the reason. A change stopped in its moves, or right after
    // its journal went in place (this Pollix frozen, its lock file gone), that another start of
    // Pollix carried on from its journal meanwhile is this Pollix's no more: true where every file holds what it wrote and the folder
    // is this Pollix's still (logged so); else false, saying that another start finished it and
    // which file holds another save since, or that the other start holds the folder now, with
    // nothing put back.
    bool commit(QString *errorText = nullptr);
    // After a failed commit: the file that could not be replaced.
    const QString &failedPath() const { return m_failedPath; }

    // Tests: make the move of a path into place fail (as a folder removed meanwhile would), to
    // see the earlier moves taken back. Return true to fail that path's move.
    static void setMoveFailureHook(std::function<bool(const QString &path)> hook);

private:
    struct File
    {
        QString path;
        std::optional<QByteArray> data; // none: the file is removed
    };
    QList<File> m_files;
    QString m_failedPath;
};
