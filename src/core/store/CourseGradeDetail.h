#pragma once

#include "core/store/RecordField.h"

#include <QString>

// One student line of a saved course grade.
class CourseGradeDetail
{
    POLLIX_RECORD_FIELD(QString, studentID, setStudentID, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, studentName, setStudentName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, letterGrade, setLetterGrade, QStringLiteral(""))
    POLLIX_RECORD_FIELD(float, mark, setMark, 0.0f)
};
