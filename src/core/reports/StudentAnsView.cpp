#include "StudentAnsView.h"

#include "ReportDrawing.h"
#include "ReportPainter.h"
#include "ReportStyle.h"

#include <QCoreApplication>

StudentAnsView::StudentAnsView(const StudentAnsLayout &layout, const QList<StudentIdNameAnswer> &studentArray)
    : m_layout(layout), m_studentArray(studentArray)
{
}

void StudentAnsView::paint(ReportPainter &painter) const
{
    using Field = StudentAnsLayout::Field;
    const auto tr = [](const char *text) { return QCoreApplication::translate("Report", text); };
    const double W = painter.width(), H = painter.height();
    const QFont font = ReportStyle::arial(m_layout.textSize);
    painter.titleBand(tr("Report"), ReportStyle::arialBold(m_layout.captionSize));
    painter.cell(1, H - m_layout.headingDrop, W - 2, 31, ReportStyle::yellow());
    QList<ReportPainter::Cell> captions;
    for (const auto &c : m_layout.columns) {
        painter.drawText(tr(c.caption), c.x, H - m_layout.captionDrop, font);
        captions.append({double(c.x), double(textWidth(tr(c.caption), font))});
    }

    const int k = int(m_studentArray.size());
    if (k > 0)
        painter.cell(1, H - m_layout.firstRowDrop - 25 * (k - 1), W - 2, 25 * k, ReportStyle::paleBlue());
    for (int i = 0; i < k; ++i) {
        const StudentIdNameAnswer &s = m_studentArray.at(i);
        const double y = H - m_layout.firstRowDrop - 25 * i;
        QStringList values;
        for (const auto &c : m_layout.columns)
            values << (c.field == Field::StudentID     ? s.studentID()
                       : c.field == Field::StudentName ? s.studentName()
                                                       : s.answer());
        painter.centredValues(captions, values, y, font);
    }
}
