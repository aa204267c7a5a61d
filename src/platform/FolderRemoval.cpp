// Removing a tree of folders: only what is found checked goes, each file set aside where no
// other name leads to it first, so that a file put under its name meanwhile is never removed.
#include "AtomicFile.h"
#include "ContentHash.h"
#include "FolderHandle.h"

#include <map>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const char kAside[] = ".pollix-removing";

// A folder of this account's alone named name in parent (made, or taken over when it is this
// account's already): no other account can put a file in it.
FolderHandle privateFolderIn(const FolderHandle &parent, const QString &name)
{
    FolderHandle folder = parent.makeNewFolder(name, 0700);
    const bool made = folder.isOpen();
    if (!made)
        folder = parent.openFolder(name);
    const std::optional<struct stat> st = folder.stat();
    if (!st || (!made && st->st_uid != ::geteuid()))
        return {};
    // Where the disk keeps modes at all (a FAT disk or a share may not, and refuse the change).
    ::fchmod(folder.fd(), 0700);
    return folder;
}

// Moves everything below from (a folder of what a removal set aside) back to the same place
// below to; false when something stays.
bool putBackBelow(const FolderHandle &from, const FolderHandle &to)
{
    const std::optional<QList<FolderHandle::Entry>> list = from.entries();
    if (!list || !to.isOpen())
        return false;
    bool all = true;
    for (const FolderHandle::Entry &e : *list) {
        if (e.kind == RecordFile::Kind::Folder)
            all = putBackBelow(from.openFolder(e.name), to.makeFolder(e.name)) && all;
        else
            all = from.moveTo(e.name, to, e.name) && all;
    }
    return all;
}
} // namespace

// One removal: what may go, and the folder the removed one holds its checked files in until
// they go.
struct FolderHandle::Removal
{
    dev_t device = 0;
    QStringList *stayed = nullptr;
    const MayRemove *mayRemove = nullptr; // none: everything goes
    const FolderHandle *top = nullptr;    // the removed folder, once open
    FolderHandle aside;
    bool asideTried = false;
    std::map<QString, FolderHandle> asideFolders;

    // The folder below the aside folder for dir (relative to the removed folder, "." for its
    // top), made at its first use; closed when it cannot be made.
    const FolderHandle &asideFor(const QString &dir)
    {
        if (!asideTried) {
            asideTried = true;
            aside = privateFolderIn(*top, QString::fromLatin1(kAside));
        }
        if (dir == QLatin1String(".") || !aside.isOpen())
            return aside;
        auto it = asideFolders.find(dir);
        if (it == asideFolders.end())
            it = asideFolders.emplace(dir, aside.makeFolder(dir)).first;
        return it->second;
    }

    // Lets the entry name of folder (relative below the removed folder, listed as st) go: moved
    // aside, where no other name leads to it, and removed there when it is the very entry listed
    // and checked. Another put under its name since goes back to it, unchecked and whole.
    bool letGo(const FolderHandle &folder, const QString &name, const QString &relative, const struct stat &st)
    {
        // Another Pollix that took the folder meanwhile (this one was stopped) has it from here.
        if (AtomicFile::folderTaken(folder.pathOf(name)))
            return false;
        const QString dir = relative.contains(QLatin1Char('/')) ? relative.section(QLatin1Char('/'), 0, -2) : QStringLiteral(".");
        const FolderHandle &to = asideFor(dir);
        // The very file checked, and written into by nobody since: the same size and times of its
        // last change. The move aside sets the time of the change of its name (the ctime), so that
        // is compared before it, and the size and the time of the last write after it too.
        struct stat now{};
        if (!to.isOpen() || folder.kindAt(name, &now) == RecordFile::Kind::Missing || !ContentHash::sameFileAndBytes(now, st) ||
            now.st_ctim.tv_sec != st.st_ctim.tv_sec || now.st_ctim.tv_nsec != st.st_ctim.tv_nsec ||
            !folder.moveTo(name, to, name))
            return false;
        if (to.kindAt(name, &now) != RecordFile::Kind::Missing && ContentHash::sameFileAndBytes(now, st) &&
            !AtomicFile::folderTaken(to.pathOf(name)) && to.removeFile(name))
            return true;
        // Should it not go back (its name taken once more), it stays aside, and is named.
        to.moveTo(name, folder, name);
        return false;
    }
};

QString FolderHandle::asideName()
{
    return QString::fromLatin1(kAside);
}

bool FolderHandle::removeTree(const QString &name, QStringList *stayed, const MayRemove &mayRemove) const
{
    struct stat st{};
    const RecordFile::Kind kind = kindAt(name, &st);
    if (kind == RecordFile::Kind::Missing)
        return removeEmptyFolder(name);
    const std::optional<struct stat> own = stat();
    if (!own)
        return false;
    if (kind != RecordFile::Kind::Folder) {
        // Alone, it has no folder of its own to be checked in: only a removal of all takes it.
        if (!mayRemove && removeFile(name))
            return true;
        if (stayed)
            *stayed << name;
        return false;
    }
    Removal removal;
    removal.device = own->st_dev;
    removal.stayed = stayed;
    if (mayRemove) {
        removal.mayRemove = &mayRemove;
        putBackSetAside(name);
    }
    return removeTreeBelow(name, removal);
}

bool FolderHandle::putBackSetAside(const QString &name) const
{
    const FolderHandle folder = openFolder(name);
    if (!folder.isOpen() || folder.kindAt(asideName()) != RecordFile::Kind::Folder)
        return true;
    return putBackBelow(folder.openFolder(asideName()), folder);
}

bool FolderHandle::removeTreeBelow(const QString &relative, Removal &removal) const
{
    const QString name = relative.section(QLatin1Char('/'), -1);
    const auto keep = [&](const QString &what) {
        if (removal.stayed)
            *removal.stayed << what;
        return false;
    };
    // Opened without following a link: a folder swapped for one since it was looked at is not
    // entered, and nothing another disk holds (a mount below) is emptied.
    FolderHandle sub = openFolder(name);
    const std::optional<struct stat> subStat = sub.stat();
    if (!subStat || subStat->st_dev != removal.device)
        return keep(relative);
    const std::optional<QList<Entry>> list = sub.entries();
    if (!list)
        return keep(relative);
    const bool top = !relative.contains(QLatin1Char('/'));
    const bool checked = removal.mayRemove != nullptr;
    if (top && checked)
        removal.top = &sub;
    bool whole = true;
    for (const Entry &e : *list) {
        const QString below = relative + QLatin1Char('/') + e.name;
        if (top && checked && e.name == asideName() && e.kind == RecordFile::Kind::Folder)
            continue; // emptied as the files go, taken away last
        if (e.kind == RecordFile::Kind::Folder) {
            whole = sub.removeTreeBelow(below, removal) && whole;
        } else if (checked ? (*removal.mayRemove)(below.section(QLatin1Char('/'), 1), e.st) &&
                                 removal.letGo(sub, e.name, below.section(QLatin1Char('/'), 1), e.st)
                           : sub.removeFile(e.name)) {
            continue;
        } else {
            whole = keep(below) && whole;
        }
    }
    if (top && checked && sub.kindAt(asideName()) == RecordFile::Kind::Folder) {
        // Empty folders by now; a file that could not go back to its place stays, and is named.
        removal.asideFolders.clear();
        removal.aside = FolderHandle();
        const MayRemove none = [](const QString &, const struct stat &) { return false; };
        Removal emptyOnly;
        emptyOnly.device = removal.device;
        emptyOnly.stayed = removal.stayed;
        emptyOnly.mayRemove = &none;
        whole = sub.removeTreeBelow(relative + QLatin1Char('/') + asideName(), emptyOnly) && whole;
    }
    if (!whole)
        return false;
    return removeEmptyFolder(name) || keep(relative);
}
