#pragma once

#include "core/store/RecordField.h"

#include <QString>

// One answer of one student to one question.
class AnsPointQuNo
{
    POLLIX_RECORD_FIELD(int, quNo, setQuNo, 0)
    // The points this answer gained (0 for no answer).
    POLLIX_RECORD_FIELD(int, point, setPoint, 0)
    // The response, "__" for no answer.
    POLLIX_RECORD_FIELD(QString, ans, setAns, QStringLiteral(""))
};
