#pragma once

#include "SingleColumnString.h"

#include "core/store/RecordField.h"

#include <QList>
#include <QString>

// One student of the Study Guide with the lines of the questions the student missed.
class StudyGuide
{
    POLLIX_RECORD_FIELD(int, studentNo, setStudentNo, 0)
    POLLIX_RECORD_FIELD(QString, studentID, setStudentID, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, studentName, setStudentName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QList<SingleColumnString>, strArray, setStrArray)
};
