#pragma once

#include "RecordField.h"

#include <QDateTime>
#include <QString>

// One student as a class or roster table shows it. A copy shares nothing with its source.
class StudentInClass
{
    POLLIX_RECORD_FIELD(int, studentNo, setStudentNo, 0)
    POLLIX_RECORD_FIELD(QString, studentID, setStudentID, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, studentFirstName, setStudentFirstName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, studentLastName, setStudentLastName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, studentFullName, setStudentFullName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QDateTime, birthDay, setBirthDay, QDateTime::currentDateTime())
    POLLIX_RECORD_FIELD(QString, duty, setDuty, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, remark, setRemark, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, eMail, setEMail, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, address, setAddress, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, telephone, setTelephone, QStringLiteral(""))
    POLLIX_RECORD_FIELD(int, gender, setGender, 0)
    POLLIX_RECORD_FIELD(int, deviceNo, setDeviceNo, 0)
    POLLIX_RECORD_FIELD(int, groupNo, setGroupNo, 1)
    POLLIX_RECORD_FIELD(QString, letter, setLetter, QStringLiteral(""))
};
