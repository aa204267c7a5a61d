#pragma once

#include "SessionTypeInWeight.h"

#include "core/store/GlobalFunctions.h"

#include <QList>
#include <QString>

// A weight list: for a class, a subject and a teacher ("All" for any), which session types count
// towards a course grade and with which weight. Entries are values: a copy handed to a window
// stays as it was whatever the store does afterwards.
class WeightEntity
{
    POLLIX_RECORD_FIELD(int, no, setNo, -1)
    POLLIX_RECORD_FIELD(QString, title, setTitle, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, className, setClassName, GlobalFunctions::allText())
    POLLIX_RECORD_FIELD(QString, subjectName, setSubjectName, GlobalFunctions::allText())
    POLLIX_RECORD_FIELD(QString, teacherName, setTeacherName, GlobalFunctions::allText())
    POLLIX_RECORD_FIELD(QList<SessionTypeInWeight>, sessionTypesInWeight, setSessionTypesInWeight)
};
