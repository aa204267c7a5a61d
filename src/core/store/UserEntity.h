#pragma once

#include <QString>

// One login account of UserList.xml. A new entity is the built-in account.
class UserEntity
{
public:
    QString name = QStringLiteral("tovani");
    // The scrambled password, as the login windows hand it in and the file keeps it.
    QString password = QStringLiteral("wopa");
    QString firstName = QStringLiteral("Tovani");
    QString lastName;
    QString title;
    QString subject;
    QString pathInfo = QStringLiteral("Tovani");
    bool isLogin = false;
    bool isRemember = false;
    bool isDelete = false;
};
