#include "RecordDeletion.h"

#include "core/store/DataRemovals.h"
#include "core/store/GlobalFunctions.h"
#include "platform/FolderHandle.h"
#include "platform/RecordFile.h"

#include <list>
#include <mutex>

namespace RecordDeletion {

namespace {
std::mutex g_hookMutex;
std::function<void(const QString &)> g_listedHook;

// An entry to go, and the folder held open it was found in.
struct Found
{
    const FolderHandle *in;
    QString name;
    RecordFile::Kind kind;
};

// Lists what wanted takes in dir and below it, each folder below kept open in held; what cannot
// be looked into is named in stayed.
void listBelow(const FolderHandle &dir, const std::function<bool(const QString &)> &wanted, std::list<FolderHandle> &held,
               QList<Found> &found, QStringList &stayed)
{
    QString why;
    const std::optional<QList<FolderHandle::Entry>> entries = dir.entries(&why);
    if (!entries) {
        stayed << why;
        return;
    }
    for (const FolderHandle::Entry &e : *entries) {
        // A link the start took is entered as the folder it leads to; any other stays a link.
        if (e.kind == RecordFile::Kind::Link) {
            if (FolderHandle linked = dir.openFolder(e.name); linked.isOpen()) {
                held.push_back(std::move(linked));
                listBelow(held.back(), wanted, held, found, stayed);
                continue;
            }
        }
        if (e.kind == RecordFile::Kind::Folder) {
            held.push_back(dir.openFolder(e.name, &why));
            if (held.back().isOpen())
                listBelow(held.back(), wanted, held, found, stayed);
            else
                stayed << why;
        } else if (wanted(e.name)) {
            found << Found{&dir, e.name, e.kind};
        }
    }
}

bool sameFolder(const std::optional<struct stat> &a, const std::optional<struct stat> &b)
{
    return a && b && a->st_dev == b->st_dev && a->st_ino == b->st_ino;
}
} // namespace

QStringList removeBelow(const QString &folder, const std::function<bool(const QString &name)> &wanted)
{
    QStringList stayed;
    QString why;
    const FolderHandle top = GlobalFunctions::heldFolder(folder, false, &why);
    if (!top.isOpen()) {
        if (RecordFile::kindAt(folder) != RecordFile::Kind::Missing)
            stayed << why;
        return stayed;
    }
    std::list<FolderHandle> held;
    QList<Found> found;
    listBelow(top, wanted, held, found, stayed);
    if (const auto hook = [] { const std::lock_guard lock(g_hookMutex); return g_listedHook; }())
        hook(folder);
    for (const Found &f : std::as_const(found)) {
        // Regular files only, as they are now: Pollix writes no other kind of data file.
        const RecordFile::Kind kind = f.in->kindAt(f.name);
        if (kind == RecordFile::Kind::Missing)
            continue;
        if (kind != RecordFile::Kind::File)
            stayed << QStringLiteral("%1 is %2").arg(f.in->pathOf(f.name), RecordFile::kindText(kind));
        else if (!f.in->removeFile(f.name, &why))
            stayed << why;
        else
            DataRemovals::removed(f.in->pathOf(f.name));
    }
    // What the folder's name leads to now is what Pollix lists from here on.
    const FolderHandle now = GlobalFunctions::heldFolder(folder, false, &why);
    if (now.isOpen() ? !sameFolder(now.stat(), top.stat()) : RecordFile::kindAt(folder) != RecordFile::Kind::Missing)
        stayed << (now.isOpen() ? QStringLiteral("%1 is no longer the folder that was emptied").arg(folder) : why);
    return stayed;
}

void setListedHook(std::function<void(const QString &folder)> hook)
{
    const std::lock_guard lock(g_hookMutex);
    g_listedHook = std::move(hook);
}

} // namespace RecordDeletion
