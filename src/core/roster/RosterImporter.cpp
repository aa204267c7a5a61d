#include "RosterImporter.h"

#include "core/store/StoreTransaction.h"

#include <QFileInfo>

#include "core/base/CommonFunc.h"
#include "core/roster/ImportItemRule.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovStudentRoster.h"
#include "core/store/TovTeacherXmlDatabase.h"
#include "platform/Log.h"

#include <utility>

namespace {
QString field(const QStringList &record, int index)
{
    return record.value(index).trimmed();
}

StudentInClass shownStudent(const StudentEntity &s)
{
    StudentInClass shown;
    shown.setStudentID(s.id());
    shown.setStudentFirstName(s.firstName());
    shown.setStudentLastName(s.lastName());
    shown.setStudentFullName(mergeFirstLastString(s.firstName(), s.lastName()));
    shown.setDeviceNo(s.deviceNo());
    shown.setGroupNo(s.groupNo());
    return shown;
}
} // namespace

QList<StudentEntity> RosterImporter::studentsFromRecords(const QList<QStringList> &records)
{
    QList<StudentEntity> students;
    students.reserve(records.size());
    for (const QStringList &record : records) {
        StudentEntity s;
        s.setDeviceNo(GlobalFunctions::intValue(field(record, 0)));
        s.setId(field(record, 1));
        s.setFirstName(field(record, 2));
        s.setLastName(field(record, 3));
        s.setName(mergeFirstLastString(s.firstName(), s.lastName()));
        s.setGroupNo(GlobalFunctions::intValue(field(record, 5)));
        const QDate birthday = ImportItemRule::dateFromText(field(record, 6)).value_or(QDate(2000, 1, 1));
        s.setBirthday(birthday.startOfDay());
        s.setDuty(field(record, 7));
        s.setRemark(field(record, 8));
        s.setAddress(field(record, 9));
        s.setTelephone(field(record, 10));
        s.setEMail(field(record, 11));
        s.setGender(genderFromText(field(record, 12)));
        students << s;
    }
    return students;
}

QList<TeacherEntity> RosterImporter::teachersFromRecords(const QList<QStringList> &records)
{
    QList<TeacherEntity> teachers;
    teachers.reserve(records.size());
    for (const QStringList &record : records) {
        TeacherEntity t;
        t.setFirstName(field(record, 1));
        t.setLastName(field(record, 2));
        // Stored as typed: the store never pastes a name into a query, so it needs no escaping.
        const bool noName = t.firstName().isEmpty() && t.lastName().isEmpty();
        t.setName(noName ? QString() : mergeFirstLastString(t.firstName(), t.lastName()));
        t.setTitle(field(record, 3));
        t.setAddress(field(record, 4));
        t.setPhone(field(record, 5));
        t.setGender(genderFromText(field(record, 6)));
        teachers << t;
    }
    return teachers;
}

// The preview accepts the gender texts in any case, so the import reads them the same way.
int RosterImporter::genderFromText(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.compare(QLatin1String("Male"), Qt::CaseInsensitive) == 0 ||
        t.compare(QLatin1String("M"), Qt::CaseInsensitive) == 0)
        return 1;
    return 2;
}

void RosterImporter::setClassNoToImport(int classNo, const QString &className)
{
    m_classNo = classNo;
    m_className = className;
}

void RosterImporter::progress(int index, int count)
{
    const int percent = count > 0 ? int(qint64(100) * (index + 1) / count) : 100;
    if (percent != m_lastPercent && onProgress)
        onProgress(percent);
    m_lastPercent = percent;
}

void RosterImporter::loseStudent(const StudentEntity &student, const QString &reason, int record)
{
    m_studentsLost << LostStudent{shownStudent(student), reason, record};
    if (onLost)
        onLost();
}

void RosterImporter::loseTeacher(const TeacherEntity &teacher, const QString &reason, int record)
{
    Teacher shown;
    shown.setFirstName(teacher.firstName());
    shown.setLastName(teacher.lastName());
    shown.setTeacherName(teacher.name());
    shown.setTitle(teacher.title());
    m_teachersLost << LostTeacher{shown, reason, record};
    if (onLost)
        onLost();
}

void RosterImporter::failAll(const QList<StudentEntity> &students, const QString &text, const QString &why)
{
    m_failureText = text;
    m_failureReason = why;
    PollixLog(QStringLiteral("%1 %2").arg(text, why));
    m_studentsLost.clear();
    for (int i = 0; i < students.size(); ++i)
        m_studentsLost << LostStudent{shownStudent(students.at(i)), text, i};
    if (onLost)
        onLost();
}

bool RosterImporter::importStudentsUsingPreviewResultData(const QList<StudentEntity> &students)
{
    m_studentsLost.clear();
    m_failureText.clear();
    m_failureReason.clear();
    m_classSaved = false;
    maxNumInClass = false;
    m_lastPercent = -1;
    auto *roster = TovStudentRoster::sharedUI();
    auto *classes = TovClassXmlDatabase::sharedClassUI();

    QString why;
    // The roster file is made here when it is missing; the import's own writes are held until
    // the end.
    const std::optional<QList<StudentEntity>> inRoster = roster->getAllStudents();
    StoreTransaction transaction;
    if (!inRoster || !roster->beginUpdateStudents(&why)) {
        failAll(students, QStringLiteral("The student roster cannot be read."), why.isEmpty() ? roster->studentRosterFilePath() : why);
        return false;
    }
    if (!classes->beginUpdateStudentsInClass(m_classNo, &why)) {
        roster->cancelUpdateStudents();
        failAll(students, QStringLiteral("The class file cannot be read."), why);
        return false;
    }
    dicStudentRoster.clear();
    for (const StudentEntity &s : *inRoster)
        dicStudentRoster.insert(s.id().toCaseFolded());
    const QList<Placement> placed =
        placements(students, classes->getStudentListByClassNo(m_classNo), m_maxStudentNumberAllowed);
    m_givenDeviceNos.clear();
    for (int i = 0; i < students.size(); ++i) {
        QString reason;
        if (!addStudentToDatabase(students.at(i), placed.at(i), i, &reason))
            loseStudent(students.at(i), reason, i);
        progress(i, int(students.size()));
    }

    const QString classFailed = QStringLiteral("The class file cannot be saved.");
    const QString rosterFailed = QStringLiteral("The student roster cannot be saved.");
    if (!classes->endUpdateStudents(&why)) {
        roster->cancelUpdateStudents();
        failAll(students, classFailed, why);
        return false;
    }
    if (!roster->endUpdateStudents(&why)) {
        failAll(students, rosterFailed, why);
        return false;
    }
    // The class and the roster land together, or neither does: a failed import leaves nothing
    // behind.
    if (!transaction.commit(&why)) {
        failAll(students, transaction.failedPath() == QFileInfo(roster->studentRosterFilePath()).absoluteFilePath()
                              ? rosterFailed
                              : classFailed,
                why);
        return false;
    }
    m_classSaved = true;
    return m_studentsLost.isEmpty();
}

QList<RosterImporter::Placement> RosterImporter::placements(const QList<StudentEntity> &students,
                                                            const QList<StudentEntity> &inClass, int maxStudents)
{
    QList<Placement> placed(students.size());
    QSet<QString> held;
    QSet<int> taken;
    for (const StudentEntity &s : inClass) {
        held.insert(s.id().toCaseFolded());
        taken.insert(s.deviceNo());
    }
    qsizetype count = inClass.size();
    bool full = false;
    // First who goes in, with the numbers typed for them: a number given never lands on one that
    // a later record brings.
    for (qsizetype i = 0; i < students.size(); ++i) {
        const StudentEntity &s = students.at(i);
        // IDs are one student whatever their letter case, as the stores' own lookups have it.
        const QString key = s.id().toCaseFolded();
        if (key.isEmpty())
            placed[i].refusal = reasonNoStudentID();
        else if (held.contains(key))
            placed[i].refusal = reasonAlreadyInClass();
        else if (full || count >= maxStudents)
            full = true;
        if (full && placed[i].refusal.isEmpty())
            placed[i].refusal = reasonClassFull();
        if (!placed[i].refusal.isEmpty())
            continue;
        held.insert(key);
        ++count;
        if (s.deviceNo() >= 1)
            taken.insert(s.deviceNo());
    }
    // Who holds a number typed, by the check Class Setup makes of a class (deviceNoClashes): the
    // class's students in their order, then the records going in; of the holders of one number,
    // each record after the first is given another, as Renumber would give it.
    QList<StudentEntity> holders = inClass;
    QHash<QString, qsizetype> recordOf;
    for (qsizetype i = 0; i < students.size(); ++i) {
        if (placed[i].refusal.isEmpty() && students.at(i).deviceNo() >= 1) {
            holders << students.at(i);
            recordOf.insert(students.at(i).id().toCaseFolded(), i);
        }
    }
    for (const QList<StudentEntity> &clash : RosterEdits::deviceNoClashes(holders)) {
        const HeldBy heldBy = recordOf.contains(clash.first().id().toCaseFolded()) ? HeldBy::EarlierRow : HeldBy::Class;
        for (qsizetype k = 1; k < clash.size(); ++k)
            if (const auto record = recordOf.constFind(clash.at(k).id().toCaseFolded()); record != recordOf.constEnd())
                placed[*record].heldBy = heldBy;
    }
    // A record without a keypad number (a file for a receiver that logs keypads in by ID) takes
    // the class's next free one, so that the class also runs on a receiver that needs numbers;
    // so does one whose number another student holds.
    for (qsizetype i = 0; i < students.size(); ++i) {
        if (students.at(i).deviceNo() >= 1 && placed[i].heldBy == HeldBy::Nobody)
            continue;
        placed[i].given = RosterEdits::deviceNoForNewStudent(taken);
        if (placed[i].refusal.isEmpty())
            taken.insert(placed[i].given->number);
    }
    return placed;
}

bool RosterImporter::addStudentToDatabase(const StudentEntity &typed, const Placement &placement, int record,
                                          QString *reason)
{
    StudentEntity student = typed;
    if (placement.given) {
        student.setDeviceNo(placement.given->number);
        m_givenDeviceNos.insert(record, *placement.given);
    }
    if (student.id().isEmpty()) {
        *reason = reasonNoStudentID();
        return false;
    }
    const QString key = student.id().toCaseFolded();
    if (!dicStudentRoster.contains(key)) {
        TovStudentRoster::sharedUI()->addingStudentWithData(student);
        dicStudentRoster.insert(key);
    }
    if (!placement.refusal.isEmpty()) {
        // The teacher hears of the full class once an import.
        if (placement.refusal == reasonClassFull() && !maxNumInClass) {
            maxNumInClass = true;
            if (onClassFull)
                onClassFull(m_maxStudentNumberAllowed);
        }
        *reason = placement.refusal;
        return false;
    }
    TovClassXmlDatabase::sharedClassUI()->addingStudentWithData(student);
    return true;
}

bool RosterImporter::importTeachersUsingPreviewResultData(const QList<TeacherEntity> &teachers)
{
    m_teachersLost.clear();
    m_failureText.clear();
    m_failureReason.clear();
    m_lastPercent = -1;
    auto *store = TovTeacherXmlDatabase::sharedUI();
    auto failAllTeachers = [&](const QString &text, const QString &why) {
        m_failureText = text;
        m_failureReason = why;
        PollixLog(QStringLiteral("%1 %2").arg(text, why));
        m_teachersLost.clear();
        const std::function<void()> told = std::exchange(onLost, nullptr);
        for (int i = 0; i < teachers.size(); ++i)
            loseTeacher(teachers.at(i), text, i);
        onLost = told;
        if (onLost)
            onLost();
        return false;
    };

    QString why;
    if (!store->beginUpdateTeachers(&why))
        return failAllTeachers(QStringLiteral("The teacher list cannot be read."), why);
    dicTeacherRoster.clear();
    for (const TeacherEntity &t : store->teacherList())
        dicTeacherRoster.insert(mergeFirstLastString(t.firstName(), t.lastName()));

    for (int i = 0; i < teachers.size(); ++i) {
        QString reason;
        if (!addTeacherToDatabase(teachers.at(i), &reason))
            loseTeacher(teachers.at(i), reason, i);
        progress(i, int(teachers.size()));
    }
    if (!store->endUpdateTeachers(&why))
        return failAllTeachers(QStringLiteral("The teacher list cannot be saved."), why);
    return m_teachersLost.isEmpty();
}

bool RosterImporter::addTeacherToDatabase(const TeacherEntity &teacher, QString *reason)
{
    if (teacher.name().isEmpty()) {
        *reason = reasonNoTeacherName();
        return false;
    }
    if (dicTeacherRoster.contains(teacher.name())) {
        *reason = reasonTeacherExists();
        return false;
    }
    dicTeacherRoster.insert(teacher.name());
    TeacherEntity stored = teacher;
    TovTeacherXmlDatabase::sharedUI()->addingTeacherWithData(stored);
    return true;
}
