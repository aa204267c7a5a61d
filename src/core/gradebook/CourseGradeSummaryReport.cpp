#include "CourseGradeSummaryReport.h"

#include "AcademicSummaryReport.h"
#include "CourseGradeCalculator.h"
#include "GradebookReportDrawing.h"
#include "SubjectGradeSummaryView.h"

#include "core/base/PrintfNumber.h"
#include "core/reports/ReportCSVWriter.h"
#include "core/reports/ReportDrawing.h"

#include <QCoreApplication>

namespace {
// The summary's PDF is the page on show.
ReportFramePolicy summaryFrame()
{
    ReportFramePolicy policy = ReportFramePolicy::gradebookFrame();
    policy.pdf = ReportFramePolicy::Pdf::ShownPage;
    return policy;
}
} // namespace

CourseGradeSummaryReport::CourseGradeSummaryReport(const GradebookReportSource &source,
                                                   const TickedSessionScores &scores,
                                                   const QList<StudentMarkGrade> &students,
                                                   const SubjectGradeSummaryLayout &layout)
    : GradebookStudentReport(source, students, summaryFrame()), m_layout(layout)
{
    QList<int> rowCounts;
    for (const StudentMarkGrade &student : students) {
        SubjectGradeSummaryHeadView head;
        head.setTitle(QCoreApplication::translate("Report", "Course Grade Summary"));
        head.setSubjectGrade(source.subjectGrade);
        head.setClassName(source.className);
        head.setSubjectName(source.subjectName);
        head.setStudentName(shortenedText(student.studentName(), 27, 24));
        head.setStudentId(student.studentID());
        head.setTeacherName(shortenedText(source.teacherName, 25, 22));
        head.setGradingPeriod(source.gradingPeriod());
        m_heads << head;
        const QList<AcademicSummary> rows = AcademicSummaryReport::typeRows(scores, student.studentID());
        m_rows << rows;
        rowCounts << int(rows.size());
    }
    setRowsPerStudent(rowCounts, m_layout.rowPerPage, m_layout.signatureThreshold);
    buildPages();
}

QRectF CourseGradeSummaryReport::headFrame(const ReportPageSlice &) const
{
    return QRectF(25, 778, 744, 245);
}

void CourseGradeSummaryReport::paintBody(ReportPainter &painter, const ReportPageSlice &slice) const
{
    if (slice.owner < 0 || slice.owner >= students().size()) {
        // A summary of nobody: the empty table.
        SubjectGradeSummaryView(m_layout, {}, source().conversionLetterArray, false, 0, QString()).paint(painter);
        return;
    }
    const StudentMarkGrade &student = students().at(slice.owner);
    SubjectGradeSummaryView(m_layout, m_rows.mid(slice.first, slice.count), source().conversionLetterArray,
                            slice.hasSignature, student.total(),
                            CourseGradeCalculator::letterOfRow(student, source().conversionLetterArray))
        .paint(painter);
}

void CourseGradeSummaryReport::writeCSVBody(ReportCSVWriter &csv) const
{
    const QList<ConversionLetter> &letters = source().conversionLetterArray;
    for (int i = 0; i < students().size(); ++i) {
        const StudentMarkGrade &student = students().at(i);
        if (i > 0)
            csv.nextRow();
        csv.set(2, QStringLiteral("Student:"));
        csv.set(3, student.studentName());
        csv.set(6, QStringLiteral("Student ID:"));
        csv.set(8, student.studentID());
        csv.nextRow();
        csv.set(2, QStringLiteral("Class:"));
        csv.set(3, source().className);
        csv.set(6, QStringLiteral("Subject:"));
        csv.set(7, source().subjectName);
        csv.nextRow();
        csv.set(2, QStringLiteral("Teacher:"));
        csv.set(3, source().teacherName);
        csv.set(6, QStringLiteral("Grading Period:"));
        csv.set(8, source().gradingPeriod());
        csv.nextRow();
        csv.set(1, QStringLiteral("Report"));
        csv.nextRow();
        csv.set(1, QStringLiteral("Session Type"));
        csv.set(5, QStringLiteral("Student Points"));
        csv.set(7, QStringLiteral("Student Grade"));
        csv.nextRow();
        for (const AcademicSummary &row : rowsOf(i)) {
            csv.set(1, row.typeText());
            csv.set(5, PrintfNumber::fixed(row.averagePercent(), 1));
            csv.set(7, CourseGradeCalculator::letterFor(row.averagePercent(), letters));
            csv.nextRow();
        }
        csv.set(1, QStringLiteral("Final"));
        csv.set(5, PrintfNumber::fixed(student.total(), 1));
        csv.set(7, CourseGradeCalculator::letterOfRow(student, letters));
        csv.nextRow();
    }
}

void CourseGradeSummaryReport::writeCSVFoot(ReportCSVWriter &csv, const QDate &day) const
{
    // One empty row before the signature row and one before "Created On:"; right under the head
    // when there are no students.
    csv.signatureFooter(day, students().isEmpty() ? 0 : 1, 1);
}
