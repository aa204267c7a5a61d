#pragma once

#include "core/store/RecordField.h"

#include <QString>

// One student's row of a question of the result of elimination: the question's ordinal and
// points, the student and the response; isFail when the response is not the right answer (the
// student is out).
class ResultOfEliminationPrintDate
{
    POLLIX_RECORD_FIELD(bool, isFail, setIsFail, true)
    POLLIX_RECORD_FIELD(QString, questionNo, setQuestionNo, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, questionPoint, setQuestionPoint, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, studentID, setStudentID, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, studentName, setStudentName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, response, setResponse, QStringLiteral(""))
};
