#pragma once

#include "ItemAnalysisLayout.h"
#include "Question.h"
#include "ReportDocument.h"

#include <QList>
#include <QStringList>

#include <functional>

class QuizEntity;

// "Response Spread Report": for every question, the share of the class whose reply was each
// single letter A to J, and the rest as "Other"; numbers for single-answer and true-or-false
// questions only.
class ResponseSpreadReport : public ReportDocument
{
public:
    using Progress = std::function<void(int done, int total)>;

    explicit ResponseSpreadReport(const QuizEntity &quiz,
                                  const ReportFramePolicy &policy = ReportFramePolicy::viewerFrame(),
                                  const ItemAnalysisLayout &viewLayout = ItemAnalysisLayout::standard(),
                                  const Progress &progress = {});

    // One question per stored question with exactly ten shares (A to J). A session without
    // students gives 0 everywhere.
    static QList<Question> buildQuestions(const QuizEntity &quiz, const Progress &progress = {});
    // Whether the question's row carries numbers (single answer, true or false).
    static bool hasNumbers(const Question &question);
    // The ten shares as "%.2f" texts.
    static QStringList shareTexts(const Question &question);
    // 100 less the ten shares as their texts show them: negative when the rounded shares add up
    // to more than 100 (the page shows 0.00 then, the CSV the difference).
    static float other(const Question &question);
    static QString otherText(float other);

    QString reportName() const override { return QStringLiteral("Response Spread Report"); }
    const QList<Question> &questionArray() const { return m_questions; }

protected:
    int rowCount() const override { return int(m_questions.size()); }
    int rowPerPageFor(int nameLines) const override;
    void paintBody(ReportPainter &painter, const ReportPageSlice &slice) const override;
    int csvColumns() const override { return 13; }
    void writeCSVBody(ReportCSVWriter &csv) const override;

private:
    const ItemAnalysisLayout &m_layout;
    QList<Question> m_questions;
    // A session without students has no shares to spread: Other is 0 as well.
    bool m_noStudents = false;
};
