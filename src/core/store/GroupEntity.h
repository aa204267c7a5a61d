#pragma once

#include "RecordField.h"

#include <QString>

// A group of a session with the extra points it was given over the whole run ("%d").
class GroupEntity
{
    POLLIX_RECORD_FIELD(int, groupNo, setGroupNo, 0)
    POLLIX_RECORD_FIELD(QString, appendMark, setAppendMark, QStringLiteral(""))
};
