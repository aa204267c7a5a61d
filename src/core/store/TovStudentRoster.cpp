#include "TovStudentRoster.h"

#include "DataRemovals.h"
#include "GlobalFunctions.h"
#include "StudentRosterXmlHelper.h"
#include "core/base/CommonFunc.h"
#include "platform/Log.h"
#include "platform/Singleton.h"

namespace {
const QString kReadError = QStringLiteral("Error occurs while reading student roster file");

// The roster's read error, with why the file could not be read ("it is a folder", ...), as the
// other stores log theirs.
void logReadError(const QString &why)
{
    PollixLog(why.isEmpty() ? kReadError : QStringLiteral("%1: %2").arg(kReadError, why));
}

// The roster's element access says which element it missed.
QString getValueByTagName(const char *tag, pugi::xml_node parent)
{
    if (!parent.child(tag))
        PollixLog(QStringLiteral("%1 not found").arg(QString::fromLatin1(tag)));
    return GlobalFunctions::getValueByTagName(QString::fromLatin1(tag), parent);
}

void setValue(const QString &value, const char *tag, pugi::xml_node parent)
{
    if (!parent.child(tag))
        PollixLog(QStringLiteral("%1 not found").arg(QString::fromLatin1(tag)));
    GlobalFunctions::setValue(value, QString::fromLatin1(tag), parent);
}

QString birthdayText(const StudentEntity &s)
{
    return GlobalFunctions::dayText(s.birthday());
}

pugi::xml_node appendStudent(pugi::xml_node students, const StudentEntity &s)
{
    pugi::xml_node node = students.append_child("Student");
    GlobalFunctions::appendTextChild(node, "ID", s.id());
    GlobalFunctions::appendTextChild(node, "Name", s.firstName());
    GlobalFunctions::appendTextChild(node, "LastName", s.lastName());
    GlobalFunctions::appendTextChild(node, "DeviceNo", QString::number(s.deviceNo()));
    GlobalFunctions::appendTextChild(node, "GroupNo", QString::number(s.groupNo()));
    GlobalFunctions::appendTextChild(node, "Birthday", birthdayText(s));
    GlobalFunctions::appendTextChild(node, "Duty", s.duty());
    GlobalFunctions::appendTextChild(node, "Remark", s.remark());
    GlobalFunctions::appendTextChild(node, "EMail", s.eMail());
    GlobalFunctions::appendTextChild(node, "Address", s.address());
    GlobalFunctions::appendTextChild(node, "Telephone", s.telephone());
    GlobalFunctions::appendTextChild(node, "Gender", QString::number(s.gender()));
    return node;
}

StudentEntity studentFrom(pugi::xml_node n, int no)
{
    StudentEntity s;
    s.setId(getValueByTagName("ID", n));
    s.setNo(no);
    s.setFirstName(getValueByTagName("Name", n));
    s.setLastName(getValueByTagName("LastName", n));
    s.setName(mergeFirstLastString(s.firstName(), s.lastName()));
    s.setBirthday(GlobalFunctions::dateFromDayText(getValueByTagName("Birthday", n)));
    s.setDuty(getValueByTagName("Duty", n));
    s.setRemark(getValueByTagName("Remark", n));
    s.setEMail(getValueByTagName("EMail", n));
    s.setAddress(getValueByTagName("Address", n));
    s.setTelephone(getValueByTagName("Telephone", n));
    s.setGender(GlobalFunctions::intValue(getValueByTagName("Gender", n)));
    s.setDeviceNo(GlobalFunctions::intValue(getValueByTagName("DeviceNo", n)));
    s.setGroupNo(GlobalFunctions::intValue(getValueByTagName("GroupNo", n)));
    return s;
}

pugi::xml_node firstStudentWithId(pugi::xml_node students, const QString &id)
{
    return GlobalFunctions::nthChildWhere(students, "Student", 0, [&](pugi::xml_node n) {
        return GlobalFunctions::getValueByTagName(QStringLiteral("ID"), n).compare(id, Qt::CaseInsensitive) == 0;
    });
}
} // namespace

TovStudentRoster *TovStudentRoster::sharedUI()
{
    return Singleton<TovStudentRoster>::instance();
}

TovStudentRoster::TovStudentRoster()
    : m_studentRosterFilePath(GlobalFunctions::pathInDataFolder(QString::fromLatin1(kFileName)))
{
    PollixLog(QStringLiteral("The student roster is kept in %1").arg(m_studentRosterFilePath));
}

TovStudentRoster::~TovStudentRoster() = default;

std::unique_ptr<StudentRosterXmlHelper> TovStudentRoster::open(QString *errorText) const
{
    if (m_studentRosterFilePath.isEmpty()) {
        GlobalFunctions::failWith(errorText, QStringLiteral("no data folder"));
        return nullptr;
    }
    return StudentRosterXmlHelper::initWithXmlPath(m_studentRosterFilePath, errorText);
}

std::optional<QList<StudentEntity>> TovStudentRoster::getAllStudents() const
{
    QString why;
    std::unique_ptr<StudentRosterXmlHelper> file = open(&why);
    if (!file) {
        logReadError(why);
        return std::nullopt;
    }
    QList<StudentEntity> list;
    int no = 0;
    for (pugi::xml_node n : file->studentsElem().children("Student"))
        list.append(studentFrom(n, ++no));
    return list;
}

std::optional<StudentEntity> TovStudentRoster::studentByID(const QString &studentID, QByteArray *asRead) const
{
    const std::unique_ptr<StudentRosterXmlHelper> file = open();
    if (!file)
        return std::nullopt;
    int no = 0;
    for (pugi::xml_node n : file->studentsElem().children("Student")) {
        ++no;
        if (GlobalFunctions::getValueByTagName(QStringLiteral("ID"), n).compare(studentID, Qt::CaseInsensitive) != 0)
            continue;
        if (asRead)
            *asRead = GlobalFunctions::elementText(n);
        return studentFrom(n, no);
    }
    return std::nullopt;
}

bool TovStudentRoster::existStudentWithID(const QString &studentID) const
{
    std::unique_ptr<StudentRosterXmlHelper> file = open();
    return file && firstStudentWithId(file->studentsElem(), studentID);
}

QHash<QString, QByteArray> TovStudentRoster::studentTexts() const
{
    const std::unique_ptr<StudentRosterXmlHelper> file = open();
    return file ? StudentRosterXmlHelper::studentTexts(file->studentsElem()) : QHash<QString, QByteArray>();
}

bool TovStudentRoster::addStudentWithData(const StudentEntity &student, QString *errorText, QByteArray *written)
{
    QString why;
    std::unique_ptr<StudentRosterXmlHelper> file = open(&why);
    if (!file) {
        logReadError(why);
        return GlobalFunctions::failWith(errorText, why);
    }
    const pugi::xml_node node = appendStudent(file->studentsElem(), student);
    if (written)
        *written = GlobalFunctions::elementText(node);
    return file->save(errorText);
}

bool TovStudentRoster::updateStudentByID(const QString &oldID, const StudentEntity &student, QString *errorText,
                                         const std::optional<QByteArray> &asRead, QByteArray *written)
{
    std::unique_ptr<StudentRosterXmlHelper> file = open(errorText);
    if (!file)
        return false;
    pugi::xml_node node = firstStudentWithId(file->studentsElem(), oldID);
    if (const QString changed = asRead ? GlobalFunctions::changedSinceRead(node, *asRead, m_studentRosterFilePath) : QString();
        !changed.isEmpty())
        return GlobalFunctions::failWith(errorText, changed);
    if (!node)
        return GlobalFunctions::failWith(errorText, QStringLiteral("no student %1 in the roster").arg(oldID));
    const bool idGoes = getValueByTagName("ID", node).compare(student.id(), Qt::CaseInsensitive) != 0;
    GlobalFunctions::setValue(student.id(), QStringLiteral("ID"), node);
    GlobalFunctions::deleteByTagName(QStringLiteral("Name"), node);
    GlobalFunctions::setValue(student.firstName(), QStringLiteral("Name"), node);
    GlobalFunctions::setValue(student.lastName(), QStringLiteral("LastName"), node);
    setValue(QString::number(student.deviceNo()), "DeviceNo", node);
    setValue(QString::number(student.groupNo()), "GroupNo", node);
    GlobalFunctions::setValue(birthdayText(student), QStringLiteral("Birthday"), node);
    GlobalFunctions::setValue(student.duty(), QStringLiteral("Duty"), node);
    GlobalFunctions::setValue(student.remark(), QStringLiteral("Remark"), node);
    GlobalFunctions::setValue(student.eMail(), QStringLiteral("EMail"), node);
    GlobalFunctions::setValue(student.address(), QStringLiteral("Address"), node);
    GlobalFunctions::setValue(student.telephone(), QStringLiteral("Telephone"), node);
    GlobalFunctions::setValue(QString::number(student.gender()), QStringLiteral("Gender"), node);
    if (written)
        *written = GlobalFunctions::elementText(node);
    if (!file->save(errorText))
        return false;
    if (idGoes)
        DataRemovals::removed(m_studentRosterFilePath, oldID);
    return true;
}

bool TovStudentRoster::updateStudentWithData(const StudentEntity &student, QString *errorText, QByteArray *written)
{
    return updateStudentByID(student.id(), student, errorText, std::nullopt, written);
}

bool TovStudentRoster::deleteStudentWithID(const QString &studentID, QString *errorText)
{
    QString why;
    std::unique_ptr<StudentRosterXmlHelper> file = open(&why);
    if (!file) {
        logReadError(why);
        return GlobalFunctions::failWith(errorText, why);
    }
    pugi::xml_node node = firstStudentWithId(file->studentsElem(), studentID);
    if (!node)
        return GlobalFunctions::failWith(errorText, QStringLiteral("no student %1 in the roster").arg(studentID));
    file->studentsElem().remove_child(node);
    if (!file->save(errorText))
        return false;
    DataRemovals::removed(m_studentRosterFilePath, studentID);
    return true;
}

bool TovStudentRoster::beginUpdateStudents(QString *errorText)
{
    QString why;
    std::unique_ptr<StudentRosterXmlHelper> file = open(&why);
    if (!file) {
        logReadError(why);
        return GlobalFunctions::failWith(errorText, why);
    }
    m_sr = std::move(file);
    return true;
}

void TovStudentRoster::addingStudentWithData(const StudentEntity &student)
{
    if (m_sr)
        appendStudent(m_sr->studentsElem(), student);
}

bool TovStudentRoster::endUpdateStudents(QString *errorText)
{
    if (!m_sr)
        return GlobalFunctions::failWith(errorText, QStringLiteral("no update of the roster begun"));
    const bool ok = m_sr->save(errorText);
    m_sr.reset();
    return ok;
}

void TovStudentRoster::cancelUpdateStudents()
{
    m_sr.reset();
}

bool TovStudentRoster::addSomeStudentsToRoster(const QList<StudentEntity> &students, QString *errorText)
{
    if (!beginUpdateStudents(errorText))
        return false;
    for (const StudentEntity &s : students)
        addingStudentWithData(s);
    return endUpdateStudents(errorText);
}
