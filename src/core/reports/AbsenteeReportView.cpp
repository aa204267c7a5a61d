#include "AbsenteeReportView.h"

#include "ReportDrawing.h"
#include "ReportPainter.h"
#include "ReportStyle.h"

#include <QCoreApplication>

AbsenteeReportView::AbsenteeReportView(const AbsenteeReportLayout &layout, const QList<StudentGradeReport> &rows)
    : m_layout(layout), m_rows(rows)
{
}

void AbsenteeReportView::paint(ReportPainter &painter) const
{
    const double W = painter.width(), H = painter.height();
    painter.titleBand(QCoreApplication::translate("Report", "Absentee List"));

    const QFont heading = ReportStyle::arial(m_layout.headingSize);
    const QString idCaption = QCoreApplication::translate("Report", "Student ID");
    const QString nameCaption = QCoreApplication::translate("Report", "Student Name");
    painter.cell(1, H - m_layout.headingDrop, W - 2, m_layout.headingHeight, ReportStyle::yellow());
    painter.drawText(idCaption, m_layout.idX, H - m_layout.headingTextDrop, heading);
    painter.drawText(nameCaption, m_layout.nameX, H - m_layout.headingTextDrop, heading);
    if (m_rows.isEmpty()) {
        painter.noRecord();
        return;
    }
    // Values are centred under the captions as wide as the captions' own font makes them.
    const QFont font = ReportStyle::arial(m_layout.textSize);
    const QList<ReportPainter::Cell> captions{{double(m_layout.idX), double(textWidth(idCaption, heading))},
                                              {double(m_layout.nameX), double(textWidth(nameCaption, heading))}};
    for (int i = 0; i < m_rows.size(); ++i) {
        const double y = H - m_layout.firstRowDrop - 25 * i;
        painter.cell(1, y, W - 2, m_layout.cellHeight, ReportStyle::paleBlue());
        painter.centredValues(captions, {m_rows.at(i).studentID(), m_rows.at(i).studentName()}, y, font);
    }
}
