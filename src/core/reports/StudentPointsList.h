#pragma once

#include "ReportDocument.h"
#include "StudentGradeReport.h"
#include "StudentPointsListLayout.h"

#include <QList>

class QuizEntity;

// "Student Points List": every student of a points-only session with the student's total points,
// in the order of the students' IDs read as numbers.
class StudentPointsList : public ReportDocument
{
public:
    explicit StudentPointsList(const QuizEntity &quiz,
                               const ReportFramePolicy &policy = ReportFramePolicy::windowFrame(),
                               const StudentPointsListLayout &viewLayout = StudentPointsListLayout::standard());

    // One row per student: the first name alone and the whole-number part of the total mark (0
    // when it does not start with a number), ordered by ID (IDs without a number count as 0; equal
    // numbers keep the session's order).
    static QList<StudentGradeReport> buildRows(const QuizEntity &quiz);

    QString reportName() const override { return QStringLiteral("Student Points List"); }
    const QList<StudentGradeReport> &studentNameAndPointsArray() const { return m_rows; }

protected:
    int rowCount() const override { return int(m_rows.size()); }
    int rowPerPageFor(int nameLines) const override;
    void paintBody(ReportPainter &painter, const ReportPageSlice &slice) const override;
    int csvColumns() const override { return 4; }
    void writeCSVBody(ReportCSVWriter &csv) const override;

private:
    const StudentPointsListLayout &m_layout;
    QList<StudentGradeReport> m_rows;
};
