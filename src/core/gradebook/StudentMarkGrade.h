#pragma once

#include "core/store/RecordField.h"

#include <QList>
#include <QString>

// One student of a course grade: the weighted mark per counted session type, the total out of
// 100 and the letter. What every gradebook report receives.
class StudentMarkGrade
{
    POLLIX_RECORD_FIELD(int, studentNum, setStudentNum, 0)
    POLLIX_RECORD_FIELD(QString, studentName, setStudentName, QStringLiteral(""))
    // One mark per counted session type, rounded to one decimal.
    POLLIX_RECORD_FIELD(QList<float>, markArray, setMarkArray)
    POLLIX_RECORD_FIELD(float, total, setTotal, 0.0f)
    // The letter; "None" when no letter's range starts at or below the total; "" when the total
    // could not be computed in full (a counted type without anything to rate the student by).
    POLLIX_RECORD_FIELD(QString, grade, setGrade, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, studentID, setStudentID, QStringLiteral(""))
};
