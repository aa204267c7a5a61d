#pragma once

#include "AbsenteeReportLayout.h"
#include "ReportDocument.h"
#include "StudentGradeReport.h"

#include <QList>

class QuizEntity;

// "Absentee Report": the students of a session's class who took no part in it (no login time
// and no answer), in the order of their IDs read as numbers.
class AbsenteeReport : public ReportDocument
{
public:
    explicit AbsenteeReport(const QuizEntity &quiz, const ReportFramePolicy &policy = ReportFramePolicy::windowFrame(),
                            const AbsenteeReportLayout &viewLayout = AbsenteeReportLayout::standard());

    QString reportName() const override { return QStringLiteral("Absentee Report"); }
    // Number, ID and name of each absentee.
    const QList<StudentGradeReport> &studentNameAndPointsArray() const { return m_rows; }

protected:
    int rowCount() const override { return int(m_rows.size()); }
    int rowPerPageFor(int nameLines) const override;
    void paintBody(ReportPainter &painter, const ReportPageSlice &slice) const override;
    int csvColumns() const override { return 5; }
    void writeCSVBody(ReportCSVWriter &csv) const override;

private:
    const AbsenteeReportLayout &m_layout;
    QList<StudentGradeReport> m_rows;
};
