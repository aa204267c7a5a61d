#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

class FolderHandle;

// "<application folder>/Backups", where Pollix keeps the data a restore replaces (as a folder
// moved there, then as an archive made of it), and the names it gives there. A restore and the
// start that finishes one cut short name what they keep alike.
namespace BackupsFolder {

// Its path; empty without an application folder.
QString path();

// Backups held open, made first when missing with make; never reached through a symbolic link
// (one in its place is refused, "it is a symbolic link"): a restore and a start keep data there
// alike, and what Pollix moves, archives and removes there stays in the application folder.
// Closed, with *why, when it cannot be opened (TakenFolders::neverThroughLink where a link is why).
FolderHandle open(bool make, QString *why = nullptr);
// Why nothing can be kept in Backups now, in whole sentences with the way out: it is a symbolic
// link (TakenFolders::neverThroughLink); empty when it is none.
QString refusal();

// "<Backups>/Before restore 2024-05-01 14-07-09": dashes between the hours, minutes and seconds,
// no colon, which SMB and FAT refuse.
QString beforeRestoreStem(const QDateTime &when);

// stem, or "stem (2)", "stem (3)" and up: the first under which nothing lies with any of the
// endings (a dangling link counts as something).
QString freeStem(const QString &stem, const QStringList &endings);

} // namespace BackupsFolder
