#include "ClassGradeStatisticsReportView.h"

#include "ClassGradeReportView.h"
#include "CourseGradeCalculator.h"
#include "HistogramReportView.h"
#include "StatisticsSubReportView.h"

#include "core/reports/ReportPainter.h"

ClassGradeStatisticsReportView::ClassGradeStatisticsReportView(const ClassGradeReportLayout &layout,
                                                               const QList<StudentMarkGrade> &printArray,
                                                               const QList<ConversionLetter> &letterGradeArray)
    : m_layout(layout), m_letterGradeCountArray(letterGradeArray.size(), 0)
{
    for (const ConversionLetter &l : letterGradeArray)
        m_letterArray << l.letter();
    // Each student counts once, under the letter the course grade gives the total.
    for (const StudentMarkGrade &student : printArray) {
        if (student.grade().isEmpty())
            continue;
        const int letter = CourseGradeCalculator::letterIndexFor(student.total(), letterGradeArray);
        if (letter < 0)
            continue;
        ++m_letterGradeCountArray[letter];
        ++m_totalStudents;
    }
    for (int count : m_letterGradeCountArray)
        m_percentArray << (m_totalStudents > 0 ? float(double(count) / m_totalStudents) : 0.0f);
}

void ClassGradeStatisticsReportView::paint(ReportPainter &painter) const
{
    ClassGradeReportView::paintHeading(painter, m_layout);
    HistogramReportView chart;
    chart.setHistogramData(int(m_letterArray.size()), m_percentArray, m_letterArray);
    ReportPainter chartPainter = painter.subView(m_layout.chartFrame);
    chart.paint(chartPainter);
    QRectF legend = m_layout.legendFrame;
    legend.setHeight(m_layout.legendHeight(int(m_letterArray.size())));
    ReportPainter legendPainter = painter.subView(legend);
    StatisticsSubReportView(m_letterArray, m_letterGradeCountArray).paint(legendPainter);
}
