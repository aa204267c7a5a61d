#pragma once

#include "core/store/UserEntity.h"
#include "platform/Singleton.h"

#include <QList>
#include <QString>

#include <mutex>

namespace pugi {
class xml_document;
}

// The login accounts in UserList.xml (data folder). The program creates the file with the
// built-in account and never adds another; the login window checks typed accounts against it and
// the login settings change an account's name and password. Passwords are handed in and kept
// scrambled only.
class TovUserListXmlDatabase
{
public:
    // The store's file in the data folder.
    static constexpr char kFileName[] = "UserList.xml";
    // The accounts a parsed account file holds, in file order.
    static QList<UserEntity> usersIn(const pugi::xml_document &doc);

    static TovUserListXmlDatabase *sharedUI();

    // Re-reads the file; a missing file is first written with the built-in account. When that
    // cannot be written (a read-only folder), the built-in account, which it would hold, is
    // taken from memory.
    void loadUserList();
    // Why the accounts are not those of the file, as the last load found.
    enum class Trouble {
        None,
        NotMade,   // the file is missing and could not be written: the built-in account only
        Unreadable // the file cannot be read: no account
    };
    Trouble trouble() const;
    // The reason in the system's words ("Read-only file system", "Permission denied", ...).
    QString troubleReason() const;
    // True when an account's name equals user.name ignoring case and its password equals
    // user.password exactly.
    bool isValidUser(const UserEntity &user) const;
    // Changes the account called currentName (ignoring case) in the file and, once the file is
    // written, in memory. False when there is no such account or the file could not be written
    // (the reason in *errorText); the list and the file are then as they were.
    bool updateUser(const QString &currentName, const QString &newName, const QString &newPassword,
                    QString *errorText = nullptr);

    QList<UserEntity> userList() const;
    void setUserList(const QList<UserEntity> &list);
    QString filePath() const { return m_filePath; }

    // Writes the file holding the built-in account only.
    static bool createXmlFileAtPath(const QString &path, QString *errorText = nullptr);
    // What that file holds: the built-in account alone.
    static QByteArray builtInContent();

private:
    friend class Singleton<TovUserListXmlDatabase>;
    TovUserListXmlDatabase();
    bool ensureFile(bool *created = nullptr, QString *errorText = nullptr) const;
    bool loadDocument(pugi::xml_document &doc, QString *errorText = nullptr) const;

    mutable std::recursive_mutex m_mutex;
    QList<UserEntity> m_userList;
    QString m_filePath;
    Trouble m_trouble = Trouble::None;
    QString m_troubleReason;
};
