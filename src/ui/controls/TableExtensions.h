#pragma once

#include <QList>
#include <QString>

class QTableWidget;

// Appends a read-only column with a header title, an identifier (kept as the header item's
// data) and a width.
void addColumnWithTitle(QTableWidget *table, const QString &title, const QString &identifier, int width);

// Selects the rows (clearing any other selection), makes the first of them the current row and
// scrolls it into sight: a student chosen in a list stays where the teacher sees it after the
// list was sorted or filled anew.
void selectRowsInSight(QTableWidget *table, const QList<int> &rows);
