#pragma once

#include "RollCallLayout.h"
#include "StudentIdNameAnswer.h"

#include <QList>

class ReportPainter;

// One page of the Attendance report: the whole roll call's counts and rates, then the page's
// share of the absentees and of the attendants side by side.
class RollCallView
{
public:
    RollCallView(const RollCallLayout &layout, const QList<StudentIdNameAnswer> &attendantsArray,
                 const QList<StudentIdNameAnswer> &absentArray, int numOfAttendants, int numOfAbsentees);

    void paint(ReportPainter &painter) const;

private:
    const RollCallLayout &m_layout;
    QList<StudentIdNameAnswer> m_attendants;
    QList<StudentIdNameAnswer> m_absentees;
    int m_numOfAttendants;
    int m_numOfAbsentees;
};
