#include "ReportCSVWriter.h"

#include "ReportHeadView.h"

#include <algorithm>

ReportCSVWriter::ReportCSVWriter(int columns) : m_grid(CSVOperator::CSVWithColumns(columns)) {}

void ReportCSVWriter::set(int column, const QString &text)
{
    m_grid.setString(text.isNull() ? QStringLiteral("") : text, m_row, column);
}

void ReportCSVWriter::nextRow(int count)
{
    m_row += count;
}

void ReportCSVWriter::sessionHead(const QString &reportName, const ReportHeadView &head, bool reportRow)
{
    m_row = 1;
    set(1, reportName);
    const QString captions[] = {QStringLiteral("Class:"), QStringLiteral("Date:"), QStringLiteral("Subject:"),
                                QStringLiteral("Teacher:"), QStringLiteral("Session:")};
    const QString values[] = {head.textClass(), head.textDate(), head.textSubject(), head.textTeacher(),
                              head.textSession()};
    for (int i = 0; i < 5; ++i) {
        nextRow();
        set(2, captions[i]);
        set(3, values[i]);
    }
    nextRow(2); // row 7 stays empty
    if (reportRow) {
        set(1, QStringLiteral("Report"));
        nextRow();
    }
}

void ReportCSVWriter::answerNote()
{
    set(1, QStringLiteral("(Note:'__' means No Answer, '__N' means you got the chance to answer but did not answer "
                          "in Rush Quiz Mode)"));
    nextRow();
}

void ReportCSVWriter::gradebookHead(const QString &reportName, const QString &subject)
{
    m_row = 1;
    set(1, reportName);
    nextRow();
    set(5, subject);
    nextRow();
}

void ReportCSVWriter::noRecord(int column)
{
    nextRow(2);
    set(column, QStringLiteral("There is no record."));
    nextRow(2);
}

void ReportCSVWriter::footer(const QDate &day)
{
    m_row = std::max(m_row, rowAfterLast()) + 1;
    set(1, QStringLiteral("Created On:"));
    set(3, day.toString(QStringLiteral("yyyy-MM-dd")));
    nextRow();
}

void ReportCSVWriter::signatureFooter(const QDate &day, int emptyRowsBefore, int emptyRowsBetween)
{
    m_row = std::max(m_row, rowAfterLast()) + emptyRowsBefore;
    set(1, QStringLiteral("Teacher Signature/Date"));
    set(5, QStringLiteral("Parents Signature/Date"));
    nextRow(1 + emptyRowsBetween);
    set(1, QStringLiteral("Created On:"));
    set(3, day.toString(QStringLiteral("yyyy-MM-dd")));
    nextRow();
}
