#pragma once

#include "core/app/TreeNode.h"

#include <QAbstractItemModel>
#include <QSet>

class QTreeView;
class QWidget;

// The standards tree as the standards windows show it: one column, a check box per row with
// the standard's check state (mixed shown as mixed), the label "title(code)" (the title alone
// for the top node), search hits on red. The tree below an invisible root is shown as it is;
// a click on a check box is only reported (checkClicked), the window decides what it changes.
class StandardOutlineModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    explicit StandardOutlineModel(QObject *parent = nullptr);
    // An outline view ("outlineView") of the tree below root, on a new model owned by parent.
    static QTreeView *makeView(QWidget *parent, const TreeNodePtr &root, StandardOutlineModel **model);

    TreeNodePtr root() const { return m_root; }
    void setRoot(const TreeNodePtr &root);
    void setHits(const QList<TreeNodePtr> &hits);
    bool isHit(const TreeNodePtr &node) const { return node && m_hits.contains(node.get()); }

    TreeNodePtr nodeFor(const QModelIndex &index) const;
    QModelIndex indexFor(const TreeNodePtr &node) const;
    // Structure changes that keep the view's expanded rows.
    void appendChild(const TreeNodePtr &parent, const TreeNodePtr &child);
    void removeNode(const TreeNodePtr &node);
    // Every row shows its node's current values again.
    void refresh();

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &index) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override;

signals:
    // The teacher clicked a row's check box; state is what the box would show now (0 or 1).
    void checkClicked(const TreeNodePtr &node, int state);

private:
    TreeNode *nodeAt(const QModelIndex &index) const;
    void refreshBelow(const QModelIndex &parent);

    TreeNodePtr m_root;
    QSet<const TreeNode *> m_hits;
};
