#include "core/engine/AnswerScoring.h"
#include "core/engine/QuizData.h"
#include "core/engine/QuizParticipantData.h"
#include "core/engine/QuizQuestions.h"
#include "core/engine/RunScoring.h"
#include "core/engine/StoredAnswers.h"
#include "core/store/QuizEntity.h"
#include "support/PollixTest.h"

using Wrong = AnswerScoring::WrongAnswer;
using Outcome = AnswerScoring::Outcome;

namespace {
// Activity numbers and action modes as they stand in a run.
constexpr int kNormal = 0, kPaper = 1, kHomework = 2, kRush = 3, kElimination = 4, kMultiple = 5, kSurvey = 6,
              kVote = 7, kAttendance = 8, kFreeNormal = 9, kFreeRush = 10, kFreeElimination = 11, kHandRaise = 14;
} // namespace

TEST(AnswerScoring, OneAnswerUnderEachRule)
{
    struct Case
    {
        const char *answer, *correct;
        Wrong rule;
        int expected;
    };
    const Case cases[] = {
        {"B", "B", Wrong::ScoresNothing, 10},    {"B", "B", Wrong::CostsPoints, 10},
        {"C", "B", Wrong::ScoresNothing, 0},     {"C", "B", Wrong::CostsPoints, -10},
        {"__", "B", Wrong::CostsPoints, 0},      {"", "B", Wrong::CostsPoints, 0},
        {"__N", "B", Wrong::CostsPoints, -10},   {"__N", "B", Wrong::ScoresNothing, 0},
        // A question without a correct answer: nothing is right, a given answer still costs in rush.
        {"A", "No Answer", Wrong::ScoresNothing, 0}, {"A", "No Answer", Wrong::CostsPoints, -10},
        {"No Answer", "No Answer", Wrong::ScoresNothing, 0},
        {"", "", Wrong::ScoresNothing, 0},        {"__", "__", Wrong::ScoresNothing, 0},
        // Answers are compared as stored: the caller upper-cases and sorts first where it must.
        {"b", "B", Wrong::ScoresNothing, 0},     {"CA", "AC", Wrong::ScoresNothing, 0},
        {"True", "True", Wrong::CostsPoints, 10},
    };
    for (const Case &c : cases)
        EXPECT_EQ(AnswerScoring::points(c.answer, c.correct, 10, c.rule), c.expected)
            << '"' << c.answer << "\" against \"" << c.correct << '"';
}

TEST(AnswerScoring, WhichRunsAndSessionsDeductForWrongAnswers)
{
    for (int activity : {kRush, kFreeRush})
        EXPECT_EQ(AnswerScoring::wrongAnswerRule(activity, 0), Wrong::CostsPoints) << activity;
    for (int activity : {kNormal, kPaper, kHomework, kElimination, kSurvey, kVote, kAttendance, kFreeNormal,
                         kFreeElimination, kHandRaise, 99})
        EXPECT_EQ(AnswerScoring::wrongAnswerRule(activity, kRush), Wrong::ScoresNothing) << activity;
    for (int activity : {kPaper, kHomework})
        EXPECT_TRUE(AnswerScoring::totalCoversWholeSet(activity));
    for (int activity : {kNormal, kRush, kMultiple, kFreeNormal})
        EXPECT_FALSE(AnswerScoring::totalCoversWholeSet(activity));
    // Multiple Mode runs each question by its own action mode.
    EXPECT_EQ(AnswerScoring::wrongAnswerRule(kMultiple, kRush), Wrong::CostsPoints);
    EXPECT_EQ(AnswerScoring::wrongAnswerRule(kMultiple, kFreeRush), Wrong::CostsPoints);
    EXPECT_EQ(AnswerScoring::wrongAnswerRule(kMultiple, kElimination), Wrong::ScoresNothing);
    EXPECT_EQ(AnswerScoring::wrongAnswerRule(kMultiple, kNormal), Wrong::ScoresNothing);
    EXPECT_EQ(AnswerScoring::wrongAnswerRule(kMultiple, kMultiple), Wrong::ScoresNothing);

    // Stored sessions: activity code "4" is Rush Quiz, "6" Multiple Mode; a question's Mode "4" is rush.
    EXPECT_EQ(AnswerScoring::storedWrongAnswerRule("4", "1"), Wrong::CostsPoints);
    EXPECT_EQ(AnswerScoring::storedWrongAnswerRule("6", "4"), Wrong::CostsPoints);
    EXPECT_EQ(AnswerScoring::storedWrongAnswerRule("6", "5"), Wrong::ScoresNothing);
    EXPECT_EQ(AnswerScoring::storedWrongAnswerRule("1", "4"), Wrong::ScoresNothing);
    EXPECT_EQ(AnswerScoring::storedWrongAnswerRule("5", "4"), Wrong::ScoresNothing);
}

TEST(AnswerScoring, ResultWindowsCountNoResponseRightAndWrong)
{
    EXPECT_EQ(AnswerScoring::outcome("", "A"), Outcome::NoResponse);
    EXPECT_EQ(AnswerScoring::outcome("__", "A"), Outcome::NoResponse);
    EXPECT_EQ(AnswerScoring::outcome("__N", "A"), Outcome::Wrong);
    EXPECT_EQ(AnswerScoring::outcome("A", "A"), Outcome::Right);
    EXPECT_EQ(AnswerScoring::outcome("B", "A"), Outcome::Wrong);
    EXPECT_EQ(AnswerScoring::outcome("A", " "), Outcome::Wrong);
}

namespace {
// Three questions of 10, 5 and 4 points, question 1 a rush question; three keypads logged in.
// Devices 1 and 2 answered questions 1 and 2, device 3 nothing; question 3 was never asked
// (device 1's sheet answer to it is right).
class RunScoringTest : public PollixTest
{
protected:
    void SetUp() override
    {
        PollixTest::SetUp();
        QList<StudentInClassPtr> logins;
        for (int d : {1, 2, 3}) {
            auto s = std::make_shared<StudentInClass>();
            s->setStudentID(QStringLiteral("S%1").arg(d));
            s->setDeviceNo(d);
            logins << s;
        }
        QuizParticipantData::shareManager()->setArrayLoginStudents(logins);
        auto *qq = QuizQuestions::shareManager();
        qq->setArrayQuestions({question("A", 10, kRush), question("BC", 5, kNormal), question("D", 4, kNormal)});
        auto *qd = QuizData::shareManager();
        for (int q = 1; q <= 3; ++q)
            qd->clearQuestionRecord(q);
        qd->setStudentAnswer(1, 1, "A");
        qd->setStudentAnswer(2, 1, "B");
        qd->setStudentAnswer(3, 1, "D");
        qd->setStudentAnswer(1, 2, "__N");
        qd->setStudentAnswer(2, 2, "BC");
        qd->setArrayAlreadyTestQuestionNo({2, 1});
    }
    static QuizQuestionsElement question(const QString &answer, int points, int actionMode)
    {
        QuizQuestionsElement e;
        e.setStrAnswer(answer);
        e.setNPoint(points);
        e.setNActionMode(actionMode);
        return e;
    }
};
} // namespace

TEST_F(RunScoringTest, TotalsRunOverTheAskedQuestionsOrTheWholeSet)
{
    const RunScoring normal(kNormal);
    EXPECT_EQ(normal.totalQuestions(), (QList<int>{2, 1}));
    EXPECT_EQ(normal.studentTotal(1), 10);
    EXPECT_EQ(normal.studentTotal(2), 5);

    // A paper quiz counts the answer sheet's every question, asked or not.
    const RunScoring paper(kPaper);
    EXPECT_EQ(paper.totalQuestions(), (QList<int>{1, 2, 3}));
    EXPECT_EQ(paper.studentTotal(1), 14);
    EXPECT_EQ(RunScoring(kHomework).studentTotal(1), 14);

    // Rush: a wrong answer and a chance not taken cost the question's points.
    const RunScoring rush(kRush);
    EXPECT_EQ(rush.answerPoints(2, 1), -5);
    EXPECT_EQ(rush.answerPoints(1, 2), -10);
    EXPECT_EQ(rush.studentTotal(1), 5);
    EXPECT_EQ(rush.studentTotal(2), -5);
    EXPECT_EQ(rush.answerPoints(1, 3), 0) << "a keypad that never answered";

    // Multiple Mode deducts only on the rush question (question 1).
    const RunScoring multiple(kMultiple);
    EXPECT_EQ(multiple.answerPoints(2, 1), 0);
    EXPECT_EQ(multiple.answerPoints(1, 2), -10);
    EXPECT_EQ(multiple.studentTotal(2), -5);
    EXPECT_EQ(multiple.outcome(1, 2), Outcome::Wrong);
    EXPECT_EQ(multiple.outcome(1, 3), Outcome::NoResponse);
}

TEST(AnswerScoring, StoredSessionsScoreAndTotalByTheirOwnCodes)
{
    QuestionEntity q1, q2;
    q1.setRightAns("A");
    q1.setMark(10);
    q1.setQuMode("4");
    q2.setQuNo(2);
    q2.setRightAns("B");
    q2.setMark(5);
    q2.setQuMode("1");
    QuizEntity quiz;
    quiz.setActionType("6");
    quiz.setAllQuestions({q1, q2});
    EXPECT_EQ(AnswerScoring::storedPoints(quiz, q1, "C"), -10);
    EXPECT_EQ(AnswerScoring::storedPoints(quiz, q2, "C"), 0);
    EXPECT_EQ(AnswerScoring::storedPoints(quiz, q2, "B"), 5);

    auto answer = [](const QString &student, const QString &question, const QString &response, const QString &points) {
        ResponseDataEntity r;
        r.setStudentID(student);
        r.setQuestionID(question);
        r.setResponse(response);
        r.setStudentPoint(points);
        return r;
    };
    // The stored points count as stored, right or wrong; a second answer to a question is not
    // the student's answer to it.
    quiz.setAllStudentsAns({answer("S1", "1", "C", "-10"), answer("S1", "2", "B", "5"), answer("S2", "2", "B", "5"),
                            answer("S1", "2", "A", "0")});
    EXPECT_EQ(AnswerScoring::storedTotal(quiz, "S1"), -5.0f);
    int points = 0;
    EXPECT_EQ(AnswerScoring::storedRightCount(quiz, StoredAnswers(quiz), "S1", &points), 1);
    EXPECT_EQ(points, -5);
    EXPECT_EQ(AnswerScoring::storedRightCount(quiz, StoredAnswers(quiz), "S3", &points), 0);
    EXPECT_EQ(points, 0);

    // A points-only session keeps one total per student.
    QuizEntity grades;
    StudentEntity s;
    s.setId("S1");
    s.setTotalMark("87.5");
    grades.setAllStudents({s});
    EXPECT_EQ(AnswerScoring::storedTotal(grades, "S1"), 87.5f);
    EXPECT_EQ(AnswerScoring::storedTotal(grades, "S9"), 0.0f);
}
