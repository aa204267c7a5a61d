#include "TovUserListXmlDatabase.h"

#include "core/store/GlobalFunctions.h"
#include "platform/Log.h"

#include <QFile>

#include <pugixml.hpp>

#include <algorithm>

namespace {

const char *const kTeacher = "Teacher";

void appendTeacher(pugi::xml_node root, const UserEntity &u)
{
    pugi::xml_node t = root.append_child(kTeacher);
    const auto put = [&t](const char *tag, const QString &value) { GlobalFunctions::appendTextChild(t, tag, value); };
    put("UserName", u.name());
    put("Password", u.password());
    put("FirstName", u.firstName());
    put("LastName", u.lastName());
    put("Title", u.title());
    put("Subject", u.subject());
    put("IsLogin", QString::number(int(u.isLogin())));
    put("IsRemember", QString::number(int(u.isRemember())));
    put("PathInfo", u.pathInfo());
    put("IsDelete", QString::number(int(u.isDelete())));
}

UserEntity userFromNode(const pugi::xml_node &t)
{
    UserEntity u;
    u.setName(GlobalFunctions::getValueByTagName(QStringLiteral("UserName"), t));
    u.setPassword(GlobalFunctions::getValueByTagName(QStringLiteral("Password"), t));
    u.setFirstName(GlobalFunctions::getValueByTagName(QStringLiteral("FirstName"), t));
    u.setLastName(GlobalFunctions::getValueByTagName(QStringLiteral("LastName"), t));
    u.setTitle(GlobalFunctions::getValueByTagName(QStringLiteral("Title"), t));
    u.setSubject(GlobalFunctions::getValueByTagName(QStringLiteral("Subject"), t));
    u.setPathInfo(GlobalFunctions::getValueByTagName(QStringLiteral("PathInfo"), t));
    u.setIsLogin(GlobalFunctions::intValue(GlobalFunctions::getValueByTagName(QStringLiteral("IsLogin"), t)) != 0);
    u.setIsRemember(GlobalFunctions::intValue(GlobalFunctions::getValueByTagName(QStringLiteral("IsRemember"), t)) != 0);
    u.setIsDelete(GlobalFunctions::intValue(GlobalFunctions::getValueByTagName(QStringLiteral("IsDelete"), t)) != 0);
    return u;
}

} // namespace

TovUserListXmlDatabase *TovUserListXmlDatabase::sharedUI()
{
    return Singleton<TovUserListXmlDatabase>::instance();
}

TovUserListXmlDatabase::TovUserListXmlDatabase()
{
    m_filePath = GlobalFunctions::pathInDataFolder(QString::fromLatin1(kFileName));
    PollixLog(QStringLiteral("The login accounts are read from %1").arg(m_filePath));
    loadUserList();
}

QByteArray TovUserListXmlDatabase::builtInContent()
{
    pugi::xml_document doc;
    appendTeacher(GlobalFunctions::createRoot(doc, "ArrayOfTeacher", false), UserEntity());
    return GlobalFunctions::xmlData(doc);
}

bool TovUserListXmlDatabase::createXmlFileAtPath(const QString &path, QString *errorText)
{
    return GlobalFunctions::createQXmlFileAtPath(path, builtInContent(), errorText);
}

bool TovUserListXmlDatabase::ensureFile(bool *created, QString *errorText) const
{
    if (created)
        *created = false;
    if (QFile::exists(m_filePath))
        return true;
    if (!createXmlFileAtPath(m_filePath, errorText))
        return false;
    if (created)
        *created = true;
    return true;
}

bool TovUserListXmlDatabase::loadDocument(pugi::xml_document &doc, QString *errorText) const
{
    QString error;
    if (!GlobalFunctions::loadXmlFile(m_filePath, doc, &error)) {
        PollixLog(error);
        return GlobalFunctions::failWith(errorText, error);
    }
    return bool(doc.document_element());
}

void TovUserListXmlDatabase::loadUserList()
{
    std::lock_guard lock(m_mutex);
    m_userList.clear();
    m_trouble = Trouble::None;
    m_troubleReason.clear();
    QString why;
    if (!ensureFile(nullptr, &why)) {
        // The file would hold the built-in account alone, and it logs in without anything being
        // written; a change of the account cannot be kept.
        m_userList = {UserEntity()};
        m_trouble = Trouble::NotMade;
        m_troubleReason = why;
        return;
    }
    pugi::xml_document doc;
    if (!loadDocument(doc, &why)) {
        m_trouble = Trouble::Unreadable;
        m_troubleReason = why.isEmpty() ? QStringLiteral("no accounts in it") : why;
        return;
    }
    m_userList = usersIn(doc);
}

TovUserListXmlDatabase::Trouble TovUserListXmlDatabase::trouble() const
{
    std::lock_guard lock(m_mutex);
    return m_trouble;
}

QString TovUserListXmlDatabase::troubleReason() const
{
    std::lock_guard lock(m_mutex);
    return m_troubleReason;
}

QList<UserEntity> TovUserListXmlDatabase::usersIn(const pugi::xml_document &doc)
{
    QList<UserEntity> out;
    for (pugi::xml_node t : doc.document_element().children(kTeacher))
        out << userFromNode(t);
    return out;
}

bool TovUserListXmlDatabase::isValidUser(const UserEntity &user) const
{
    std::lock_guard lock(m_mutex);
    bool valid = false;
    for (const UserEntity &u : m_userList)
        if (u.name().compare(user.name(), Qt::CaseInsensitive) == 0 && u.password() == user.password())
            valid = true;
    return valid;
}

bool TovUserListXmlDatabase::updateUser(const QString &currentName, const QString &newName, const QString &newPassword,
                                        QString *errorText)
{
    std::lock_guard lock(m_mutex);
    bool created = false;
    if (!ensureFile(&created, errorText))
        return false;
    const bool known = std::any_of(m_userList.cbegin(), m_userList.cend(), [&](const UserEntity &u) {
        return u.name().compare(currentName, Qt::CaseInsensitive) == 0;
    });
    if (!known)
        return false;

    pugi::xml_document doc;
    if (!loadDocument(doc, errorText))
        return false;
    // The account is found in the file by its name, so that a file with several accounts changes
    // the right one. A file just recreated holds only the built-in account, which then takes the
    // change the teacher asked for.
    pugi::xml_node target;
    for (pugi::xml_node t : doc.document_element().children(kTeacher)) {
        if (GlobalFunctions::getValueByTagName(QStringLiteral("UserName"), t).compare(currentName, Qt::CaseInsensitive) == 0) {
            target = t;
            break;
        }
    }
    if (!target && created)
        target = doc.document_element().child(kTeacher);
    if (!target)
        return false;
    GlobalFunctions::setValue(newName, QStringLiteral("UserName"), target);
    GlobalFunctions::setValue(newPassword, QStringLiteral("Password"), target);
    if (!GlobalFunctions::createQXmlFileAtPath(m_filePath, GlobalFunctions::xmlData(doc), errorText))
        return false;

    // Memory follows the file only once the file holds the change.
    m_userList = usersIn(doc);
    m_trouble = Trouble::None;
    m_troubleReason.clear();
    return true;
}

QList<UserEntity> TovUserListXmlDatabase::userList() const
{
    std::lock_guard lock(m_mutex);
    return m_userList;
}

void TovUserListXmlDatabase::setUserList(const QList<UserEntity> &list)
{
    std::lock_guard lock(m_mutex);
    m_userList = list;
}
