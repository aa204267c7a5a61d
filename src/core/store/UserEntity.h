#pragma once

#include "RecordField.h"

#include <QString>

// One login account of UserList.xml. A new entity is the built-in account; the password is kept
// scrambled, as the login windows hand it in and the file holds it.
class UserEntity
{
    POLLIX_RECORD_FIELD(QString, name, setName, QStringLiteral("tovani"))
    POLLIX_RECORD_FIELD(QString, password, setPassword, QStringLiteral("wopa"))
    POLLIX_RECORD_FIELD(QString, firstName, setFirstName, QStringLiteral("Tovani"))
    POLLIX_RECORD_FIELD(QString, lastName, setLastName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, title, setTitle, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, subject, setSubject, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, pathInfo, setPathInfo, QStringLiteral("Tovani"))
    POLLIX_RECORD_FIELD(bool, isLogin, setIsLogin, false)
    POLLIX_RECORD_FIELD(bool, isRemember, setIsRemember, false)
    POLLIX_RECORD_FIELD(bool, isDelete, setIsDelete, false)
};
