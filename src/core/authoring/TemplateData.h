#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One row of the template tree: a template (its index 0 to 50) or a group (index -1).
// Index 0 is true or false, 1 cloze and short answer, 2 to 13 the choice layouts, 14 to 50 the
// rating scales with their fixed choices.
class TemplateData
{
public:
    TemplateData() = default;
    TemplateData(int index, const QString &name, bool isLeaf) : m_index(index), m_name(name), m_isLeaf(isLeaf) {}
    static TemplateData leafDataWithIndex(int index, const QString &name, bool isLeaf)
    {
        return TemplateData(index, name, isLeaf);
    }

    int index() const { return m_index; }
    QString name() const { return m_name; }
    bool isLeaf() const { return m_isLeaf; }

    struct Node;

    // The tree the template window shows for a caller (add type 0 to 3) and keypad model
    // (device type 1, Arvel, offers fewer templates): "All Templates" with its children.
    static Node templateTree(int addType, int deviceType);

    // The fixed choice texts of a template: "True", "False" for 0, the scale's choices for
    // 14 to 50, none for any other index.
    static QStringList getOptionContentByindex(int index);

    // The rating scales, index 14 first.
    struct Scale
    {
        int index;
        const char *name;
        bool arvel;
        QStringList choices;
    };
    static const QList<Scale> &ratingScales();

private:
    int m_index = -1;
    QString m_name;
    bool m_isLeaf = false;
};

struct TemplateData::Node
{
    TemplateData data;
    QList<Node> children;
};
