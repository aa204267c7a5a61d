#include "ProgressiveAcademicHeadView.h"

#include "GradebookReportDrawing.h"
#include "GradebookReportSource.h"
#include "StudentMarkGrade.h"

#include "core/base/PrintfNumber.h"
#include "core/reports/ReportCSVWriter.h"
#include "core/reports/ReportDrawing.h"
#include "core/reports/ReportPainter.h"

ProgressiveAcademicHeadView ProgressiveAcademicHeadView::forStudent(const QString &title,
                                                                    const GradebookReportSource &source,
                                                                    const StudentMarkGrade &student, float classAvg,
                                                                    float studentAvg, int totalSessions)
{
    ProgressiveAcademicHeadView head;
    head.setTitle(title);
    head.setSubjectGrade(source.subjectGrade);
    head.setStudentName(headStudentName(student.studentName()));
    head.setStudentId(student.studentID());
    head.setClassName(source.className);
    head.setSubjectName(source.subjectName);
    head.setTeacherName(headTeacherName(source.teacherName));
    head.setTotalPoints(student.total());
    head.setClassAvg(classAvg);
    head.setGradingPeriod(source.gradingPeriod());
    head.setStudentAvg(studentAvg);
    head.setTotalSessions(totalSessions);
    return head;
}

QString ProgressiveAcademicHeadView::headStudentName(const QString &name)
{
    return shortenedText(name, 27, 24);
}

QString ProgressiveAcademicHeadView::headTeacherName(const QString &name)
{
    return shortenedText(name, 26, 23);
}

void ProgressiveAcademicHeadView::paint(ReportPainter &painter) const
{
    drawGradebookHeadBox(painter, 82);
    drawGradebookHeadTitle(painter, m_title, m_subjectGrade);
    const struct
    {
        const char *left;
        QString leftValue;
        const char *right;
        QString rightValue;
        int y;
    } lines[] = {
        {"Student:", m_studentName, "Student ID:", m_studentId, 165},
        {"Class:", m_className, "Class Avg:", PrintfNumber::fixed(m_classAvg, 1), 125},
        {"Subject:", m_subjectName, "Student Avg:", PrintfNumber::fixed(m_studentAvg, 1), 85},
        {"Teacher:", m_teacherName, "Total Sessions:", QString::number(m_totalSessions), 45},
        {"Total Points:", PrintfNumber::fixed(m_totalPoints, 1), "Grading Period:", m_gradingPeriod, 5},
    };
    for (const auto &line : lines)
        drawGradebookHeadFieldPair(painter, line.left, line.leftValue, line.right, line.rightValue, line.y);
}

void ProgressiveAcademicHeadView::writeCSV(ReportCSVWriter &csv, const QString &studentName,
                                          const QString &teacherName) const
{
    const QString lines[][4] = {
        {"Student:", studentName, "Student ID:", m_studentId},
        {"Class:", m_className, "Class Avg:", PrintfNumber::fixed(m_classAvg, 1)},
        {"Subject:", m_subjectName, "Student Avg:", PrintfNumber::fixed(m_studentAvg, 1)},
        {"Teacher:", teacherName, "Total Sessions:", QString::number(m_totalSessions)},
        {"Total Points:", PrintfNumber::fixed(m_totalPoints, 1), "Grading Period:", m_gradingPeriod},
    };
    for (int line = 0; line < 5; ++line) {
        csv.set(2, lines[line][0]);
        csv.set(3, lines[line][1]);
        csv.set(6, lines[line][2]);
        // The student's ID stands one column further left than the other values.
        csv.set(line == 0 ? 7 : 8, lines[line][3]);
        csv.nextRow();
    }
}
