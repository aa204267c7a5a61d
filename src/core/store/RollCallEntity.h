#pragma once

#include "RecordField.h"

#include <QString>

// One roll call of an attendance session: when it was taken and the absent students as one text.
class RollCallEntity
{
    POLLIX_RECORD_FIELD(QString, rollCallTime, setRollCallTime, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, AbsenceStu, setAbsenceStu, QStringLiteral(""))
};
