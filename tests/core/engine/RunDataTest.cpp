#include "EngineFixture.h"

#include "core/engine/QuizComputeMethod.h"

namespace {
class RunData : public EngineFixture
{
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        qd = QuizData::shareManager();
        qpd = QuizParticipantData::shareManager();
        qq = QuizQuestions::shareManager();
    }
    QuizData *qd = nullptr;
    QuizParticipantData *qpd = nullptr;
    QuizQuestions *qq = nullptr;

    void loginFirst(int n)
    {
        for (int i = 1; i <= n; ++i)
            qpd->newLoginStudent(QStringLiteral("S%1").arg(i, 3, 10, QLatin1Char('0')));
    }
};
} // namespace

TEST_F(RunData, QuestionGettersClampOnlyTypeOptionsAndAnswer)
{
    auto e = question(1, 4, QStringLiteral("AB"), QStringLiteral("First"));
    e.setNPoint(7);
    qq->addQuestion(e);
    EXPECT_EQ(qq->questionType(0), 1);
    EXPECT_EQ(qq->optionNum(-3), 4);
    EXPECT_EQ(qq->answer(0), QStringLiteral("AB"));
    EXPECT_EQ(qq->point(0), 0);
    EXPECT_TRUE(qq->questionTitle(0).isNull());
    EXPECT_EQ(qq->point(1), 7);
    EXPECT_EQ(qq->quizTime(2), 0);
    EXPECT_TRUE(qq->answer(2).isNull());
    qq->setAnswer(2, QStringLiteral("C")); // past the end: nothing happens
    EXPECT_EQ(qq->count(), 1);
}

TEST_F(RunData, CountingQuestionsDropsTeachingPlanPagesForGood)
{
    for (int type : {0, 4, 1, 4, 5})
        qq->addQuestion(question(type, 2, QStringLiteral("A")));
    EXPECT_EQ(qq->teachingPlanCountUpTo(4), 2);
    EXPECT_EQ(qq->questionSumExcludeTeachingPlan(), 3);
    EXPECT_EQ(qq->count(), 3);
    EXPECT_EQ(qq->questionType(2), 1);
}

TEST_F(RunData, LoginGivesTheNextPositionAndKeepsClassObjects)
{
    makeClass(6);
    EXPECT_EQ(qpd->newLoginStudent(QStringLiteral("S005")), 1);
    EXPECT_EQ(qpd->newLoginStudent(QStringLiteral("S002")), 2);
    EXPECT_EQ(qpd->newLoginStudent(QStringLiteral("S006")), 3);
    EXPECT_EQ(qpd->newLoginStudent(QStringLiteral("S001")), 4); // S003 and S004 never logged in
    EXPECT_EQ(qpd->newLoginStudent(QStringLiteral("s001")), 0); // exact text only
    EXPECT_EQ(qpd->isStudentLogin(QStringLiteral("S002")), 2);
    EXPECT_EQ(qpd->isStudentLogin(QStringLiteral("S003")), 0);
    EXPECT_EQ(qpd->arrayClassStudents()[4]->deviceNo(), 1); // same object in both lists
    EXPECT_EQ(qpd->getIndexWithDeviceNo(1), 4);
    EXPECT_EQ(qpd->getIndexWithDeviceNo(0), -1);
    EXPECT_EQ(qpd->getIndexWithDeviceNoInLoginStus(3), 2);
    qpd->setNullInLoginStudent();
    EXPECT_EQ(qpd->arrayClassStudents()[4]->deviceNo(), 0);
    qpd->removeActivityRecord();
    EXPECT_EQ(qpd->getSumOfLoginStudents(), 0);
}

TEST_F(RunData, AnswersAreKeptPerPositionAndUnknownDevicesChangeNothing)
{
    makeClass(3);
    loginFirst(3);
    qd->clearQuestionRecord(1);
    qd->setStudentAnswer(1, 2, QStringLiteral("B"));
    qd->setStudentAnswerTime(1, 2, 12);
    qd->setStudentPoint(1, 2, 10);
    qd->setStudentAnswer(1, 3, QString()); // a keypad's empty answer
    qd->setStudentAnswer(1, 9, QStringLiteral("A"));
    qd->setStudentAnswer(2, 1, QStringLiteral("A")); // no record for question 2
    EXPECT_EQ(qd->getStudentAnswer(1, 2), QStringLiteral("B"));
    EXPECT_EQ(qd->getStudentAnswerTime(1, 2), 12);
    EXPECT_EQ(qd->getStudentPoint(1, 2), 10);
    EXPECT_EQ(qd->getStudentAnswer(1, 3), QStringLiteral(" "));
    EXPECT_EQ(qd->getStudentAnswer(1, 1), QString());
    EXPECT_EQ(qd->getStudentAnswer(1, 9), QString());
    EXPECT_EQ(qd->getStudentAnswerTime(1, 9), 0);
    EXPECT_EQ(qd->getStudentAnswer(2, 1), QString());
    EXPECT_EQ(qd->recordCount(), 1);
    EXPECT_EQ(qd->getSumOfAnswerStudents(1), 3);
}

TEST_F(RunData, ClearingARecordAppendsOrReplacesOnlyThatOne)
{
    makeClass(2);
    loginFirst(2);
    qd->clearQuestionRecord(1);
    qd->setStudentAnswer(1, 1, QStringLiteral("A"));
    qd->clearQuestionRecord(3);
    EXPECT_EQ(qd->recordCount(), 3);
    EXPECT_EQ(qd->getStudentAnswer(1, 1), QStringLiteral("A"));
    qd->clearQuestionRecord(5);
    for (int q = 1; q <= 5; ++q)
        qd->setStudentAnswer(q, 2, QStringLiteral("C"));
    qd->clearQuestionRecord(3);
    EXPECT_EQ(qd->recordCount(), 5);
    EXPECT_EQ(qd->getStudentAnswer(3, 2), QString());
    EXPECT_EQ(qd->getStudentAnswer(2, 2), QStringLiteral("C"));
    EXPECT_EQ(qd->getStudentAnswer(4, 2), QStringLiteral("C"));
}

TEST_F(RunData, EliminationBookkeeping)
{
    qd->setArrayAlreadyEliminationSum(7, 4);
    EXPECT_EQ(qd->arrayEliminationStudentsSum(), (QList<int>{0, 0, 0, 7}));
    EXPECT_EQ(qd->getArrayAlreadlyEliminationSum(0), 0);
    EXPECT_EQ(qd->getArrayAlreadlyEliminationSum(5), 0);
    qd->clearQuestionRecord(2);
    QList<int> eliminated{3, 5};
    qd->setArrayAlreadyEliminationDeviceNo(eliminated, 2);
    eliminated << 9;
    EXPECT_EQ(qd->getArrayAlreadlyEliminationDeviceNo(2), (QList<int>{3, 5}));
    qd->setEliminationModeJoinStudents(4, 2);
    EXPECT_EQ(qd->getEliminationModeJoinStudents(2), 4);
    qd->setArrayAlreadyTestQuestionNo({4, 2});
    EXPECT_EQ(qd->getPageQuestionNo(2), 2);
    EXPECT_EQ(qd->getPageQuestionNo(3), -1);
}

// ---------------------------------------------------------------- statistics

TEST_F(RunData, OptionAndNoAnswerCountsWithWholePercentages)
{
    makeClass(3);
    loginFirst(3);
    qq->addQuestion(question(0, 4, QStringLiteral("A")));
    qd->clearQuestionRecord(1);
    qd->setArrayAlreadyTestQuestionNo({1});
    qd->setStudentAnswer(1, 1, QStringLiteral("A"));
    qd->setStudentAnswer(1, 2, QStringLiteral("B"));
    QuizComputeMethod qcm;
    EXPECT_EQ(qcm.getNumOfOption(1, 1), 1);
    EXPECT_EQ(qcm.getRateOption(1, 1), 33);
    EXPECT_EQ(qcm.getNumOfNoAnswer(1), 1);
    EXPECT_EQ(qcm.getRateOfNoAnswer(1), 33);
    EXPECT_EQ(qcm.getNumOfAnswerCorrect(1), 1);
    EXPECT_EQ(qcm.getRateOfAnswerCorrect(1), 33);
    EXPECT_TRUE(qcm.getQuestionIsTest(1));
    EXPECT_EQ(qcm.getQuNoByPageNo(1), 1);
    EXPECT_EQ(qcm.getQuNoByPageNo(2), 0);
}

TEST_F(RunData, MultipleAnswersAndBlanksCountForNoSingleOption)
{
    makeClass(4);
    loginFirst(4);
    qq->addQuestion(question(1, 4, QStringLiteral("AB")));
    qd->clearQuestionRecord(1);
    qd->setStudentAnswer(1, 1, QStringLiteral("AB"));
    qd->setStudentAnswer(1, 2, QString()); // stored as a blank: answered, but nothing
    QuizComputeMethod qcm;
    EXPECT_EQ(qcm.getNumOfOption(1, 1), 0);
    EXPECT_EQ(qcm.getNumOfOption(2, 1), 0);
    EXPECT_EQ(qcm.getNumOfNoAnswer(1), 2);
    EXPECT_EQ(qcm.getNumOfAnswerCorrect(1), 1);
    EXPECT_EQ(qcm.getRateOfAnswerCorrect(1), 25);
}

TEST_F(RunData, EliminatedStudentsLeaveTheNoAnswerRate)
{
    makeClass(5);
    loginFirst(5);
    qq->addQuestion(question(0, 4, QStringLiteral("C")));
    qd->clearQuestionRecord(1);
    qd->setArrayAlreadyEliminationDeviceNo({1, 2}, 1);
    qd->setStudentAnswer(1, 3, QStringLiteral("C"));
    qd->setStudentAnswer(1, 4, QStringLiteral("D"));
    QuizComputeMethod qcm;
    EXPECT_EQ(qcm.getNumOfNoAnswer(1), 3);
    EXPECT_EQ(qcm.getRateOfNoAnswer(1), 33);
}

TEST_F(RunData, TrueFalseOptionsAndEmptyRuns)
{
    makeClass(4);
    qq->addQuestion(question(5, 2, QStringLiteral("True")));
    qd->clearQuestionRecord(1); // asked before anybody logged in
    QuizComputeMethod qcm;
    EXPECT_EQ(qcm.getRateOption(1, 1), 0);
    EXPECT_EQ(qcm.getRateOfNoAnswer(1), 0);
    EXPECT_EQ(qcm.getRateOfAnswerCorrect(1), 0);

    loginFirst(4);
    qd->clearQuestionRecord(1);
    qd->setStudentAnswer(1, 1, QStringLiteral("True"));
    qd->setStudentAnswer(1, 3, QStringLiteral("True"));
    EXPECT_EQ(qcm.getNumOfOption(1, 1), 2);
    EXPECT_EQ(qcm.getRateOption(1, 1), 50);
    EXPECT_EQ(qcm.getNumOfOption(2, 1), 0);
}

TEST_F(RunData, NoAnswerIsNeverRightForAQuestionWithoutOne)
{
    makeClass(2);
    loginFirst(2);
    qq->addQuestion(question(3, 0, QString()));
    qd->clearQuestionRecord(1);
    QuizComputeMethod qcm;
    EXPECT_EQ(qcm.getNumOfAnswerCorrect(1), 0);
}

TEST_F(RunData, StudentsLoggingInAfterTheQuestionStartedStayInTheNoAnswerBase)
{
    makeClass(4);
    loginFirst(2);
    qq->addQuestion(question(0, 4, QStringLiteral("A")));
    qd->clearQuestionRecord(1); // two slots
    qpd->newLoginStudent(QStringLiteral("S003"));
    qpd->newLoginStudent(QStringLiteral("S004"));
    qd->setStudentAnswer(1, 1, QStringLiteral("A"));
    QuizComputeMethod qcm;
    EXPECT_EQ(qcm.getNumOfNoAnswer(1), 3);
    EXPECT_EQ(qcm.getRateOfNoAnswer(1), 75); // 3 of the 4 logged in, never more than 100
}

TEST_F(RunData, AnswersFindTheirStudentAsTheLoggedInListChanges)
{
    makeClass(5);
    loginFirst(3);
    qd->clearQuestionRecord(1);
    qd->setStudentAnswer(1, 2, QStringLiteral("B"));
    // A login between answers: the newcomer's answer has a place of its own.
    EXPECT_EQ(qpd->newLoginStudent(QStringLiteral("S005")), 4);
    qd->setStudentAnswer(1, 4, QStringLiteral("D"));
    EXPECT_EQ(qd->getStudentAnswer(1, 4), QStringLiteral("D"));
    EXPECT_EQ(qd->record(1).studentsAnswer(), (QList<QString>{QString(), QStringLiteral("B"), QString(), QStringLiteral("D")}));
    EXPECT_EQ(qpd->loginStudentWithDeviceNo(4)->studentID(), QStringLiteral("S005"));
    EXPECT_EQ(QuestionRepondData::deviceNoToBtnNo(5), -1);

    // Logged out and in again: the same number, and the later answer replaces the earlier one.
    EXPECT_EQ(qpd->isStudentLogin(QStringLiteral("S002")), 2);
    qd->setStudentAnswer(1, 2, QStringLiteral("C"));
    EXPECT_EQ(qd->getStudentAnswer(1, 2), QStringLiteral("C"));
    EXPECT_EQ(qpd->getSumOfLoginStudents(), 4);

    // The list handed over whole, in another order: positions follow it.
    const QList<StudentInClassPtr> before = qpd->arrayLoginStudents();
    qpd->setArrayLoginStudents({before[3], before[0]});
    EXPECT_EQ(QuestionRepondData::deviceNoToBtnNo(4), 1);
    EXPECT_EQ(QuestionRepondData::deviceNoToBtnNo(1), 2);
    EXPECT_EQ(QuestionRepondData::deviceNoToBtnNo(2), -1);
    EXPECT_EQ(qpd->getIndexWithDeviceNoInLoginStus(1), 1);

    // The next run of the window: numbers cleared, the list emptied, logins number afresh.
    qpd->setNullInLoginStudent();
    EXPECT_EQ(QuestionRepondData::deviceNoToBtnNo(4), -1);
    EXPECT_EQ(QuestionRepondData::deviceNoToBtnNo(0), 1) << "a listed student without a number";
    EXPECT_EQ(qpd->getIndexWithDeviceNoInLoginStus(0), -1);
    EXPECT_EQ(qpd->loginStudentWithDeviceNo(0), nullptr);
    qpd->removeActivityRecord();
    EXPECT_EQ(QuestionRepondData::deviceNoToBtnNo(0), -1);
    EXPECT_EQ(qpd->newLoginStudent(QStringLiteral("S004")), 1);
    EXPECT_EQ(qpd->newLoginStudent(QStringLiteral("S001")), 2);
    EXPECT_EQ(QuestionRepondData::deviceNoToBtnNo(2), 2);
    EXPECT_EQ(qpd->loginStudentWithDeviceNo(1)->studentID(), QStringLiteral("S004"));
}

TEST_F(RunData, KeypadsSharedInAClassAnswerForTheFirstStudentOnTheList)
{
    // Keypads that do not log in: the class's own numbers, two students given the same one.
    fillClass(4, true);
    qpd->arrayClassStudents()[3]->setDeviceNo(2);
    qpd->loginWholeClass(true);
    qd->clearQuestionRecord(1);
    qd->setStudentAnswer(1, 2, QStringLiteral("A"));
    EXPECT_EQ(QuestionRepondData::deviceNoToBtnNo(2), 2);
    EXPECT_EQ(qd->record(1).studentsAnswer(), (QList<QString>{QString(), QStringLiteral("A"), QString(), QString()}));
    EXPECT_EQ(qpd->loginStudentWithDeviceNo(2)->studentID(), QStringLiteral("S002"));
    // Logging the class in again on top adds nobody twice and keeps every place.
    qpd->loginWholeClass(false);
    EXPECT_EQ(qpd->getSumOfLoginStudents(), 4);
    EXPECT_EQ(QuestionRepondData::deviceNoToBtnNo(3), 3);
    EXPECT_EQ(QuestionRepondData::deviceNoToBtnNo(2), 2);
}
