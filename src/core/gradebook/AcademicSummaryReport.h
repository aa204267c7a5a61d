#pragma once

#include "AcademicSummary.h"
#include "AcademicSummaryReportLayout.h"
#include "GradebookStudentReport.h"
#include "ProgressiveAcademicHeadView.h"

class TickedSessionScores;

// "Academic Summary Report": for each chosen student, the sessions of the course grade by type
// that rate him (their number, his mean percent, the mean of the sessions' averages), then per type
// the titles of the sessions where the student stayed under 60 percent.
class AcademicSummaryReport : public GradebookStudentReport
{
public:
    // Sessions that do not rate a student (unreadable ones rate nobody) are left out of his rows,
    // as his course grade leaves them out.
    AcademicSummaryReport(const GradebookReportSource &source, const TickedSessionScores &scores,
                          const QList<StudentMarkGrade> &students, float classAvg,
                          const AcademicSummaryReportLayout &layout = AcademicSummaryReportLayout::standard());

    QString reportName() const override { return QStringLiteral("Academic Summary Report"); }
    const QList<ProgressiveAcademicHeadView> &headViewArray() const { return m_heads; }
    // Every student's rows (type rows, then missed rows), in student order.
    const QList<AcademicSummary> &arrayForCSV() const { return m_rows; }
    QList<AcademicSummary> rowsOf(int student) const { return m_rows.mid(firstRowOf(student), rowCountOf(student)); }

    // The type rows of one student, in the order the types first occur among the sessions that
    // rate him (TickedSessionScores::ratesStudent), each with the titles of its sessions under 60 percent (unrounded). studentAvg:
    // the mean of the percents over the sessions.
    static QList<AcademicSummary> typeRows(const TickedSessionScores &scores, const QString &studentID,
                                           float *studentAvg = nullptr, int *sessionCount = nullptr);

protected:
    void paintStudentHead(ReportPainter &painter, int student) const override { m_heads.at(student).paint(painter); }
    void paintBody(ReportPainter &painter, const ReportPageSlice &slice) const override;
    int csvColumns() const override { return 8; }
    void writeCSVBody(ReportCSVWriter &csv) const override;

private:
    const AcademicSummaryReportLayout &m_layout;
    QList<ProgressiveAcademicHeadView> m_heads;
    QList<AcademicSummary> m_rows;
};
