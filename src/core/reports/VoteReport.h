#pragma once

#include "Question.h"
#include "ReportDocument.h"
#include "VotingResultLayout.h"
#include "VotingResultsPrintPerRowDate.h"

#include "core/store/StudentEntity.h"

#include <QList>

class QuizEntity;

// "Vote Report": for every question of a vote, each option with its votes and their share of the
// attendants, and the attendants who voted for none.
//
// A vote is an attendant's first answer to the question: answers of students who did not attend
// and second answers do not count, so the votes and the abstentions add up to the attendants.
class VoteReport : public ReportDocument
{
public:
    explicit VoteReport(const QuizEntity &quiz, const ReportFramePolicy &policy = frame(),
                        const VotingResultLayout &viewLayout = VotingResultLayout::standard());

    // The vote reports' window: back to the page shown after a PDF, the CSV head with "Report".
    static ReportFramePolicy frame();

    // Every question with its options (trimmed) and, per option, its votes as a percentage of the
    // attendants (0 without attendants).
    static QList<Question> buildQuestions(const QuizEntity &quiz, const QList<StudentEntity> &attendants);
    // votes in percent of attendants, in single precision; 0 without attendants.
    static float percentOf(int votes, int attendants);
    // The rows of one question: its title's lines, the heading, the options, the abstentions.
    static QList<VotingResultsPrintPerRowDate> rowsOf(const Question &question, int attendants,
                                                      const VotingResultLayout &layout);

    QString reportName() const override { return QStringLiteral("Vote Report"); }
    int totalStudent() const { return m_totalStudent; }
    const QList<Question> &questionArray() const { return m_questions; }
    const QList<VotingResultsPrintPerRowDate> &printPerRowDateArray() const { return m_rows; }

protected:
    int rowCount() const override { return int(m_rows.size()); }
    int rowPerPageFor(int nameLines) const override;
    void paintBody(ReportPainter &painter, const ReportPageSlice &slice) const override;
    int csvColumns() const override { return 5; }
    void writeCSVBody(ReportCSVWriter &csv) const override;

private:
    const VotingResultLayout &m_layout;
    int m_totalStudent = 0;
    QList<Question> m_questions;
    QList<VotingResultsPrintPerRowDate> m_rows;
};
