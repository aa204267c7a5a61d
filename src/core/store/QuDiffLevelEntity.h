#pragma once

#include "RecordField.h"

#include <QString>

// A difficulty level by number and name. Kept as a record of the session model; no store fills it.
class QuDiffLevelEntity
{
    POLLIX_RECORD_FIELD(int, no, setNo, 0)
    POLLIX_RECORD_FIELD(QString, name, setName, QStringLiteral(""))
};
