#pragma once

#include "ReportCard.h"
#include "ReportCardHeadView.h"
#include "ReportCardLayout.h"
#include "core/store/CourseGradeEntity.h"

#include "core/reports/ReportDocument.h"
#include "core/reports/SelectStudents.h"

// "Report Card": for each ticked student, the saved course grades of one grading period, a line
// per subject with the points and the letter, on a page of the student's own.
class ReportCardReport : public ReportDocument
{
public:
    // One card per ticked row (a student ticked in two rows gets two), with a line per detail of
    // the course grades that names the row's student ID, in the course grades' order.
    ReportCardReport(const QList<CourseGradeEntity> &courseGradeList, const QList<SelectStudents> &studentList,
                     const ReportCardLayout &layout = ReportCardLayout::standard());

    QString reportName() const override { return QStringLiteral("Report Card"); }
    const QList<ReportCard> &reportCardArray() const { return m_cards; }
    // The period of the first course grade, "title(from~to)", for every card.
    QString gradingPeriod() const { return m_gradingPeriod; }
    // The head of the page shown.
    ReportCardHeadView headView(const ReportPageSlice &slice) const;

    QRectF headFrame(const ReportPageSlice &slice) const override;
    QRectF bodyFrame(const ReportPageSlice &slice) const override;
    ReportSideList sideList() const override;
    // The first page of the first card of the chosen card's student.
    int sideRowSelected(int row) override;

protected:
    int rowCount() const override;
    QList<ReportPageSlice> cutPages() const override;
    void paintHead(ReportPainter &painter, const ReportPageSlice &slice) const override;
    void paintBody(ReportPainter &painter, const ReportPageSlice &slice) const override;
    int csvColumns() const override { return 8; }
    void writeCSVBody(ReportCSVWriter &csv) const override;
    void writeCSVFoot(ReportCSVWriter &, const QDate &) const override {}

private:
    const ReportCardLayout &m_layout;
    QList<ReportCard> m_cards;
    QList<SubjectMark> m_lines;
    QString m_gradingPeriod;
};
