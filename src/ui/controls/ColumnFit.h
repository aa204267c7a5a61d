#pragma once

#include <QHash>
#include <QList>
#include <QObject>

class QTableView;

// Keeps a table's columns within its width, so that the table never scrolls sideways: not on a
// small screen, not with the longest names, and not on a click on a long cell (a view scrolls
// the cell clicked into view, which slid the short columns out of sight).
//
// A column is either one whose every value must be read whole (an ID, a keypad number, a date)
// or one of free text (a name, a title). The first kind keeps the width its title and its
// widest value need; the columns of free text share what is left: each whole while they all fit,
// else in proportion to their designed widths, never narrower than their titles nor wider than
// their widest values, cutting what does not fit with "...".
class ColumnFit : public QObject
{
    Q_OBJECT
public:
    // In place of a designed width: the column keeps what its title and its widest value need.
    static constexpr int Whole = 0;

    // widths: for each column, Whole or the designed width of a column of free text. Columns
    // past the list are Whole.
    ColumnFit(QTableView *table, QList<int> widths);

    // For a table whose columns were set anew.
    void setWidths(QList<int> widths);

    // Lays the columns out for the table's present width and rows.
    void fit();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isWhole(int column) const;
    // What the column's widest value needs: its text, the cell's margins and the grid line.
    int valuesNeed(int column);
    // After a change of rows: measured again and laid out once, however many rows changed.
    void rowsChanged();

    QTableView *m_table;
    // Compared with what the filter is handed, never asked of m_table: a table being destroyed
    // hands its viewport's last events on when it is no table any more.
    QWidget *m_viewport;
    QList<int> m_widths;
    // What each column's values need, measured once per change of rows.
    QHash<int, int> m_measured;
    bool m_fitPending = false;
};
