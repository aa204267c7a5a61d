#pragma once

#include "GroupAndStudentsPoint.h"
#include "StudentIdNameAnswer.h"

#include <QList>

class QuizEntity;

// The groups of a stored group session as the group reports see them: the students who attended,
// each with the points of the session cut to a whole number, gathered by group number.
class SessionGroups
{
public:
    SessionGroups() = delete;

    // The attending students in the session's order, named by first and last name ("Null" for
    // neither), each with the session's points cut toward zero.
    static QList<StudentIdNameAnswer> attendingStudents(const QuizEntity &quiz);
    // The students ordered by their IDs read as numbers (leading digits; 0 without), equal
    // numbers keeping their order.
    static void sortById(QList<StudentIdNameAnswer> &students);
    // One record per group number among the students (0 included), ascending; members in the
    // students' order; point the sum of the members' points, appendPoint the group's extra points,
    // totalPoint their sum.
    static QList<GroupAndStudentsPoint> groups(const QList<StudentIdNameAnswer> &students, const QuizEntity &quiz);
};
