#pragma once

#include "core/store/RecordField.h"

#include <QString>

class ReportCSVWriter;
class ReportPainter;
class StudentMarkGrade;
struct GradebookReportSource;

// The student's head block of the Progressive Report and the Academic Summary Report: the
// student, class, subject and teacher beside the class's and the student's averages, the
// sessions counted, the total points and the grading period.
class ProgressiveAcademicHeadView
{
    POLLIX_RECORD_FIELD(QString, title, setTitle, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, subjectGrade, setSubjectGrade, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, studentId, setStudentId, QStringLiteral(""))
    // Shortened for the head; the CSV file takes the full name from the student.
    POLLIX_RECORD_FIELD(QString, studentName, setStudentName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, className, setClassName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, subjectName, setSubjectName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, teacherName, setTeacherName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(float, classAvg, setClassAvg, 0.0f)
    POLLIX_RECORD_FIELD(float, studentAvg, setStudentAvg, 0.0f)
    POLLIX_RECORD_FIELD(float, totalPoints, setTotalPoints, 0.0f)
    POLLIX_RECORD_FIELD(int, totalSessions, setTotalSessions, 0)
    POLLIX_RECORD_FIELD(QString, gradingPeriod, setGradingPeriod, QStringLiteral(""))

public:
    // The head of student's pages titled title, the names shortened.
    static ProgressiveAcademicHeadView forStudent(const QString &title, const GradebookReportSource &source,
                                                  const StudentMarkGrade &student, float classAvg, float studentAvg,
                                                  int totalSessions);
    // A name longer than 27 characters shows as its first 24 and "..."; a teacher's longer than
    // 26 as the first 23 and "...".
    static QString headStudentName(const QString &name);
    static QString headTeacherName(const QString &name);

    // The head's five rows of a CSV block, with the full names, from the writer's row on.
    void writeCSV(ReportCSVWriter &csv, const QString &studentName, const QString &teacherName) const;

    // Draws the head into its frame (744 x 285).
    void paint(ReportPainter &painter) const;
};
