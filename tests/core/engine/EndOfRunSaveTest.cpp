#include "core/engine/EndOfRunSave.h"
#include "core/engine/QuizData.h"
#include "core/engine/QuizParticipantData.h"
#include "core/engine/QuizQuestions.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "platform/AtomicFile.h"
#include "support/PollixTest.h"

#include <QDateTime>
#include <QDir>

// The save a run ends with, without its dialog: what it writes, where it says it went, and that a
// failure is told as one and keeps the run.
class EndOfRunSaveTest : public PollixTest
{
protected:
    void SetUp() override
    {
        PollixTest::SetUp();
        auto *qpd = QuizParticipantData::shareManager();
        qpd->setClassName("7A");
        qpd->setSubjectName("Math");
        qpd->setTeacherName("Ann Lee");
        QList<StudentInClassPtr> cls;
        for (int i = 1; i <= 3; ++i) {
            auto s = std::make_shared<StudentInClass>();
            s->setStudentID(QStringLiteral("S%1").arg(i));
            s->setDeviceNo(i);
            cls << s;
        }
        qpd->setArrayClassStudents(cls);
        qpd->setArrayLoginStudents(cls);
        QuizQuestionsElement q;
        q.setNQuestionType(0);
        q.setStrAnswer("B");
        q.setNPoint(10);
        q.setNOptionNum(4);
        q.setStrTitle("Which planet is closest to the Sun?");
        QuizQuestions::shareManager()->setArrayQuestions({q});
        auto *qd = QuizData::shareManager();
        qd->clearQuestionRecord(1);
        qd->setStudentAnswer(1, 1, "b");
        qd->setStudentAnswer(1, 2, "C");
        qd->setArrayAlreadyTestQuestionNo({1});
        run.strFileName = "Planets.px";
        run.curDeviceType = 3;
        run.arrQuizTime = {"2026-12-07T09:00:00", "2026-12-07T09:05:00", "300"};
    }
    void TearDown() override
    {
        AtomicFile::setFailureHook({});
        EndOfRunSave::removeQuizRecord();
        PollixTest::TearDown();
    }
    QStringList sessionFiles() const
    {
        return QDir(app()->strQuizXmlDataFilePath()).entryList({"*.xml"}, QDir::Files);
    }

    EndOfRunSave::Run run;
};

TEST_F(EndOfRunSaveTest, WritesTheRunAsOneSessionAndSaysWhereItWent)
{
    QString path, why;
    ASSERT_TRUE(EndOfRunSave::save("Planets", run, &path, &why)) << why.toStdString();
    ASSERT_EQ(sessionFiles().size(), 1);
    EXPECT_EQ(path, QDir(app()->strQuizXmlDataFilePath()).filePath(sessionFiles().first()));
    const auto stored = TovQuizXmlDatabase().getQuizInfoAll(path);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->name(), "Planets");
    EXPECT_EQ(stored->title(), "Planets.px");
    EXPECT_EQ(stored->actionType(), "1");
    EXPECT_EQ(stored->timeElapsed(), 300);
    ASSERT_EQ(stored->allStudentsAns().size(), 3);
    EXPECT_EQ(stored->allStudentsAns()[0].response(), "B");
    EXPECT_EQ(stored->allStudentsAns()[0].studentPoint(), "10");
    EXPECT_EQ(stored->allStudentsAns()[2].response(), "__");
    // Dropping the run is the caller's step, once it is done with the run.
    EXPECT_EQ(QuizData::shareManager()->arrayAlreadyTestQuestionNo().size(), 1);

    // Attendance keeps the roll call: who did not press.
    run.curActivityMode = 8;
    ASSERT_TRUE(EndOfRunSave::save("Monday", run, &path, &why)) << why.toStdString();
    const auto roll = TovQuizXmlDatabase().getQuizInfoAll(path);
    ASSERT_TRUE(roll);
    EXPECT_EQ(roll->actionType(), "13");
    ASSERT_EQ(roll->allRollCall().size(), 1);
    EXPECT_EQ(roll->allRollCall()[0].AbsenceStu(), "|S3|");
}

TEST_F(EndOfRunSaveTest, QuickGroupingKeepsNothingAndAFailedWriteIsToldAsOne)
{
    QString path = "stale", why;
    run.curActivityMode = 13;
    EXPECT_TRUE(EndOfRunSave::save("Quick Grouping", run, &path, &why));
    EXPECT_TRUE(path.isEmpty());
    EXPECT_TRUE(sessionFiles().isEmpty());

    run.curActivityMode = 0;
    AtomicFile::setFailureHook([](const QString &) { return true; });
    EXPECT_FALSE(EndOfRunSave::save("Planets", run, &path, &why));
    EXPECT_TRUE(path.isEmpty()) << "no path for a session that is not there";
    EXPECT_FALSE(why.isEmpty());
    EXPECT_TRUE(sessionFiles().isEmpty());
    EXPECT_EQ(QuizData::shareManager()->arrayAlreadyTestQuestionNo().size(), 1) << "the run stays for a retry";
}

// OK (the teacher keypad's F1) saves under the proposed name, so a name is proposed for every run
// that is saved: where no question file names it, the activity and the minute the run started,
// told apart from the sessions already saved.
TEST_F(EndOfRunSaveTest, TheProposedNameFollowsTheActivityAndIsNeverEmpty)
{
    const auto proposed = [&](int activity, const QString &file) {
        run.curActivityMode = activity;
        run.strFileName = file;
        return EndOfRunSave::proposedName(run);
    };
    EXPECT_EQ(proposed(0, "Week 3.px"), "Week 3");
    EXPECT_EQ(proposed(3, "Unit 2.final.px"), "Unit 2.final");
    EXPECT_EQ(proposed(13, "Week 3.px"), "Quick Grouping");
    const QList<std::pair<int, QString>> noFileOfTheirOwn{
        {6, "Survey 2026-12-07 09:00"},      {8, "Attendance 2026-12-07 09:00"},
        {9, "Normal Quiz 2026-12-07 09:00"}, {10, "Rush Quiz 2026-12-07 09:00"},
        {11, "Elimination 2026-12-07 09:00"}, {14, "Hand Raise 2026-12-07 09:00"}};
    for (const auto &[activity, name] : noFileOfTheirOwn)
        EXPECT_EQ(proposed(activity, "Week 3.px"), name) << activity;
    EXPECT_EQ(proposed(0, ""), "Normal Quiz 2026-12-07 09:00") << "a run started without a question file";

    // Two roll calls in one minute, and a third: each is proposed a name no saved session has.
    QString path, why;
    for (const char *expected : {"Attendance 2026-12-07 09:00", "Attendance 2026-12-07 09:00 (2)",
                                    "Attendance 2026-12-07 09:00 (3)"}) {
        const QString name = proposed(8, "");
        EXPECT_EQ(name, expected);
        ASSERT_TRUE(EndOfRunSave::save(name, run, &path, &why)) << why.toStdString();
    }
    EXPECT_EQ(sessionFiles().size(), 3);
    EXPECT_EQ(proposed(6, ""), "Survey 2026-12-07 09:00") << "another activity's names stay free";

    // A run whose start is not known is named after the minute it is saved in.
    run.arrQuizTime.clear();
    const QDateTime before = QDateTime::currentDateTime();
    const QString name = proposed(8, "");
    const QDateTime after = QDateTime::currentDateTime();
    EXPECT_TRUE(name == "Attendance " + before.toString("yyyy-MM-dd HH:mm")
                || name == "Attendance " + after.toString("yyyy-MM-dd HH:mm"))
        << name.toStdString();
}

// The extra points a group run gave a group on each question asked go with its session, added up
// per group; a run that is not by group keeps none.
TEST_F(EndOfRunSaveTest, AGroupRunKeepsEachGroupsExtraPointsOverTheQuestionsAsked)
{
    auto *qd = QuizData::shareManager();
    QuizParticipantData::shareManager()->setMaxGroupNo(3);
    for (int n = 2; n <= 3; ++n) {
        QuizQuestionsElement q;
        q.setStrAnswer("A");
        q.setNOptionNum(4);
        QuizQuestions::shareManager()->addQuestion(q);
    }
    qd->clearQuestionRecord(2);
    qd->clearQuestionRecord(3);
    qd->setArrayAlreadyTestQuestionNo({1, 2});
    qd->setQuestionAppend(1, 2, 25);
    qd->setQuestionAppend(2, 2, 5);
    qd->setQuestionAppend(2, 1, 7);
    qd->setQuestionAppend(3, 3, 9); // a question not asked counts nowhere
    struct Case
    {
        int byGroup;
        QMap<int, int> kept;
    };
    for (const Case &c : {Case{1, {{1, 7}, {2, 30}}}, Case{0, {}}}) {
        run.nIsGroup = c.byGroup;
        QString path, why;
        ASSERT_TRUE(EndOfRunSave::save("Planets", run, &path, &why)) << why.toStdString();
        const auto stored = TovQuizXmlDatabase().getQuizInfoAll(path);
        ASSERT_TRUE(stored);
        EXPECT_EQ(stored->groupAppendPoints(), c.kept) << "by group " << c.byGroup;
    }
}
