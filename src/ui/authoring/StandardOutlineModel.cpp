#include "StandardOutlineModel.h"

#include "core/authoring/StandardTree.h"

#include <QColor>
#include <QTreeView>

StandardOutlineModel::StandardOutlineModel(QObject *parent) : TreeNodeModel(parent) {}

QTreeView *StandardOutlineModel::makeView(QWidget *parent, const TreeNodePtr &root, StandardOutlineModel **model)
{
    *model = new StandardOutlineModel(parent);
    (*model)->setRootNode(root);
    auto *view = new QTreeView(parent);
    view->setObjectName(QStringLiteral("outlineView"));
    view->setHeaderHidden(true);
    view->setModel(*model);
    view->setMinimumSize(480, 360);
    return view;
}

void StandardOutlineModel::setHits(const QList<TreeNodePtr> &hits)
{
    m_hits.clear();
    for (const TreeNodePtr &n : hits)
        m_hits.insert(n.get());
    refresh();
}

void StandardOutlineModel::appendChild(const TreeNodePtr &parent, const TreeNodePtr &child)
{
    insertNode(parent, parent->numberOfChildren(), child);
    nodeDataChanged(parent); // it may have become a group
}

void StandardOutlineModel::refresh()
{
    refreshBelow({});
}

void StandardOutlineModel::refreshBelow(const QModelIndex &parent)
{
    const int rows = rowCount(parent);
    if (rows == 0)
        return;
    emit dataChanged(index(0, 0, parent), index(rows - 1, 0, parent));
    for (int r = 0; r < rows; ++r)
        refreshBelow(index(r, 0, parent));
}

QVariant StandardOutlineModel::data(const QModelIndex &index, int role) const
{
    const TreeNodePtr node = index.isValid() ? nodeForIndex(index) : nullptr;
    if (!node)
        return {};
    const StandardNodeData d = StandardTree::data(node);
    switch (role) {
    case Qt::DisplayRole:
        return d.label();
    case Qt::CheckStateRole:
        return d.cellState() == 1 ? Qt::Checked : d.cellState() == -1 ? Qt::PartiallyChecked : Qt::Unchecked;
    case Qt::BackgroundRole:
        return m_hits.contains(node.get()) ? QVariant(QColor(0xff, 0x8a, 0x8a)) : QVariant();
    default:
        return {};
    }
}

bool StandardOutlineModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::CheckStateRole)
        return false;
    emit checkClicked(nodeForIndex(index), value.toInt() == Qt::Checked ? 1 : 0);
    return true;
}

Qt::ItemFlags StandardOutlineModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? TreeNodeModel::flags(index) | Qt::ItemIsUserCheckable : Qt::NoItemFlags;
}
