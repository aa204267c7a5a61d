#pragma once

#include "LetterEntity.h"

#include "core/store/GlobalFunctions.h"

#include <QList>
#include <QString>

// A letter-grade scale of a class, a subject and a teacher ("All" for any). Letters are values:
// a copy handed to a window stays as it was whatever the store does afterwards.
class LetterGradeEntity
{
    POLLIX_RECORD_FIELD(int, no, setNo, -1)
    POLLIX_RECORD_FIELD(QString, title, setTitle, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, className, setClassName, GlobalFunctions::allText())
    POLLIX_RECORD_FIELD(QString, subjectName, setSubjectName, GlobalFunctions::allText())
    POLLIX_RECORD_FIELD(QString, teacherName, setTeacherName, GlobalFunctions::allText())
    POLLIX_RECORD_FIELD(QList<LetterEntity>, letterList, setLetterList)
};
