#include "ReportCardView.h"

#include "GradebookReportDrawing.h"

#include "core/base/PrintfNumber.h"
#include "core/reports/ReportDrawing.h"
#include "core/reports/ReportPainter.h"
#include "core/reports/ReportStyle.h"

#include <QCoreApplication>

ReportCardView::ReportCardView(const ReportCardLayout &layout, const QList<SubjectMark> &subjectMarkArray)
    : m_layout(layout), m_subjectMarkArray(subjectMarkArray)
{
}

void ReportCardView::paint(ReportPainter &painter) const
{
    const double w = painter.width(), h = painter.height();
    const QFont font = ReportStyle::arial(18);
    const auto band = [&](double y, const QColor &fill, const QString &subject, const QString &points,
                          const QString &letter) {
        painter.cell(1, y, w - 2, 24, fill);
        painter.drawText(getStringWithSuspensionPoint(subject, m_layout.pointsX - m_layout.subjectX - 4, font),
                         m_layout.subjectX, y, font);
        painter.drawText(points, m_layout.pointsX, y, font);
        painter.drawText(letter, m_layout.letterX, y, font);
    };
    const auto tr = [](const char *text) { return QCoreApplication::translate("Report", text); };
    const double top = h - m_layout.headingDrop;
    band(top, ReportStyle::yellow(), tr("Subject"), tr("Points"), tr("Student Grade"));
    for (int i = 1; i <= m_subjectMarkArray.size(); ++i) {
        const SubjectMark &line = m_subjectMarkArray.at(i - 1);
        band(top - 25 * i, ReportStyle::paleBlue(), line.subjectName(), PrintfNumber::fixed(line.mark(), 1), line.letter());
    }
}
