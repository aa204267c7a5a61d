#include "TovTeacherXmlDatabase.h"

#include "GlobalFunctions.h"
#include "core/base/CommonFunc.h"
#include "platform/Singleton.h"

#include <pugixml.hpp>

namespace {
constexpr const char *kRoot = TovTeacherXmlDatabase::kRootName;

QString text(pugi::xml_node node, const char *tag)
{
    return GlobalFunctions::getValueByTagName(QString::fromLatin1(tag), node);
}

// The element's text, as the store then holds it.
QByteArray appendTeacher(pugi::xml_node root, const TeacherEntity &t)
{
    pugi::xml_node node = root.append_child("Teacher");
    GlobalFunctions::appendTextChild(node, "Name", t.firstName());
    GlobalFunctions::appendTextChild(node, "LName", t.lastName());
    GlobalFunctions::appendTextChild(node, "Title", t.title());
    GlobalFunctions::appendTextChild(node, "phone", t.phone());
    GlobalFunctions::appendTextChild(node, "Gender", QString::number(t.gender()));
    GlobalFunctions::appendTextChild(node, "address", t.address());
    return GlobalFunctions::elementText(node);
}

bool sameNames(pugi::xml_node node, const TeacherEntity &t)
{
    return text(node, "Name") == t.firstName() && text(node, "LName") == t.lastName();
}
} // namespace

TovTeacherXmlDatabase *TovTeacherXmlDatabase::sharedUI()
{
    return Singleton<TovTeacherXmlDatabase>::instance();
}

TovTeacherXmlDatabase::TovTeacherXmlDatabase()
    : m_teacherRosterFilePath(GlobalFunctions::pathInDataFolder(QString::fromLatin1(kFileName)))
{
    loadTeachers();
}

TovTeacherXmlDatabase::~TovTeacherXmlDatabase() = default;

bool TovTeacherXmlDatabase::createXmlFileAtPath(const QString &path)
{
    pugi::xml_document doc;
    GlobalFunctions::createRoot(doc, kRoot, false);
    return GlobalFunctions::saveXmlDocument(path, doc);
}

void TovTeacherXmlDatabase::loadTeachers()
{
    pugi::xml_document doc;
    if (m_teacherRosterFilePath.isEmpty() ||
        !GlobalFunctions::loadOrCreateXmlFile(m_teacherRosterFilePath, kRoot, doc))
        return;
    m_teacherList.clear();
    m_asRead.clear();
    int no = 0;
    for (pugi::xml_node node : doc.document_element().children("Teacher")) {
        TeacherEntity t;
        t.setNo(++no);
        t.setFirstName(text(node, "Name"));
        t.setLastName(text(node, "LName"));
        t.setName(mergeFirstLastString(t.firstName(), t.lastName()));
        t.setTitle(text(node, "Title"));
        t.setPhone(text(node, "phone"));
        t.setGender(GlobalFunctions::intValue(text(node, "Gender")));
        t.setAddress(text(node, "address"));
        m_teacherList.append(t);
        m_asRead.append(GlobalFunctions::elementText(node));
    }
    if (no > 0)
        m_maxNo = no + 1;
}

qsizetype TovTeacherXmlDatabase::indexOfNo(int no) const
{
    return GlobalFunctions::indexOfNo(m_teacherList, no);
}

int TovTeacherXmlDatabase::rankAmongEqualNames(qsizetype index) const
{
    const TeacherEntity &t = m_teacherList.at(index);
    int rank = 0;
    for (qsizetype i = 0; i < index; ++i)
        if (m_teacherList.at(i).firstName() == t.firstName() && m_teacherList.at(i).lastName() == t.lastName())
            ++rank;
    return rank;
}

QString TovTeacherXmlDatabase::nameByTeacherNo(int no) const
{
    if (no == 0)
        return GlobalFunctions::allText();
    const qsizetype i = indexOfNo(no);
    return i < 0 ? QString() : m_teacherList.at(i).name();
}

int TovTeacherXmlDatabase::teacherNoByName(const QString &name) const
{
    for (const TeacherEntity &t : m_teacherList)
        if (t.name() == name)
            return t.no();
    return -1;
}

std::optional<TeacherEntity> TovTeacherXmlDatabase::teacherByNo(int no) const
{
    const qsizetype i = indexOfNo(no);
    if (i < 0)
        return std::nullopt;
    return m_teacherList.at(i);
}

bool TovTeacherXmlDatabase::existTeacherWithName(const QString &name) const
{
    for (const TeacherEntity &t : m_teacherList)
        if (mergeFirstLastString(t.firstName(), t.lastName()) == name)
            return true;
    return false;
}

bool TovTeacherXmlDatabase::addTeacherWithData(TeacherEntity &teacher, QString *errorText)
{
    pugi::xml_document doc;
    if (!GlobalFunctions::loadOrCreateXmlFile(m_teacherRosterFilePath, kRoot, doc, errorText))
        return false;
    const QByteArray written = appendTeacher(doc.document_element(), teacher);
    if (!GlobalFunctions::saveXmlDocument(m_teacherRosterFilePath, doc, errorText))
        return false;
    // Listed by the name a reading of the file gives it: lists that show display names (the
    // gradebook's) would otherwise show a blank teacher until the next start.
    if (teacher.name().isEmpty() && !(teacher.firstName().isEmpty() && teacher.lastName().isEmpty()))
        teacher.setName(mergeFirstLastString(teacher.firstName(), teacher.lastName()));
    teacher.setNo(m_maxNo++);
    m_teacherList.append(teacher);
    m_asRead.append(written);
    return true;
}

GlobalFunctions::FileEdit TovTeacherXmlDatabase::editTeacherElement(qsizetype index,
                                                                   const std::function<void(pugi::xml_node)> &edit,
                                                                   QString *errorText, bool asRead)
{
    const TeacherEntity current = m_teacherList.at(index);
    QByteArray written;
    const auto result = GlobalFunctions::editNthRootChild(
        m_teacherRosterFilePath, "Teacher", rankAmongEqualNames(index), [&](pugi::xml_node n) { return sameNames(n, current); },
        edit, errorText, asRead ? std::optional(m_asRead.at(index)) : std::nullopt, &written);
    if (result == GlobalFunctions::FileEdit::Written)
        m_asRead[index] = written;
    return result;
}

bool TovTeacherXmlDatabase::updateTeacherWithData(int no, const TeacherEntity &data, QString *errorText)
{
    const qsizetype i = indexOfNo(no);
    if (i < 0)
        return false;
    const auto result = editTeacherElement(i, [&](pugi::xml_node node) {
        GlobalFunctions::setValue(data.firstName(), QStringLiteral("Name"), node);
        GlobalFunctions::setValue(data.lastName(), QStringLiteral("LName"), node);
        GlobalFunctions::setValue(data.title(), QStringLiteral("Title"), node);
        GlobalFunctions::setValue(data.phone(), QStringLiteral("phone"), node);
        GlobalFunctions::setValue(QString::number(data.gender()), QStringLiteral("Gender"), node);
        GlobalFunctions::setValue(data.address(), QStringLiteral("address"), node);
    }, errorText, true);
    if (result == GlobalFunctions::FileEdit::Failed)
        return false;
    TeacherEntity &entry = m_teacherList[i];
    entry.setFirstName(data.firstName());
    entry.setLastName(data.lastName());
    entry.setName(mergeFirstLastString(data.firstName(), data.lastName()));
    entry.setTitle(data.title());
    entry.setPhone(data.phone());
    entry.setGender(data.gender());
    entry.setAddress(data.address());
    return result == GlobalFunctions::FileEdit::Written;
}

bool TovTeacherXmlDatabase::deleteTeacherWithNo(int no, QString *errorText)
{
    const qsizetype i = indexOfNo(no);
    if (i < 0)
        return false;
    // By its names, whatever else another program changed in it: the teacher asked for it to go.
    const auto result = editTeacherElement(i, [](pugi::xml_node n) { n.parent().remove_child(n); }, errorText, false);
    if (result == GlobalFunctions::FileEdit::Failed)
        return false;
    m_teacherList.removeAt(i);
    m_asRead.removeAt(i);
    return result == GlobalFunctions::FileEdit::Written;
}

bool TovTeacherXmlDatabase::beginUpdateTeachers(QString *errorText)
{
    auto doc = std::make_unique<pugi::xml_document>();
    if (!GlobalFunctions::loadXmlFile(m_teacherRosterFilePath, *doc, errorText))
        return false;
    m_xmlDoc = std::move(doc);
    return true;
}

void TovTeacherXmlDatabase::addingTeacherWithData(TeacherEntity &teacher)
{
    if (!m_xmlDoc)
        return;
    const QByteArray written = appendTeacher(m_xmlDoc->document_element(), teacher);
    teacher.setNo(m_maxNo++);
    m_teacherList.append(teacher);
    m_asRead.append(written);
}

bool TovTeacherXmlDatabase::endUpdateTeachers(QString *errorText)
{
    if (!m_xmlDoc)
        return GlobalFunctions::failWith(errorText, QStringLiteral("no update of the teachers begun"));
    const bool ok = GlobalFunctions::saveXmlDocument(m_teacherRosterFilePath, *m_xmlDoc, errorText);
    m_xmlDoc.reset();
    if (!ok)
        loadTeachers();
    return ok;
}
