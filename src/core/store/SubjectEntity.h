#pragma once

#include "RecordField.h"

#include <QString>

// One subject; the name is null until set.
class SubjectEntity
{
    POLLIX_RECORD_FIELD(int, no, setNo, 0)
    POLLIX_RECORD_FIELD(QString, name, setName)
};
