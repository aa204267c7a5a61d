#include "GroupOutlineModel.h"

#include "core/roster/GroupOutline.h"

#include <QFont>
#include <QMimeData>

#include <algorithm>

Qt::ItemFlags GroupOutlineModel::flags(const QModelIndex &index) const
{
    const TreeNodePtr node = nodeForIndex(index);
    if (!index.isValid() || !node)
        return Qt::NoItemFlags;
    if (GroupOutline::isGroup(node))
        return Qt::ItemIsEnabled | Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

QVariant GroupOutlineModel::data(const QModelIndex &index, int role) const
{
    if (role == Qt::FontRole && GroupOutline::isGroup(nodeForIndex(index))) {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    return TreeNodeModel::data(index, role);
}

QStringList GroupOutlineModel::mimeTypes() const
{
    return {QLatin1String(kDragType)};
}

QMimeData *GroupOutlineModel::mimeData(const QModelIndexList &indexes) const
{
    QModelIndexList rows = indexes;
    std::sort(rows.begin(), rows.end(), [](const QModelIndex &a, const QModelIndex &b) {
        return a.parent().row() != b.parent().row() ? a.parent().row() < b.parent().row() : a.row() < b.row();
    });
    QList<TreeNodePtr> nodes;
    for (const QModelIndex &index : rows)
        if (TreeNodePtr node = nodeForIndex(index); node && !nodes.contains(node))
            nodes << node;
    m_draggedNodes.clear();
    if (!GroupOutline::canDrag(nodes))
        return nullptr;
    m_draggedNodes = nodes;
    auto *data = new QMimeData;
    data->setData(QLatin1String(kDragType), QByteArray());
    return data;
}

bool GroupOutlineModel::canDropMimeData(const QMimeData *data, Qt::DropAction, int, int,
                                        const QModelIndex &parent) const
{
    return data && data->hasFormat(QLatin1String(kDragType)) && !m_draggedNodes.isEmpty() &&
           GroupOutline::canDropInto(nodeForIndex(parent));
}

bool GroupOutlineModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                                     const QModelIndex &parent)
{
    if (!canDropMimeData(data, action, row, column, parent))
        return false;
    const TreeNodePtr group = nodeForIndex(parent);
    const QList<TreeNodePtr> moved = m_draggedNodes;
    beginResetModel();
    GroupOutline::moveStudents(group, row, moved);
    endResetModel();
    m_draggedNodes.clear();
    QModelIndexList at;
    for (const TreeNodePtr &node : moved)
        at << indexForNode(node);
    emit studentsMoved(at);
    // The nodes are in place already: the view must not remove the dragged rows itself.
    return false;
}

Qt::DropActions GroupOutlineModel::supportedDragActions() const
{
    return Qt::MoveAction | Qt::CopyAction | Qt::LinkAction;
}

Qt::DropActions GroupOutlineModel::supportedDropActions() const
{
    return Qt::MoveAction | Qt::CopyAction | Qt::LinkAction;
}
