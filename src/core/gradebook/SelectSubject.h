#pragma once

#include "core/store/RecordField.h"

#include <QString>

// A subject of the stored course grades of one period, as the Report window offers it for
// export and deletion.
class SelectSubject
{
    POLLIX_RECORD_FIELD(int, subjectNum, setSubjectNum, 0)
    POLLIX_RECORD_FIELD(QString, subjectName, setSubjectName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(bool, isSelect, setIsSelect, false)
    POLLIX_RECORD_FIELD(QString, className, setClassName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, teacherName, setTeacherName, QStringLiteral(""))
};
