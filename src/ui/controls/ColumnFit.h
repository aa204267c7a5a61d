#pragma once

#include <QList>
#include <QObject>

class QTableView;

// Keeps a table's columns within its width. The columns before the last get the widths they are
// designed at while there is room; in a narrower window (a table laid out for 1366 pixels shown
// at 1024) they give up width in proportion, never below their title, so that the last column,
// which takes the rest of the width, is seen whole without scrolling sideways.
class ColumnFit : public QObject
{
    Q_OBJECT
public:
    // widths: the designed widths of the columns before the last.
    ColumnFit(QTableView *table, QList<int> widths);

    // Lays the columns out for the table's present width.
    void fit();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QTableView *m_table;
    QList<int> m_widths;
};
