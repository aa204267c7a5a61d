#include "XMLControl.h"

#include "GlobalFunctions.h"
#include "platform/Log.h"
#include "platform/Singleton.h"

#include <pugixml.hpp>

namespace {
constexpr int kLastExamID = 9999;

pugi::xml_document examDocument(int number)
{
    pugi::xml_document doc;
    pugi::xml_node root = GlobalFunctions::createRoot(doc, "Config", false);
    GlobalFunctions::appendTextChild(root, "ExamID", QString::number(number));
    return doc;
}
} // namespace

XMLControl *XMLControl::sharedXMLUI()
{
    return Singleton<XMLControl>::instance();
}

XMLControl::XMLControl() : m_filePath(GlobalFunctions::pathInApplicationFolder(QStringLiteral("ExamID.xml"))) {}

bool XMLControl::createXmlFileAtPath(const QString &path, QString *errorText)
{
    return GlobalFunctions::saveXmlDocument(path, examDocument(1), errorText);
}

std::optional<int> XMLControl::getExamID(QString *errorText)
{
    if (!GlobalFunctions::fileExistsAtPath(m_filePath)) {
        if (!createXmlFileAtPath(m_filePath, errorText))
            return std::nullopt;
        return 1;
    }
    pugi::xml_document doc;
    if (!GlobalFunctions::loadXmlFile(m_filePath, doc, errorText)) {
        PollixLog(QStringLiteral("no xmlDoc TovQuizXmlDatabase"));
        return std::nullopt;
    }
    const int last = GlobalFunctions::intValue(GlobalFunctions::getValueByTagName(QStringLiteral("ExamID"),
                                                                                  doc.document_element()));
    const int next = last < kLastExamID ? last + 1 : 1;
    if (!updateExamID(next, errorText))
        return std::nullopt;
    return next;
}

bool XMLControl::giveBackExamID(int number, QString *errorText)
{
    pugi::xml_document doc;
    if (!GlobalFunctions::loadXmlFile(m_filePath, doc, errorText))
        return false;
    const int last = GlobalFunctions::intValue(GlobalFunctions::getValueByTagName(QStringLiteral("ExamID"),
                                                                                  doc.document_element()));
    if (last != number)
        return true;
    return updateExamID(number > 1 ? number - 1 : kLastExamID, errorText);
}

bool XMLControl::updateExamID(int number, QString *errorText)
{
    if (m_filePath.isEmpty())
        return GlobalFunctions::failWith(errorText, QStringLiteral("no application folder"));
    if (!GlobalFunctions::fileExistsAtPath(m_filePath))
        return GlobalFunctions::saveXmlDocument(m_filePath, examDocument(number), errorText);
    pugi::xml_document doc;
    if (!GlobalFunctions::loadXmlFile(m_filePath, doc, errorText))
        return false;
    GlobalFunctions::setValue(QString::number(number), QStringLiteral("ExamID"), doc.document_element());
    return GlobalFunctions::saveXmlDocument(m_filePath, doc, errorText);
}
