#include "ClassGradeReportHeadView.h"

#include "GradebookReportDrawing.h"

#include "core/base/PrintfNumber.h"
#include "core/reports/ReportDrawing.h"
#include "core/reports/ReportPainter.h"
#include "core/reports/ReportStyle.h"

#include <algorithm>
#include <cmath>

QString ClassGradeReportHeadView::weightText() const
{
    QString text;
    for (const SelectSessionType &t : m_weightListArray)
        text += QStringLiteral("%1(%2%);").arg(t.sessionType(), PrintfNumber::fixed(double(t.weight()), 0));
    return text;
}

QString ClassGradeReportHeadView::letterText() const
{
    QString text;
    for (const ConversionLetter &l : m_letterGradeListArray)
        text += QStringLiteral("%1(%2-%3);").arg(l.letter()).arg(l.pointFrom()).arg(l.pointTo());
    return text;
}

void ClassGradeReportHeadView::paint(ReportPainter &painter, double textWidth, int maxLines) const
{
    const double w = painter.width(), h = painter.height();
    painter.strokeRect(1, 1, w - 2, h - 74, 3, ReportStyle::frameBlue());
    painter.fillRect(2, 2, w - 4, h - 284, ReportStyle::yellow());
    painter.strokeRect(1, h - 284, w - 2, 206, 3, ReportStyle::frameBlue());
    painter.fillRect(2, h - 280, w - 4, 206, ReportStyle::paleBlue());
    drawGradebookHeadTitle(painter, m_title, m_subjectGrade);

    drawGradebookHeadField(painter, "Class:", m_className, 167, 174, h - 120);
    drawGradebookHeadField(painter, "Subject:", m_subjectName, 167, 174, h - 160);
    drawGradebookHeadField(painter, "Teacher:", m_teacherName, 167, 174, h - 200);
    drawGradebookHeadField(painter, "Class Avg:", m_classAvg, 167, 174, h - 240);
    drawGradebookHeadField(painter, "Grading Period:", m_gradingPeriod, 167, 174, h - 280);

    const QFont font = ReportStyle::arial(20);
    painter.drawText(QStringLiteral("%1:").arg(m_weightTitle), 20, h - 320, font);
    // The weight list keeps at least one line for the letters.
    const QStringList weights = getWordWrappedStrings(weightText(), textWidth, font, std::max(1, maxLines - 1));
    const int L = int(weights.size());
    for (int i = 0; i < L; ++i)
        painter.drawText(weights.at(i), 20, h - 345 - 25 * i, font);
    painter.drawText(QStringLiteral("%1:").arg(m_letterTitle), 20, std::trunc(h - 345 - 23 * (L + 1)), font);
    const QStringList letters = getWordWrappedStrings(letterText(), textWidth, font, std::max(1, maxLines - L));
    for (int i = 0; i < letters.size(); ++i)
        painter.drawText(letters.at(i), 20, h - 345 - (25 * L + 50) - 25 * i, font);
}
