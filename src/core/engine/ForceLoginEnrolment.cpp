#include "ForceLoginEnrolment.h"

#include "core/base/CommonFunc.h"
#include "core/store/StoreTransaction.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovStudentRoster.h"

#include <QSet>

namespace {

QString key(const QString &id)
{
    return id.toCaseFolded();
}

StudentEntity recordOf(const StudentInClass &s)
{
    StudentEntity e;
    e.setId(s.studentID());
    e.setFirstName(s.studentFirstName());
    e.setLastName(s.studentLastName().isNull() ? QStringLiteral("") : s.studentLastName());
    e.setName(mergeFirstLastString(s.studentFirstName(), s.studentLastName()));
    e.setGender(1);
    // The keypad the student logged in with: the class's next run knows it by that number. Large-
    // family keypads log in by student ID and give none (0); such a student gets keypad 1, as a
    // student typed in does, never a number no device number may be.
    e.setDeviceNo(s.deviceNo() >= 1 ? s.deviceNo() : 1);
    return e;
}

} // namespace

ForceLoginEnrolment::Outcome ForceLoginEnrolment::enrol(const QList<StudentInClassPtr> &students, int classNo, int limit)
{
    Outcome out;
    TovClassXmlDatabase *classes = TovClassXmlDatabase::sharedClassUI();
    QSet<QString> members;
    for (const StudentEntity &e : classes->getStudentListByClassNo(classNo))
        members.insert(key(e.id()));
    int size = classes->studentCountInClass(classNo);

    QList<StudentEntity> records;
    for (const StudentInClassPtr &s : students) {
        if (!s)
            continue;
        if (members.contains(key(s->studentID()))) {
            out.added << s;
            continue;
        }
        if (size >= limit) {
            out.classFull = true;
            continue;
        }
        records << recordOf(*s);
        members.insert(key(s->studentID()));
        out.added << s;
        ++size;
    }
    if (records.isEmpty())
        return out;

    const auto failWith = [&out](const QString &why) {
        out.added.clear();
        out.failed = true;
        out.errorText = why;
        return out;
    };
    // The class and the roster take the students together, or neither does.
    StoreTransaction transaction;
    QString why;
    if (!classes->addSomeStudents(records, classNo, &why))
        return failWith(why);

    TovStudentRoster *roster = TovStudentRoster::sharedUI();
    const std::optional<QList<StudentEntity>> onRoster = roster->getAllStudents();
    bool rosterWritten = false;
    if (onRoster) {
        QSet<QString> known;
        for (const StudentEntity &e : *onRoster)
            known.insert(key(e.id()));
        QList<StudentEntity> newcomers;
        for (const StudentEntity &e : records)
            if (!known.contains(key(e.id())))
                newcomers << e;
        rosterWritten = newcomers.isEmpty() || roster->addSomeStudentsToRoster(newcomers, &why);
    } else {
        why = QStringLiteral("The student roster could not be read.");
    }
    if (rosterWritten && transaction.commit(&why))
        return out;
    return failWith(why);
}

QList<StudentInClassPtr> ForceLoginEnrolment::classList(int classNo, const QList<StudentInClassPtr> &current)
{
    QList<StudentInClassPtr> out;
    for (const StudentEntity &e : TovClassXmlDatabase::sharedClassUI()->getStudentListByClassNo(classNo)) {
        StudentInClassPtr s;
        for (const StudentInClassPtr &c : current) {
            if (c && key(c->studentID()) == key(e.id())) {
                s = c;
                break;
            }
        }
        if (!s) {
            s = std::make_shared<StudentInClass>();
            s->setStudentID(e.id());
            s->setStudentFirstName(e.firstName());
            s->setStudentLastName(e.lastName());
            s->setStudentFullName(mergeFirstLastString(e.firstName(), e.lastName()));
            s->setDeviceNo(e.deviceNo());
        }
        s->setStudentNo(e.no());
        s->setGroupNo(e.groupNo());
        out << s;
    }
    return out;
}
