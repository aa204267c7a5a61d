#include "TovClassXmlDatabase.h"

#include "ClassXmlHelper.h"
#include "DataRemovals.h"
#include "GlobalFunctions.h"
#include "StudentRosterXmlHelper.h"
#include "platform/AtomicFile.h"
#include "platform/FolderHandle.h"
#include "platform/Log.h"
#include "platform/Singleton.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {
QString text(pugi::xml_node node, const char *tag)
{
    return GlobalFunctions::getValueByTagName(QString::fromLatin1(tag), node);
}

void set(pugi::xml_node node, const char *tag, const QString &value)
{
    GlobalFunctions::setValue(value, QString::fromLatin1(tag), node);
}

QString birthdayText(const StudentEntity &s)
{
    return GlobalFunctions::dayText(s.birthday());
}

pugi::xml_node appendStudent(pugi::xml_node students, const StudentEntity &s)
{
    pugi::xml_node node = students.append_child("Student");
    GlobalFunctions::appendTextChild(node, "ID", s.id());
    GlobalFunctions::appendTextChild(node, "FName", s.firstName());
    GlobalFunctions::appendTextChild(node, "LName", s.lastName());
    GlobalFunctions::appendTextChild(node, "DNo", QString::number(s.deviceNo()));
    GlobalFunctions::appendTextChild(node, "GNo", QString::number(s.groupNo()));
    GlobalFunctions::appendTextChild(node, "LTime", GlobalFunctions::currentTimeDesp());
    GlobalFunctions::appendTextChild(node, "Misc", QString());
    GlobalFunctions::appendTextChild(node, "Birthday", birthdayText(s));
    GlobalFunctions::appendTextChild(node, "Duty", s.duty());
    GlobalFunctions::appendTextChild(node, "Remark", s.remark());
    GlobalFunctions::appendTextChild(node, "EMail", s.eMail());
    GlobalFunctions::appendTextChild(node, "Address", s.address());
    GlobalFunctions::appendTextChild(node, "Telephone", s.telephone());
    GlobalFunctions::appendTextChild(node, "Gender", QString::number(s.gender()));
    return node;
}

StudentEntity studentFromElement(pugi::xml_node node)
{
    StudentEntity s;
    s.setId(text(node, "ID"));
    const QString legacyName = text(node, "Name");
    if (!legacyName.isEmpty()) {
        s.setFirstName(legacyName);
        s.setLastName(QStringLiteral(""));
    } else {
        s.setFirstName(text(node, "FName"));
        s.setLastName(text(node, "LName"));
    }
    s.setName(s.firstName());
    s.setDeviceNo(GlobalFunctions::intValue(text(node, "DNo")));
    s.setGroupNo(GlobalFunctions::intValue(text(node, "GNo")));
    s.setGender(GlobalFunctions::intValue(text(node, "Gender")));
    s.setBirthday(GlobalFunctions::dateFromDayText(text(node, "Birthday")));
    s.setDuty(text(node, "Duty"));
    s.setRemark(text(node, "Remark"));
    s.setEMail(text(node, "EMail"));
    s.setAddress(text(node, "Address"));
    s.setTelephone(text(node, "Telephone"));
    return s;
}

bool sameIdIgnoringCase(pugi::xml_node student, const QString &id)
{
    return text(student, "ID").compare(id, Qt::CaseInsensitive) == 0;
}

pugi::xml_node firstStudentWithId(pugi::xml_node students, const QString &id)
{
    return GlobalFunctions::nthChildWhere(students, "Student", 0,
                                          [&](pugi::xml_node n) { return sameIdIgnoringCase(n, id); });
}

// Parses a class file; logs why not.
bool parseClassFile(const QString &path, pugi::xml_document &doc, QString *errorText = nullptr)
{
    QString error;
    if (GlobalFunctions::loadXmlFile(path, doc, &error))
        return true;
    PollixLog(QStringLiteral("Failed to load Xml file because of %1").arg(error));
    return GlobalFunctions::failWith(errorText, error);
}

// Parses a class file whose root must hold "Students"; logs why not.
bool loadClassFile(const QString &path, pugi::xml_document &doc, pugi::xml_node &students, QString *errorText = nullptr)
{
    if (!parseClassFile(path, doc, errorText))
        return false;
    students = StudentRosterXmlHelper::studentsIn(doc);
    if (!students) {
        PollixLog(QStringLiteral("<%1> not found").arg(QStringLiteral("Students")));
        return GlobalFunctions::failWith(errorText, QStringLiteral("%1 holds no <Students>").arg(path));
    }
    return true;
}

QString noClass(int classNo)
{
    return QStringLiteral("no class with the number %1").arg(classNo);
}

// The file of the class with that number, parsed, and its "Students"; false (with why) when no
// class has the number or its file cannot be read.
bool loadClassFileOf(const TovClassXmlDatabase &db, int classNo, QString &path, pugi::xml_document &doc,
                     pugi::xml_node &students, QString *errorText = nullptr)
{
    path = db.pathByClassNo(classNo);
    if (path.isNull())
        return GlobalFunctions::failWith(errorText, noClass(classNo));
    return loadClassFile(path, doc, students, errorText);
}
} // namespace

TovClassXmlDatabase *TovClassXmlDatabase::sharedClassUI()
{
    return Singleton<TovClassXmlDatabase>::instance();
}

TovClassXmlDatabase::TovClassXmlDatabase() : m_classXmlDatabasePath(GlobalFunctions::classXmlDatabasePath())
{
    loadClasses();
}

TovClassXmlDatabase::~TovClassXmlDatabase() = default;

void TovClassXmlDatabase::loadClasses()
{
    m_classList.clear();
    if (m_classXmlDatabasePath.isEmpty())
        return;
    QStringList names = GlobalFunctions::fileListAtPath(m_classXmlDatabasePath, QStringLiteral("xml")).value_or(QStringList());
    // Sorted, so that class numbers stay the same from one run to the next.
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    int no = 0;
    for (const QString &name : names) {
        ClassEntity c;
        c.setNo(++no);
        c.setName(name);
        m_classList.append(c);
    }
    if (no > 0)
        m_maxClassNo = no + 1;
}

qsizetype TovClassXmlDatabase::indexOfNo(int no) const
{
    return GlobalFunctions::indexOfNo(m_classList, no);
}

int TovClassXmlDatabase::classNoByName(const QString &name) const
{
    for (const ClassEntity &c : m_classList)
        if (c.name() == name)
            return c.no();
    return -1;
}

bool TovClassXmlDatabase::existClassWithName(const QString &name) const
{
    return classNoByName(name) != -1;
}

QString TovClassXmlDatabase::nameByClassNo(int no) const
{
    if (no == 0)
        return GlobalFunctions::allText();
    const qsizetype i = indexOfNo(no);
    return i < 0 ? QString() : m_classList.at(i).name();
}

QString TovClassXmlDatabase::pathByName(const QString &name) const
{
    return GlobalFunctions::filePathForListedName(m_classXmlDatabasePath, name, QStringLiteral("xml"));
}

QString TovClassXmlDatabase::pathByClassNo(int no) const
{
    const qsizetype i = indexOfNo(no);
    return i < 0 ? QString() : pathByName(m_classList.at(i).name());
}

int TovClassXmlDatabase::addClassWithName(const QString &name, QString *errorText)
{
    QString fileName = GlobalFunctions::safeFileName(name);
    for (qsizetype i = 0; i < m_classList.size(); ++i)
        if (m_classList.at(i).name().compare(fileName, Qt::CaseInsensitive) == 0)
            return int(i + 1);
    if (m_classXmlDatabasePath.isEmpty()) {
        GlobalFunctions::failWith(errorText, QStringLiteral("no data folder"));
        return -1;
    }
    const QString path = GlobalFunctions::freeFilePath(m_classXmlDatabasePath, fileName, QStringLiteral(".xml"), errorText);
    if (path.isEmpty())
        return -1;
    fileName = QFileInfo(path).completeBaseName();

    pugi::xml_document doc;
    pugi::xml_node root = GlobalFunctions::createRoot(doc, "ClassRoom", true);
    GlobalFunctions::appendTextChild(root, "ClassName", name);
    GlobalFunctions::appendTextChild(root, "Splits", QStringLiteral("1"));
    root.append_child("Students");
    if (!GlobalFunctions::saveXmlDocument(path, doc, errorText))
        return -1;
    ClassEntity c;
    c.setNo(m_maxClassNo++);
    c.setName(fileName);
    m_classList.append(c);
    return c.no();
}

bool TovClassXmlDatabase::moveClassFile(qsizetype index, const QString &newName, QString *errorText)
{
    const QString from = pathByName(m_classList.at(index).name());
    const QString to = pathByName(GlobalFunctions::safeFileName(newName));
    if (QString why; AtomicFile::changeRefused(from, &why)) {
        PollixLog(QStringLiteral("Rename file %1 because of %2").arg(from, why));
        return GlobalFunctions::failWith(errorText, why);
    }
    // rename() would replace an existing target; a class file is never replaced by another, nor
    // moved onto its own name (only a change of letter case moves a file onto itself).
    if (QFileInfo::exists(to) && (to == from || QFileInfo(to) != QFileInfo(from))) {
        PollixLog(QStringLiteral("Rename file %1 because of %2").arg(from, QStringLiteral("the target exists")));
        return GlobalFunctions::failWith(errorText, QStringLiteral("%1 exists already").arg(to));
    }
    // Through the classes folder held open, never a link in its place; a file put under the new
    // name meanwhile is not replaced either.
    QString why;
    const FolderHandle folder = GlobalFunctions::heldFolder(QFileInfo(from).absolutePath(), false, &why);
    if (!folder.isOpen() || !folder.renameKeepingOthers(QFileInfo(from).fileName(), QFileInfo(to).fileName(), &why)) {
        PollixLog(QStringLiteral("Rename file %1 because of %2").arg(from, why));
        return GlobalFunctions::failWith(errorText, why);
    }
    DataRemovals::removed(from);
    // The file has its new name from here on, whether or not its folder can be synced now (the
    // teacher is told when it cannot): the list follows the disk.
    m_classList[index].setName(GlobalFunctions::safeFileName(newName));
    AtomicFile::syncAfterRename(folder, QFileInfo(to).fileName());
    return true;
}

bool TovClassXmlDatabase::updateClassWithNo(int no, const QString &newName, QString *errorText)
{
    const qsizetype i = indexOfNo(no);
    if (i < 0) {
        PollixLogf("class with no:%d not found", no);
        return GlobalFunctions::failWith(errorText, noClass(no));
    }
    return moveClassFile(i, newName, errorText);
}

bool TovClassXmlDatabase::updateClassName(const QString &oldName, const QString &newName, QString *errorText)
{
    qsizetype i = 0;
    while (i < m_classList.size() && m_classList.at(i).name().compare(oldName, Qt::CaseInsensitive) != 0)
        ++i;
    if (i == m_classList.size()) {
        PollixLog(QStringLiteral("Class named '%1' not found").arg(oldName));
        return GlobalFunctions::failWith(errorText, QStringLiteral("no class called %1").arg(oldName));
    }
    // Move first: a "ClassName" is only changed in a file that did get the new name.
    const QString oldFileName = m_classList.at(i).name();
    if (!moveClassFile(i, newName, errorText))
        return false;
    const QString path = pathByName(m_classList.at(i).name());
    pugi::xml_document doc;
    QString why;
    if (parseClassFile(path, doc, &why)) {
        GlobalFunctions::setValue(newName, QStringLiteral("ClassName"), doc.document_element());
        if (GlobalFunctions::saveXmlDocument(path, doc, &why))
            return true;
    }
    // The name inside could not follow: the file takes its old name back. When even that fails,
    // the list keeps the name the file has.
    QString back;
    if (!moveClassFile(i, oldFileName, &back))
        return GlobalFunctions::failWith(errorText, QStringLiteral("%1; the class file keeps the name %2, as its old name "
                                                                   "could not be given back: %3")
                                                        .arg(why, QFileInfo(path).fileName(), back));
    return GlobalFunctions::failWith(errorText, why);
}

bool TovClassXmlDatabase::deleteClassWithNo(int no, QString *errorText)
{
    const QString path = pathByClassNo(no);
    if (path.isNull())
        return GlobalFunctions::failWith(errorText, noClass(no));
    if (!GlobalFunctions::removeFileAtPath(path, errorText))
        return false;
    DataRemovals::removed(path);
    m_classList.removeAt(indexOfNo(no));
    return true;
}

bool TovClassXmlDatabase::updateClassWithSplits(int count, int classNo, QString *errorText)
{
    if (nameByClassNo(classNo).isEmpty() || classNo == 0)
        return GlobalFunctions::failWith(errorText, noClass(classNo));
    const QString path = pathByClassNo(classNo);
    pugi::xml_document doc;
    if (!parseClassFile(path, doc, errorText))
        return false;
    GlobalFunctions::setValue(QString::number(count), QStringLiteral("Splits"), doc.document_element());
    return GlobalFunctions::saveXmlDocument(path, doc, errorText);
}

QList<StudentEntity> TovClassXmlDatabase::getStudentListByClassNo(int classNo, QHash<QString, QByteArray> *asRead) const
{
    QList<StudentEntity> list;
    QString path;
    pugi::xml_document doc;
    pugi::xml_node students;
    if (asRead)
        asRead->clear();
    if (!loadClassFileOf(*this, classNo, path, doc, students))
        return list;
    if (asRead)
        *asRead = StudentRosterXmlHelper::studentTexts(students);
    // Ordered by the legacy "Name" text (absent sorts first); equal keys keep file order.
    QList<pugi::xml_node> nodes;
    for (pugi::xml_node n : students.children("Student"))
        nodes.append(n);
    std::stable_sort(nodes.begin(), nodes.end(),
                     [](pugi::xml_node a, pugi::xml_node b) { return text(a, "Name") < text(b, "Name"); });
    int no = 0;
    for (pugi::xml_node n : nodes) {
        StudentEntity s = studentFromElement(n);
        s.setNo(++no);
        list.append(s);
    }
    return list;
}

QList<StudentEntity> TovClassXmlDatabase::getStudentListWithGroupNo(int groupNo, int classNo) const
{
    QList<StudentEntity> list;
    for (const StudentEntity &s : getStudentListByClassNo(classNo))
        if (s.groupNo() == groupNo)
            list.append(s);
    return list;
}

int TovClassXmlDatabase::studentCountInClass(int classNo) const
{
    QString path;
    pugi::xml_document doc;
    pugi::xml_node students;
    if (!loadClassFileOf(*this, classNo, path, doc, students))
        return 0;
    const auto all = students.children("Student");
    return int(std::distance(all.begin(), all.end()));
}

int TovClassXmlDatabase::maxGroupNoInClass(int classNo) const
{
    QString path;
    pugi::xml_document doc;
    pugi::xml_node students;
    if (!loadClassFileOf(*this, classNo, path, doc, students))
        return 1;
    int most = 1;
    for (pugi::xml_node n : students.children("Student"))
        most = std::max(most, GlobalFunctions::intValue(text(n, "GNo")));
    return most;
}

std::optional<StudentEntity> TovClassXmlDatabase::studentByID(const QString &studentID, int classNo, QByteArray *asRead) const
{
    QString path;
    pugi::xml_document doc;
    pugi::xml_node students;
    if (!loadClassFileOf(*this, classNo, path, doc, students))
        return std::nullopt;
    const pugi::xml_node node = firstStudentWithId(students, studentID);
    if (!node)
        return std::nullopt;
    if (asRead)
        *asRead = GlobalFunctions::elementText(node);
    return studentFromElement(node);
}

bool TovClassXmlDatabase::existStudentWithID(const QString &studentID, int classNo, QString *errorText) const
{
    const QString path = pathByClassNo(classNo);
    pugi::xml_document doc;
    if (path.isNull()) {
        GlobalFunctions::failWith(errorText, noClass(classNo));
        return true;
    }
    if (!parseClassFile(path, doc, errorText))
        return true;
    // A file without "Students" holds no student; an add gives it the element.
    return bool(firstStudentWithId(doc.document_element().child("Students"), studentID));
}

bool TovClassXmlDatabase::addStudentWithData(const StudentEntity &student, int classNo, QString *errorText,
                                             QByteArray *written)
{
    for (const StudentEntity &s : getStudentListByClassNo(classNo))
        if (s.id().compare(student.id(), Qt::CaseInsensitive) == 0)
            return GlobalFunctions::failWith(errorText, QStringLiteral("the class holds %1 already").arg(s.id()));
    const QString path = pathByClassNo(classNo);
    if (path.isNull()) {
        PollixLogf("path with no:%d not found", classNo);
        return GlobalFunctions::failWith(errorText, noClass(classNo));
    }
    std::unique_ptr<ClassXmlHelper> file = ClassXmlHelper::initWithXmlPath(path, errorText);
    if (!file)
        return false;
    const pugi::xml_node node = appendStudent(file->studentsElem(), student);
    if (written)
        *written = GlobalFunctions::elementText(node);
    if (!file->save(errorText)) {
        PollixLog(QStringLiteral("Failed to save xml file"));
        return false;
    }
    return true;
}

bool TovClassXmlDatabase::updateStudentByID(const QString &oldID, const StudentEntity &student, int classNo,
                                            QString *errorText, const std::optional<QByteArray> &asRead,
                                            QByteArray *written)
{
    QString path;
    pugi::xml_document doc;
    pugi::xml_node students;
    if (!loadClassFileOf(*this, classNo, path, doc, students, errorText))
        return false;
    pugi::xml_node node = firstStudentWithId(students, oldID);
    if (const QString changed = asRead ? GlobalFunctions::changedSinceRead(node, *asRead, path) : QString(); !changed.isEmpty())
        return GlobalFunctions::failWith(errorText, changed);
    if (!node)
        return GlobalFunctions::failWith(errorText, QStringLiteral("no student %1 in the class").arg(oldID));
    const bool idGoes = !sameIdIgnoringCase(node, student.id());
    set(node, "ID", student.id());
    GlobalFunctions::deleteByTagName(QStringLiteral("Name"), node);
    set(node, "FName", student.firstName());
    set(node, "LName", student.lastName());
    set(node, "DNo", QString::number(student.deviceNo()));
    set(node, "GNo", QString::number(student.groupNo()));
    set(node, "Birthday", birthdayText(student));
    set(node, "Duty", student.duty());
    set(node, "Remark", student.remark());
    set(node, "EMail", student.eMail());
    set(node, "Address", student.address());
    set(node, "Telephone", student.telephone());
    set(node, "Gender", QString::number(student.gender()));
    if (written)
        *written = GlobalFunctions::elementText(node);
    if (!GlobalFunctions::saveXmlDocument(path, doc, errorText))
        return false;
    if (idGoes)
        DataRemovals::removed(path, oldID);
    return true;
}

bool TovClassXmlDatabase::updateStudentGroupNo(int groupNo, int studentNo, int classNo, QString *errorText)
{
    QString path;
    pugi::xml_document doc;
    pugi::xml_node students;
    if (!loadClassFileOf(*this, classNo, path, doc, students, errorText))
        return false;
    int position = 0;
    for (pugi::xml_node n : students.children("Student")) {
        if (++position == studentNo) {
            set(n, "GNo", QString::number(groupNo));
            return GlobalFunctions::saveXmlDocument(path, doc, errorText);
        }
    }
    PollixLog(QStringLiteral("invalid student no"));
    return GlobalFunctions::failWith(errorText, QStringLiteral("no student number %1 in the class").arg(studentNo));
}

bool TovClassXmlDatabase::deleteStudentWithID(const QString &studentID, int classNo, QString *errorText)
{
    QString path;
    pugi::xml_document doc;
    pugi::xml_node students;
    if (!loadClassFileOf(*this, classNo, path, doc, students, errorText))
        return false;
    pugi::xml_node node = firstStudentWithId(students, studentID);
    if (!node)
        return GlobalFunctions::failWith(errorText, QStringLiteral("no student %1 in the class").arg(studentID));
    students.remove_child(node);
    if (!GlobalFunctions::saveXmlDocument(path, doc, errorText))
        return false;
    DataRemovals::removed(path, studentID);
    return true;
}

bool TovClassXmlDatabase::deleteStudent(const StudentEntity &student, int classNo, QString *errorText)
{
    return deleteStudentWithID(student.id(), classNo, errorText);
}

bool TovClassXmlDatabase::beginUpdateStudentsInClass(int classNo, QString *errorText)
{
    const QString path = pathByClassNo(classNo);
    if (path.isNull())
        return GlobalFunctions::failWith(errorText, noClass(classNo));
    std::unique_ptr<ClassXmlHelper> file = ClassXmlHelper::initWithXmlPath(path, errorText);
    if (!file) {
        PollixLog(QStringLiteral("Error occurs while reading students"));
        return false;
    }
    m_clsxhlp = std::move(file);
    return true;
}

void TovClassXmlDatabase::addingStudentWithData(const StudentEntity &student)
{
    if (m_clsxhlp)
        appendStudent(m_clsxhlp->studentsElem(), student);
}

bool TovClassXmlDatabase::endUpdateStudents(QString *errorText)
{
    if (!m_clsxhlp)
        return GlobalFunctions::failWith(errorText, QStringLiteral("no update of a class begun"));
    const bool ok = m_clsxhlp->save(errorText);
    m_clsxhlp.reset();
    return ok;
}

void TovClassXmlDatabase::cancelUpdateStudents()
{
    m_clsxhlp.reset();
}

bool TovClassXmlDatabase::addSomeStudents(const QList<StudentEntity> &students, int classNo, QString *errorText)
{
    if (!beginUpdateStudentsInClass(classNo, errorText))
        return false;
    for (const StudentEntity &s : students)
        addingStudentWithData(s);
    return endUpdateStudents(errorText);
}

bool TovClassXmlDatabase::beginUpdateStudentGroupNoInClass(int classNo, QString *errorText)
{
    m_studentsGroups.clear();
    m_studentsGroups.reserve(1000);
    return beginUpdateStudentsInClass(classNo, errorText);
}

void TovClassXmlDatabase::updateStudentGroupNoWithStudentID(int groupNo, const QString &studentID)
{
    if (!m_studentsGroups.contains(studentID))
        m_studentsGroups.insert(studentID, QString::number(groupNo));
}

bool TovClassXmlDatabase::endUpdateStudentGroupNo(QString *errorText, const QHash<QString, QByteArray> *asRead)
{
    if (m_clsxhlp) {
        for (pugi::xml_node n : m_clsxhlp->studentsElem().children("Student")) {
            const auto hit = m_studentsGroups.constFind(text(n, "ID"));
            if (hit == m_studentsGroups.constEnd() || text(n, "GNo") == hit.value())
                continue;
            if (const QString changed =
                    asRead ? GlobalFunctions::changedSinceRead(n, asRead->value(text(n, "ID").toCaseFolded()), m_clsxhlp->path())
                           : QString();
                !changed.isEmpty()) {
                m_studentsGroups.clear();
                cancelUpdateStudents();
                return GlobalFunctions::failWith(errorText, changed);
            }
            set(n, "GNo", hit.value());
        }
    }
    m_studentsGroups.clear();
    return endUpdateStudents(errorText);
}

bool TovClassXmlDatabase::beginDeleteStudentsInClass(int classNo, QString *errorText)
{
    m_studentsToBeDeleted.clear();
    m_studentsToBeDeleted.reserve(1000);
    return beginUpdateStudentsInClass(classNo, errorText);
}

void TovClassXmlDatabase::deletingStudentWithID(const QString &studentID)
{
    m_studentsToBeDeleted.insert(studentID);
}

bool TovClassXmlDatabase::endDeleteStudents(QString *errorText)
{
    QString path;
    QStringList gone;
    if (m_clsxhlp) {
        path = m_clsxhlp->path();
        pugi::xml_node students = m_clsxhlp->studentsElem();
        QList<pugi::xml_node> doomed;
        for (pugi::xml_node n : students.children("Student"))
            if (m_studentsToBeDeleted.contains(text(n, "ID")))
                doomed.append(n);
        for (pugi::xml_node n : doomed) {
            gone << text(n, "ID");
            students.remove_child(n);
        }
    }
    m_studentsToBeDeleted.clear();
    if (!endUpdateStudents(errorText))
        return false;
    for (const QString &id : std::as_const(gone))
        DataRemovals::removed(path, id);
    return true;
}
