#pragma once

#include "core/store/RecordField.h"

#include <QString>

// One student's line of a points table.
class StudentGradeReport
{
    POLLIX_RECORD_FIELD(int, studentNo, setStudentNo, 0)
    POLLIX_RECORD_FIELD(QString, studentID, setStudentID, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, studentName, setStudentName, QStringLiteral(""))
    // Correct answers over questions, "%d/%d".
    POLLIX_RECORD_FIELD(QString, correctRatio, setCorrectRatio, QStringLiteral(""))
    // The share of questions answered correctly as a whole-number percentage.
    POLLIX_RECORD_FIELD(int, correct, setCorrect, 0)
    POLLIX_RECORD_FIELD(int, totalPoints, setTotalPoints, 0)
};
