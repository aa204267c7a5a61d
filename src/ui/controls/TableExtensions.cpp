#include "TableExtensions.h"

#include <QHeaderView>
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
