#pragma once

#include "core/store/RecordField.h"

#include <QString>

// One row of a student check list: the report chooser makes one per student of the session, and
// a report handed the list works on the ticked rows only.
class SelectStudents
{
    POLLIX_RECORD_FIELD(int, studentNo, setStudentNo, 0)
    POLLIX_RECORD_FIELD(QString, studentID, setStudentID, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, studentName, setStudentName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(bool, isSelected, setIsSelected, false)
};
