#include "StudentRosterXmlHelper.h"

#include "GlobalFunctions.h"
#include "platform/Log.h"

namespace {
void buildEmptyRoster(pugi::xml_document &doc)
{
    GlobalFunctions::createRoot(doc, "ClassRoom", false).append_child("Students");
}
} // namespace

bool StudentRosterXmlHelper::createXmlFileAtPath(const QString &path)
{
    pugi::xml_document doc;
    buildEmptyRoster(doc);
    return GlobalFunctions::saveXmlDocument(path, doc);
}

std::unique_ptr<StudentRosterXmlHelper> StudentRosterXmlHelper::initWithXmlPath(const QString &path, QString *errorText)
{
    std::unique_ptr<StudentRosterXmlHelper> helper(new StudentRosterXmlHelper);
    if (GlobalFunctions::fileExistsAtPath(path)) {
        if (!GlobalFunctions::loadXmlFile(path, helper->m_xmlDoc, errorText))
            return nullptr;
    } else {
        buildEmptyRoster(helper->m_xmlDoc);
        if (!GlobalFunctions::saveXmlDocument(path, helper->m_xmlDoc, errorText))
            return nullptr;
    }
    helper->m_path = path;
    helper->m_studentsElem = studentsIn(helper->m_xmlDoc);
    if (!helper->m_studentsElem) {
        PollixLog(QStringLiteral("<%1> not found").arg(QStringLiteral("Students")));
        GlobalFunctions::failWith(errorText, QStringLiteral("%1 holds no <Students>").arg(path));
        return nullptr;
    }
    return helper;
}

pugi::xml_node StudentRosterXmlHelper::studentsIn(const pugi::xml_document &doc)
{
    return doc.document_element().child("Students");
}

QHash<QString, QByteArray> StudentRosterXmlHelper::studentTexts(pugi::xml_node students)
{
    QHash<QString, QByteArray> texts;
    for (pugi::xml_node n : students.children("Student")) {
        const QString id = GlobalFunctions::getValueByTagName(QStringLiteral("ID"), n).toCaseFolded();
        if (!texts.contains(id))
            texts.insert(id, GlobalFunctions::elementText(n));
    }
    return texts;
}

bool StudentRosterXmlHelper::save(QString *errorText)
{
    return GlobalFunctions::saveXmlDocument(m_path, m_xmlDoc, errorText);
}
