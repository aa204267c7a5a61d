#pragma once

#include "core/roster/CSVOperator.h"

#include <QDate>
#include <QString>

class ReportHeadView;

// Fills a report's CSV grid row by row: the frame writes the head and the footer, the report its
// body in between. Rows and columns are numbered from 1; every row is written with all columns.
class ReportCSVWriter
{
public:
    explicit ReportCSVWriter(int columns);

    // The row the next cells go to.
    int row() const { return m_row; }
    // A cell of the current row.
    void set(int column, const QString &text);
    // Moves down by count rows; rows left without cells are written empty.
    void nextRow(int count = 1);

    // Rows 1 to 7: the report's (English) name; "Class:", "Date:", "Subject:", "Teacher:",
    // "Session:" with the head's values; an empty row. With reportRow, row 8 "Report". The next
    // row is the body's first.
    void sessionHead(const QString &reportName, const ReportHeadView &head, bool reportRow);
    // The row of the note that explains the answer notation, in column 1.
    void answerNote();
    // Row 1 the report's name, row 2 column 5 the subject; the body starts at row 3.
    void gradebookHead(const QString &reportName, const QString &subject);
    // A body without rows under its heading row: two empty rows, "There is no record." in column,
    // and two empty rows before the footer.
    void noRecord(int column);
    // After the body's last row: one empty row, then "Created On:" and the day ("YYYY-MM-DD").
    void footer(const QDate &day);
    // After the body's last row: three empty rows, the signature row, then the "Created On:" row
    // (other numbers of empty rows before and between them where a report wants them).
    void signatureFooter(const QDate &day, int emptyRowsBefore = 3, int emptyRowsBetween = 0);

    const CSVOperator &grid() const { return m_grid; }

private:
    // The row after the last one holding a cell.
    int rowAfterLast() const { return m_grid.numOfRows() + 1; }

    CSVOperator m_grid;
    int m_row = 1;
};
