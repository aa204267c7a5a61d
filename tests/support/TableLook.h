#pragma once

#include <QString>

class QModelIndex;
class QTableView;

// A table as a teacher reads it: which values show whole, and what a click on a cell does to it.
namespace TableLook {

// The least width of a column that shows the text whole: the text, the cell's margin on each
// side and the grid line (a narrower cell cuts it with "...").
int wholeWidth(const QTableView *table, const QString &text);
// The widest value of the column, by wholeWidth.
int widestValue(const QTableView *table, int column);
// Brings the cell's row into sight and clicks the cell where the list shows it (the middle of a
// wide cell lies past the list's edge), as the teacher does, and lets the view do what it does
// after a click; returns how far the list then scrolls sideways.
int clickAndScrolledBy(QTableView *table, const QModelIndex &cell);
// Clicks the title of the column, as the teacher does to sort by it.
void clickTitle(QTableView *table, int column);
// Whether the row is seen whole in the list, and is the row the keys go on from.
bool rowInSightAndCurrent(const QTableView *table, int row);

} // namespace TableLook
