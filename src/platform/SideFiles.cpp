#include "SideFiles.h"

#include "FolderHandle.h"
#include "InstanceLock.h"
#include "Log.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QPair>
#include <QSet>

#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {
// The most bytes a file name may hold.
constexpr qsizetype kMaxName = 255;

struct Tag
{
    SideFiles::Kind kind;
    QLatin1String text;
};

constexpr Tag kTags[] = {
    {SideFiles::Kind::Temporary, QLatin1String("tmp")},
    {SideFiles::Kind::Staged, QLatin1String("new")},
    {SideFiles::Kind::Kept, QLatin1String("old")},
    {SideFiles::Kind::Part, QLatin1String("part")},
};

QLatin1String tagOf(SideFiles::Kind kind)
{
    for (const Tag &t : kTags)
        if (t.kind == kind)
            return t.text;
    return QLatin1String();
}

// "<file>.<tag>-<8 hex digits>", the file's name cut (at a whole character) where the whole would
// pass the 255 bytes a file name may hold.
QString sideStem(const QString &path, QLatin1String tag)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString folder = path.left(slash + 1);
    QString name = path.mid(slash + 1);
    const qsizetype room = kMaxName - (tag.size() + 10);
    while (name.size() > 1 && name.toUtf8().size() > room)
        name.chop(name.size() > 2 && name.back().isLowSurrogate() ? 2 : 1);
    return QStringLiteral("%1%2.%3-").arg(folder, name, tag);
}

constexpr int kInUse = -2;

// The side file name in folder (st: what it is), as a start tidying the folder may remove it: its
// descriptor under this process's kernel lock, to be closed once it is gone; -1 where it cannot be
// locked (nor opened) and is Pollix's to remove all the same; kInUse while its maker may still be
// at work on it. A start's trial of its lock is under its maker's kernel lock from its making to
// its rename or removal, which reaches across a network share where a process number would not;
// where the disk has no kernel locks, the trial names its process and computer.
int heldForRemoval(const FolderHandle &folder, const QString &name, const struct stat &st)
{
    const int fd = folder.openToLock(name, false);
    if (fd < 0)
        return -1;
    struct stat open{};
    if (::fstat(fd, &open) != 0 || open.st_dev != st.st_dev || open.st_ino != st.st_ino) {
        ::close(fd);
        return kInUse; // another file under its name since the listing: looked at next time
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
        return fd;
    const int code = errno;
    bool inUse = code == EWOULDBLOCK;
    if (!inUse && name.startsWith(InstanceLock::lockFileName() + QLatin1Char('.'))) {
        QByteArray bytes(4096, '\0');
        const ssize_t got = ::pread(fd, bytes.data(), size_t(bytes.size()), 0);
        inUse = got > 0 && InstanceLock::trialMayBeInUse(bytes.left(got));
    }
    ::close(fd);
    return inUse ? kInUse : -1;
}

const QRegularExpression &sideName()
{
    // Something before the tag: a side file always belongs to a named file.
    static const QRegularExpression re(QStringLiteral("^.+\\.(tmp|new|old|part)-[0-9a-f]{8}$"),
                                       QRegularExpression::DotMatchesEverythingOption);
    return re;
}
} // namespace

namespace SideFiles {

QString nameBeside(const QString &path, Kind kind)
{
    QString candidate;
    for (int tries = 0; tries < kMostNameTries; ++tries) {
        candidate =
            sideStem(path, tagOf(kind)) + QStringLiteral("%1").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        if (!QFileInfo::exists(candidate) && !QFileInfo(candidate).isSymLink())
            break;
    }
    return candidate;
}

std::optional<Kind> kindOf(const QString &fileName)
{
    const QRegularExpressionMatch m = sideName().match(fileName);
    if (!m.hasMatch())
        return std::nullopt;
    for (const Tag &t : kTags)
        if (m.capturedView(1) == t.text)
            return t.kind;
    return std::nullopt;
}

bool isBeside(const QString &path, const QString &target, Kind kind)
{
    const QString prefix = sideStem(target, tagOf(kind));
    return path.size() == prefix.size() + 8 && path.startsWith(prefix) &&
           kindOf(QFileInfo(path).fileName()) == kind;
}

std::optional<QString> targetIn(const FolderHandle &folder, const QString &sideName)
{
    const std::optional<Kind> kind = kindOf(sideName);
    if (!kind)
        return std::nullopt;
    const QString stem = sideName.left(sideName.size() - (tagOf(*kind).size() + 10));
    if (folder.kindAt(stem) != RecordFile::Kind::Missing)
        return stem;
    // A name cut short (it fills the name's 255 bytes but for the three of a character that did
    // not fit): the one file there whose own side files are named so.
    if (sideName.toUtf8().size() < kMaxName - 3)
        return std::nullopt;
    const std::optional<QList<FolderHandle::Name>> names = folder.names();
    for (const FolderHandle::Name &e : names.value_or(QList<FolderHandle::Name>()))
        if (e.name != stem && !kindOf(e.name) && isBeside(folder.pathOf(sideName), folder.pathOf(e.name), *kind))
            return e.name;
    return std::nullopt;
}

QList<Found> listIn(const FolderHandle &folder, const QList<Kind> &kinds, bool recursive, const QStringList &keep)
{
    QList<Found> out;
    if (!folder.isOpen())
        return out;
    // Told by device and inode: a journal may name them through another path.
    QSet<QPair<quint64, quint64>> kept;
    for (const QString &path : keep) {
        struct stat st{};
        if (::lstat(QFile::encodeName(path).constData(), &st) == 0)
            kept.insert({quint64(st.st_dev), quint64(st.st_ino)});
    }
    using Held = std::shared_ptr<const FolderHandle>;
    const auto findBelow = [&](const Held &at, const auto &self) -> void {
        QString why;
        const std::optional<QList<FolderHandle::Name>> list = at->names(&why);
        if (!list) {
            PollixLog(QStringLiteral("Side files of interrupted writes stay in %1: %2").arg(at->path(), why));
            return;
        }
        for (const FolderHandle::Name &e : *list) {
            const std::optional<Kind> kind = kindOf(e.name);
            const bool asked = kind && kinds.contains(*kind);
            // Told by its name and the listing first: a data folder holds thousands of files, and
            // each look at one is a round trip on a network share. Only a side file asked for is
            // looked at, and an entry whose kind the listing does not tell where it may be a folder.
            struct stat st{};
            RecordFile::Kind what = e.kind;
            if ((asked && what == RecordFile::Kind::File) || (what == RecordFile::Kind::Missing && (asked || recursive)))
                what = at->kindAt(e.name, &st);
            // Folders below are opened without following a link, as the folder itself was; a
            // link the start took leads into its folder, as saves go through it.
            if (what == RecordFile::Kind::Folder) {
                if (recursive)
                    self(std::make_shared<const FolderHandle>(at->openFolder(e.name)), self);
                continue;
            }
            if (what == RecordFile::Kind::Link && recursive) {
                if (auto linked = std::make_shared<const FolderHandle>(at->openFolder(e.name)); linked->isOpen()) {
                    self(linked, self);
                    continue;
                }
            }
            if (what == RecordFile::Kind::File && asked && !kept.contains({quint64(st.st_dev), quint64(st.st_ino)}))
                out << Found{at, e.name, st, *kind};
        }
    };
    // The caller's folder, not owned here.
    findBelow(Held(&folder, [](const FolderHandle *) {}), findBelow);
    return out;
}

QStringList remove(const QList<Found> &found)
{
    QStringList removed;
    for (const Found &f : found) {
        const FolderHandle &at = *f.at;
        // Held (when the disk has kernel locks) until it is gone: its maker, starting now, finds
        // it taken away and makes another.
        const int held = heldForRemoval(at, f.name, f.st);
        if (held == kInUse) {
            PollixLog(QStringLiteral("Left %1: the start that made it still runs").arg(at.pathOf(f.name)));
            continue;
        }
        if (QString why; at.removeFile(f.name, &why))
            removed << at.pathOf(f.name);
        else
            PollixLog(QStringLiteral("Could not remove %1, left by an interrupted write: %2").arg(at.pathOf(f.name), why));
        if (held >= 0)
            ::close(held);
    }
    return removed;
}

QStringList removeIn(const FolderHandle &folder, const QList<Kind> &kinds, bool recursive, const QStringList &keep)
{
    return remove(listIn(folder, kinds, recursive, keep));
}

} // namespace SideFiles
