#include "RoomOrder.h"
#include "SourceFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace {
// The included file below srcDir, or empty when the include is not one of the tree's files.
QString resolve(const QString &srcDir, const QString &includer, const QString &spelled, bool quoted)
{
    QStringList candidates;
    if (quoted)
        candidates << QDir::cleanPath(QFileInfo(includer).path() + QLatin1Char('/') + spelled);
    candidates << QDir::cleanPath(spelled);
    for (const QString &candidate : candidates)
        if (!candidate.startsWith(QLatin1String("../")) && QFileInfo(srcDir + QLatin1Char('/') + candidate).isFile())
            return candidate;
    return {};
}
} // namespace

RoomOrder::Place RoomOrder::placeOf(const QString &relative) const
{
    const QStringList parts = relative.split(QLatin1Char('/'));
    Place place;
    place.layer = int(m_layers.size());
    if (parts.size() < 2)
        return place;
    for (int i = 0; i < m_layers.size(); ++i)
        if (m_layers[i].name == parts[0])
            place.layer = i;
    if (place.layer == m_layers.size())
        return place;
    if (parts.size() > 2)
        place.room = parts[1];
    const QList<QStringList> &levels = m_layers[place.layer].levels;
    for (int level = 0; level < levels.size(); ++level)
        if (levels[level].contains(place.room))
            place.level = level;
    return place;
}

bool RoomOrder::mayInclude(const Place &from, const Place &to) const
{
    if (from.layer != to.layer)
        return to.layer < from.layer;
    if (from.layer == m_layers.size() || m_layers[from.layer].levels.isEmpty() || from.room == to.room)
        return true;
    // An unplaced room is reported on its own; includes into it are wrong from anywhere else.
    return from.level >= 0 && to.level >= 0 && to.level < from.level;
}

QString RoomOrder::nameOf(const Place &place) const
{
    if (place.layer == m_layers.size())
        return QStringLiteral("the program");
    const Layer &layer = m_layers[place.layer];
    return layer.levels.isEmpty() ? layer.name : layer.name + QLatin1Char('/') + place.room;
}

QList<RoomOrder::WrongInclude> RoomOrder::wrongIncludes(const QString &srcDir) const
{
    static const QRegularExpression include(QStringLiteral(R"(^\s*#\s*include\s*(["<])([^">]+)[">])"));
    QList<WrongInclude> out;
    for (const QString &file : SourceFiles::below(srcDir)) {
        QFile in(srcDir + QLatin1Char('/') + file);
        if (!in.open(QIODevice::ReadOnly))
            continue;
        const Place from = placeOf(file);
        int lineNo = 0;
        while (!in.atEnd()) {
            const QString line = QString::fromUtf8(in.readLine());
            ++lineNo;
            const QRegularExpressionMatch m = include.match(line);
            if (!m.hasMatch())
                continue;
            const QString target = resolve(srcDir, file, m.captured(2), m.captured(1) == QLatin1String("\""));
            if (target.isEmpty())
                continue;
            const Place to = placeOf(target);
            if (!mayInclude(from, to))
                out.append({file, lineNo, m.captured(2), nameOf(from), nameOf(to)});
        }
    }
    return out;
}

QStringList RoomOrder::unplaced(const QString &srcDir) const
{
    QStringList out;
    QStringList layers;
    for (const Layer &layer : m_layers)
        layers << layer.name;
    for (const QString &folder : QDir(srcDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        if (!layers.contains(folder))
            out << folder;
    for (const Layer &layer : m_layers) {
        if (layer.levels.isEmpty())
            continue;
        const QDir dir(srcDir + QLatin1Char('/') + layer.name);
        QStringList named;
        for (const QStringList &level : layer.levels)
            named += level;
        for (const QString &room : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
            if (!named.contains(room))
                out << layer.name + QLatin1Char('/') + room;
        for (const QString &file : dir.entryList(QDir::Files, QDir::Name))
            out << layer.name + QLatin1Char('/') + file;
        for (const QString &room : named)
            if (!dir.exists(room))
                out << layer.name + QLatin1Char('/') + room;
    }
    return out;
}

QString RoomOrder::describe(const WrongInclude &wrong)
{
    return QStringLiteral("%1:%2: #include \"%3\" (%4 -> %5)")
        .arg(wrong.file)
        .arg(wrong.line)
        .arg(wrong.include, wrong.from, wrong.to);
}
