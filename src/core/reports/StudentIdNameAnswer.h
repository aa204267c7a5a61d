#pragma once

#include "core/store/RecordField.h"

#include <QString>

// One student with one answer, a group and a total.
class StudentIdNameAnswer
{
    POLLIX_RECORD_FIELD(int, studentNo, setStudentNo, 0)
    POLLIX_RECORD_FIELD(int, groupNo, setGroupNo, 0)
    POLLIX_RECORD_FIELD(int, totalPoint, setTotalPoint, 0)
    POLLIX_RECORD_FIELD(QString, studentID, setStudentID, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, studentName, setStudentName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, answer, setAnswer, QStringLiteral(""))
    // Absent at the roll call.
    POLLIX_RECORD_FIELD(bool, isAbsence, setIsAbsence, false)
};
