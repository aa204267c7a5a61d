#pragma once

#include "ChoiseCount.h"
#include "QuestionReportLayout.h"
#include "SingleColumnString.h"
#include "StudentAnswers.h"

#include <QList>

#include <optional>

class ReportPainter;

// One page of the Question Report: the title and note bars, the page's part of one question's
// block (its text in yellow, options, the correct answer, the answer table's heading), the page's
// students with their answers to the question, and the chart when the page carries it.
class QuestionReportView
{
public:
    // strArray: the block rows on this page; students: the students on it; quPos: the question's
    // index into each student's answers; choiseCount: the question's counts when the page carries
    // the chart.
    QuestionReportView(const QuestionReportLayout &layout, const QList<SingleColumnString> &strArray,
                       const QList<StudentAnswers<>> &students, int quPos,
                       const std::optional<ChoiseCount> &choiseCount);

    void paint(ReportPainter &painter) const;

    // Block rows: the correct answer (num 0) and the answer table's heading (num -1).
    static constexpr int kCorrectAnswer = 0;
    static constexpr int kHeading = -1;

private:
    void drawHeading(ReportPainter &painter, double y) const;

    const QuestionReportLayout &m_layout;
    QList<SingleColumnString> m_rows;
    QList<StudentAnswers<>> m_students;
    int m_quPos;
    std::optional<ChoiseCount> m_choiseCount;
};
