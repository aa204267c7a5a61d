#pragma once

#include "Question.h"

#include "core/store/RecordField.h"

#include <QString>

// A question paired with its number.
class QuestionAndQuestionNum
{
    // "%d" of the number.
    POLLIX_RECORD_FIELD(QString, questionNo, setQuestionNo, QStringLiteral(""))
    POLLIX_RECORD_FIELD(Question, question, setQuestion)
    POLLIX_RECORD_FIELD(int, no, setNo, 0)
};
