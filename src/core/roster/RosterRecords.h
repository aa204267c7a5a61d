#pragma once

#include "core/store/ClassEntity.h"
#include "core/store/MyClass.h"
#include "core/store/StudentEntity.h"
#include "core/store/StudentInClass.h"
#include "core/store/Subject.h"
#include "core/store/SubjectEntity.h"
#include "core/store/Teacher.h"
#include "core/store/TeacherEntity.h"

#include <QList>
#include <QStringList>

// Students as the stores hand them out (StudentEntity) and as the roster windows show them
// (StudentInClass), one into the other with every field; the full name is first and last name
// joined as everywhere. Likewise the classes, subjects and teachers the windows offer to choose,
// in the stores' order, with the names the choices show.
class RosterRecords
{
public:
    static StudentInClass studentInClass(const StudentEntity &record);
    static StudentEntity studentEntity(const StudentInClass &student);

    static QList<MyClass> classes(const QList<ClassEntity> &stored);
    static QList<Subject> subjects(const QList<SubjectEntity> &stored);
    // The teacher's name is first and last name joined.
    static QList<Teacher> teachers(const QList<TeacherEntity> &stored);
    static QStringList names(const QList<MyClass> &classes);
    static QStringList names(const QList<Subject> &subjects);
    static QStringList names(const QList<Teacher> &teachers);

    // The names of the stored classes, subjects and teachers, in the stores' order, as the
    // choice boxes offer them.
    static QStringList classNames();
    static QStringList subjectNames();
    static QStringList teacherNames();
};
