#pragma once

#include "RecordField.h"

#include <QString>

// One subject as the roster windows show it.
class Subject
{
    POLLIX_RECORD_FIELD(int, subjectNo, setSubjectNo, 0)
    POLLIX_RECORD_FIELD(QString, subjectName, setSubjectName, QStringLiteral(""))
};
