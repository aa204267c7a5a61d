#pragma once

#include "ui/controls/TreeNodeModel.h"

#include <QList>

// The manual grouping's outline with drag and drop: students are dragged (under the private
// type "MyCustomOutlineViewPboardType", which carries no data: the model remembers the dragged
// nodes) and dropped into a group; group rows can be neither selected nor dragged.
class GroupOutlineModel : public TreeNodeModel
{
    Q_OBJECT
public:
    static constexpr const char *kDragType = "MyCustomOutlineViewPboardType";

    using TreeNodeModel::TreeNodeModel;

    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Group rows read in bold.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;
    Qt::DropActions supportedDragActions() const override;
    Qt::DropActions supportedDropActions() const override;

    const QList<TreeNodePtr> &draggedNodes() const { return m_draggedNodes; }

signals:
    // Students were dropped and now sit at these rows.
    void studentsMoved(const QModelIndexList &moved);

private:
    mutable QList<TreeNodePtr> m_draggedNodes;
};
