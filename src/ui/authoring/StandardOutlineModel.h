#pragma once

#include "ui/controls/TreeNodeModel.h"

#include <QSet>

class QTreeView;
class QWidget;

// The standards tree as the standards windows show it, on the shared outline model: one check
// box per row with the standard's check state (mixed shown as mixed), the label "title(code)"
// (the title alone for the top node), search hits on red. A click on a check box is only
// reported (checkClicked); the window decides what it changes.
class StandardOutlineModel : public TreeNodeModel
{
    Q_OBJECT
public:
    explicit StandardOutlineModel(QObject *parent = nullptr);
    // An outline view ("outlineView") of the tree below root, on a new model owned by parent.
    static QTreeView *makeView(QWidget *parent, const TreeNodePtr &root, StandardOutlineModel **model);

    void setHits(const QList<TreeNodePtr> &hits);
    bool isHit(const TreeNodePtr &node) const { return node && m_hits.contains(node.get()); }
    void appendChild(const TreeNodePtr &parent, const TreeNodePtr &child);
    // Every row shows its node's current values again.
    void refresh();

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    // The teacher clicked a row's check box; state is what the box would show now (0 or 1).
    void checkClicked(const TreeNodePtr &node, int state);

private:
    void refreshBelow(const QModelIndex &parent);

    QSet<const TreeNode *> m_hits;
};
