#pragma once

#include "CorrectRateStatisticsByAnswerTimeLayout.h"
#include "CorrectRateStatisticsByAnswerTimePrintDate.h"
#include "QuestionAndStudentAnsInfo.h"
#include "ReportDocument.h"
#include "SelectStudents.h"

#include <QList>

class QuizEntity;

// "Correct Rate Statistics": for every question, the ticked students' answers sorted into bands
// of answer time five seconds wide, each band with its students and its correct rate. Every
// question starts on a new page; a page cut inside a band repeats the question's title, the
// band's caption and the headings; an outline of the questions and their bands leads to each
// question's first page.
class CorrectRateStatistics : public ReportDocument
{
public:
    using Row = CorrectRateStatisticsByAnswerTimePrintDate;

    CorrectRateStatistics(const QuizEntity &quiz, const QList<SelectStudents> &studentList,
                          const ReportFramePolicy &policy = frame(),
                          const CorrectRateStatisticsByAnswerTimeLayout &viewLayout =
                              CorrectRateStatisticsByAnswerTimeLayout::standard());

    // Back to the page shown after a PDF; the CSV head with "Report".
    static ReportFramePolicy frame();

    // The band of an answer time: 0 for 0 to 5 seconds, b for 5b + 1 to 5b + 5 (a negative time
    // counts as 0).
    static int bandOf(int seconds);
    static QString bandCaption(int band);
    // Each question's answers of the ticked students (in the list's order) and their bands.
    static QList<QuestionAndStudentAnsInfo> buildQuestions(const QuizEntity &quiz,
                                                           const QList<SelectStudents> &studentList);
    // The rows of one question, pages of rowPerPage rows in mind.
    static QList<Row> rowsOf(const QuestionAndStudentAnsInfo &question, int rowPerPage,
                             const CorrectRateStatisticsByAnswerTimeLayout &layout);

    QString reportName() const override { return QStringLiteral("Correct Rate Statistics"); }
    const QList<QuestionAndStudentAnsInfo> &questionArray() const { return m_questions; }
    const QList<Row> &arrayForCSV() const { return m_rows; }
    QList<NodeDataPtr> outline() const override { return m_nodes; }

protected:
    int rowCount() const override { return int(m_rows.size()); }
    int rowPerPageFor(int nameLines) const override;
    QList<ReportPageSlice> cutPages() const override;
    void paintBody(ReportPainter &painter, const ReportPageSlice &slice) const override;
    int csvColumns() const override { return 9; }
    void writeCSVBody(ReportCSVWriter &csv) const override;

private:
    const CorrectRateStatisticsByAnswerTimeLayout &m_layout;
    QList<QuestionAndStudentAnsInfo> m_questions;
    QList<Row> m_rows;
    // How many of m_rows each question has.
    QList<int> m_rowsPerQuestion;
    QList<NodeDataPtr> m_nodes;
};
