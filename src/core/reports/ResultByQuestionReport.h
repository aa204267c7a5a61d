#pragma once

#include "AnsPointQuNo.h"
#include "Question.h"
#include "ReportDocument.h"
#include "ResultByQuestionLayout.h"
#include "ResultByQuestionPrintDate.h"
#include "SelectStudents.h"
#include "StudentAnswers.h"

#include <QList>

class QuizEntity;

// "Result By Question(Answer Detail)" (flag 0) and "Result By Question(Scores)" (flag 1) of a
// rush quiz: student after student, in the order of their IDs read as numbers, every question
// with the student's response and the correct answer, or with the points it earned and the
// student's total. A right answer earns the question's points, any other given answer (a rush
// chance not taken too) costs them, no answer is 0.
class ResultByQuestionReport : public ReportDocument
{
public:
    using Row = ResultByQuestionPrintDate;

    ResultByQuestionReport(const QuizEntity &quiz, const QList<SelectStudents> &studentList, int flag,
                           const ReportFramePolicy &policy = frame());
    // With a layout of its own (a variant of the pages).
    ResultByQuestionReport(const QuizEntity &quiz, const QList<SelectStudents> &studentList, int flag,
                           const ReportFramePolicy &policy, const ResultByQuestionLayout &viewLayout);

    // Back to the page shown after a PDF; the CSV head without "Report".
    static ReportFramePolicy frame();

    // The ticked students with their answers and points, in ID order.
    static QList<StudentAnswers<AnsPointQuNo>> buildAnswers(const QuizEntity &quiz, const QList<Question> &questions,
                                                            const QList<SelectStudents> &studentList);

    QString reportName() const override;
    int flag() const { return m_flag; }
    const QList<Question> &questionArray() const { return m_questions; }
    const QList<StudentAnswers<AnsPointQuNo>> &studentAnswersArray() const { return m_students; }
    const QList<Row> &printDateArray() const { return m_rows; }

    // The students beside the pages; choosing one shows the page of their title.
    ReportSideList sideList() const override;
    int sideRowSelected(int row) override;

protected:
    int rowCount() const override { return int(m_rows.size()); }
    int rowPerPageFor(int nameLines) const override;
    void paintBody(ReportPainter &painter, const ReportPageSlice &slice) const override;
    int csvColumns() const override { return 8; }
    void writeCSVBody(ReportCSVWriter &csv) const override;

private:
    void buildRows();

    int m_flag;
    const ResultByQuestionLayout &m_layout;
    QList<Question> m_questions;
    QList<StudentAnswers<AnsPointQuNo>> m_students;
    QList<Row> m_rows;
};
