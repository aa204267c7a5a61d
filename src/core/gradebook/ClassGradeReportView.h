#pragma once

#include "ClassGradeReportLayout.h"
#include "ConversionLetter.h"
#include "StudentMarkGrade.h"

#include <QList>

class ReportPainter;

// One row page of the Class Grade Report: its students with their total points and the letter
// of the total.
class ClassGradeReportView
{
public:
    ClassGradeReportView(const ClassGradeReportLayout &layout, const QList<StudentMarkGrade> &printArray,
                         const QList<ConversionLetter> &letterGradeArray);

    void paint(ReportPainter &painter) const;
    // The title bar and the column heads, which the statistics page shares.
    static void paintHeading(ReportPainter &painter, const ClassGradeReportLayout &layout);

private:
    const ClassGradeReportLayout &m_layout;
    QList<StudentMarkGrade> m_printArray;
    const QList<ConversionLetter> &m_letterGradeArray;
};
