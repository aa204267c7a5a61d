#pragma once

#include "RecordField.h"

#include <QString>

// One option of a question; optionID is its zero-based position.
class QuestionOptionEntity
{
    POLLIX_RECORD_FIELD(QString, text, setText, QStringLiteral(""))
    POLLIX_RECORD_FIELD(int, point, setPoint, 0)
    POLLIX_RECORD_FIELD(int, optionID, setOptionID, 0)
};
