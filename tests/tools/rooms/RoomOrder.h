#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// Which way the sources may depend: the layers of src/ bottom to top, and inside a layer its
// rooms (the folders below it) in levels, bottom to top. A file may include its own room, the
// rooms of lower levels and lower layers; an include into a higher level or another room of its
// own level is wrong. A layer whose levels are empty keeps its rooms unordered (only the layer
// order holds for it). Files directly in src/ (the program) stand above every layer.
class RoomOrder
{
public:
    struct Layer
    {
        QString name;
        QList<QStringList> levels;
    };

    struct WrongInclude
    {
        QString file; // below src/
        int line = 0;
        QString include;
        QString from; // "core/store", or the layer alone where rooms are not ordered
        QString to;
    };

    explicit RoomOrder(QList<Layer> layers) : m_layers(std::move(layers)) {}

    // Every include under srcDir that points up or sideways, in file and line order. An include
    // names a file of the tree when it is found beside the including file or below srcDir
    // (quoted), or below srcDir (angle brackets); other includes are not the tree's.
    QList<WrongInclude> wrongIncludes(const QString &srcDir) const;
    // Folders of srcDir that are no layer, room folders of an ordered layer that no level names,
    // files lying in such a layer outside any room, and rooms named that have no folder: each a
    // path below srcDir.
    QStringList unplaced(const QString &srcDir) const;

    static QString describe(const WrongInclude &wrong);

private:
    struct Place
    {
        int layer = -1; // index into m_layers; m_layers.size() for the program itself
        int level = -1; // -1 where the layer's rooms are not ordered
        QString room;
    };
    Place placeOf(const QString &relative) const;
    bool mayInclude(const Place &from, const Place &to) const;
    QString nameOf(const Place &place) const;

    QList<Layer> m_layers;
};
