#pragma once

#include "CourseGradeDetail.h"
#include "PeriodEntity.h"

#include <QList>
#include <QString>

// A saved course grade of one class, subject and teacher over a grading period.
class CourseGradeEntity
{
    POLLIX_RECORD_FIELD(int, no, setNo, -1)
    POLLIX_RECORD_FIELD(PeriodEntity, period, setPeriod)
    POLLIX_RECORD_FIELD(QString, className, setClassName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, subjectName, setSubjectName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, teacherName, setTeacherName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QList<CourseGradeDetail>, allGradeDetails, setAllGradeDetails)
};
