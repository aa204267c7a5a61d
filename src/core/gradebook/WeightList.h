#pragma once

#include "core/store/SessionTypeInWeight.h"

#include <QList>
#include <QString>

// A weight list as the gradebook windows list it; weightNum 0 is the template a new list is made from.
class WeightList
{
    POLLIX_RECORD_FIELD(int, weightNum, setWeightNum, 0)
    // The title as loaded or last saved ("Template" on the template row).
    POLLIX_RECORD_FIELD(QString, originalTitle, setOriginalTitle, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, weightTitle, setWeightTitle, QStringLiteral(""))
    POLLIX_RECORD_FIELD(int, classNum, setClassNum, 0)
    POLLIX_RECORD_FIELD(int, subjectNum, setSubjectNum, 0)
    POLLIX_RECORD_FIELD(int, teacherNum, setTeacherNum, 0)
    POLLIX_RECORD_FIELD(QString, className, setClassName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, subjectName, setSubjectName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, teacherName, setTeacherName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QList<SessionTypeInWeight>, sessionTypesInWeight, setSessionTypesInWeight)
};
