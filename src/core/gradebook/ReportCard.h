#pragma once

#include "SubjectMark.h"

#include "core/store/RecordField.h"

#include <QList>
#include <QString>

// One student's report card: a line per saved course grade of the student.
class ReportCard
{
    POLLIX_RECORD_FIELD(int, studentNum, setStudentNum, 0)
    POLLIX_RECORD_FIELD(QString, studentId, setStudentId, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, studentName, setStudentName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QList<SubjectMark>, subjectMarkArray, setSubjectMarkArray)
};
