#pragma once

#include "core/store/RecordField.h"

#include <QString>

// One session type inside a weight list: whether it counts and its weight in percent.
class SessionTypeInWeight
{
    POLLIX_RECORD_FIELD(bool, isSelect, setIsSelect, false)
    // The type's number in the type list when the entry was made; -1 for a name no type has.
    POLLIX_RECORD_FIELD(int, sessionTypeNo, setSessionTypeNo, 0)
    POLLIX_RECORD_FIELD(QString, sessionType, setSessionType, QStringLiteral(""))
    POLLIX_RECORD_FIELD(float, weight, setWeight, 0.0f)
};
