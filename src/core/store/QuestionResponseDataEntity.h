#pragma once

#include "RecordField.h"
#include "ResponseDataEntity.h"

#include <QList>

// Every answer given to one question. Kept as a record of the session model; sessions carry
// their answers in one list of the QuizEntity.
class QuestionResponseDataEntity
{
    POLLIX_RECORD_FIELD(QList<ResponseDataEntity>, allResponses, setAllResponses)
};
