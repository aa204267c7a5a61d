#include "GroupStudentReportView.h"

#include "ReportDrawing.h"
#include "ReportPainter.h"
#include "ReportStyle.h"

#include <QCoreApplication>

GroupStudentReportView::GroupStudentReportView(const GroupStudentReportLayout &layout,
                                               const QList<GroupStudentReportPrintDate> &rows)
    : m_layout(layout), m_rows(rows)
{
}

void GroupStudentReportView::paint(ReportPainter &painter) const
{
    const double W = painter.width(), H = painter.height();
    QFont bold = ReportStyle::arial(22);
    bold.setBold(true);
    painter.titleBand(QCoreApplication::translate("Report", "REPORT"), bold);

    const QFont font = ReportStyle::arial(m_layout.textSize);
    const QString student = QCoreApplication::translate("Report", "Student");
    const QString points = QCoreApplication::translate("Report", "Points");
    const QList<ReportPainter::Cell> captions{{double(m_layout.studentX), double(textWidth(student, font))},
                                              {double(m_layout.pointsX), double(textWidth(points, font))}};
    const int m = int(m_rows.size());
    bool membersCell = false;
    for (int i = 0; i < m; ++i) {
        const GroupStudentReportPrintDate &row = m_rows.at(i);
        const double y = H - m_layout.firstRowDrop - m_layout.rowHeight * i;
        const double text = y + m_layout.textLift;
        switch (row.flag()) {
        case GroupStudentReportPrintDate::GroupTitle:
            painter.cell(1, y, W - 2, m_layout.rowHeight, ReportStyle::yellow());
            painter.drawText(row.title(), m_layout.titleX, text, font);
            break;
        case GroupStudentReportPrintDate::ColumnHeads:
            painter.cell(1, y, W - 2, m_layout.rowHeight, ReportStyle::lightBlue());
            painter.drawText(student, m_layout.studentX, text, font);
            painter.drawText(points, m_layout.pointsX, text, font);
            break;
        case GroupStudentReportPrintDate::Member:
            // Members are not framed one by one: the first one lays one cell down to the page's
            // last row, and titles and heads further down draw their own cells over it.
            if (!membersCell) {
                membersCell = true;
                painter.cell(1, H - m_layout.firstRowDrop - m_layout.rowHeight * (m - 1), W - 2,
                             m_layout.rowHeight * (m - i), ReportStyle::paleBlue());
            }
            painter.centredValues(captions, {row.studentName(), row.point()}, text, font);
            break;
        default:
            break;
        }
    }
}
