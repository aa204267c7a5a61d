#pragma once

#include "RecordField.h"

#include <QString>

// One class as the roster windows show it; classNo 0 stands for "All".
class MyClass
{
    POLLIX_RECORD_FIELD(int, classNo, setClassNo, 0)
    POLLIX_RECORD_FIELD(QString, className, setClassName, QStringLiteral(""))
};
