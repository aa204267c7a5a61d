#include "SessionOwners.h"

#include "core/store/TovSubjectXmlDatabase.h"
#include "core/store/TovTeacherXmlDatabase.h"

bool addTeacherAndSubject()
{
    TeacherEntity t;
    t.setFirstName(QStringLiteral("Mary"));
    t.setLastName(QStringLiteral("Smith"));
    SubjectEntity s;
    s.setName(QStringLiteral("Science"));
    return TovTeacherXmlDatabase::sharedUI()->addTeacherWithData(t)
           && TovSubjectXmlDatabase::sharedSubjectUI()->addSubjectWithData(s);
}
