#pragma once

#include "core/store/RecordField.h"

#include <QString>

class ReportPainter;

// The student's head block of the Course Grade Summary: the student, class and teacher beside the
// student's ID, the subject and the grading period.
class SubjectGradeSummaryHeadView
{
    POLLIX_RECORD_FIELD(QString, title, setTitle, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, subjectGrade, setSubjectGrade, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, studentId, setStudentId, QStringLiteral(""))
    // Shortened for the head (longer than 27 characters: the first 24 and "...").
    POLLIX_RECORD_FIELD(QString, studentName, setStudentName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, className, setClassName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, subjectName, setSubjectName, QStringLiteral(""))
    // Shortened for the head (longer than 25 characters: the first 22 and "...").
    POLLIX_RECORD_FIELD(QString, teacherName, setTeacherName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, gradingPeriod, setGradingPeriod, QStringLiteral(""))

public:
    // Draws the head into its frame (744 x 245).
    void paint(ReportPainter &painter) const;
};
