#pragma once

#include "StudentIdNameAnswer.h"

#include "core/store/RecordField.h"

#include <QList>

// One group's totals; the members are filled in place.
class GroupAndStudentsPoint
{
    POLLIX_RECORD_FIELD(int, groupNo, setGroupNo, 0)
    POLLIX_RECORD_FIELD(QList<StudentIdNameAnswer>, studentPointArray, setStudentPointArray)
    // The sum of the members' totalPoint.
    POLLIX_RECORD_FIELD(int, point, setPoint, 0)
    POLLIX_RECORD_FIELD(int, appendPoint, setAppendPoint, 0)
    // point + appendPoint.
    POLLIX_RECORD_FIELD(int, totalPoint, setTotalPoint, 0)
    // Per question: members who answered it, and who answered it correctly.
    POLLIX_RECORD_FIELD(int, participants, setParticipants, 0)
    POLLIX_RECORD_FIELD(int, correct, setCorrect, 0)
};
