#pragma once

#include "RecordField.h"

#include <QString>

// One class of the class store: its number and its name (the class file's name).
class ClassEntity
{
    POLLIX_RECORD_FIELD(int, no, setNo, 0)
    POLLIX_RECORD_FIELD(QString, name, setName, QStringLiteral(""))
};
