#pragma once

#include "ClassGradeReportHeadView.h"
#include "ClassGradeReportLayout.h"
#include "GradebookReportSource.h"
#include "StudentMarkGrade.h"

#include "core/reports/ReportDocument.h"

// "Class Grade Report": every student of the course grade with the weighted total and its
// letter, 16 to a page under one head (class, subject, teacher, the class average's letter, the
// grading period, the weight list and the letter scale), and a last page with the letters'
// statistics. Its pages are 1130 high.
class ClassGradeReport : public ReportDocument
{
public:
    ClassGradeReport(const GradebookReportSource &source, const QList<StudentMarkGrade> &students, float classAvg,
                     const ClassGradeReportLayout &layout = ClassGradeReportLayout::standard());

    QString reportName() const override { return QStringLiteral("Class Grade Report"); }
    const ClassGradeReportHeadView &headView() const { return m_head; }
    const QList<StudentMarkGrade> &arrayForCSV() const { return m_students; }
    // The statistics page is the last; the row pages before it each hold at least one student.
    static bool isStatisticsPage(const ReportPageSlice &slice) { return slice.count == 0; }

    QRectF headFrame(const ReportPageSlice &slice) const override;
    QRectF bodyFrame(const ReportPageSlice &slice) const override;

protected:
    int rowCount() const override { return int(m_students.size()); }
    int rowPerPageFor(int) const override { return m_layout.rowPerPage; }
    QList<ReportPageSlice> cutPages() const override;
    void paintHead(ReportPainter &painter, const ReportPageSlice &slice) const override;
    void paintBody(ReportPainter &painter, const ReportPageSlice &slice) const override;
    int csvColumns() const override { return 8; }
    QString csvSubject() const override { return m_source.subjectName; }
    void writeCSVBody(ReportCSVWriter &csv) const override;
    void writeCSVFoot(ReportCSVWriter &csv, const QDate &day) const override;

private:
    const ClassGradeReportLayout &m_layout;
    GradebookReportSource m_source;
    QList<StudentMarkGrade> m_students;
    ClassGradeReportHeadView m_head;
};
