#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

#include <sys/stat.h>

class FolderHandle;

// The names of the files Pollix makes beside a file while it replaces it, all made here, so that
// what an interrupted write left behind can be told apart from every file a teacher made: a side
// file is named "<file>.<kind>-<8 lowercase hex digits>" (the file's name cut short, at a whole
// character, where the whole would pass the 255 bytes of a file name), and nothing else is one.
namespace SideFiles {

enum class Kind {
    Temporary, // "tmp": a single file's new bytes on their way to the disk
    Staged,    // "new": a file of a change of several files, whole, waiting for its move
    Kept,      // "old": a second name of a replaced file, kept until the change is done
    Part       // "part": a backup archive being written
};

// Names made by chance are tried at most this many times: a disk that says every name is taken
// (a broken share) is not asked for ever.
constexpr int kMostNameTries = 64;
// A name beside path that no file has yet; where each of kMostNameTries is taken, the last one
// tried, whose making (never over another file) then fails and says so.
QString nameBeside(const QString &path, Kind kind);
// The kind of side file a file name is, if it is one.
std::optional<Kind> kindOf(const QString &fileName);
// Whether path is a side file of kind made for target.
bool isBeside(const QString &path, const QString &target, Kind kind);
// The name of the file in folder that the side file sideName was made for (its own name cut
// short where the whole would not fit); none where no such file is there.
std::optional<QString> targetIn(const FolderHandle &folder, const QString &sideName);

// A side file a look found: the folder held that lists it (held open as long as anything found in
// it is; folder itself, the caller's, must outlive the list), its name there, what it was then,
// and its kind.
struct Found
{
    std::shared_ptr<const FolderHandle> at;
    QString name;
    struct stat st{};
    Kind kind = Kind::Temporary;
};

// Removes every side file of the given kinds in folder, held open (one opened without following a
// link refuses a link in its place), and with recursive in the folders below it, each opened
// without following a link but one the start took (TakenFolders); listed and removed through the
// folder held, only plain files, never a link, and none of keep (the side files a change still
// noted down needs, by their device and inode). The paths removed.
QStringList removeIn(const FolderHandle &folder, const QList<Kind> &kinds, bool recursive, const QStringList &keep = {});
// The side files removeIn would remove, none removed: each folder listed once, so that the work
// that looks at them first (ChangeJournal::cutShortWithoutJournal) and remove() share the one
// listing of a data folder of thousands of sessions.
QList<Found> listIn(const FolderHandle &folder, const QList<Kind> &kinds, bool recursive, const QStringList &keep = {});
// Removes what listIn found, as removeIn does; the paths removed.
QStringList remove(const QList<Found> &found);

} // namespace SideFiles
