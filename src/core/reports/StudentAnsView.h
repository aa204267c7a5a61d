#pragma once

#include "StudentAnsLayout.h"
#include "StudentIdNameAnswer.h"

#include <QList>

class ReportPainter;

// One page of the voters of a question: each attendant's ID, name and answer.
class StudentAnsView
{
public:
    StudentAnsView(const StudentAnsLayout &layout, const QList<StudentIdNameAnswer> &studentArray);

    void paint(ReportPainter &painter) const;

private:
    const StudentAnsLayout &m_layout;
    QList<StudentIdNameAnswer> m_studentArray;
};
