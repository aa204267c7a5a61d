#pragma once

#include "RecordField.h"

#include <QDateTime>
#include <QString>

// One student, as sessions, class files, the roster and the gradebook carry it.
// id, firstName and lastName are null until set.
class StudentEntity
{
    POLLIX_RECORD_FIELD(QString, id, setId)
    POLLIX_RECORD_FIELD(QString, name, setName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(int, no, setNo, -1)
    POLLIX_RECORD_FIELD(QString, firstName, setFirstName)
    POLLIX_RECORD_FIELD(QString, lastName, setLastName)
    POLLIX_RECORD_FIELD(int, deviceNo, setDeviceNo, 0)
    POLLIX_RECORD_FIELD(int, groupNo, setGroupNo, 1)
    POLLIX_RECORD_FIELD(QDateTime, birthday, setBirthday, QDateTime::currentDateTime())
    POLLIX_RECORD_FIELD(QString, duty, setDuty, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, remark, setRemark, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, eMail, setEMail, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, address, setAddress, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, telephone, setTelephone, QStringLiteral(""))
    POLLIX_RECORD_FIELD(int, gender, setGender, 0)
    POLLIX_RECORD_FIELD(QString, loginTime, setLoginTime, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, totalMark, setTotalMark, QStringLiteral(""))
    POLLIX_RECORD_FIELD(bool, bAttend, setBAttend, false)
};
