#include "SideFiles.h"

#include "Log.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>

namespace {
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
    constexpr qsizetype kMaxName = 255;
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString folder = path.left(slash + 1);
    QString name = path.mid(slash + 1);
    const qsizetype room = kMaxName - (tag.size() + 10);
    while (name.size() > 1 && name.toUtf8().size() > room)
        name.chop(name.size() > 2 && name.back().isLowSurrogate() ? 2 : 1);
    return QStringLiteral("%1%2.%3-").arg(folder, name, tag);
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
    for (;;) {
        const QString candidate =
            sideStem(path, tagOf(kind)) + QStringLiteral("%1").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        if (!QFileInfo::exists(candidate) && !QFileInfo(candidate).isSymLink())
            return candidate;
    }
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

QStringList removeIn(const QString &folder, const QList<Kind> &kinds, bool recursive, const QStringList &keep)
{
    QStringList removed;
    if (folder.isEmpty())
        return removed;
    // Compared where the files really lie: a journal may name them through another path.
    QSet<QString> kept;
    for (const QString &path : keep)
        kept.insert(QFileInfo(path).canonicalFilePath());
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    recursive ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
    while (it.hasNext()) {
        it.next();
        const QFileInfo fi = it.fileInfo();
        if (fi.isSymLink() || !fi.isFile())
            continue;
        const std::optional<Kind> kind = kindOf(fi.fileName());
        if (!kind || !kinds.contains(*kind) || kept.contains(fi.canonicalFilePath()))
            continue;
        if (QFile::remove(fi.filePath()))
            removed << fi.filePath();
        else
            PollixLog(QStringLiteral("Could not remove %1, left by an interrupted write").arg(fi.filePath()));
    }
    return removed;
}

} // namespace SideFiles
