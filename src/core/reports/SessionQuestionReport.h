#pragma once

#include "ChoiseCount.h"
#include "Question.h"
#include "QuestionReportLayout.h"
#include "ReportDocument.h"
#include "SelectStudents.h"
#include "SingleColumnString.h"
#include "StudentAnswers.h"

#include <QList>

class QuizEntity;

// "Question Report": a stored session question by question. Each question starts on a page of
// its own with its text, options (or a mark for cloze-test and short-answer questions), correct
// answer and the ticked students' answers; single-answer and true-or-false questions end with a
// chart of how many of those students chose each option. (The run's own question report, shown
// during an activity, is QuestionReport.)
//
// The report's rows are, question after question, the question's block rows followed by one row
// per ticked student; a page is the rows of one question (its owner).
class SessionQuestionReport : public ReportDocument
{
public:
    // Kinds (nMessageType) of the block rows beyond the question lines.
    enum RowKind { ClozeMark = 11, ShortAnswerMark = 12, CorrectAnswerRow = 13, HeadingRow = 14 };

    SessionQuestionReport(const QuizEntity &quiz, const QList<SelectStudents> &students,
                          const ReportFramePolicy &policy = ReportFramePolicy::viewerFrame(),
                          const QuestionReportLayout &viewLayout = QuestionReportLayout::standard(),
                          const Progress &progress = {});

    QString reportName() const override { return QStringLiteral("Question Report"); }

    const QList<Question> &questionArray() const { return m_questions; }
    const QList<ChoiseCount> &choiseArray() const { return m_choises; }
    const QList<StudentAnswers<>> &studentAnswersArray() const { return m_students; }
    // The block of question i.
    const QList<SingleColumnString> &block(int i) const { return m_blocks.at(i); }
    // The pages of each question.
    QList<int> pageArray() const;
    // Whether the question's pages end with a chart.
    bool hasChart(const Question &question) const;

    ReportSideList sideList() const override;
    int sideRowSelected(int row) override;

protected:
    int rowCount() const override { return m_rowCount; }
    int rowPerPageFor(int nameLines) const override;
    QList<ReportPageSlice> cutPages() const override;
    void paintBody(ReportPainter &painter, const ReportPageSlice &slice) const override;
    int csvColumns() const override { return 9; }
    void writeCSVBody(ReportCSVWriter &csv) const override;

private:
    void gather(const QuizEntity &quiz, const QList<SelectStudents> &students, const Progress &progress);
    void buildBlocks();

    const QuestionReportLayout &m_layout;
    QList<Question> m_questions;
    QList<ChoiseCount> m_choises;
    QList<StudentAnswers<>> m_students;
    QList<QList<SingleColumnString>> m_blocks;
    // The first row of each question among the report's rows.
    QList<int> m_firstRow;
    int m_rowCount = 0;
};
