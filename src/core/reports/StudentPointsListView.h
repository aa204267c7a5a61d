#pragma once

#include "StudentGradeReport.h"
#include "StudentPointsListLayout.h"

#include <QList>

class ReportPainter;

// One page of the Student Points List: the heading row and one row per student, the name and
// the points each centred under their caption.
class StudentPointsListView
{
public:
    StudentPointsListView(const StudentPointsListLayout &layout, const QList<StudentGradeReport> &studentArray);

    void paint(ReportPainter &painter) const;

private:
    const StudentPointsListLayout &m_layout;
    QList<StudentGradeReport> m_studentArray;
};
