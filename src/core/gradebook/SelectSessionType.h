#pragma once

#include "core/store/RecordField.h"

#include <QString>

// A session type as a weight list offers it: whether it counts and its weight in percent.
class SelectSessionType
{
    POLLIX_RECORD_FIELD(int, sessionNum, setSessionNum, 0)
    POLLIX_RECORD_FIELD(bool, isSelect, setIsSelect, false)
    POLLIX_RECORD_FIELD(QString, sessionType, setSessionType, QStringLiteral(""))
    POLLIX_RECORD_FIELD(float, weight, setWeight, 0.0f)
};
