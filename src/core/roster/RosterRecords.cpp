#include "RosterRecords.h"

#include "core/base/CommonFunc.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovSubjectXmlDatabase.h"
#include "core/store/TovTeacherXmlDatabase.h"

StudentInClass RosterRecords::studentInClass(const StudentEntity &s)
{
    StudentInClass item;
    item.setStudentNo(s.no());
    item.setStudentID(s.id());
    item.setStudentFirstName(s.firstName());
    item.setStudentLastName(s.lastName());
    item.setStudentFullName(mergeFirstLastString(s.firstName(), s.lastName()));
    item.setBirthDay(s.birthday());
    item.setDuty(s.duty());
    item.setRemark(s.remark());
    item.setEMail(s.eMail());
    item.setAddress(s.address());
    item.setTelephone(s.telephone());
    item.setGender(s.gender());
    item.setDeviceNo(s.deviceNo());
    item.setGroupNo(s.groupNo());
    return item;
}

StudentEntity RosterRecords::studentEntity(const StudentInClass &s)
{
    StudentEntity r;
    r.setNo(s.studentNo());
    r.setId(s.studentID());
    r.setFirstName(s.studentFirstName());
    r.setName(s.studentFirstName());
    r.setLastName(s.studentLastName());
    r.setGroupNo(s.groupNo());
    r.setDeviceNo(s.deviceNo());
    r.setBirthday(s.birthDay());
    r.setDuty(s.duty());
    r.setRemark(s.remark());
    r.setEMail(s.eMail());
    r.setAddress(s.address());
    r.setTelephone(s.telephone());
    r.setGender(s.gender());
    return r;
}

QList<MyClass> RosterRecords::classes(const QList<ClassEntity> &stored)
{
    QList<MyClass> out;
    for (const ClassEntity &c : stored) {
        MyClass item;
        item.setClassNo(c.no());
        item.setClassName(c.name());
        out << item;
    }
    return out;
}

QList<Subject> RosterRecords::subjects(const QList<SubjectEntity> &stored)
{
    QList<Subject> out;
    for (const SubjectEntity &s : stored) {
        Subject item;
        item.setSubjectNo(s.no());
        item.setSubjectName(s.name());
        out << item;
    }
    return out;
}

QList<Teacher> RosterRecords::teachers(const QList<TeacherEntity> &stored)
{
    QList<Teacher> out;
    for (const TeacherEntity &t : stored) {
        Teacher item;
        item.setTeacherNo(t.no());
        item.setTeacherName(mergeFirstLastString(t.firstName(), t.lastName()));
        item.setFirstName(t.firstName());
        item.setLastName(t.lastName());
        item.setTitle(t.title());
        item.setTelephone(t.phone());
        item.setGender(t.gender());
        item.setAddress(t.address());
        out << item;
    }
    return out;
}

QStringList RosterRecords::names(const QList<MyClass> &classes)
{
    QStringList out;
    for (const MyClass &c : classes)
        out << c.className();
    return out;
}

QStringList RosterRecords::names(const QList<Subject> &subjects)
{
    QStringList out;
    for (const Subject &s : subjects)
        out << s.subjectName();
    return out;
}

QStringList RosterRecords::names(const QList<Teacher> &teachers)
{
    QStringList out;
    for (const Teacher &t : teachers)
        out << t.teacherName();
    return out;
}

QStringList RosterRecords::classNames()
{
    QStringList out;
    for (const ClassEntity &c : TovClassXmlDatabase::sharedClassUI()->classList())
        out << c.name();
    return out;
}

QStringList RosterRecords::subjectNames()
{
    QStringList out;
    for (const SubjectEntity &s : TovSubjectXmlDatabase::sharedSubjectUI()->subjectList())
        out << s.name();
    return out;
}

QStringList RosterRecords::teacherNames()
{
    QStringList out;
    for (const TeacherEntity &t : TovTeacherXmlDatabase::sharedUI()->teacherList())
        out << t.name();
    return out;
}
