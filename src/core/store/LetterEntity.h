#pragma once

#include "core/store/RecordField.h"

#include <QString>

// One letter of a letter-grade scale: the whole-point range of totals that earns it.
class LetterEntity
{
    POLLIX_RECORD_FIELD(QString, letter, setLetter, QStringLiteral(""))
    POLLIX_RECORD_FIELD(int, pointFrom, setPointFrom, 0)
    POLLIX_RECORD_FIELD(int, pointTo, setPointTo, 0)
    POLLIX_RECORD_FIELD(QString, notes, setNotes, QStringLiteral(""))
};
