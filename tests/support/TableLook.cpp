#include "TableLook.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <QTest>

#include <algorithm>
#include <cmath>

namespace TableLook {

int wholeWidth(const QTableView *table, const QString &text)
{
    const int margin = table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1;
    return int(std::ceil(QFontMetricsF(table->font()).horizontalAdvance(text))) + 2 * margin + (table->showGrid() ? 1 : 0);
}

int widestValue(const QTableView *table, int column)
{
    int widest = 0;
    for (int r = 0; r < table->model()->rowCount(); ++r)
        widest = std::max(widest, wholeWidth(table, table->model()->index(r, column).data().toString()));
    return widest;
}

int clickAndScrolledBy(QTableView *table, const QModelIndex &cell)
{
    // Its row brought into sight as the teacher does, with the list's scroll bar up and down.
    table->scrollTo(cell);
    table->horizontalScrollBar()->setValue(0);
    const QRect shown = table->visualRect(cell).intersected(table->viewport()->rect());
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, shown.center());
    QCoreApplication::processEvents();
    // A moment after a click, once no double click can follow, the view scrolls the cell clicked
    // into view; that scroll is made here at once rather than waited for.
    if (table->currentIndex() == cell && table->hasAutoScroll())
        table->scrollTo(cell);
    return table->horizontalScrollBar()->value();
}

void clickTitle(QTableView *table, int column)
{
    QHeaderView *header = table->horizontalHeader();
    const QPoint middle(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, middle);
    QCoreApplication::processEvents();
}

bool rowInSightAndCurrent(const QTableView *table, int row)
{
    const QRect shown = table->visualRect(table->model()->index(row, 0));
    return table->currentIndex().row() == row && shown.isValid() && table->viewport()->rect().contains(shown.topLeft())
           && table->viewport()->rect().bottom() >= shown.bottom();
}

} // namespace TableLook
