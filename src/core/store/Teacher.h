#pragma once

#include "RecordField.h"

#include <QString>

// One teacher as the roster windows show it; age, salary and worktime are kept by no store.
class Teacher
{
    POLLIX_RECORD_FIELD(int, teacherNo, setTeacherNo, 0)
    POLLIX_RECORD_FIELD(QString, teacherName, setTeacherName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, title, setTitle, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, telephone, setTelephone, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, firstName, setFirstName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, lastName, setLastName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(int, age, setAge, 0)
    POLLIX_RECORD_FIELD(int, salary, setSalary, 0)
    // 1 male, 2 female.
    POLLIX_RECORD_FIELD(int, gender, setGender, 1)
    POLLIX_RECORD_FIELD(int, worktime, setWorktime, 0)
    POLLIX_RECORD_FIELD(QString, address, setAddress, QStringLiteral(""))
};
