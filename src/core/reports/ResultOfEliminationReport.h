#pragma once

#include "AnsPointQuNo.h"
#include "QuestionAndQuestionNum.h"
#include "ReportDocument.h"
#include "ResultOfEliminationLayout.h"
#include "ResultOfEliminationPrintDate.h"
#include "SelectStudents.h"
#include "StudentAnswers.h"

#include <QList>

class QuizEntity;

// "Result Of Elimination": question by question (in the order of their numbers), every ticked
// student's response, those who did not give the right answer in grey, then the list of those
// students. A question's responses and its list each start on a page of their own.
class ResultOfEliminationReport : public ReportDocument
{
public:
    ResultOfEliminationReport(const QuizEntity &quiz, const QList<SelectStudents> &studentList, int flag = 0,
                              const ReportFramePolicy &policy = frame(),
                              const ResultOfEliminationLayout &viewLayout = ResultOfEliminationLayout::standard());

    // Back to the page shown after a PDF; the CSV head without "Report".
    static ReportFramePolicy frame();

    // A page: a question's (index into questionArray()) responses or eliminated list, and which
    // of its rows it shows.
    struct Page
    {
        int question = 0;
        bool eliminatedList = false;
        int first = 0;
        int count = 0;
    };
    // The pages of questions with rowsPerQuestion students each, of whom failedPerQuestion are
    // out: each question's responses, rowPerPage a page (none without students), then its list
    // of those out, listRowsPerPage a page (one page when nobody is out).
    static QList<Page> pagesFor(const QList<int> &rowsPerQuestion, const QList<int> &failedPerQuestion,
                                int rowPerPage, int listRowsPerPage);

    QString reportName() const override { return QStringLiteral("Result Of Elimination"); }
    int flag() const { return m_flag; }
    const QList<QuestionAndQuestionNum> &questionArray() const { return m_questions; }
    const QList<StudentAnswers<AnsPointQuNo>> &studentAnswersArray() const { return m_students; }
    // Question k's rows: one per ticked student.
    const QList<ResultOfEliminationPrintDate> &rowsOf(int question) const { return m_rows.at(question); }
    const Page &pageAt(int page) const { return m_pageTable.at(page - 1); }
    int listRowsPerPage() const;

    // The questions beside the pages; choosing one shows its first page.
    ReportSideList sideList() const override;
    int sideRowSelected(int row) override;

protected:
    int rowCount() const override { return 0; }
    int rowPerPageFor(int nameLines) const override;
    QList<ReportPageSlice> cutPages() const override;
    void paintBody(ReportPainter &painter, const ReportPageSlice &slice) const override;
    int csvColumns() const override { return 7; }
    void writeCSVBody(ReportCSVWriter &csv) const override;

private:
    QList<ResultOfEliminationPrintDate> failed(int question) const;

    int m_flag;
    const ResultOfEliminationLayout &m_layout;
    QList<QuestionAndQuestionNum> m_questions;
    QList<StudentAnswers<AnsPointQuNo>> m_students;
    QList<QList<ResultOfEliminationPrintDate>> m_rows;
    QList<Page> m_pageTable;
};
