#include "RosterRecords.h"

#include "core/app/CommonFunc.h"

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
