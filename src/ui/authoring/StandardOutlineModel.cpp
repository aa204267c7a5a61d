#include "StandardOutlineModel.h"

#include "core/authoring/StandardTree.h"

#include <QColor>
#include <QTreeView>

StandardOutlineModel::StandardOutlineModel(QObject *parent) : QAbstractItemModel(parent) {}

QTreeView *StandardOutlineModel::makeView(QWidget *parent, const TreeNodePtr &root, StandardOutlineModel **model)
{
    *model = new StandardOutlineModel(parent);
    (*model)->setRoot(root);
    auto *view = new QTreeView(parent);
    view->setObjectName(QStringLiteral("outlineView"));
    view->setHeaderHidden(true);
    view->setModel(*model);
    view->setMinimumSize(480, 360);
    return view;
}

void StandardOutlineModel::setRoot(const TreeNodePtr &root)
{
    beginResetModel();
    m_root = root;
    m_hits.clear();
    endResetModel();
}

void StandardOutlineModel::setHits(const QList<TreeNodePtr> &hits)
{
    m_hits.clear();
    for (const TreeNodePtr &n : hits)
        m_hits.insert(n.get());
    refresh();
}

TreeNode *StandardOutlineModel::nodeAt(const QModelIndex &index) const
{
    return index.isValid() ? static_cast<TreeNode *>(index.internalPointer()) : m_root.get();
}

TreeNodePtr StandardOutlineModel::nodeFor(const QModelIndex &index) const
{
    if (!index.isValid())
        return nullptr;
    return nodeAt(index)->shared_from_this();
}

QModelIndex StandardOutlineModel::indexFor(const TreeNodePtr &node) const
{
    if (!node || node == m_root)
        return {};
    const TreeNodePtr parent = node->nodeParent();
    if (!parent)
        return {};
    const int row = parent->indexOfChild(node);
    return row < 0 ? QModelIndex() : createIndex(row, 0, node.get());
}

void StandardOutlineModel::appendChild(const TreeNodePtr &parent, const TreeNodePtr &child)
{
    const int row = parent->numberOfChildren();
    beginInsertRows(indexFor(parent), row, row);
    parent->addChild(child);
    endInsertRows();
    const QModelIndex at = indexFor(parent);
    if (at.isValid())
        emit dataChanged(at, at); // the parent may have become a group
}

void StandardOutlineModel::removeNode(const TreeNodePtr &node)
{
    const TreeNodePtr parent = node ? node->nodeParent() : nullptr;
    if (!parent)
        return;
    const int row = parent->indexOfChild(node);
    if (row < 0)
        return;
    beginRemoveRows(indexFor(parent), row, row);
    parent->removeChild(node);
    endRemoveRows();
    m_hits.remove(node.get());
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

QModelIndex StandardOutlineModel::index(int row, int column, const QModelIndex &parent) const
{
    TreeNode *p = nodeAt(parent);
    if (!p || column != 0)
        return {};
    const TreeNodePtr child = p->childAtIndex(row);
    return child ? createIndex(row, 0, child.get()) : QModelIndex();
}

QModelIndex StandardOutlineModel::parent(const QModelIndex &index) const
{
    if (!index.isValid())
        return {};
    return indexFor(nodeAt(index)->nodeParent());
}

int StandardOutlineModel::rowCount(const QModelIndex &parent) const
{
    TreeNode *p = nodeAt(parent);
    return p ? p->numberOfChildren() : 0;
}

int StandardOutlineModel::columnCount(const QModelIndex &) const
{
    return 1;
}

bool StandardOutlineModel::hasChildren(const QModelIndex &parent) const
{
    return rowCount(parent) > 0;
}

QVariant StandardOutlineModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const TreeNode *node = nodeAt(index);
    const StandardNodeData d = node->nodeData().value<StandardNodeData>();
    switch (role) {
    case Qt::DisplayRole:
        return d.label();
    case Qt::CheckStateRole:
        return d.cellState() == 1 ? Qt::Checked : d.cellState() == -1 ? Qt::PartiallyChecked : Qt::Unchecked;
    case Qt::BackgroundRole:
        return m_hits.contains(node) ? QVariant(QColor(0xff, 0x8a, 0x8a)) : QVariant();
    default:
        return {};
    }
}

bool StandardOutlineModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::CheckStateRole)
        return false;
    emit checkClicked(nodeFor(index), value.toInt() == Qt::Checked ? 1 : 0);
    return true;
}

Qt::ItemFlags StandardOutlineModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
}
