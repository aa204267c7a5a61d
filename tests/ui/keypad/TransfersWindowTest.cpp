#include "support/DialogAnswers.h"
#include "support/PointerClicks.h"
#include "support/ReceiverTest.h"
#include "support/SessionOwners.h"
#include "support/Shots.h"
#include "support/TransferTiming.h"

#include "core/engine/Dravel_HomeWork.h"
#include "core/engine/QuizParticipantData.h"
#include "core/engine/QuizQuestions.h"
#include "core/engine/TransferFrames.h"
#include "core/presentation/MouseFunction.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "core/store/TovSubjectXmlDatabase.h"
#include "core/store/TovTeacherXmlDatabase.h"
#include "platform/NotificationCenter.h"
#include "ui/keypad/ReceiveReportController.h"
#include "ui/keypad/SendQuestions.h"

#include "SimActivity.h"
#include "SimQuestionSet.h"
#include "SimTeacherSession.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

using namespace keypadsim;

// The transfers through the real serial code against the simulated receiver: a question set to
// 30 keypads over a line that loses frames, and sessions recorded on the teacher keypad received
// and saved as session files.
namespace {

class TransfersWindow : public ReceiverTest
{
protected:
    void SetUp() override
    {
        ReceiverTest::SetUp();
        TovQuizXmlDatabase::setUuidGeneratorForTesting([] { return QStringLiteral("a1b2c3d4-e5f6-a7b8-c9d0-e1f2a3b4c5d6"); });
    }
    void TearDown() override
    {
        SendQuestions::resetTimingForTesting();
        TovQuizXmlDatabase::setUuidGeneratorForTesting({});
        ReceiverTest::TearDown();
    }

    SimReceiver *openDravel()
    {
        SimReceiver *sim = plugIn(Model::Dravel);
        if (!sim || !waitFor([&] { return app()->getBHaveDevice(); }))
            return nullptr;
        return sim;
    }

    // The session file with its time stamps made fixed.
    static QByteArray withoutTimes(QByteArray file)
    {
        return QString::fromUtf8(file)
            .replace(QRegularExpression(QStringLiteral("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d")),
                     QStringLiteral("2024-05-06T07:08:09"))
            .toUtf8();
    }

    void expectGolden(const QString &path, const QString &golden)
    {
        const QByteArray actual = withoutTimes(readFile(path));
        if (qEnvironmentVariableIntValue("POLLIX_WRITE_GOLDEN") == 1) {
            QFile out(testDataPath(golden));
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(actual);
        }
        EXPECT_EQ(QString::fromUtf8(actual), QString::fromUtf8(testData(golden)));
    }

    // n students, every one in (device numbers 1 to n), and keypads 1 to n that carry them.
    void fillClassOf(int n)
    {
        QList<StudentInClassPtr> students;
        for (int i = 1; i <= n; ++i) {
            auto s = std::make_shared<StudentInClass>();
            s->setStudentID(QStringLiteral("S%1").arg(i));
            students << s;
        }
        QuizParticipantData::shareManager()->setArrayClassStudents(students);
        QuizParticipantData::shareManager()->loginWholeClass(true);
        receivers.back()->addKeypads(1, n);
    }

    // n two-option questions "Question 1: how many legs has a spider?"...
    static void spiderQuestions(int n)
    {
        for (int q = 1; q <= n; ++q) {
            QuizQuestionsElement e;
            e.setStrTitle(QStringLiteral("Question %1: how many legs has a spider?").arg(q));
            e.setNOptionNum(2);
            e.setStrOptionA(QStringLiteral("six"));
            e.setStrOptionB(QStringLiteral("eight"));
            QuizQuestions::shareManager()->addQuestion(e);
        }
    }
    // A Dravel receiver behind a link, the program's port on it.
    SimReceiver *linkedDravel()
    {
        SimReceiver::Options o;
        o.linkPath = home() + QStringLiteral("ttyReceiver");
        SimReceiver *sim = makeReceiver(Model::Dravel, o);
        return sim && restartLinkNaming({sim->portPath()}) && app()->getBHaveDevice() ? sim : nullptr;
    }
    static int wakesSent(SimReceiver *sim)
    {
        int n = 0;
        for (const SimFrame &f : sim->framesFromProgram())
            n += f.bytes == QByteArray::fromHex("F400C00135");
        return n;
    }

    QString receive(SimReceiver *sim, const SimTeacherSession::Recorded &recorded, int dropAcks)
    {
        ReceiveReportController window;
        window.show();
        app()->setObjectToReceiveCommData(&window);
        EXPECT_FALSE(window.btnSave->isEnabled());
        window.btnStart->click();
        EXPECT_EQ(window.btnStart->text(), QStringLiteral("Stop"));
        SimTeacherSession keypad(*sim, recorded, 150);
        // The keypad's first frames are lost on the way back: it sends them again.
        sim->dropNextFrames(dropAcks);
        keypad.start();
        EXPECT_TRUE(waitFor([&] { return keypad.done(); }));
        EXPECT_GT(keypad.resends(), dropAcks > 0 ? 0 : -1);
        EXPECT_TRUE(window.btnSave->isEnabled());
        EXPECT_TRUE(window.receiveView->toPlainText().contains(QStringLiteral("Success!")));
        saveShot(&window, QStringLiteral("ReceiveReport"));
        DialogAnswers answers;
        window.btnSave->click();
        EXPECT_FALSE(window.btnSave->isEnabled());
        app()->setObjectToReceiveCommData(nullptr);
        expectToldWhereSaved(answers, window.savedPath());
        return window.savedPath();
    }
    // The save's one alert says where the session went.
    static void expectToldWhereSaved(const DialogAnswers &answers, const QString &path)
    {
        ASSERT_EQ(answers.alerts().size(), 1);
        EXPECT_EQ(answers.alerts().first().text, QStringLiteral("Saved successfully."));
        EXPECT_EQ(answers.alerts().first().informativeText, "The session is saved as " + QDir::toNativeSeparators(path));
    }

    static SimTeacherSession::Recorded recordedQuiz()
    {
        SimTeacherSession::Recorded r;
        r.examID = 0x0102;
        r.examTitle = QStringLiteral("Unit 4");
        r.mode = 1; // paper quiz: the answers come one student a frame
        r.sessionID = 7;
        r.sessionName = QStringLiteral("Friday");
        r.className = QStringLiteral("7B");
        for (int p = 1; p <= 4; ++p)
            r.students.append({QStringLiteral("S00%1").arg(p), QStringLiteral("Kid%1").arg(p)});
        r.present = {true, true, false, true};
        r.questions = {{0, 4, "B"}, {1, 4, "AC"}, {5, 2, "True"}};
        r.answers.insert({1, 1}, QStringLiteral("B"));
        r.answers.insert({2, 1}, QStringLiteral("c"));
        r.answers.insert({1, 2}, QStringLiteral("CA"));
        r.answers.insert({2, 2}, QStringLiteral("__N"));
        r.answers.insert({4, 3}, QStringLiteral("True"));
        return r;
    }
};

TEST_F(TransfersWindow, AQuizRecordedOnTheTeacherKeypadIsSavedAsASessionFile)
{
    ASSERT_TRUE(addTeacherAndSubject());
    SimReceiver *sim = openDravel();
    ASSERT_TRUE(sim);
    const QString path = receive(sim, recordedQuiz(), 2);
    ASSERT_FALSE(path.isEmpty());
    expectGolden(path, QStringLiteral("keypad/received-quiz/expected.xml"));
}

TEST_F(TransfersWindow, AnAttendanceRecordedOnTheTeacherKeypadListsTheAbsent)
{
    ASSERT_TRUE(addTeacherAndSubject());
    SimReceiver *sim = openDravel();
    ASSERT_TRUE(sim);
    SimTeacherSession::Recorded r = recordedQuiz();
    r.mode = 9;
    r.examTitle = QStringLiteral("Roll");
    r.questions.clear();
    r.answers.clear();
    r.present = {true, false, true, false};
    const QString path = receive(sim, r, 0);
    ASSERT_FALSE(path.isEmpty());
    expectGolden(path, QStringLiteral("keypad/received-attendance/expected.xml"));
}

TEST_F(TransfersWindow, WithoutATeacherOrSubjectNothingCanBeReceived)
{
    ReceiveReportController window;
    EXPECT_FALSE(window.btnStart->isEnabled());
    EXPECT_FALSE(window.btnSave->isEnabled());
    // Nor is there a receiver: the window says so.
    EXPECT_TRUE(window.receiveView->toPlainText().startsWith(QStringLiteral("Waiting to start…")));
    EXPECT_TRUE(window.receiveView->toPlainText().contains(QStringLiteral("Receiver disconnected")));
}

// The receiver pulled out while the window waits for the keypad: the window says so, and once it
// is back the session sent from the keypad is received and saved as usual.
TEST_F(TransfersWindow, AReceiverPulledOutIsToldAndTheSessionIsReceivedOnceItIsBack)
{
    ASSERT_TRUE(addTeacherAndSubject());
    SimReceiver *sim = linkedDravel();
    ASSERT_TRUE(sim);
    ReceiveReportController window;
    window.show();
    app()->setObjectToReceiveCommData(&window);
    EXPECT_FALSE(window.receiveView->toPlainText().contains(QStringLiteral("Receiver disconnected")));
    QTest::mouseClick(window.btnStart, Qt::LeftButton);
    sim->unplug();
    ASSERT_TRUE(waitFor([&] { return !app()->getBHaveDevice(); }));
    EXPECT_TRUE(window.receiveView->toPlainText().startsWith(QStringLiteral("Session Info Receiving...")));
    EXPECT_TRUE(window.receiveView->toPlainText().contains(QStringLiteral("Receiver disconnected")));
    EXPECT_EQ(window.btnStart->text(), QStringLiteral("Stop"));

    ASSERT_TRUE(sim->plug());
    ASSERT_TRUE(waitFor([&] { return !window.receiveView->toPlainText().contains(QStringLiteral("Receiver disconnected")); }));
    SimTeacherSession keypad(*sim, recordedQuiz(), 150);
    keypad.start();
    EXPECT_TRUE(waitFor([&] { return keypad.done(); }));
    ASSERT_TRUE(window.btnSave->isEnabled());
    DialogAnswers answers;
    QTest::mouseClick(window.btnSave, Qt::LeftButton);
    EXPECT_FALSE(window.savedPath().isEmpty());
    expectToldWhereSaved(answers, window.savedPath());
    app()->setObjectToReceiveCommData(nullptr);
}

TEST_F(TransfersWindow, ASetReachesThirtyKeypadsOverALineThatLosesFrames)
{
    SimReceiver *sim = openDravel();
    ASSERT_TRUE(sim);
    fillClassOf(30);
    for (int q = 1; q <= 20; ++q) {
        QuizQuestionsElement e;
        e.setStrTitle(QStringLiteral("Question %1: which of these is the largest?").arg(q));
        e.setNQuestionType(q % 3 == 0 ? 2 : 0);
        e.setNOptionNum(3);
        e.setStrOptionA(QStringLiteral("a mouse"));
        e.setStrOptionB(QStringLiteral("an elephant"));
        e.setStrOptionC(QStringLiteral("a whale"));
        e.setStrAnswer(QStringLiteral("C"));
        QuizQuestions::shareManager()->addQuestion(e);
    }
    QuizQuestions::shareManager()->setStrTestTitle(QStringLiteral("/home/t/Animals and sizes.px"));
    QuizQuestions::shareManager()->setNTestID(1234);

    SendQuestions::setTimingForTesting(quickSending());

    SimQuestionSet keypads(*sim, {10, 0, true, 11});
    SendQuestions window;
    window.show();
    app()->setObjectToReceiveCommData(&window);
    ASSERT_TRUE(waitFor([&] { return window.sender() && window.sender()->hasStarted(); }));
    ASSERT_TRUE(waitFor([&] { return window.sender()->state() == QuestionSetSender::Stop && !window.sender()->isRunning(); },
                        60000));
    for (int id = 1; id <= 30; ++id) {
        EXPECT_TRUE(keypads.hasWholeSet(id)) << id;
        EXPECT_EQ(keypads.announcedTitle(id), QStringLiteral("Animals and ..")) << id;
    }
    EXPECT_EQ(keypads.questions(1).value(1).first(), QStringLiteral("Question 1: which of"));
    EXPECT_EQ(keypads.questions(3).value(3).size(), 3); // a cloze question: its title only
    EXPECT_EQ(window.sender()->bigCount(), 0);
    EXPECT_LE(window.sender()->resendPasses(), 6);
    // The thread's last message reaches the window after the thread is over.
    EXPECT_TRUE(waitFor([&] { return window.messages().contains(QStringLiteral("Send Questions Over")); }));
    saveShot(&window, QStringLiteral("SendQuestions"));
    window.OnOK();
    app()->setObjectToReceiveCommData(nullptr);
}

TEST_F(TransfersWindow, ClosingTheWindowStopsTheSendingAtOnce)
{
    SimReceiver *sim = openDravel();
    ASSERT_TRUE(sim);
    fillClassOf(3);
    for (int q = 1; q <= 5; ++q)
        QuizQuestions::shareManager()->addQuestion(QuizQuestionsElement());
    SimQuestionSet keypads(*sim, {});
    SendQuestions window; // the pauses as the keypads take them: a pass of five questions is long
    window.show();
    app()->setObjectToReceiveCommData(&window);
    ASSERT_TRUE(waitFor([&] { return window.sender() && window.sender()->isRunning(); }));
    QElapsedTimer clock;
    clock.start();
    window.close();
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_FALSE(window.sender()->isRunning());
    app()->setObjectToReceiveCommData(nullptr);
}

// Pulled out while the set goes out, the receiver is said to be disconnected (no "Sending question
// 3 of 4..." to nobody); plugged in again behind the same path, it carries the rest to the keypads.
TEST_F(TransfersWindow, AReceiverPulledOutMidwayIsSaidToBeDisconnectedAndTheSetGoesOnWhenItIsBack)
{
    SimReceiver *sim = linkedDravel();
    ASSERT_TRUE(sim);
    fillClassOf(3);
    spiderQuestions(8);
    QuestionSetSender::Timing timing = quickSending();
    timing.frameGapMs = 40; // long enough a pass to pull the receiver out in the middle
    SendQuestions::setTimingForTesting(timing);
    SimQuestionSet keypads(*sim, {});
    SendQuestions window;
    window.show();
    app()->setObjectToReceiveCommData(&window);
    ASSERT_TRUE(waitFor([&] { return window.statusText->text().startsWith(QStringLiteral("Sending question")); }));

    sim->unplug();
    ASSERT_TRUE(waitFor([&] { return window.statusText->text().startsWith(QStringLiteral("Receiver disconnected.")); }))
        << window.statusText->text().toStdString();
    EXPECT_TRUE(window.statusText->text().contains(QStringLiteral("plugged in again")));
    saveShot(&window, QStringLiteral("SendQuestionsDisconnected"));
    ASSERT_TRUE(sim->plug());
    ASSERT_TRUE(waitFor([&] { return window.sender()->state() == QuestionSetSender::Stop && !window.sender()->isRunning(); },
                        60000));
    for (int id = 1; id <= 3; ++id)
        EXPECT_TRUE(keypads.hasWholeSet(id)) << id;
    EXPECT_TRUE(waitFor([&] { return window.statusText->text().startsWith(QStringLiteral("Done")); }))
        << window.statusText->text().toStdString();
    window.OnOK();
    app()->setObjectToReceiveCommData(nullptr);
}

// Opened from the teacher keypad (over a slide show) the keypad's pointer starts from the lower
// left corner, and closing with F1 clicks before and after the window goes; opened by a click the
// pointer is the teacher's own and is left alone.
TEST_F(TransfersWindow, FromTheTeacherKeypadThePointerStartsAtTheLowerLeftAndF1ClicksAroundTheClose)
{
    SimReceiver *sim = openDravel();
    ASSERT_TRUE(sim);
    fillClassOf(2);
    QuizQuestions::shareManager()->addQuestion(QuizQuestionsElement());
    SendQuestions::setTimingForTesting(quickSending());
    auto sink = std::make_shared<PointerClicks>();
    MouseFunction::shareManager()->setSink(sink);

    SendQuestions plain;
    plain.show();
    app()->setObjectToReceiveCommData(&plain);
    QTest::qWait(300);
    EXPECT_TRUE(sink->clicks.isEmpty());
    sim->pressTeacherKey(0x81);
    ASSERT_TRUE(waitFor([&] { return !plain.isVisible(); }));
    EXPECT_TRUE(sink->clicks.isEmpty());

    SendQuestions keypad;
    keypad.setBIsRunForTeacherControl(true);
    keypad.show();
    app()->setObjectToReceiveCommData(&keypad);
    ASSERT_TRUE(waitFor([&] { return !sink->clicks.isEmpty(); }));
    EXPECT_EQ(sink->clicks.first(), QPoint(0, 768)) << "the lower left corner of the main screen";
    const qsizetype before = sink->clicks.size();
    sim->pressTeacherKey(0x81);
    ASSERT_TRUE(waitFor([&] { return !keypad.isVisible(); }));
    EXPECT_EQ(sink->clicks.size(), before + 2);
    MouseFunction::shareManager()->setSink(nullptr);
    app()->setObjectToReceiveCommData(nullptr);
}

// Opened while the run's receiver is out, the window says so at once rather than that nothing was
// sent; plugged in again, the receiver is woken and the set goes out, and the window says it went.
TEST_F(TransfersWindow, OpenedWhileTheReceiverIsOutItSaysSoAndSendsTheSetWhenItIsBack)
{
    SimReceiver *sim = linkedDravel();
    ASSERT_TRUE(sim);
    fillClassOf(3);
    spiderQuestions(4);
    SendQuestions::setTimingForTesting(quickSending());
    SimQuestionSet keypads(*sim, {});
    sim->unplug();
    ASSERT_TRUE(waitFor([&] { return !app()->getBHaveDevice(); }));

    SendQuestions window;
    window.show();
    app()->setObjectToReceiveCommData(&window);
    EXPECT_TRUE(window.statusText->text().startsWith(QStringLiteral("Receiver disconnected.")))
        << window.statusText->text().toStdString();
    EXPECT_FALSE(window.messages().contains(QStringLiteral("Fail to wake up the host.")));
    EXPECT_TRUE(window.messages().contains(QStringLiteral("Receiver disconnected")));
    EXPECT_EQ(window.keypadsText->text(), QStringLiteral("Keypads with every question: 0 of 3"));
    EXPECT_EQ(window.btnOK->text(), QStringLiteral("Stop"));
    QTest::qWait(200);
    EXPECT_TRUE(window.statusText->text().startsWith(QStringLiteral("Receiver disconnected."))) << "it waits";

    ASSERT_TRUE(sim->plug());
    ASSERT_TRUE(waitFor([&] { return window.sender()->hasStarted(); })) << window.messages().toStdString();
    ASSERT_TRUE(waitFor([&] { return window.sender()->state() == QuestionSetSender::Stop && !window.sender()->isRunning(); },
                        60000));
    for (int id = 1; id <= 3; ++id)
        EXPECT_TRUE(keypads.hasWholeSet(id)) << id;
    EXPECT_TRUE(waitFor([&] { return window.btnOK->text() == QStringLiteral("OK"); }));
    EXPECT_EQ(window.statusText->text(), QStringLiteral("Done: every keypad has all 4 questions."));
    EXPECT_EQ(window.keypadsText->text(), QStringLiteral("Keypads with every question: 3 of 3"));
    EXPECT_EQ(window.progressSend->maximum(), 3);
    EXPECT_EQ(window.progressSend->value(), 3);
    EXPECT_TRUE(window.progressSend->isEnabled());
    QTest::mouseClick(window.btnOK, Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
    app()->setObjectToReceiveCommData(nullptr);
}

// The run's class was out with the receiver: plugged in again, the receiver's first wake makes
// the keypads log in, which answers no wake. The window wakes again until one answers, and the
// set goes to the keypads in by then, each counted as it has every question.
TEST_F(TransfersWindow, AClassThatLogsInWhenTheReceiverIsBackIsWokenAgainAndGetsTheSet)
{
    SimReceiver *sim = linkedDravel();
    ASSERT_TRUE(sim);
    fillClassOf(3);
    QuizParticipantData::shareManager()->setArrayLoginStudents({}); // the class is out
    spiderQuestions(4);
    SendQuestions::setTimingForTesting(quickSending());
    SimQuestionSet keypads(*sim, {0, 0, false, 7}); // the keypads answer no wake by themselves
    sim->unplug();
    ASSERT_TRUE(waitFor([&] { return !app()->getBHaveDevice(); }));

    SendQuestions window;
    window.show();
    app()->setObjectToReceiveCommData(&window);
    EXPECT_TRUE(window.statusText->text().startsWith(QStringLiteral("Receiver disconnected.")));
    ASSERT_TRUE(sim->plug());
    ASSERT_TRUE(waitFor([&] { return wakesSent(sim) == 1; }));
    QuizParticipantData::shareManager()->loginWholeClass(true); // as the run takes their logins
    ASSERT_TRUE(waitFor([&] { return wakesSent(sim) >= 2; })) << "no second wake";
    EXPECT_FALSE(window.sender()->hasStarted());
    sim->wakeUpReply(1);
    ASSERT_TRUE(waitFor([&] { return window.btnOK->text() == QStringLiteral("OK"); }, 60000))
        << window.statusText->text().toStdString();
    for (int id = 1; id <= 3; ++id)
        EXPECT_TRUE(keypads.hasWholeSet(id)) << id;
    EXPECT_EQ(window.statusText->text(), QStringLiteral("Done: every keypad has all 4 questions."));
    EXPECT_EQ(window.keypadsText->text(), QStringLiteral("Keypads with every question: 3 of 3"));
    EXPECT_EQ(window.messages().count(QStringLiteral("Waking up the host")), 1) << "said once";
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    app()->setObjectToReceiveCommData(nullptr);
}

// With no receiver of any system, nothing goes out: the window says the receiver is not there
// rather than seeming to work, and its button leaves.
TEST_F(TransfersWindow, WithoutAReceiverTheWindowSaysItIsDisconnectedAndSendsNothing)
{
    QuizQuestions::shareManager()->addQuestion(QuizQuestionsElement());
    SendQuestions window;
    window.show();
    EXPECT_TRUE(window.statusText->text().startsWith(QStringLiteral("Receiver disconnected.")));
    EXPECT_FALSE(window.messages().contains(QStringLiteral("Waking up the host")));
    EXPECT_FALSE(window.sender()->hasStarted());
    saveShot(&window, QStringLiteral("SendQuestions-noReceiver"));
    window.btnOK->click();
    EXPECT_FALSE(window.isVisible());
}

// The receiver pulled out while the upload thread is calling a keypad: its frames fail, the
// keypad is given up, and the thread ends by itself.
TEST_F(TransfersWindow, AnUploadGoesOnSafelyWhenTheReceiverIsPulledOut)
{
    SimReceiver *sim = openDravel();
    ASSERT_TRUE(sim);
    fillClassOf(2);
    for (int q = 1; q <= 5; ++q)
        QuizQuestions::shareManager()->addQuestion(QuizQuestionsElement());
    Dravel_HomeWork mode;
    AnswerUploadMode::Timing t;
    t.signalWaitMs = 40;
    t.frameWaitMs = 40;
    t.pauseMs = 10;
    mode.setUploadTiming(t);
    mode.modeStart(1);
    // Keypad 1 asks to hand in but holds nothing: it never answers the host's calls.
    mode.setFrameToHandle(ReceivedFrame::large(0xFB, 0x01, 0x00, QByteArray(1, char(0x0E))));
    mode.handleDataReceiveCorvel_Dravel();
    ASSERT_TRUE(mode.isUploadThreadRunning());
    ASSERT_TRUE(sim->waitForFramesFromProgram(2, 2000));
    sim->unplug();
    EXPECT_TRUE(waitFor([&] { return !app()->getBHaveDevice(); }));
    EXPECT_TRUE(waitFor([&] { return !mode.isUploadThreadRunning(); }));
    EXPECT_EQ(mode.studentSendingAnswer(), 0);
}

} // namespace
