#pragma once

#include "core/store/RecordField.h"

#include <QString>

// A generic row of one text with an integer key: a line of a report, an answer, a list entry.
// What num, quModeNo, quTypeNo and nMessageType mean is the user's to say.
class SingleColumnString
{
    POLLIX_RECORD_FIELD(int, num, setNum, -1)
    POLLIX_RECORD_FIELD(QString, str, setStr, QStringLiteral(""))
    POLLIX_RECORD_FIELD(int, quModeNo, setQuModeNo, 1)
    POLLIX_RECORD_FIELD(int, quTypeNo, setQuTypeNo, 1)
    POLLIX_RECORD_FIELD(int, point, setPoint, 0)
    POLLIX_RECORD_FIELD(QString, stuID, setStuID, QStringLiteral(""))
    // The drawing kind of a report line (font, indent, mark), each report defining its codes.
    POLLIX_RECORD_FIELD(int, nMessageType, setNMessageType, 0)
};
