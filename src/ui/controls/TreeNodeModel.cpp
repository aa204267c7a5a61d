#include "TreeNodeModel.h"

#include "core/base/TreeNodeData.h"

TreeNodeModel::TreeNodeModel(QObject *parent) : QAbstractItemModel(parent), m_root(TreeNode::create()) {}

void TreeNodeModel::setRootNode(const TreeNodePtr &root)
{
    beginResetModel();
    m_root = root ? root : TreeNode::create();
    endResetModel();
}

void TreeNodeModel::setDisplayFunction(DisplayFunction display)
{
    beginResetModel();
    m_display = std::move(display);
    endResetModel();
}

TreeNode *TreeNodeModel::nodeAt(const QModelIndex &index) const
{
    return index.isValid() ? static_cast<TreeNode *>(index.internalPointer()) : m_root.get();
}

TreeNodePtr TreeNodeModel::nodeForIndex(const QModelIndex &index) const
{
    if (!index.isValid())
        return m_root;
    TreeNode *parent = nodeAt(index.parent());
    return parent ? parent->childAtIndex(index.row()) : nullptr;
}

QModelIndex TreeNodeModel::indexForNode(const TreeNodePtr &node) const
{
    if (!node || node == m_root)
        return {};
    const TreeNodePtr parent = node->nodeParent();
    if (!parent)
        return {};
    const int row = parent->indexOfChild(node);
    return row < 0 ? QModelIndex() : createIndex(row, 0, node.get());
}

void TreeNodeModel::insertNode(const TreeNodePtr &parent, int row, const TreeNodePtr &node)
{
    const TreeNodePtr into = parent ? parent : m_root;
    if (!node)
        return;
    const int at = std::clamp(row, 0, into->numberOfChildren());
    beginInsertRows(indexForNode(into), at, at);
    into->insertChild(node, at);
    endInsertRows();
}

void TreeNodeModel::removeNode(const TreeNodePtr &node)
{
    const TreeNodePtr parent = node ? node->nodeParent() : nullptr;
    const int row = parent ? parent->indexOfChild(node) : -1;
    if (row < 0)
        return;
    int occurrences = 0;
    for (const TreeNodePtr &c : parent->children())
        occurrences += c == node ? 1 : 0;
    if (occurrences > 1) {
        // A node listed twice goes entirely: rows far apart, so the views start again.
        beginResetModel();
        parent->removeChild(node);
        endResetModel();
        return;
    }
    beginRemoveRows(indexForNode(parent), row, row);
    parent->removeChild(node);
    endRemoveRows();
}

void TreeNodeModel::nodeDataChanged(const TreeNodePtr &node)
{
    const QModelIndex index = indexForNode(node);
    if (index.isValid())
        emit dataChanged(index, index);
}

QModelIndex TreeNodeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0)
        return {};
    TreeNode *p = nodeAt(parent);
    const TreeNodePtr child = p ? p->childAtIndex(row) : nullptr;
    return child ? createIndex(row, 0, child.get()) : QModelIndex();
}

QModelIndex TreeNodeModel::parent(const QModelIndex &child) const
{
    TreeNode *node = nodeAt(child);
    if (!child.isValid() || !node)
        return {};
    const TreeNodePtr parent = node->nodeParent();
    if (!parent || parent == m_root)
        return {};
    const TreeNodePtr grand = parent->nodeParent();
    const int row = grand ? grand->indexOfChild(parent) : -1;
    return row < 0 ? QModelIndex() : createIndex(row, 0, parent.get());
}

int TreeNodeModel::rowCount(const QModelIndex &parent) const
{
    if (parent.column() > 0)
        return 0;
    TreeNode *p = nodeAt(parent);
    return p ? p->numberOfChildren() : 0;
}

int TreeNodeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant TreeNodeModel::data(const QModelIndex &index, int role) const
{
    TreeNode *node = index.isValid() ? nodeAt(index) : nullptr;
    if (!node)
        return {};
    if (m_display)
        return m_display(*node, role);
    const QVariant payload = node->nodeData();
    if (payload.canConvert<TreeNodeData>() && payload.metaType() == QMetaType::fromType<TreeNodeData>()) {
        const TreeNodeData data = payload.value<TreeNodeData>();
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return data.studentName();
        if (role == Qt::DecorationRole && !data.iconRep().isNull())
            return data.iconRep();
        return {};
    }
    return (role == Qt::DisplayRole || role == Qt::EditRole) ? payload.toString() : QVariant();
}

Qt::ItemFlags TreeNodeModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}
