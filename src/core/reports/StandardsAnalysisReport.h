#pragma once

#include "CodeStandardCorrect.h"
#include "PersonalStandardsReportLayout.h"
#include "PersonalStandardsReportPrintDate.h"
#include "ReportDocument.h"

#include <QList>
#include <QSet>

class QuestionEntity;
class QuizEntity;
class StoredAnswers;

// "Standards Analysis Report": the class-wide twin of the personal standards report: each
// standard code with its title and the class's correct percentage, the mean of its questions'
// shares of the attending students who answered right.
class StandardsAnalysisReport : public ReportDocument
{
public:
    explicit StandardsAnalysisReport(const QuizEntity &quiz,
                                     const ReportFramePolicy &policy = ReportFramePolicy::windowFrame(),
                                     const PersonalStandardsReportLayout &viewLayout = PersonalStandardsReportLayout::analysis());

    // The share of the totalStudents attending students (their IDs: attendants) whose answer to
    // the question at position (stored order; the answer that belongs to it, StoredAnswers) is
    // right, to three decimals; answers of others count not at all; 0 without attendants.
    static float questionRate(const QuizEntity &quiz, const StoredAnswers &stored, int position,
                              const QSet<QString> &attendants, int totalStudents);

    QString reportName() const override { return QStringLiteral("Standards Analysis Report"); }
    int totalStudents() const { return m_totalStudents; }
    const QList<CodeStandardCorrect> &standardsCodeCorrectArray() const { return m_codes; }
    const QList<PersonalStandardsReportPrintDate> &printDateArray() const { return m_rows; }

protected:
    int rowCount() const override { return int(m_rows.size()); }
    int rowPerPageFor(int nameLines) const override;
    void paintBody(ReportPainter &painter, const ReportPageSlice &slice) const override;
    int csvColumns() const override { return 8; }
    void writeCSVBody(ReportCSVWriter &csv) const override;

private:
    const PersonalStandardsReportLayout &m_layout;
    int m_totalStudents = 0;
    QList<CodeStandardCorrect> m_codes;
    QList<PersonalStandardsReportPrintDate> m_rows;
};
