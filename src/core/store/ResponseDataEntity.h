#pragma once

#include "RecordField.h"

#include <QString>
#include <QVariantMap>

// One student's answer to one question. questionID is the question number as text,
// studentPoint the points as "%d" text (negative when points are deducted).
class ResponseDataEntity
{
    POLLIX_RECORD_FIELD(QString, studentID, setStudentID, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, questionID, setQuestionID, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, studentPoint, setStudentPoint, QStringLiteral(""))
    POLLIX_RECORD_FIELD(int, time, setTime, 0)
    POLLIX_RECORD_FIELD(QString, response, setResponse, QStringLiteral(""))
};

// Responses in ascending order of their question number (the leading integer of questionID).
int sortResponseByQNo(const ResponseDataEntity &a, const ResponseDataEntity &b, const QVariantMap &context = {});
