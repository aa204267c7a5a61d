#include "TableExtensions.h"

#include <algorithm>

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableWidget>

void addColumnWithTitle(QTableWidget *table, const QString &title, const QString &identifier, int width)
{
    const int column = table->columnCount();
    table->insertColumn(column);
    auto *header = new QTableWidgetItem(title);
    header->setData(Qt::UserRole, identifier);
    table->setHorizontalHeaderItem(column, header);
    table->setColumnWidth(column, width);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void selectRowsInSight(QTableWidget *table, const QList<int> &rows)
{
    QItemSelectionModel *selection = table->selectionModel();
    table->clearSelection();
    int first = -1;
    for (int row : rows) {
        if (row < 0 || row >= table->rowCount())
            continue;
        selection->select(table->model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        if (first < 0)
            first = row;
    }
    if (first < 0)
        return;
    // The focus frame, and the keys, go on from the row chosen, not from where it was before.
    const QModelIndex current = table->model()->index(first, std::max(0, table->currentColumn()));
    selection->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    // The rows just loaded must be laid out before the view can scroll to them.
    table->doItemsLayout();
    table->scrollTo(current);
}
