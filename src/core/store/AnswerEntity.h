#pragma once

#include "RecordField.h"

#include <QString>

// One student's answer to one question with its time, by question and student number. Kept as a
// record of the session model; sessions carry their answers as ResponseDataEntity.
class AnswerEntity
{
    POLLIX_RECORD_FIELD(int, qu_no, setQu_no, 0)
    POLLIX_RECORD_FIELD(int, student_no, setStudent_no, 0)
    POLLIX_RECORD_FIELD(int, ansTime, setAnsTime, 0)
    POLLIX_RECORD_FIELD(QString, answer, setAnswer, QStringLiteral(""))
};
