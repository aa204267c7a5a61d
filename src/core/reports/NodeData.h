#pragma once

#include <QList>
#include <QString>

#include <memory>

class NodeData;
using NodeDataPtr = std::shared_ptr<NodeData>;

// One node of a report's page-navigation outline (a group of rows, and a leaf per row under it).
// A node owns its children; parent points back and is valid as long as the tree lives.
class NodeData
{
public:
    // relativePath becomes the last path component of path (the text after its last "/").
    static NodeDataPtr create(const QString &path, NodeData *parent = nullptr);
    // Creates a child of this node from path and appends it.
    NodeDataPtr addChild(const QString &path, bool isLeaf, int line);

    QString relativePath() const { return m_relativePath; }
    void setRelativePath(const QString &v) { m_relativePath = v; }
    NodeData *parent() const { return m_parent; }
    const QList<NodeDataPtr> &children() const { return m_children; }
    QList<NodeDataPtr> &children() { return m_children; }
    bool isLeaf() const { return m_isLeaf; }
    void setIsLeaf(bool v) { m_isLeaf = v; }
    // The place the node points to: a page or a row number, as the report's policy says.
    int line() const { return m_line; }
    void setLine(int v) { m_line = v; }

    // -1 for a leaf, else the number of children.
    int numberOfChildren() const { return m_isLeaf ? -1 : int(m_children.size()); }
    NodeData *childAtIndex(int i) const { return m_children.value(i).get(); }
    // The parent's fullPath, "/" and relativePath; relativePath for a top node.
    QString fullPath() const;

private:
    QString m_relativePath;
    NodeData *m_parent = nullptr;
    QList<NodeDataPtr> m_children;
    bool m_isLeaf = false;
    int m_line = 0;
};
