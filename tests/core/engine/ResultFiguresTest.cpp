// The figures of the result windows of a run, on scripted runs: the summary's three bars, the
// histogram's option counts, the question report's points by activity, the answer details, the
// group points and the roll-call and grouping counts.
#include "EngineFixture.h"

#include "core/base/ActivityCodes.h"
#include "core/engine/AnswerDetails.h"
#include "core/engine/FigureText.h"
#include "core/engine/GroupPoints.h"
#include "core/engine/OptionHistogram.h"
#include "core/engine/QuestionReport.h"
#include "core/engine/QuizData.h"
#include "core/engine/QuizParticipantData.h"
#include "core/engine/QuizQuestions.h"
#include "core/engine/ResultSummary.h"
#include "core/engine/RollCallFigures.h"

namespace {

struct Q
{
    QString answer;
    int points = 10;
    int type = QuestionType::SingleAnswer;
    int actionMode = ActionMode::Normal;
    int options = 4;
};

class ResultFiguresTest : public PollixTest
{
protected:
    // A class of `inClass` students of whom the first `logged` logged in with keypads 1, 2, ...;
    // students i of group (i - 1) % groups + 1.
    void run(int inClass, int logged, const QList<Q> &questions, int groups = 1)
    {
        fillClass(inClass, true);
        auto *qpd = QuizParticipantData::shareManager();
        const QList<StudentInClassPtr> students = qpd->arrayClassStudents();
        for (int i = 1; i <= inClass; ++i) {
            students[i - 1]->setDeviceNo(i <= logged ? i : 0);
            students[i - 1]->setGroupNo((i - 1) % groups + 1);
        }
        qpd->setArrayLoginStudents(students.mid(0, logged));
        qpd->setMaxGroupNo(groups);
        QList<QuizQuestionsElement> set;
        for (const Q &q : questions) {
            QuizQuestionsElement e;
            e.setStrTitle(QStringLiteral("Question"));
            e.setStrAnswer(q.answer);
            e.setNPoint(q.points);
            e.setNQuestionType(q.type);
            e.setNActionMode(q.actionMode);
            e.setNOptionNum(q.options);
            set << e;
        }
        QuizQuestions::shareManager()->setArrayQuestions(set);
    }
    // Question q was run and these keypads (1, 2, ...) gave these answers.
    static void answers(int q, const QStringList &given, const QList<int> &times = {})
    {
        auto *qd = QuizData::shareManager();
        if (q > qd->recordCount())
            qd->clearQuestionRecord(q);
        QList<int> asked = qd->arrayAlreadyTestQuestionNo();
        if (!asked.contains(q))
            qd->setArrayAlreadyTestQuestionNo(asked << q);
        for (int i = 0; i < given.size(); ++i) {
            if (!given[i].isNull())
                qd->setStudentAnswer(q, i + 1, given[i]);
            if (i < times.size())
                qd->setStudentAnswerTime(q, i + 1, times[i]);
        }
    }
    static QStringList column(const QuestionReport &r, const char *id)
    {
        QStringList out;
        for (int row = 0; row < r.rowCount(); ++row)
            out << r.cell(row, QLatin1String(id));
        return out;
    }
};

} // namespace

TEST_F(ResultFiguresTest, SummaryCountsRightWrongAndNoResponse)
{
    run(6, 5, {{QStringLiteral("B")}});
    // "__" and an unrecorded answer are no response; a missed rush chance is an answer, and wrong.
    answers(1, {QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("__"), QStringLiteral("__N"), QString()},
            {4, 6, 0, 2, 0});
    const ResultSummary s = ResultSummary::compute(1, Activity::NormalQuiz);
    EXPECT_FALSE(s.elimination);
    EXPECT_EQ(s.correct, 1);
    EXPECT_EQ(s.incorrect, 2);
    EXPECT_EQ(s.noResponse, 2);
    EXPECT_EQ(s.total, 5);
    EXPECT_EQ(s.attendants, 5);
    EXPECT_EQ(s.absentees, 1);
    EXPECT_FLOAT_EQ(s.averageTime, 12.f / 5.f);
    EXPECT_FLOAT_EQ(s.fCorrect, 0.2f);
    EXPECT_FLOAT_EQ(s.fError, 0.4f);
    EXPECT_FLOAT_EQ(s.fNoResponse, 0.4f);

    // Nobody logged in: no division by zero, every figure 0.
    run(3, 0, {{QStringLiteral("B")}});
    const ResultSummary empty = ResultSummary::compute(1, Activity::NormalQuiz);
    EXPECT_EQ(empty.total, 0);
    EXPECT_EQ(empty.averageTime, 0.f);
    EXPECT_EQ(empty.fCorrect + empty.fError + empty.fNoResponse, 0.f);
    EXPECT_EQ(empty.absentees, 3);
}

TEST_F(ResultFiguresTest, EliminationCountsOnlyTheStudentsStillInAcrossATeachingPlanPage)
{
    // Question 2 is a teaching plan: question 3 follows on what question 1 left.
    run(10, 8, {{QStringLiteral("A")}, {QString(), 0, QuestionType::TeachingPlan}, {QStringLiteral("B")}});
    auto *qd = QuizData::shareManager();
    answers(1, {QStringLiteral("A"), QStringLiteral("A"), QStringLiteral("A"), QStringLiteral("A"), QStringLiteral("A"),
                QStringLiteral("C"), QStringLiteral("C"), QString()});
    qd->setArrayAlreadyEliminationSum(3, 1);
    qd->setArrayAlreadyEliminationSum(99, 2); // a teaching plan records nothing that counts
    // Of the five still in, two answer right, one wrong and two not at all.
    answers(3, {QStringLiteral("B"), QStringLiteral("B"), QStringLiteral("D"), QString(), QStringLiteral("__")});
    qd->setArrayAlreadyEliminationSum(6, 3);

    EXPECT_EQ(ResultSummary::eliminatedBefore(3), 3);
    const ResultSummary s = ResultSummary::compute(3, Activity::Elimination);
    EXPECT_TRUE(s.elimination);
    EXPECT_EQ(s.attendants, 5);
    EXPECT_EQ(s.absentees, 3 + 2);
    EXPECT_EQ(s.eliminated, 3);
    EXPECT_EQ(s.retained, 2);
    EXPECT_EQ(s.total, 5);
    EXPECT_EQ(s.correct, 2);
    EXPECT_EQ(s.incorrect, 1);
    EXPECT_EQ(s.noResponse, 2) << "a head count of the students still in, not a rate";
    EXPECT_FLOAT_EQ(s.fCorrect + s.fError + s.fNoResponse, 1.f);

    // The first question: nobody was out before it.
    const ResultSummary first = ResultSummary::compute(1, Activity::Elimination);
    EXPECT_EQ(first.attendants, 8);
    EXPECT_EQ(first.eliminated, 3);
    EXPECT_EQ(first.retained, 5);
    EXPECT_EQ(first.noResponse, 1);

    // Multiple Mode eliminates on its elimination questions only; the same data then counts all.
    QuizQuestions::shareManager()->setActionMode(3, ActionMode::Elimination);
    EXPECT_TRUE(ResultSummary::compute(3, Activity::MultipleMode).elimination);
    QuizQuestions::shareManager()->setActionMode(3, ActionMode::Normal);
    const ResultSummary normal = ResultSummary::compute(3, Activity::MultipleMode);
    EXPECT_FALSE(normal.elimination);
    EXPECT_EQ(normal.total, 8);
    EXPECT_EQ(normal.noResponse, 5);

    // The histogram of the elimination question counts the same students still in.
    const OptionHistogram h = OptionHistogram::compute(3, Activity::Elimination, true);
    EXPECT_EQ(h.attending, 5);
    EXPECT_EQ(h.counts.last(), 2) << "Others: the five still in less the three who chose an option";
}

TEST_F(ResultFiguresTest, HistogramCountsEachOptionAndOthers)
{
    // 30 students: 10 answer A, 5 B, 15 nothing.
    run(30, 30, {{QStringLiteral("A")}});
    QStringList given;
    for (int i = 0; i < 30; ++i)
        given << (i < 10 ? QStringLiteral("A") : i < 15 ? QStringLiteral("B") : QString());
    answers(1, given);
    const OptionHistogram h = OptionHistogram::compute(1, Activity::NormalQuiz, true);
    EXPECT_EQ(h.optionCount, 4);
    EXPECT_EQ(h.labels, (QStringList{"A", "B", "C", "D"}));
    EXPECT_EQ(h.counts, (QList<int>{10, 5, 0, 0, 15}));
    EXPECT_EQ(FigureText::barValue(h.fractions[0], h.counts[0]), QStringLiteral("33.33% \n  (10)"));
    EXPECT_EQ(FigureText::barValue(h.fractions[1], h.counts[1]), QStringLiteral("16.67% \n  (5)"));
    EXPECT_EQ(FigureText::barValue(h.fractions[4], h.counts[4]), QStringLiteral("50.00% \n  (15)"));
    EXPECT_EQ(h.correctBar, 1);
    EXPECT_EQ(h.totalPoints, 100);
    EXPECT_EQ(FigureText::average(h.averagePoints), QStringLiteral("3.3"));

    // Several letters fall into "Others"; only the first letter of a multiple answer is marked.
    run(3, 3, {{QStringLiteral("CA"), 10, QuestionType::MultipleAnswer}});
    answers(1, {QStringLiteral("CA"), QStringLiteral("C"), QStringLiteral("AB")});
    const OptionHistogram multi = OptionHistogram::compute(1, Activity::NormalQuiz, true);
    EXPECT_EQ(multi.counts, (QList<int>{0, 0, 1, 0, 2}));
    EXPECT_EQ(multi.correctBar, 3);
    EXPECT_EQ(OptionHistogram::compute(1, Activity::NormalQuiz, false).correctBar, 0);

    // True or false: two bars answered "True" and "False"; "False" is bar 2.
    run(3, 3, {{QStringLiteral("False"), 10, QuestionType::TrueFalse, ActionMode::Normal, 4}});
    answers(1, {QStringLiteral("True"), QStringLiteral("False"), QStringLiteral("False")});
    const OptionHistogram tf = OptionHistogram::compute(1, Activity::NormalQuiz, true);
    EXPECT_EQ(tf.labels, (QStringList{"True", "False"}));
    EXPECT_EQ(tf.counts, (QList<int>{1, 2, 0}));
    EXPECT_EQ(tf.correctBar, 2);

    // An option count from a damaged file never makes more than ten bars; "nocorrect" marks none.
    run(2, 2, {{QStringLiteral("nocorrect"), 10, QuestionType::SingleAnswer, ActionMode::Vote, 40}});
    const OptionHistogram vote = OptionHistogram::compute(1, Activity::Vote, true);
    EXPECT_EQ(vote.optionCount, 10);
    EXPECT_EQ(vote.counts.size(), 11);
    EXPECT_EQ(vote.correctBar, 0);
}

TEST_F(ResultFiguresTest, HistogramPointsDeductOnlyInRush)
{
    run(4, 4, {{QStringLiteral("A"), 5}});
    answers(1, {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("__N"), QString()});
    EXPECT_EQ(OptionHistogram::compute(1, Activity::NormalQuiz, true).totalPoints, 5);
    EXPECT_EQ(OptionHistogram::compute(1, Activity::RushQuiz, true).totalPoints, 5 - 5 - 5);
    const OptionHistogram rush = OptionHistogram::compute(1, Activity::FreeRushQuiz, true);
    EXPECT_EQ(rush.totalPoints, -5);
    // A small negative average reads "0.0", never "-0.0".
    EXPECT_EQ(FigureText::average(-1.26), QStringLiteral("-1.3"));
    EXPECT_EQ(FigureText::average(-0.04), QStringLiteral("0.0"));
}

TEST_F(ResultFiguresTest, ReportPointsFollowTheActivity)
{
    // Question 2 is a teaching plan; question 3 was never asked.
    run(3, 3, {{QStringLiteral("B"), 10}, {QString(), 0, QuestionType::TeachingPlan}, {QStringLiteral("C"), 4}});
    answers(1, {QStringLiteral("B"), QStringLiteral("A"), QStringLiteral("__N")}, {3, 5, 7});
    QuizData::shareManager()->clearQuestionRecord(3);
    QuizData::shareManager()->setStudentAnswer(3, 2, QStringLiteral("C")); // a sheet answer, not asked

    // A normal quiz: a wrong answer scores nothing.
    const QuestionReport normal(Activity::NormalQuiz, 1);
    EXPECT_EQ(normal.rowCount(), 3);
    EXPECT_EQ(column(normal, "Register#"), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(column(normal, "Student ID"), (QStringList{"S001", "S002", "S003"}));
    EXPECT_EQ(column(normal, "Answer"), (QStringList{"B", "A", "__N"}));
    EXPECT_EQ(column(normal, "Points"), (QStringList{"10", "0", "0"}));
    EXPECT_EQ(column(normal, "Time"), (QStringList{"3", "5", "7"}));
    EXPECT_EQ(column(normal, "Total Points"), (QStringList{"10", "0", "0"})) << "the asked questions only";
    EXPECT_EQ(normal.averageText(), QStringLiteral("3.3"));
    EXPECT_TRUE(normal.offersResultDetails());
    EXPECT_EQ(normal.resultDetailsAnswer(), QStringLiteral("B"));

    // Rush: a wrong answer and a chance not taken cost the question's points.
    const QuestionReport rush(Activity::RushQuiz, 1);
    EXPECT_EQ(column(rush, "Points"), (QStringList{"10", "-10", "-10"}));
    EXPECT_EQ(rush.averageText(), QStringLiteral("-3.3"));

    // A paper quiz totals every question of the set, asked or not.
    const QuestionReport paper(Activity::PaperQuiz, 1);
    EXPECT_EQ(column(paper, "Total Points"), (QStringList{"10", "4", "0"}));
    EXPECT_FALSE(paper.offersResultDetails());
    EXPECT_EQ(paper.averageText(), QStringLiteral("4.7"));

    // On a teaching plan the question's columns stay empty.
    const QuestionReport plan(Activity::NormalQuiz, 2);
    EXPECT_EQ(column(plan, "Points"), (QStringList{"", "", ""}));
    EXPECT_EQ(plan.resultDetailsAnswer(), QStringLiteral(" "));
    EXPECT_EQ(plan.averageText(), QStringLiteral("0.0"));

    // Multiple Mode deducts on its rush questions; both the report and the details agree.
    QuizQuestions::shareManager()->setActionMode(1, ActionMode::Rush);
    const QuestionReport multiple(Activity::MultipleMode, 1);
    EXPECT_EQ(column(multiple, "Points"), (QStringList{"10", "-10", "-10"}));
    const AnswerDetails details(Activity::MultipleMode, QuizParticipantData::shareManager()->arrayLoginStudents()[1]);
    EXPECT_EQ(details.rowCount(), 3);
    EXPECT_EQ(details.cell(0, QStringLiteral("Points")), QStringLiteral("-10"));
    EXPECT_EQ(details.cell(1, QStringLiteral("Answer")), QString()) << "a teaching plan";
    EXPECT_EQ(details.cell(1, QStringLiteral("Question No")), QStringLiteral("2"));
    EXPECT_EQ(details.cell(2, QStringLiteral("Points")), QStringLiteral("4"));

    // Elimination shows no average; with nobody logged in the average is "0".
    EXPECT_FALSE(QuestionReport(Activity::Elimination, 1).showsAverage());
    run(3, 0, {{QStringLiteral("B")}});
    const QuestionReport none(Activity::NormalQuiz, 1);
    EXPECT_EQ(none.rowCount(), 0);
    EXPECT_EQ(none.averageText(), QStringLiteral("0"));
}

TEST_F(ResultFiguresTest, HandRaiseShowsTheTeachersMarks)
{
    run(3, 3, {{QStringLiteral("B"), 10}, {QStringLiteral("B"), 10}});
    answers(1, {QStringLiteral("A"), QString(), QString()});
    answers(2, {QStringLiteral("A"), QStringLiteral("A"), QString()});
    auto *qd = QuizData::shareManager();
    qd->setStudentPoint(1, 1, 6);
    qd->setStudentPoint(2, 1, -2);
    qd->setStudentPoint(2, 2, 10);
    const QuestionReport report(Activity::HandRaise, 2);
    EXPECT_EQ(QuestionReport::columns(Activity::HandRaise).size(), 6);
    EXPECT_EQ(column(report, "Points"), (QStringList{"-2", "10", "0"}));
    EXPECT_EQ(column(report, "Total Points"), (QStringList{"4", "10", "0"}));
    EXPECT_EQ(report.averageText(), QStringLiteral("2.7"));
    const AnswerDetails details(Activity::HandRaise, QuizParticipantData::shareManager()->arrayLoginStudents()[0]);
    EXPECT_EQ(AnswerDetails::columns(Activity::HandRaise).size(), 2);
    EXPECT_EQ(details.cell(0, QStringLiteral("Points")), QStringLiteral("6"));
    EXPECT_EQ(details.cell(1, QStringLiteral("Points")), QStringLiteral("-2"));
}

TEST_F(ResultFiguresTest, GroupPointsByActivity)
{
    // Six students in groups 1, 2, 3, 1, 2, 3; group 4 has nobody logged in.
    run(6, 6, {{QStringLiteral("A"), 10}, {QStringLiteral("B"), 5}}, 4);
    const QList<StudentInClassPtr> logged = QuizParticipantData::shareManager()->arrayLoginStudents();
    for (int i = 0; i < logged.size(); ++i)
        logged[i]->setGroupNo(i % 3 + 1);
    answers(1, {QStringLiteral("A"), QStringLiteral("C"), QStringLiteral("__N"), QStringLiteral("A"), QString(),
                QStringLiteral("__")});
    answers(2, {QStringLiteral("B"), QStringLiteral("B"), QStringLiteral("B"), QString(), QString(), QStringLiteral("C")});

    const GroupPoints normal(Activity::NormalQuiz, 1);
    ASSERT_EQ(normal.groupCount(), 4);
    EXPECT_EQ(normal.currentText(1), QStringLiteral("20"));
    EXPECT_EQ(normal.currentText(2), QStringLiteral("0")) << "a wrong answer costs nothing";
    EXPECT_EQ(normal.currentText(3), QStringLiteral("-10")) << "a rush chance not taken costs in any activity";
    EXPECT_EQ(normal.totalText(1), QStringLiteral("25"));
    EXPECT_EQ(normal.currentText(4), QStringLiteral("0"));
    EXPECT_EQ(normal.totalText(4), QStringLiteral("0"));

    const GroupPoints rush(Activity::RushQuiz, 1);
    EXPECT_EQ(rush.currentText(2), QStringLiteral("-10"));
    EXPECT_EQ(rush.totalText(3), QStringLiteral("-10"));

    // Extra points count in the final sum at once; a question not recorded shows "0" now.
    normal.setAppendPoints(2, 25);
    EXPECT_EQ(normal.appendPoints(2), 25);
    EXPECT_EQ(normal.finalPoints(2), 5 + 25);
    const GroupPoints later(Activity::NormalQuiz, 3);
    EXPECT_EQ(later.currentText(1), QStringLiteral("0"));
    EXPECT_EQ(later.finalPoints(2), 30);
}

TEST_F(ResultFiguresTest, RollCallAndGroupingCounts)
{
    run(5, 4, {});
    answers(1, {QStringLiteral("1"), QStringLiteral("1"), QString(), QStringLiteral("1")});
    QStringList absent;
    for (const StudentInClassPtr &s : RollCallFigures::absentees())
        absent << s->studentID();
    EXPECT_EQ(absent, (QStringList{"S003", "S005"})) << "the one who never logged in too";
    EXPECT_EQ(RollCallFigures::rate(3, 5), QStringLiteral("60.00%"));
    EXPECT_EQ(RollCallFigures::rate(1, 3), QStringLiteral("33.33%"));
    EXPECT_EQ(RollCallFigures::rate(0, 0), QStringLiteral("0.00%"));

    QuizData::shareManager()->removeActivityRecord();
    answers(1, {QStringLiteral("C"), QStringLiteral("H"), QStringLiteral("c"), QStringLiteral("A")});
    EXPECT_EQ(RollCallFigures::groupCounts(), (QList<int>{1, 0, 1, 0, 0, 0, 0, 2}));
    EXPECT_EQ(RollCallFigures::groupOfAnswer(QStringLiteral("G")), 7);
    EXPECT_EQ(RollCallFigures::groupOfAnswer(QString()), 0);
}
