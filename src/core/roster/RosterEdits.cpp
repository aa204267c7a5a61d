#include "RosterEdits.h"

#include "core/store/StoreTransaction.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovStudentRoster.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace {
using Outcome = RosterEdits::Outcome;
using Result = RosterEdits::Result;

Result refused(Outcome outcome)
{
    Result r;
    r.outcome = outcome;
    return r;
}

// A store step inside the transaction went wrong: the file it needed could not be read, or
// the student it was to change is not in it (the store says which). Nothing is written then.
Result failedStep(const QString &path, const QString &why)
{
    Result r;
    r.outcome = Outcome::WriteFailed;
    r.errorText = why.contains(path) ? why : QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), why);
    return r;
}

// What the save may find in the file at path: the record as read, or none; anything, unguarded.
std::optional<QByteArray> asReadIn(const std::optional<RosterEdits::StudentAsRead> &asRead, const QString &path)
{
    return asRead ? std::optional(asRead->value(path)) : std::nullopt;
}

Result commit(StoreTransaction &transaction, Result r = {})
{
    if (!transaction.commit(&r.errorText)) {
        r.outcome = Outcome::WriteFailed;
        r.added = 0;
    }
    return r;
}

QString classPath(int classNo)
{
    return TovClassXmlDatabase::sharedClassUI()->pathByClassNo(classNo);
}

QString rosterPath()
{
    return TovStudentRoster::sharedUI()->studentRosterFilePath();
}

// Every class but one that holds the student takes the roster student's own details; its
// keypad and group numbers are the class's own.
bool followInOtherClasses(const StudentEntity &record, int exceptClassNo, QString *why,
                          const std::optional<RosterEdits::StudentAsRead> &asRead)
{
    auto *classes = TovClassXmlDatabase::sharedClassUI();
    for (const ClassEntity &c : classes->classList()) {
        if (c.no() == exceptClassNo)
            continue;
        for (const StudentEntity &held : classes->getStudentListByClassNo(c.no())) {
            if (!RosterEdits::sameID(held.id(), record.id()))
                continue;
            StudentEntity copy = record;
            copy.setDeviceNo(held.deviceNo());
            copy.setGroupNo(held.groupNo());
            if (!classes->updateStudentByID(held.id(), copy, c.no(), why, asReadIn(asRead, classes->pathByClassNo(c.no()))))
                return false;
            break;
        }
    }
    return true;
}
} // namespace

RosterEdits::ClassRead RosterEdits::readClass(int classNo)
{
    auto *classes = TovClassXmlDatabase::sharedClassUI();
    ClassRead read;
    QHash<QString, QByteArray> own;
    read.students = classes->getStudentListByClassNo(classNo, &own);
    QList<std::pair<QString, QHash<QString, QByteArray>>> files{{classPath(classNo), own},
                                                                {rosterPath(), TovStudentRoster::sharedUI()->studentTexts()}};
    for (const ClassEntity &c : classes->classList()) {
        if (c.no() == classNo)
            continue;
        QHash<QString, QByteArray> texts;
        classes->getStudentListByClassNo(c.no(), &texts);
        files.append({classes->pathByClassNo(c.no()), texts});
    }
    for (const StudentEntity &s : std::as_const(read.students)) {
        const QString id = s.id().toCaseFolded();
        StudentAsRead records;
        for (const auto &[path, texts] : std::as_const(files))
            if (const auto hit = texts.constFind(id); hit != texts.constEnd())
                records.insert(path, *hit);
        read.records.insert(id, records);
    }
    return read;
}

Result RosterEdits::addNewStudent(const StudentEntity &typed, int classNo, int maxStudents, bool nextFreeDeviceNo)
{
    StudentEntity student = typed;
    if (nextFreeDeviceNo)
        student.setDeviceNo(std::max(1, RosterEdits::nextFreeDeviceNo(classNo)));
    auto *classes = TovClassXmlDatabase::sharedClassUI();
    auto *roster = TovStudentRoster::sharedUI();
    if (classes->studentCountInClass(classNo) >= maxStudents)
        return refused(Outcome::ClassFull);
    if (roster->existStudentWithID(student.id()))
        return refused(Outcome::IdInRoster);
    // A class file that cannot be read (another program's pipe under its name) holds no ID: the
    // teacher is told why it cannot be read, not that the ID is taken.
    if (QString unreadable; classes->existStudentWithID(student.id(), classNo, &unreadable))
        return unreadable.isEmpty() ? refused(Outcome::IdInClass) : failedStep(classPath(classNo), unreadable);
    StoreTransaction transaction;
    QString why;
    if (!roster->addStudentWithData(student, &why))
        return failedStep(rosterPath(), why);
    if (!classes->addStudentWithData(student, classNo, &why))
        return failedStep(classPath(classNo), why);
    Result r;
    r.added = 1;
    return commit(transaction, r);
}

Result RosterEdits::addFromRoster(const QList<StudentEntity> &students, int classNo, int maxStudents)
{
    auto *classes = TovClassXmlDatabase::sharedClassUI();
    if (classes->studentCountInClass(classNo) >= maxStudents)
        return refused(Outcome::ClassFull);
    QSet<QString> held;
    for (const StudentEntity &s : classes->getStudentListByClassNo(classNo))
        held.insert(s.id().toCaseFolded());
    Result r;
    StoreTransaction transaction;
    QString why;
    if (!classes->beginUpdateStudentsInClass(classNo, &why))
        return failedStep(classPath(classNo), why);
    for (const StudentEntity &s : students) {
        const QString key = s.id().toCaseFolded();
        if (held.contains(key))
            continue;
        if (held.size() >= maxStudents) {
            ++r.leftOut;
            continue;
        }
        classes->addingStudentWithData(s);
        held.insert(key);
        ++r.added;
    }
    if (!classes->endUpdateStudents(&why))
        return failedStep(classPath(classNo), why);
    return commit(transaction, r);
}

Result RosterEdits::removeFromClass(const QStringList &studentIDs, int classNo)
{
    auto *classes = TovClassXmlDatabase::sharedClassUI();
    StoreTransaction transaction;
    QString why;
    if (!classes->beginDeleteStudentsInClass(classNo, &why))
        return failedStep(classPath(classNo), why);
    for (const QString &id : studentIDs)
        classes->deletingStudentWithID(id);
    if (!classes->endDeleteStudents(&why))
        return failedStep(classPath(classNo), why);
    return commit(transaction);
}

Result RosterEdits::saveStudent(const StudentSave &save)
{
    auto *classes = TovClassXmlDatabase::sharedClassUI();
    auto *roster = TovStudentRoster::sharedUI();
    StudentEntity record = save.record;
    if (save.adding && save.nextFreeDeviceNo && !classes->existStudentWithID(record.id(), save.classNo))
        record.setDeviceNo(std::max(1, nextFreeDeviceNo(save.classNo)));
    const bool inRoster = roster->existStudentWithID(record.id());
    bool rosterRewritten = false;
    StoreTransaction transaction;
    QString why;
    if (save.adding) {
        const bool inClass = classes->existStudentWithID(record.id(), save.classNo);
        if (!inClass && classes->studentCountInClass(save.classNo) >= save.maxStudents)
            return refused(Outcome::ClassFull);
        if (inRoster && !save.rosterUpdateConfirmed)
            return refused(Outcome::IdInRoster);
        rosterRewritten = inRoster;
        if (!(inRoster ? roster->updateStudentWithData(record, &why) : roster->addStudentWithData(record, &why)))
            return failedStep(rosterPath(), why);
        const bool classWritten = inClass ? classes->updateStudentByID(record.id(), record, save.classNo, &why)
                                          : classes->addStudentWithData(record, save.classNo, &why);
        if (!classWritten)
            return failedStep(classPath(save.classNo), why);
    } else {
        const bool idChanged = record.id() != save.oldID;
        if (idChanged && classes->existStudentWithID(record.id(), save.classNo))
            return refused(Outcome::IdInClass);
        // Another roster student's ID would make two roster records of one ID.
        if (idChanged && inRoster)
            return refused(Outcome::IdInRoster);
        rosterRewritten = !idChanged && inRoster;
        if (!(rosterRewritten ? roster->updateStudentByID(save.oldID, record, &why, asReadIn(save.asRead, rosterPath()))
                              : roster->addStudentWithData(record, &why)))
            return failedStep(rosterPath(), why);
        if (!classes->updateStudentByID(save.oldID, record, save.classNo, &why, asReadIn(save.asRead, classPath(save.classNo))))
            return failedStep(classPath(save.classNo), why);
    }
    if (rosterRewritten && !followInOtherClasses(record, save.classNo, &why, save.asRead))
        return failedStep(classes->classXmlDatabasePath(), why);
    return commit(transaction);
}

Result RosterEdits::deleteStudent(const QString &studentID, int classNo)
{
    auto *classes = TovClassXmlDatabase::sharedClassUI();
    auto *roster = TovStudentRoster::sharedUI();
    StoreTransaction transaction;
    QString why;
    if (roster->existStudentWithID(studentID) && !roster->deleteStudentWithID(studentID, &why))
        return failedStep(rosterPath(), why);
    if (!classes->deleteStudentWithID(studentID, classNo, &why))
        return failedStep(classPath(classNo), why);
    return commit(transaction);
}

namespace {
constexpr int kMostDeviceNo = 400;

int firstFree(const QSet<int> &taken)
{
    for (int n = 1; n <= kMostDeviceNo; ++n)
        if (!taken.contains(n))
            return n;
    return 0;
}
} // namespace

int RosterEdits::nextFreeDeviceNo(int classNo)
{
    QSet<int> taken;
    for (const StudentEntity &s : TovClassXmlDatabase::sharedClassUI()->getStudentListByClassNo(classNo))
        taken.insert(s.deviceNo());
    return firstFree(taken);
}

QList<QList<StudentEntity>> RosterEdits::deviceNoClashes(const QList<StudentEntity> &students)
{
    QList<int> order;
    QHash<int, QList<StudentEntity>> byNumber;
    for (const StudentEntity &s : students) {
        if (!byNumber.contains(s.deviceNo()))
            order << s.deviceNo();
        byNumber[s.deviceNo()] << s;
    }
    QList<QList<StudentEntity>> clashes;
    for (int n : order)
        if (byNumber.value(n).size() > 1)
            clashes << byNumber.value(n);
    return clashes;
}

Result RosterEdits::renumberDeviceClashes(int classNo)
{
    auto *classes = TovClassXmlDatabase::sharedClassUI();
    // Each student renumbered is rewritten from this read: only while the class still holds it so.
    QHash<QString, QByteArray> asRead;
    const QList<StudentEntity> students = classes->getStudentListByClassNo(classNo, &asRead);
    QSet<int> taken;
    for (const StudentEntity &s : students)
        taken.insert(s.deviceNo());
    StoreTransaction transaction;
    QString why;
    for (const QList<StudentEntity> &clash : deviceNoClashes(students)) {
        for (int i = 1; i < clash.size(); ++i) {
            const int n = firstFree(taken);
            if (n == 0)
                return refused(Outcome::ClassFull);
            taken.insert(n);
            StudentEntity moved = clash.at(i);
            moved.setDeviceNo(n);
            if (!classes->updateStudentByID(moved.id(), moved, classNo, &why, asRead.value(moved.id().toCaseFolded())))
                return failedStep(classPath(classNo), why);
        }
    }
    return commit(transaction);
}

Result RosterEdits::writeGroups(int classNo, const QList<std::pair<QString, int>> &groups, int splits,
                                const QHash<QString, QByteArray> *asRead)
{
    auto *classes = TovClassXmlDatabase::sharedClassUI();
    StoreTransaction transaction;
    QString why;
    if (splits > 0 && !classes->updateClassWithSplits(splits, classNo, &why))
        return failedStep(classPath(classNo), why);
    if (!classes->beginUpdateStudentGroupNoInClass(classNo, &why))
        return failedStep(classPath(classNo), why);
    for (const auto &[id, group] : groups)
        classes->updateStudentGroupNoWithStudentID(group, id);
    if (!classes->endUpdateStudentGroupNo(&why, asRead))
        return failedStep(classPath(classNo), why);
    return commit(transaction);
}
