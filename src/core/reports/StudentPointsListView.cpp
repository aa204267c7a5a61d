#include "StudentPointsListView.h"

#include "ReportDrawing.h"
#include "ReportPainter.h"
#include "ReportStyle.h"

#include <QCoreApplication>

StudentPointsListView::StudentPointsListView(const StudentPointsListLayout &layout,
                                             const QList<StudentGradeReport> &studentArray)
    : m_layout(layout), m_studentArray(studentArray)
{
}

void StudentPointsListView::paint(ReportPainter &painter) const
{
    const double W = painter.width(), H = painter.height();
    const QFont captionFont = ReportStyle::arial(m_layout.captionSize);
    const QFont font = ReportStyle::arial(m_layout.textSize);
    const QString nameCaption = QCoreApplication::translate("Report", "Student Name");
    const QString pointsCaption = QCoreApplication::translate("Report", "Student Points");
    painter.cell(1, H - m_layout.headingDrop, W - 2, m_layout.headingHeight, m_layout.headingColour);
    painter.drawText(nameCaption, m_layout.nameX, H - m_layout.captionDrop, captionFont);
    painter.drawText(pointsCaption, m_layout.pointsX, H - m_layout.captionDrop, captionFont);
    const int nameWidth = textWidth(nameCaption, captionFont);
    const int pointsWidth = textWidth(pointsCaption, captionFont);

    for (int i = 0; i < m_studentArray.size(); ++i) {
        const StudentGradeReport &row = m_studentArray.at(i);
        const double y = H - m_layout.firstRowDrop - 25 * i;
        painter.cell(1, y, W - 2, m_layout.cellHeight, ReportStyle::paleBlue());
        const QString name = getStringWithSuspensionPoint(row.studentName(), m_layout.nameWidth, font);
        if (name != row.studentName())
            painter.addToolTip(1, y, m_layout.pointsX - 1, m_layout.cellHeight, row.studentName());
        painter.drawTextCentred(name, m_layout.nameX, nameWidth, y, font);
        painter.drawTextCentred(QString::number(row.totalPoints()), m_layout.pointsX, pointsWidth, y, font);
    }
}
