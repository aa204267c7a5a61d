#pragma once

#include "ClassGradeReportLayout.h"
#include "ConversionLetter.h"
#include "StudentMarkGrade.h"

#include <QList>
#include <QStringList>

class ReportPainter;

// The last page of the Class Grade Report: how many students earned each letter of the scale,
// as a bar chart of shares with a legend of the counts.
class ClassGradeStatisticsReportView
{
public:
    ClassGradeStatisticsReportView(const ClassGradeReportLayout &layout, const QList<StudentMarkGrade> &printArray,
                                   const QList<ConversionLetter> &letterGradeArray);

    const QStringList &letterArray() const { return m_letterArray; }
    // Per letter, the students whose total earns it (a total not computed in full earns none).
    const QList<int> &letterGradeCountArray() const { return m_letterGradeCountArray; }
    // Per letter, its count as a share (0 to 1) of the students counted; 0 when nobody is.
    const QList<float> &percentArray() const { return m_percentArray; }
    int totalStudents() const { return m_totalStudents; }

    void paint(ReportPainter &painter) const;

private:
    const ClassGradeReportLayout &m_layout;
    QStringList m_letterArray;
    QList<int> m_letterGradeCountArray;
    QList<float> m_percentArray;
    int m_totalStudents = 0;
};
