#pragma once

#include "core/store/RecordField.h"

#include <QString>

// A letter of a letter scale as the gradebook windows and the computation use it.
class ConversionLetter
{
    POLLIX_RECORD_FIELD(QString, letter, setLetter, QStringLiteral(""))
    POLLIX_RECORD_FIELD(int, pointFrom, setPointFrom, 0)
    POLLIX_RECORD_FIELD(int, pointTo, setPointTo, 0)
    POLLIX_RECORD_FIELD(QString, notes, setNotes, QStringLiteral(""))
};
