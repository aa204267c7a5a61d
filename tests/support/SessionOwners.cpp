#include "SessionOwners.h"

#include "core/store/TovClassXmlDatabase.h"
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

bool addTeacherSubjectAndKeypadClass(const QString &className, int students)
{
    if (!addTeacherAndSubject())
        return false;
    auto *classes = TovClassXmlDatabase::sharedClassUI();
    const int no = classes->addClassWithName(className);
    QList<StudentEntity> list;
    for (int i = 1; i <= students; ++i) {
        StudentEntity st;
        st.setId(QStringLiteral("S%1").arg(i, 3, 10, QLatin1Char('0')));
        st.setFirstName(QStringLiteral("Kid%1").arg(i));
        st.setLastName(QStringLiteral("Class"));
        list << st;
    }
    return no > 0 && classes->addSomeStudents(list, no);
}
