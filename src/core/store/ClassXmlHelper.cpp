#include "ClassXmlHelper.h"

#include "GlobalFunctions.h"
#include "platform/Log.h"

std::unique_ptr<ClassXmlHelper> ClassXmlHelper::initWithXmlPath(const QString &path, QString *errorText)
{
    std::unique_ptr<ClassXmlHelper> helper(new ClassXmlHelper);
    QString error;
    if (!GlobalFunctions::loadXmlFile(path, helper->m_xmlDoc, &error)) {
        PollixLog(QStringLiteral("Failed to load Xml file because of %1").arg(error));
        GlobalFunctions::failWith(errorText, error);
        return nullptr;
    }
    helper->m_path = path;
    pugi::xml_node root = helper->m_xmlDoc.document_element();
    helper->m_studentsElem = root.child("Students");
    if (!helper->m_studentsElem) {
        PollixLog(QStringLiteral("<%1> not found").arg(QStringLiteral("Students")));
        helper->m_studentsElem = root.append_child("Students");
    }
    return helper;
}

bool ClassXmlHelper::save(QString *errorText)
{
    return GlobalFunctions::saveXmlDocument(m_path, m_xmlDoc, errorText);
}
