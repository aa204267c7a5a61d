#include "ResultByQuestionInGroupModeReport.h"

#include "core/engine/StoredAnswers.h"
#include "ReportCSVWriter.h"
#include "ReportDrawing.h"
#include "ReportPainter.h"
#include "ReportStyle.h"
#include "ResultByQuestionInGroupModeView.h"
#include "SessionGroups.h"

#include "core/base/PrintfNumber.h"
#include "core/engine/AnswerScoring.h"
#include "core/store/DataManager.h"


#include <algorithm>

namespace {
using Row = ResultsByQuestionInGroupModePrintDate;

Row row(Row::Kind kind)
{
    Row r;
    r.setFlag(kind);
    return r;
}

QString rate(int part, int whole)
{
    // No attending student leaves nothing to divide: 0 %, not "nan%".
    return PrintfNumber::fixed(whole > 0 ? double(part) * 100 / double(whole) : 0.0, 2) + QLatin1Char('%');
}
} // namespace

ResultByQuestionInGroupModeReport::ResultByQuestionInGroupModeReport(const QuizEntity &quiz,
                                                                     const ReportFramePolicy &policy,
                                                                     const ResultByQuestionInGroupModeLayout &viewLayout)
    : ReportDocument(policy), m_layout(viewLayout)
{
    QList<const QuestionEntity *> stored;
    for (const QuestionEntity &q : quiz.allQuestions())
        stored.append(&q);
    std::stable_sort(stored.begin(), stored.end(),
                     [](const QuestionEntity *a, const QuestionEntity *b) { return a->quNo() < b->quNo(); });
    for (int k = 1; k <= stored.size(); ++k) {
        const QuestionEntity &entity = *stored.at(k - 1);
        Question q;
        q.setQuNo(entity.quNo());
        q.setActQuNo(entity.quNo());
        q.setRightAns(entity.rightAns());
        q.setPoint(entity.mark());
        q.setDesNum(entity.mark());
        q.setQuestionTitle(entity.title());
        q.setQuMode(entity.quMode());
        QuestionAndQuestionNum numbered;
        numbered.setQuestion(q);
        numbered.setQuestionNo(QStringLiteral("Question %1").arg(k));
        numbered.setNo(k);
        m_questions.append(numbered);
    }

    QList<StudentIdNameAnswer> students = SessionGroups::attendingStudents(quiz);
    m_totalStudent = int(students.size());
    SessionGroups::sortById(students);
    m_groups = SessionGroups::groups(students, quiz);

    setSessionHead(quiz);
    const int lines = nameLines();
    const StoredAnswers first(quiz);
    for (int k = 1; k <= m_questions.size(); ++k)
        buildQuestion(quiz, first, k, int(stored.at(k - 1) - quiz.allQuestions().constData()), lines);
    buildPages();
}

void ResultByQuestionInGroupModeReport::buildQuestion(const QuizEntity &quiz, const StoredAnswers &first, int k,
                                                      int position, int nameLines)
{
    const Question &q = m_questions.at(k - 1).question();
    // The pages' thresholds hold for a one-line session name; each further line of it takes a
    // row off, so that the fullest page still ends above the page view's bottom.
    const int less = std::max(0, nameLines - 1);
    const int groupBreak = m_layout.groupBreak - less, memberBreak = m_layout.memberBreak - less,
              summaryBreak = m_layout.summaryBreak - less, totalsBreak = m_layout.totalsBreak - less;

    const AnswerScoring::WrongAnswer rule = AnswerScoring::storedWrongAnswerRule(
        QString::number(DataManager::getActModeNoByName(quiz.actionType())), q.quMode());

    QList<Row> pending;
    const auto closePage = [&] {
        m_slices.append(ReportPageSlice{k - 1, int(m_rows.size()), int(pending.size()), false});
        m_rows.append(pending);
        pending.clear();
    };
    const auto header = [&](const GroupAndStudentsPoint &g, bool withHeads) {
        Row title = row(Row::GroupTitle);
        title.setGroupTitle(QStringLiteral("Group %1").arg(g.groupNo()));
        Row points = row(Row::GroupPoints);
        points.setGroupPoint(QString::number(g.point()));
        Row extra = row(Row::ExtraPoints);
        extra.setAppendPoint(QString::number(g.appendPoint()));
        pending << title << points << extra;
        if (withHeads)
            pending << row(Row::MemberHeads);
    };

    const NodeDataPtr node = NodeData::create(QStringLiteral("Question %1").arg(k));
    node->setLine(int(m_slices.size()) + 1);
    int allParticipants = 0, allCorrect = 0;
    for (const GroupAndStudentsPoint &g : m_groups) {
        if (pending.size() > groupBreak)
            closePage();
        header(g, true);
        node->addChild(QStringLiteral("Group %1").arg(g.groupNo()), true, int(m_slices.size()) + 1);
        int participants = 0, correct = 0;
        for (const StudentIdNameAnswer &m : g.studentPointArray()) {
            if (pending.size() > memberBreak) {
                closePage();
                header(g, true);
            }
            Row member = row(Row::Member);
            member.setStudentName(m.studentName());
            member.setTotalPoint(QString::number(m.totalPoint()));
            const ResponseDataEntity *answer = first.find(m.studentID(), position);
            if (!answer) {
                member.setResponse(QStringLiteral("__"));
                member.setPoint(QStringLiteral("0"));
                member.setCorrectRate(QStringLiteral("0%"));
            } else {
                ++participants;
                const bool right = AnswerScoring::isRight(answer->response(), q.rightAns());
                correct += right;
                member.setResponse(answer->response());
                member.setPoint(QString::number(AnswerScoring::points(answer->response(), q.rightAns(), q.point(), rule)));
                member.setCorrectRate(right ? QStringLiteral("100%") : QStringLiteral("0%"));
            }
            pending << member;
            if (m_layout.responseLines) {
                Row response = row(Row::ResponseLine);
                response.setStudentName(member.studentName());
                response.setResponse(member.response());
                pending << response;
            }
        }
        if (pending.size() > summaryBreak) {
            closePage();
            header(g, false);
        }
        const int members = int(g.studentPointArray().size());
        Row numOfMem = row(Row::GroupMembers);
        numOfMem.setNumOfMem(QString::number(members));
        Row numOfPart = row(Row::GroupParticipants);
        numOfPart.setNumOfPart(QString::number(participants));
        Row groupCorrect = row(Row::GroupCorrect);
        groupCorrect.setGroupCorrect(rate(correct, members));
        pending << numOfMem << row(Row::Spacer) << numOfPart << row(Row::Spacer) << groupCorrect;
        allParticipants += participants;
        allCorrect += correct;
    }
    m_nodes.append(node);
    if (pending.size() > totalsBreak)
        closePage();
    Row numOfTotalMem = row(Row::TotalMembers);
    numOfTotalMem.setNumOfTotalMem(QString::number(m_totalStudent));
    Row numOfTotalPart = row(Row::TotalParticipants);
    numOfTotalPart.setNumOfTotalPart(QString::number(allParticipants));
    Row totalCorrect = row(Row::TotalCorrect);
    totalCorrect.setTotalCorrect(rate(allCorrect, m_totalStudent));
    pending << numOfTotalMem << row(Row::Spacer) << numOfTotalPart << row(Row::Spacer) << totalCorrect
            << row(Row::QuestionEnd);
    closePage();
}

void ResultByQuestionInGroupModeReport::paintBody(ReportPainter &painter, const ReportPageSlice &slice) const
{
    if (m_questions.isEmpty()) {
        painter.noRecord();
        return;
    }
    const int k = std::clamp(slice.owner, 0, int(m_questions.size()) - 1);
    ResultByQuestionInGroupModeView(m_layout, m_rows.mid(slice.first, slice.count), m_questions.at(k).question(), k + 1)
        .paint(painter);
}

void ResultByQuestionInGroupModeReport::writeCSVBody(ReportCSVWriter &csv) const
{
    csv.set(1, QStringLiteral("(Note:'__' means No Answer, '__N' means you got the chance to answer but did not answer "
                              "in Rush Quiz Mode)"));
    csv.nextRow();
    const QFont titleFont = ReportStyle::arial(20);
    bool newQuestion = true, newGroup = true;
    QString lastTitle = QStringLiteral(" ");
    int next = 0;
    for (const Row &r : m_rows) {
        if (newQuestion && next < m_questions.size()) {
            const QuestionAndQuestionNum &q = m_questions.at(next++);
            csv.set(1, q.questionNo());
            csv.nextRow();
            for (const QString &line : getWordWrappedStrings(q.question().questionTitle(), 703, titleFont)) {
                csv.set(1, line);
                csv.nextRow();
            }
            csv.set(1, QStringLiteral("Correct Answer:"));
            csv.set(3, q.question().rightAns());
            csv.nextRow();
        }
        newQuestion = r.flag() == Row::QuestionEnd;
        // A label and its value in column 3.
        const auto labelled = [&](const char *label, const QString &value, int labelColumn) {
            csv.set(labelColumn, QString::fromLatin1(label));
            csv.set(3, value);
            csv.nextRow();
        };
        switch (r.flag()) {
        case Row::GroupTitle:
            // A group going on over a page is written once.
            newGroup = r.groupTitle() != lastTitle;
            if (newGroup) {
                lastTitle = r.groupTitle();
                csv.set(1, lastTitle);
                csv.nextRow();
            }
            break;
        case Row::GroupPoints:
            if (newGroup)
                labelled("Group Points:", r.groupPoint(), 2);
            break;
        case Row::ExtraPoints:
            if (newGroup)
                labelled("Extra Points:", r.appendPoint(), 2);
            break;
        case Row::MemberHeads:
            if (newGroup) {
                csv.set(3, QStringLiteral("Student"));
                csv.set(5, QStringLiteral("Point"));
                csv.set(6, QStringLiteral("Total Point"));
                csv.set(7, QStringLiteral("Correct Rate"));
                csv.nextRow();
            }
            break;
        case Row::Member:
            csv.set(3, r.studentName());
            csv.set(5, r.point());
            csv.set(6, r.totalPoint());
            csv.set(7, r.correctRate());
            csv.nextRow();
            break;
        case Row::GroupMembers:
            labelled("Number of members:", r.numOfMem(), 1);
            break;
        case Row::GroupParticipants:
            labelled("Number of Participants:", r.numOfPart(), 1);
            break;
        case Row::GroupCorrect:
            labelled("Group Correct:", r.groupCorrect(), 1);
            break;
        case Row::TotalMembers:
            csv.nextRow();
            labelled("Number of members:", r.numOfTotalMem(), 1);
            break;
        case Row::TotalParticipants:
            labelled("Number of Participants:", r.numOfTotalPart(), 1);
            break;
        case Row::TotalCorrect:
            labelled("Total Correct:", r.totalCorrect(), 1);
            csv.nextRow();
            break;
        case Row::QuestionEnd:
            lastTitle = QStringLiteral(" ");
            break;
        default:
            break;
        }
    }
}
