#pragma once

#include "core/store/LetterEntity.h"

#include <QList>
#include <QString>

// A letter scale as the gradebook windows list it; conversionNum 0 is the template a new scale
// is made from.
class ConversionList
{
    POLLIX_RECORD_FIELD(int, conversionNum, setConversionNum, 0)
    // The title as loaded or last saved ("Template" on the template row).
    POLLIX_RECORD_FIELD(QString, originalTitle, setOriginalTitle, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, conversionTitle, setConversionTitle, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, className, setClassName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, subjectName, setSubjectName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, teacherName, setTeacherName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(int, classNum, setClassNum, 0)
    POLLIX_RECORD_FIELD(int, subjectNum, setSubjectNum, 0)
    POLLIX_RECORD_FIELD(int, teacherNum, setTeacherNum, 0)
    POLLIX_RECORD_FIELD(QList<LetterEntity>, conversionListArr, setConversionListArr)
};
