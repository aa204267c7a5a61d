#pragma once

#include "Question.h"
#include "SingleColumnString.h"
#include "StudyGuideLayout.h"

#include <QList>
#include <QString>

class ReportPainter;

// One page of the Study Guide: the title, note and student bars, then the page's lines of the
// student's missed questions: question texts on light blue, options with their letters and the
// answer lines after them on pale blue, cloze-test and short-answer marks with their answer lines
// on pale blue. A student without a missed question gets a page saying so.
class StudyGuideView
{
public:
    // The student's answer ("Your Answer:...") and the correct answer ("Correct Answer:...").
    static constexpr int kYourAnswer = 20000;
    static constexpr int kCorrectAnswer = 30000;
    static bool isAnswerLine(const SingleColumnString &row);
    static bool isCorrectAnswerLine(const SingleColumnString &row) { return row.num() == kCorrectAnswer; }

    // lines: the student's lines on this page; questions: the session's questions (their correct
    // answers, for a layout that shows them beside the student's answer).
    StudyGuideView(const StudyGuideLayout &layout, const QString &studentID, const QString &studentName,
                   const QList<SingleColumnString> &lines, const QList<Question> &questions);

    void paint(ReportPainter &painter) const;

private:
    void drawAnswerLine(ReportPainter &painter, const SingleColumnString &row, double y) const;

    const StudyGuideLayout &m_layout;
    QString m_studentID, m_studentName;
    QList<SingleColumnString> m_lines;
    const QList<Question> &m_questions;
};
