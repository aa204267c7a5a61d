#pragma once

#include "Question.h"
#include "ReportDocument.h"
#include "StudentAnsLayout.h"
#include "StudentIdNameAnswer.h"
#include "VotingResultLayout.h"
#include "VotingResultsPrintPerRowDate.h"

#include <QList>

class QuizEntity;

// "Voting Result": the vote report with the voters named. Every question's votes start a page;
// the pages after them list every attendant with their ID, name and answer to that question
// ("__" for none). Pages only: no CSV.
class VoteReportNonAnonymous : public ReportDocument
{
public:
    explicit VoteReportNonAnonymous(const QuizEntity &quiz, const ReportFramePolicy &policy = frame(),
                                    const VotingResultLayout &voteLayout = VotingResultLayout::standard(),
                                    const StudentAnsLayout &voterLayout = StudentAnsLayout::standard());

    // Back to the page shown after a PDF; no CSV.
    static ReportFramePolicy frame();

    // A page: a question's (index into questionArray()) votes or voters, and which rows it shows.
    struct Page
    {
        int question = 0;
        bool voters = false;
        int first = 0;
        int count = 0;
    };

    QString reportName() const override { return QStringLiteral("Voting Result"); }
    int totalStudent() const { return int(m_attendants.size()); }
    const QList<Question> &questionArray() const { return m_questions; }
    // Question k's vote rows, and its voters with their answers.
    const QList<VotingResultsPrintPerRowDate> &voteRowsOf(int question) const { return m_voteRows.at(question); }
    const QList<StudentIdNameAnswer> &votersOf(int question) const { return m_voters.at(question); }
    const Page &pageAt(int page) const { return m_pageTable.at(page - 1); }

protected:
    int rowCount() const override { return 0; }
    QList<ReportPageSlice> cutPages() const override;
    void paintBody(ReportPainter &painter, const ReportPageSlice &slice) const override;

private:
    const VotingResultLayout &m_voteLayout;
    const StudentAnsLayout &m_voterLayout;
    QList<StudentIdNameAnswer> m_attendants;
    QList<Question> m_questions;
    QList<QList<VotingResultsPrintPerRowDate>> m_voteRows;
    QList<QList<StudentIdNameAnswer>> m_voters;
    QList<Page> m_pageTable;
};
