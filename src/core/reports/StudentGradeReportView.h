#pragma once

#include "StudentGradeReport.h"
#include "StudentGradeReportLayout.h"

#include <QList>
#include <QString>

class ReportPainter;

// One page of the Student Session Report: the title bar, the column headings and the page's
// rows, the row of studentID outlined in red.
class StudentGradeReportView
{
public:
    StudentGradeReportView(const StudentGradeReportLayout &layout, const QList<StudentGradeReport> &rows,
                           const QString &studentID = QString());

    void paint(ReportPainter &painter) const;

private:
    const StudentGradeReportLayout &m_layout;
    QList<StudentGradeReport> m_rows;
    QString m_studentID;
};
