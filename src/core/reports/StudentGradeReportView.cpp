#include "StudentGradeReportView.h"

#include "ReportDrawing.h"
#include "ReportPainter.h"
#include "ReportStyle.h"

#include <QCoreApplication>

StudentGradeReportView::StudentGradeReportView(const StudentGradeReportLayout &layout,
                                               const QList<StudentGradeReport> &rows, const QString &studentID)
    : m_layout(layout), m_rows(rows), m_studentID(studentID)
{
}

void StudentGradeReportView::paint(ReportPainter &painter) const
{
    const double W = painter.width(), H = painter.height();
    const QFont font = ReportStyle::arial(m_layout.textSize);
    painter.titleBand(QCoreApplication::translate("Report", "Report"));

    QList<ReportPainter::Cell> cells;
    for (const auto &c : m_layout.columns)
        cells.append({double(c.cellX), double(c.cellWidth)});

    const double headingY = H - m_layout.headingDrop;
    painter.cellRow(headingY, m_layout.cellHeight, cells, ReportStyle::yellow());
    for (const auto &c : m_layout.columns)
        painter.drawText(QCoreApplication::translate("Report", c.caption), c.captionX, headingY, font);

    for (int i = 1; i <= m_rows.size(); ++i) {
        const StudentGradeReport &row = m_rows.at(i - 1);
        const double y = headingY - 25 * i;
        painter.cellRow(y, m_layout.cellHeight, cells, ReportStyle::paleBlue());
        const QString name = shortenedText(row.studentName(), m_layout.nameLimit, m_layout.nameLimit);
        const QString values[] = {row.studentID(), name, row.correctRatio(), QString::number(row.correct()),
                                  QString::number(row.totalPoints())};
        for (int c = 0; c < m_layout.columns.size() && c < 5; ++c) {
            const auto &column = m_layout.columns.at(c);
            if (column.centred)
                painter.drawTextCentred(values[c], column.captionX, column.centreWidth, y, font);
            else
                painter.drawText(values[c], column.captionX, y, font);
        }
        if (!m_studentID.isEmpty() && row.studentID() == m_studentID)
            painter.strokeRect(2, H - m_layout.headingDrop + 1 - 25 * i, W - 4, 22, 1, ReportStyle::red());
    }
}
