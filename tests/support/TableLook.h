#pragma once

#include <QString>
#include <QStringList>

class QModelIndex;
class QTableView;

// A table as a teacher reads it: which values show whole, and what a click on a cell does to it.
namespace TableLook {

// Whether the cell reads whole as the list shows it: with its row brought into sight, the text its
// delegate draws there is the cell's whole value, and the cell stands inside the list's edges.
// The scroll bars are left as they were.
bool showsWhole(QTableView *table, const QModelIndex &cell);
// The values of the column that the list shows cut, each with what is drawn of it; none when
// every value reads whole.
QStringList cutIn(QTableView *table, int column);
// Brings the cell's row into sight and clicks the cell where the list shows it (the middle of a
// wide cell lies past the list's edge), as the teacher does, and lets the view do what it does
// after a click; returns how far the list then scrolls sideways.
int clickAndScrolledBy(QTableView *table, const QModelIndex &cell);
// Clicks the title of the column, as the teacher does to sort by it.
void clickTitle(QTableView *table, int column);
// Whether the row is seen whole in the list, and is the row the keys go on from.
bool rowInSightAndCurrent(const QTableView *table, int row);

} // namespace TableLook
