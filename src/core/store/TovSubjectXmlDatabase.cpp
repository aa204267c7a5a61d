#include "TovSubjectXmlDatabase.h"

#include "GlobalFunctions.h"
#include "platform/Singleton.h"

#include <pugixml.hpp>

namespace {
constexpr const char *kRoot = TovSubjectXmlDatabase::kRootName;
} // namespace

TovSubjectXmlDatabase *TovSubjectXmlDatabase::sharedSubjectUI()
{
    return Singleton<TovSubjectXmlDatabase>::instance();
}

TovSubjectXmlDatabase::TovSubjectXmlDatabase()
    : m_subjectXmlFilePath(GlobalFunctions::pathInDataFolder(QString::fromLatin1(kFileName)))
{
    loadSubjects();
}

bool TovSubjectXmlDatabase::createXmlFileAtPath(const QString &path)
{
    pugi::xml_document doc;
    GlobalFunctions::createRoot(doc, kRoot, false);
    return GlobalFunctions::saveXmlDocument(path, doc);
}

void TovSubjectXmlDatabase::loadSubjects()
{
    pugi::xml_document doc;
    if (m_subjectXmlFilePath.isEmpty() || !GlobalFunctions::loadOrCreateXmlFile(m_subjectXmlFilePath, kRoot, doc))
        return;
    m_subjectList.clear();
    m_asRead.clear();
    int no = 0;
    for (pugi::xml_node node : doc.document_element().children("Subject")) {
        SubjectEntity subject;
        subject.setNo(++no);
        subject.setName(GlobalFunctions::getValueByTagName(QStringLiteral("Name"), node));
        m_subjectList.append(subject);
        m_asRead.append(GlobalFunctions::elementText(node));
    }
    if (no > 0)
        m_maxNo = no + 1;
}

qsizetype TovSubjectXmlDatabase::indexOfNo(int no) const
{
    return GlobalFunctions::indexOfNo(m_subjectList, no);
}

int TovSubjectXmlDatabase::rankAmongEqualNames(qsizetype index) const
{
    int rank = 0;
    const QString &name = m_subjectList.at(index).name();
    for (qsizetype i = 0; i < index; ++i)
        if (m_subjectList.at(i).name().compare(name, Qt::CaseInsensitive) == 0)
            ++rank;
    return rank;
}

QString TovSubjectXmlDatabase::nameBySubjectNo(int no) const
{
    if (no == 0)
        return GlobalFunctions::allText();
    const qsizetype i = indexOfNo(no);
    return i < 0 ? QString() : m_subjectList.at(i).name();
}

int TovSubjectXmlDatabase::subjectNoByName(const QString &name) const
{
    for (const SubjectEntity &s : m_subjectList)
        if (s.name() == name)
            return s.no();
    return -1;
}

std::optional<SubjectEntity> TovSubjectXmlDatabase::subjectByNo(int no) const
{
    const qsizetype i = indexOfNo(no);
    if (i < 0)
        return std::nullopt;
    return m_subjectList.at(i);
}

bool TovSubjectXmlDatabase::existSubjectWithName(const QString &name) const
{
    for (const SubjectEntity &s : m_subjectList)
        if (s.name().compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

bool TovSubjectXmlDatabase::addSubjectWithData(SubjectEntity &subject, QString *errorText)
{
    pugi::xml_document doc;
    if (!GlobalFunctions::loadOrCreateXmlFile(m_subjectXmlFilePath, kRoot, doc, errorText))
        return false;
    pugi::xml_node node = doc.document_element().append_child("Subject");
    GlobalFunctions::appendTextChild(node, "Name", subject.name());
    if (!GlobalFunctions::saveXmlDocument(m_subjectXmlFilePath, doc, errorText))
        return false;
    subject.setNo(m_maxNo++);
    m_subjectList.append(subject);
    m_asRead.append(GlobalFunctions::elementText(node));
    return true;
}

GlobalFunctions::FileEdit TovSubjectXmlDatabase::editSubjectElement(qsizetype index,
                                                                   const std::function<void(pugi::xml_node)> &edit,
                                                                   QString *errorText, bool asRead)
{
    const QString current = m_subjectList.at(index).name();
    QByteArray written;
    const auto result = GlobalFunctions::editNthRootChild(
        m_subjectXmlFilePath, "Subject", rankAmongEqualNames(index),
        [&](pugi::xml_node n) {
            return GlobalFunctions::getValueByTagName(QStringLiteral("Name"), n).compare(current, Qt::CaseInsensitive) == 0;
        },
        edit, errorText, asRead ? std::optional(m_asRead.at(index)) : std::nullopt, &written);
    if (result == GlobalFunctions::FileEdit::Written)
        m_asRead[index] = written;
    return result;
}

bool TovSubjectXmlDatabase::updateSubjectWithNo(int no, const SubjectEntity &data, QString *errorText)
{
    const qsizetype i = indexOfNo(no);
    if (i < 0)
        return false;
    const auto result = editSubjectElement(
        i, [&](pugi::xml_node n) { GlobalFunctions::setValue(data.name(), QStringLiteral("Name"), n); }, errorText, true);
    if (result == GlobalFunctions::FileEdit::Failed)
        return false;
    m_subjectList[i].setName(data.name());
    return result == GlobalFunctions::FileEdit::Written;
}

bool TovSubjectXmlDatabase::deleteSubjectWithNo(int no, QString *errorText)
{
    const qsizetype i = indexOfNo(no);
    if (i < 0)
        return false;
    // By its name, whatever else another program changed in it: the teacher asked for it to go.
    const auto result = editSubjectElement(i, [](pugi::xml_node n) { n.parent().remove_child(n); }, errorText, false);
    if (result == GlobalFunctions::FileEdit::Failed)
        return false;
    m_subjectList.removeAt(i);
    m_asRead.removeAt(i);
    return result == GlobalFunctions::FileEdit::Written;
}
