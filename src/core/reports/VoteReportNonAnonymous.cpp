#include "VoteReportNonAnonymous.h"

#include "core/engine/StoredAnswers.h"
#include "StudentAnsView.h"
#include "VoteReport.h"
#include "VotingResultView.h"

#include "core/base/CommonFunc.h"
#include "core/store/DataManager.h"
#include "core/store/QuizEntity.h"


#include <algorithm>

VoteReportNonAnonymous::VoteReportNonAnonymous(const QuizEntity &quiz, const ReportFramePolicy &policy,
                                               const VotingResultLayout &voteLayout,
                                               const StudentAnsLayout &voterLayout)
    : ReportDocument(policy), m_voteLayout(voteLayout), m_voterLayout(voterLayout)
{
    const QList<StudentEntity> attendants = DataManager::getAttendStudentInfoInOneQuiz(quiz);
    for (const StudentEntity &s : attendants) {
        StudentIdNameAnswer row;
        row.setStudentID(s.id().isNull() ? QStringLiteral("") : s.id());
        // A loaded session keeps a student's name as first and last name.
        row.setStudentName(s.name().isEmpty() ? mergeFirstLastString(s.firstName(), s.lastName()) : s.name());
        row.setStudentNo(s.no());
        row.setGroupNo(s.groupNo());
        m_attendants.append(row);
    }
    m_questions = VoteReport::buildQuestions(quiz, attendants);

    const StoredAnswers first(quiz);
    // The questions are in stored order.
    for (int position = 0; position < m_questions.size(); ++position) {
        const Question &question = m_questions.at(position);
        m_voteRows.append(VoteReport::rowsOf(question, int(m_attendants.size()), m_voteLayout));
        QList<StudentIdNameAnswer> voters = m_attendants;
        for (StudentIdNameAnswer &v : voters) {
            const ResponseDataEntity *answer = first.find(v.studentID(), position);
            v.setAnswer(answer ? answer->response() : QStringLiteral("__"));
        }
        m_voters.append(voters);
    }

    setSessionHead(quiz);
    // Each question's votes on pages of their own (more than one when its options do not fit),
    // then its voters; without attendants, one voters' page with the headings alone.
    const int perPage = rowPerPageFor(nameLines());
    for (int k = 0; k < m_questions.size(); ++k) {
        const int votes = int(m_voteRows.at(k).size());
        for (int first = 0; first < votes; first += perPage)
            m_pageTable.append({k, false, first, std::min(perPage, votes - first)});
        const int voters = int(m_attendants.size());
        int first = 0;
        do {
            m_pageTable.append({k, true, first, std::min(perPage, voters - first)});
            first += perPage;
        } while (first < voters);
    }
    buildPages();
}

ReportFramePolicy VoteReportNonAnonymous::frame()
{
    return ReportFramePolicy::windowFrameBackToShown(ReportFramePolicy::CsvHead::NoCsv);
}

QList<ReportPageSlice> VoteReportNonAnonymous::cutPages() const
{
    QList<ReportPageSlice> slices;
    for (int p = 0; p < m_pageTable.size(); ++p)
        slices.append({p, m_pageTable.at(p).first, m_pageTable.at(p).count, false});
    return slices;
}

void VoteReportNonAnonymous::paintBody(ReportPainter &painter, const ReportPageSlice &slice) const
{
    if (m_pageTable.isEmpty())
        return;
    const Page &page = m_pageTable.value(slice.owner);
    if (page.voters)
        StudentAnsView(m_voterLayout, m_voters.at(page.question).mid(page.first, page.count)).paint(painter);
    else
        VotingResultView(m_voteLayout, m_voteRows.at(page.question).mid(page.first, page.count)).paint(painter);
}
