#pragma once

#include "RecordField.h"

#include <QString>

// One session type ("Exam", "Homework", "Attendance", ...).
class SessionTypeEntity
{
    POLLIX_RECORD_FIELD(int, no, setNo, -1)
    POLLIX_RECORD_FIELD(QString, name, setName, QStringLiteral(""))
};
