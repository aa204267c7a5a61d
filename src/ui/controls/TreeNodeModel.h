#pragma once

#include "core/base/TreeNode.h"

#include <QAbstractItemModel>

#include <functional>

// Shows a tree of TreeNode in an outline (QTreeView): the children of an invisible root are the
// top rows. Changes made through insertNode, removeNode and nodeDataChanged keep the views in
// step; a tree changed behind the model's back needs setRootNode again.
//
// A TreeNodeData payload shows its studentName with its iconRep beside it; other payloads show
// their text, unless a display function says otherwise.
class TreeNodeModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    using DisplayFunction = std::function<QVariant(const TreeNode &node, int role)>;

    explicit TreeNodeModel(QObject *parent = nullptr);

    void setRootNode(const TreeNodePtr &root);
    TreeNodePtr rootNode() const { return m_root; }
    void setDisplayFunction(DisplayFunction display);

    TreeNodePtr nodeForIndex(const QModelIndex &index) const;
    QModelIndex indexForNode(const TreeNodePtr &node) const;

    // parent none: the root.
    void insertNode(const TreeNodePtr &parent, int row, const TreeNodePtr &node);
    void removeNode(const TreeNodePtr &node);
    void nodeDataChanged(const TreeNodePtr &node);

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    TreeNode *nodeAt(const QModelIndex &index) const;

    TreeNodePtr m_root;
    DisplayFunction m_display;
};
