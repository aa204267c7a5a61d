#pragma once

#include "core/store/RecordField.h"

#include <QString>

// One line of a report card: a subject's course grade for the student.
class SubjectMark
{
    POLLIX_RECORD_FIELD(QString, subjectName, setSubjectName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(float, mark, setMark, 0.0f)
    POLLIX_RECORD_FIELD(QString, letter, setLetter, QStringLiteral(""))
};
