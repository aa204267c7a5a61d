#pragma once

#include "AcademicSummary.h"
#include "GradebookStudentReport.h"
#include "SubjectGradeSummaryHeadView.h"
#include "SubjectGradeSummaryLayout.h"

class TickedSessionScores;

// "Course Grade Summary": for each chosen student, per session type of the course grade the
// number of sessions, the student's average percent and its letter, then the "Final" row with the
// weighted total and its letter, and the teacher's and parents' signature block.
class CourseGradeSummaryReport : public GradebookStudentReport
{
public:
    // Sessions that do not rate a student (unreadable ones rate nobody) are left out of his rows,
    // as his course grade leaves them out.
    CourseGradeSummaryReport(const GradebookReportSource &source, const TickedSessionScores &scores,
                             const QList<StudentMarkGrade> &students,
                             const SubjectGradeSummaryLayout &layout = SubjectGradeSummaryLayout::standard());

    QString reportName() const override { return QStringLiteral("Course Grade Summary"); }
    const QList<SubjectGradeSummaryHeadView> &headViewArray() const { return m_heads; }
    // Every student's type rows, in student order.
    const QList<AcademicSummary> &arrayForCSV() const { return m_rows; }
    QList<AcademicSummary> rowsOf(int student) const { return m_rows.mid(firstRowOf(student), rowCountOf(student)); }

protected:
    void paintStudentHead(ReportPainter &painter, int student) const override { m_heads.at(student).paint(painter); }
    void paintBody(ReportPainter &painter, const ReportPageSlice &slice) const override;
    QRectF headFrame(const ReportPageSlice &slice) const override;
    int csvColumns() const override { return 8; }
    void writeCSVBody(ReportCSVWriter &csv) const override;
    void writeCSVFoot(ReportCSVWriter &csv, const QDate &day) const override;

private:
    const SubjectGradeSummaryLayout &m_layout;
    QList<SubjectGradeSummaryHeadView> m_heads;
    QList<AcademicSummary> m_rows;
};
