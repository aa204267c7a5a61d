#pragma once

#include "RecordField.h"

#include <QString>

// One teacher of the roster; name is the display name (first and last name joined).
class TeacherEntity
{
    POLLIX_RECORD_FIELD(int, no, setNo, 0)
    POLLIX_RECORD_FIELD(QString, name, setName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, firstName, setFirstName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, lastName, setLastName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, title, setTitle, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, phone, setPhone, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, address, setAddress, QStringLiteral(""))
    POLLIX_RECORD_FIELD(int, gender, setGender, 1)
};
