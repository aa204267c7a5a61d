#pragma once

#include "GradebookStudentReport.h"
#include "PregressReportData.h"
#include "ProgressiveAcademicHeadView.h"
#include "ProgressiveReportLayout.h"

class TickedSessionScores;

// "Progressive Report": for each chosen student, every session of the course grade that rates
// him (TickedSessionScores::ratesStudent, as his course grade counts them) with his points in
// percent of the session's total mark, its type, average and day, then each of those whose shown
// percent is under 60 once more as missed.
class ProgressiveReport : public GradebookStudentReport
{
public:
    // Sessions that do not rate a student (unreadable ones rate nobody) are left out of his rows.
    ProgressiveReport(const GradebookReportSource &source, const TickedSessionScores &scores,
                      const QList<StudentMarkGrade> &students, float classAvg,
                      const ProgressiveReportLayout &layout = ProgressiveReportLayout::standard());

    QString reportName() const override;
    float classAvg() const { return m_classAvg; }
    // One per student, in order.
    const QList<ProgressiveAcademicHeadView> &headViewArray() const { return m_heads; }
    // Every student's rows (session rows, then missed rows), in student order.
    const QList<PregressReportData> &arrayForCSV() const { return m_rows; }
    QList<PregressReportData> rowsOf(int student) const;
    // A session row is missed by the percent the teacher reads on it: the whole number of its
    // shown text is under 60, so 59.96, shown "60.0", is not missed here, while the academic
    // summary, which shows no single percent, goes by the unrounded one.
    static bool isMissedAsShown(const QString &point);

    // The rows of one student over the sessions that rate him; studentAvg: the mean of his
    // unrounded percents.
    static QList<PregressReportData> buildRows(const TickedSessionScores &scores, const QString &studentID,
                                               float *studentAvg = nullptr, int *sessionCount = nullptr);

protected:
    void paintStudentHead(ReportPainter &painter, int student) const override { m_heads.at(student).paint(painter); }
    void paintBody(ReportPainter &painter, const ReportPageSlice &slice) const override;
    int csvColumns() const override { return 8; }
    void writeCSVBody(ReportCSVWriter &csv) const override;

private:
    const ProgressiveReportLayout &m_layout;
    float m_classAvg;
    QList<ProgressiveAcademicHeadView> m_heads;
    QList<PregressReportData> m_rows;
};
