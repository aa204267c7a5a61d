#include "RosterEdits.h"

#include "core/store/StoreTransaction.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovStudentRoster.h"
#include "platform/FileVersions.h"

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

// For each student (by ID folded to lower case), the file whose copy of it a save found changed
// by another program since its window read it. The alert of that refusal tells the teacher to
// open the window again to see the other program's version: the window opened again shows that
// copy, until a save of the student goes through.
QHash<QString, QString> g_changedCopies;

// A failed step of the save of student: where the reason is another program's change of path,
// that copy is the one to show next.
Result failedSave(const QString &path, const QString &why, const QString &student)
{
    if (FileVersions::isChangedText(why))
        g_changedCopies.insert(student.toCaseFolded(), path);
    return failedStep(path, why);
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
bool followInOtherClasses(const StudentEntity &record, int exceptClassNo, QString *why, QString *failedPath,
                          const std::optional<RosterEdits::StudentAsRead> &asRead, RosterEdits::StudentAsRead &written)
{
    auto *classes = TovClassXmlDatabase::sharedClassUI();
    for (const ClassEntity &c : classes->classList()) {
        if (c.no() == exceptClassNo)
            continue;
        // Only the student itself is taken out of each class file: a school's classes are many.
        const std::optional<StudentEntity> held = classes->studentByID(record.id(), c.no());
        if (!held)
            continue;
        StudentEntity copy = record;
        copy.setDeviceNo(held->deviceNo());
        copy.setGroupNo(held->groupNo());
        const QString path = classes->pathByClassNo(c.no());
        QByteArray text;
        if (!classes->updateStudentByID(held->id(), copy, c.no(), why, asReadIn(asRead, path), &text)) {
            *failedPath = path;
            return false;
        }
        written.insert(path, text);
    }
    return true;
}
} // namespace

RosterEdits::StudentRead RosterEdits::readStudent(int classNo, const QString &studentID)
{
    auto *classes = TovClassXmlDatabase::sharedClassUI();
    StudentRead read;
    QByteArray text;
    const std::optional<StudentEntity> own = classes->studentByID(studentID, classNo, &text);
    if (!own)
        return read;
    read.records.insert(classPath(classNo), text);
    // Every copy the save may replace, and what each holds.
    QHash<QString, StudentEntity> copies{{classPath(classNo), *own}};
    if (const std::optional<StudentEntity> inRoster = TovStudentRoster::sharedUI()->studentByID(studentID, &text)) {
        read.records.insert(rosterPath(), text);
        copies.insert(rosterPath(), *inRoster);
    }
    for (const ClassEntity &c : classes->classList()) {
        if (c.no() == classNo)
            continue;
        if (const std::optional<StudentEntity> copy = classes->studentByID(studentID, c.no(), &text)) {
            read.records.insert(classes->pathByClassNo(c.no()), text);
            copies.insert(classes->pathByClassNo(c.no()), *copy);
        }
    }
    // The details the save writes into every copy: the roster's, which every class follows, or
    // those of the copy a refused save found another program had changed; this class keeps its
    // own ID and numbers.
    const QString shownFrom = g_changedCopies.value(studentID.toCaseFolded(),
                                                    copies.contains(rosterPath()) ? rosterPath() : classPath(classNo));
    StudentEntity shown = copies.value(shownFrom, copies.value(rosterPath(), *own));
    shown.setId(own->id());
    shown.setDeviceNo(own->deviceNo());
    shown.setGroupNo(own->groupNo());
    read.student = shown;
    return read;
}

Result RosterEdits::addNewStudent(const StudentEntity &typed, int classNo, int maxStudents, bool nextFreeDeviceNo)
{
    StudentEntity student = typed;
    if (nextFreeDeviceNo)
        student.setDeviceNo(deviceNoForNewStudent(classNo).number);
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
    const QString student = save.adding ? record.id() : save.oldID;
    if (save.adding && save.nextFreeDeviceNo && !classes->existStudentWithID(record.id(), save.classNo))
        record.setDeviceNo(deviceNoForNewStudent(save.classNo).number);
    const bool inRoster = roster->existStudentWithID(record.id());
    bool rosterRewritten = false;
    StoreTransaction transaction;
    QString why;
    StudentAsRead written;
    QByteArray inRosterWritten, inClassWritten;
    if (save.adding) {
        const bool inClass = classes->existStudentWithID(record.id(), save.classNo);
        if (!inClass && classes->studentCountInClass(save.classNo) >= save.maxStudents)
            return refused(Outcome::ClassFull);
        if (inRoster && !save.rosterUpdateConfirmed)
            return refused(Outcome::IdInRoster);
        rosterRewritten = inRoster;
        if (!(inRoster ? roster->updateStudentWithData(record, &why, &inRosterWritten)
                       : roster->addStudentWithData(record, &why, &inRosterWritten)))
            return failedSave(rosterPath(), why, student);
        const bool classWritten = inClass ? classes->updateStudentByID(record.id(), record, save.classNo, &why,
                                                                       std::nullopt, &inClassWritten)
                                          : classes->addStudentWithData(record, save.classNo, &why, &inClassWritten);
        if (!classWritten)
            return failedSave(classPath(save.classNo), why, student);
    } else {
        const bool idChanged = record.id() != save.oldID;
        if (idChanged && classes->existStudentWithID(record.id(), save.classNo))
            return refused(Outcome::IdInClass);
        // Another roster student's ID would make two roster records of one ID.
        if (idChanged && inRoster)
            return refused(Outcome::IdInRoster);
        // A roster record the window read and another program removed since is not put back.
        if (!idChanged && !inRoster && !asReadIn(save.asRead, rosterPath()).value_or(QByteArray()).isEmpty())
            return failedSave(rosterPath(), FileVersions::changedText(rosterPath()), student);
        rosterRewritten = !idChanged && inRoster;
        if (!(rosterRewritten ? roster->updateStudentByID(save.oldID, record, &why, asReadIn(save.asRead, rosterPath()),
                                                          &inRosterWritten)
                              : roster->addStudentWithData(record, &why, &inRosterWritten)))
            return failedSave(rosterPath(), why, student);
        if (!classes->updateStudentByID(save.oldID, record, save.classNo, &why, asReadIn(save.asRead, classPath(save.classNo)),
                                        &inClassWritten))
            return failedSave(classPath(save.classNo), why, student);
    }
    if (QString failedPath;
        rosterRewritten && !followInOtherClasses(record, save.classNo, &why, &failedPath, save.asRead, written))
        return failedSave(failedPath.isEmpty() ? classes->classXmlDatabasePath() : failedPath, why, student);
    written.insert(rosterPath(), inRosterWritten);
    written.insert(classPath(save.classNo), inClassWritten);
    Result r = commit(transaction);
    if (!r.ok()) {
        if (FileVersions::isChangedText(r.errorText))
            g_changedCopies.insert(student.toCaseFolded(), transaction.failedPath());
        return r;
    }
    g_changedCopies.remove(save.oldID.toCaseFolded());
    g_changedCopies.remove(record.id().toCaseFolded());
    r.written = std::move(written);
    return r;
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

RosterEdits::GivenDeviceNo RosterEdits::deviceNoForNewStudent(const QSet<int> &taken)
{
    for (int n = 1; n <= kMostDeviceNo; ++n)
        if (!taken.contains(n))
            return {n, true};
    return {1, false};
}

RosterEdits::GivenDeviceNo RosterEdits::deviceNoForNewStudent(int classNo)
{
    QSet<int> taken;
    for (const StudentEntity &s : TovClassXmlDatabase::sharedClassUI()->getStudentListByClassNo(classNo))
        taken.insert(s.deviceNo());
    return deviceNoForNewStudent(taken);
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
            const GivenDeviceNo given = deviceNoForNewStudent(taken);
            if (!given.free)
                return refused(Outcome::ClassFull);
            const int n = given.number;
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
