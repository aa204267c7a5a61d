#include "EngineFixture.h"

#include "core/engine/QuizModeFactory.h"
#include "core/keypad/DeviceController.h"
#include "support/ReceiverTest.h"
#include "support/RecordingListener.h"

#include "SimActivity.h"
#include "SimAutoPilot.h"

#include <QProcess>

using namespace keypadsim;

// A normal quiz with 30 keypads on each model, through the real serial code against the
// simulated receiver: logins (where the model has them), the question going out, answers
// decoded and stored per question with their times, counted once, and the teacher keypad's
// queries answered.
namespace {
constexpr int kKeypads = 30;

class NormalQuizOnReceiver : public ReceiverTest
{
protected:
    void TearDown() override
    {
        listener.reset();
        mode.reset();
        ReceiverTest::TearDown();
    }

    // Plugs in the receiver, fills the class and makes the activity object the frame listener.
    void startRun(Model model, int deviceType)
    {
        sim = plugIn(model);
        ASSERT_TRUE(sim);
        ASSERT_EQ(app()->currentDeviceType(), deviceType);
        sim->addKeypads(1, kKeypads);
        keypads = std::make_unique<SimActivity>(*sim);
        const bool keypadsCarryTheirNumber = deviceType == 1 || deviceType == 4;
        fillClass(kKeypads, keypadsCarryTheirNumber);
        QuizQuestions::shareManager()->addQuestion(question(0, 4, QStringLiteral("B"), QStringLiteral("Which planet is red?")));
        QuizQuestions::shareManager()->addQuestion(question(1, 4, QStringLiteral("AC")));
        mode = QuizModeFactory::create(0, deviceType);
        ASSERT_TRUE(mode);
        listener = std::make_unique<RecordingListener>();
        listener->onFrame = [this](const DataOfFrame &f) {
            mode->setFrameToHandle(f);
            if (f.type() == 1)
                mode->handleDataReceiveCorvel_Dravel();
            else
                mode->handleStudentCommandArvel();
        };
        app()->setObjectToReceiveCommData(listener.get());
        NotificationCenter::defaultCenter()->addObserver(listener.get(), QStringLiteral("STUDENTANSWERMESSAGE"),
                                                         [this](const Notification &) { ++answersPosted; });
    }

    // The class is announced, then every keypad logs in as the student of the same number.
    void logInEveryone()
    {
        mode->setWakeUpMode(0);
        mode->sendWakeFrame();
        ASSERT_TRUE(waitFor([&] { return keypads->wakeFrames() == 1; }));
        sim->wakeUpReply(1);
        ASSERT_TRUE(waitFor([&] { return keypads->runState() == 2; }));
        EXPECT_EQ(keypads->announcedClass(), QStringLiteral("Class 7B"));
        EXPECT_EQ(keypads->announcedTeacher(), QStringLiteral("Ms Smith"));
        keypads->loginAll(1, kKeypads);
        sim->login(7, QStringLiteral("S007"), QStringLiteral("Student 7")); // a keypad logging in twice
        ASSERT_TRUE(waitFor([&] {
            for (int id = 1; id <= kKeypads; ++id)
                if (!sim->keypad(id).loggedIn)
                    return false;
            return sim->framesFromProgram().size() > 0 && mode->hasPendingSends() == false;
        }));
        EXPECT_EQ(QuizParticipantData::shareManager()->getSumOfLoginStudents(), kKeypads);
        for (int id = 1; id <= kKeypads; ++id)
            EXPECT_EQ(sim->keypad(id).deviceNo, QuizParticipantData::shareManager()->isStudentLogin(studentOf(id)));
    }

    // Question 1 is announced to the keypads as the model does it.
    void startQuestion(int deviceType)
    {
        mode->setNQuestionNoExceptTeachingPlane(1);
        mode->modeStart(1);
        if (deviceType == 1) {
            mode->openReceiveArvel();
            return;
        }
        mode->setWakeUpMode(1);
        const int wakesBefore = keypads->wakeFrames();
        mode->sendWakeFrame();
        ASSERT_TRUE(waitFor([&] { return keypads->wakeFrames() == wakesBefore + 1; }));
        sim->wakeUpReply(1);
        ASSERT_TRUE(waitFor([&] { return keypads->runState() == 3; }));
        EXPECT_EQ(keypads->runQuestionNo(), 1);
        if (deviceType == 3) { // Dravel broadcasts the text
            ASSERT_TRUE(waitFor([&] { return !keypads->questionLines().isEmpty(); }));
            EXPECT_EQ(keypads->questionLines(), (QStringList{"Which planet is red?", "A.", "B.", "C.", "D."}));
        }
        if (deviceType == 4) { // Brevel: the type frames, a second wake-up, then answers are permitted
            ASSERT_TRUE(waitFor([&] { return keypads->wakeFrames() == wakesBefore + 2; }));
            sim->wakeUpReply(1);
            const auto typeFrames = [&] {
                int n = 0;
                for (const auto &f : sim->framesFromProgram())
                    n += f.bytes.startsWith(QByteArray::fromHex("F70000")) ? 1 : 0;
                return n;
            };
            // The permit is the last frame sent; the receiver may take it a little after it left.
            ASSERT_TRUE(waitFor([&] {
                return typeFrames() == 20 && !mode->hasPendingSends() &&
                       quint8(sim->framesFromProgram().last().bytes.at(0)) == 0xF5;
            }));
            const QByteArray permit = sim->framesFromProgram().last().bytes;
            EXPECT_EQ(quint8(permit[0]), 0xF5);
            EXPECT_EQ(permit.mid(4, 7), QByteArray::fromHex("03010004 01FF42")); // 03 m t o c FF answer
        }
        ASSERT_TRUE(waitFor([&] { return !mode->hasPendingSends(); }));
    }

    // Keypad i answers "a".."d" by i; keypad 1 first gives another answer, which is replaced.
    void everyoneAnswers(int deviceType)
    {
        mode->setQuizStateScreenTimer(4);
        sim->answer(1, deviceType == 1 ? QStringLiteral("D") : QStringLiteral("d"));
        ASSERT_TRUE(waitFor([&] { return answersPosted == 1; }));
        mode->setQuizStateScreenTimer(9);
        for (int id = 1; id <= kKeypads; ++id)
            sim->answer(id, expected(id, deviceType != 1 && deviceType != 4));
        ASSERT_TRUE(waitFor([&] { return answersPosted == kKeypads + 1; }));
        EXPECT_EQ(mode->nAnsweredNum(), kKeypads);
        for (int id = 1; id <= kKeypads; ++id) {
            const int d = QuizParticipantData::shareManager()->isStudentLogin(studentOf(id));
            ASSERT_GT(d, 0);
            EXPECT_EQ(QuizData::shareManager()->getStudentAnswer(1, d), expected(id, false).toUpper()) << id;
            EXPECT_EQ(QuizData::shareManager()->getStudentAnswerTime(1, d), 9);
        }
    }

    static QString studentOf(int id) { return QStringLiteral("S%1").arg(id, 3, 10, QLatin1Char('0')); }
    static QString expected(int id, bool lowerCase)
    {
        const QString letter(QChar(u'A' + id % 4));
        return lowerCase ? letter.toLower() : letter;
    }

    SimReceiver *sim = nullptr;
    std::unique_ptr<SimActivity> keypads;
    std::unique_ptr<QuizMode> mode;
    std::unique_ptr<RecordingListener> listener;
    int answersPosted = 0;
};
} // namespace

TEST_F(NormalQuizOnReceiver, Corvel)
{
    ASSERT_NO_FATAL_FAILURE(startRun(Model::Corvel, 2));
    ASSERT_NO_FATAL_FAILURE(logInEveryone());
    ASSERT_NO_FATAL_FAILURE(startQuestion(2));
    ASSERT_NO_FATAL_FAILURE(everyoneAnswers(2));

    // The teacher keypad logs in, pages the logged-in list and asks for the histogram.
    mode->modeStop();
    mode->sendPCState(2);
    sim->setTeacherAddress(0x09);
    sim->teacherLogin();
    sim->teacherQuery(7, QByteArray::fromHex("000000"));
    sim->teacherQuery(6);
    ASSERT_TRUE(waitFor([&] { return keypads->teacherReplies().size() == 3; }));
    const auto replies = keypads->teacherReplies();
    EXPECT_EQ(quint8(replies[0][0]), 0xF9);
    EXPECT_EQ(replies[0].mid(1, 2), QByteArray::fromHex("09EF"));
    EXPECT_EQ(quint8(replies[1][0]), 0xFF);
    EXPECT_EQ(quint8(replies[1][3]), 51); // page 1: 25 class indexes
    // right answer B, 4 options + 1, 30 students; A..D chosen by 7, 8, 8, 7 keypads (23, 26, 26, 23 %)
    EXPECT_EQ(replies[2].mid(4, 20), QByteArray::fromHex("014205" "1E00" "070017" "08001A" "08001A" "070017" "000000"));
}

TEST_F(NormalQuizOnReceiver, Dravel)
{
    ASSERT_NO_FATAL_FAILURE(startRun(Model::Dravel, 3));
    ASSERT_NO_FATAL_FAILURE(logInEveryone());
    mode->modeStart(1);
    mode->setWakeUpMode(1);
    mode->sendWakeFrame();
    sim->wakeUpReply(1);
    // The teacher keypad asks while the question text is being broadcast: both threads send,
    // and every frame must reach the receiver whole.
    ASSERT_TRUE(waitFor([&] { return mode->isQuizStart(); }));
    for (int i = 0; i < 5; ++i)
        sim->teacherQuery(15);
    ASSERT_TRUE(waitFor([&] { return keypads->teacherReplies().size() == 5 && !mode->hasPendingSends(); }));
    EXPECT_EQ(keypads->teacherReplies()[0].mid(4, 6), QByteArray::fromHex("FFFF1E001E00"));
    for (const SimFrame &f : sim->framesFromProgram())
        EXPECT_EQ(SimReceiver::xorOf(f.bytes.left(f.bytes.size() - 1)), quint8(f.bytes.back())) << f.bytes.toHex().constData();
    EXPECT_EQ(keypads->questionLines(), (QStringList{"Which planet is red?", "A.", "B.", "C.", "D."}));
    ASSERT_NO_FATAL_FAILURE(everyoneAnswers(3));
}

TEST_F(NormalQuizOnReceiver, Brevel)
{
    ASSERT_NO_FATAL_FAILURE(startRun(Model::Brevel, 4));
    EXPECT_EQ(QuizParticipantData::shareManager()->getSumOfLoginStudents(), kKeypads);
    ASSERT_NO_FATAL_FAILURE(startQuestion(4));
    sim->navigate(3, true); // the next key is no answer
    ASSERT_NO_FATAL_FAILURE(everyoneAnswers(4));
}

TEST_F(NormalQuizOnReceiver, Arvel)
{
    ASSERT_NO_FATAL_FAILURE(startRun(Model::Arvel, 1));
    EXPECT_EQ(QuizParticipantData::shareManager()->getSumOfLoginStudents(), kKeypads);
    ASSERT_NO_FATAL_FAILURE(startQuestion(1));
    ASSERT_NO_FATAL_FAILURE(everyoneAnswers(1));
}

// Two runs in a row with the class that plays along by itself: the end of the first run logs
// every keypad out, and they log in again when the second run wakes them.
TEST_F(NormalQuizOnReceiver, ASecondRunFindsTheSelfPlayingClassLoggedInAgain)
{
    ASSERT_NO_FATAL_FAILURE(startRun(Model::Dravel, 3));
    SimAutoPilot::Options options;
    options.keypads = kKeypads;
    options.pollMs = 10;
    SimAutoPilot autopilot(*sim, options);
    autopilot.start();
    auto *qpd = QuizParticipantData::shareManager();
    const auto keypadsIn = [&] {
        int n = 0;
        for (int id = 1; id <= kKeypads; ++id)
            n += sim->keypad(id).loggedIn ? 1 : 0;
        return n;
    };
    for (int run = 1; run <= 2; ++run) {
        mode->setWakeUpMode(0);
        mode->sendWakeFrame();
        ASSERT_TRUE(waitFor([&] { return qpd->getSumOfLoginStudents() == kKeypads && keypadsIn() == kKeypads; }))
            << "run " << run << ": " << qpd->getSumOfLoginStudents() << " logged in";
        // The run ends: the keypads are woken and told that the class is over.
        mode->setWakeUpMode(2);
        mode->sendWakeFrame();
        ASSERT_TRUE(waitFor([&] { return keypadsIn() == 0; })) << "run " << run;
        // The next run starts from an empty logged-in list with an activity object of its own.
        qpd->removeActivityRecord();
        qpd->setNullInLoginStudent();
        mode = QuizModeFactory::create(0, 3);
    }
    EXPECT_EQ(autopilot.loginRounds(), 2);
}

// The same run with the keypads scripted through the simulator's command line.
TEST_F(NormalQuizOnReceiver, DravelFromTheSimulatorsCommandLine)
{
    QProcess simulator;
    simulator.start(QStringLiteral(POLLIX_BINARY_DIR "/tools/keypad-sim/pollix-keypad-sim"),
                    {QStringLiteral("--model"), QStringLiteral("dravel"), QStringLiteral("--keypads"),
                     QString::number(kKeypads), QStringLiteral("--no-pace"), QStringLiteral("--quiet")});
    ASSERT_TRUE(simulator.waitForStarted(5000));
    ASSERT_TRUE(waitFor([&] { return simulator.canReadLine(); }));
    const QString port = QString::fromLocal8Bit(simulator.readLine()).trimmed();
    DeviceController::ShareDeviceController()->scanPorts({port});
    ASSERT_TRUE(waitIdle());
    ASSERT_EQ(app()->currentDeviceType(), 3);
    fillClass(kKeypads, false);
    QuizQuestions::shareManager()->addQuestion(question(0, 4, QStringLiteral("B"), QStringLiteral("Which planet is red?")));
    mode = QuizModeFactory::create(0, 3);
    listener = std::make_unique<RecordingListener>();
    listener->onFrame = [this](const DataOfFrame &f) {
        mode->setFrameToHandle(f);
        mode->handleDataReceiveCorvel_Dravel();
    };
    app()->setObjectToReceiveCommData(listener.get());
    const auto say = [&](const char *line) { simulator.write(QByteArray(line) + '\n'); };

    mode->setWakeUpMode(0);
    mode->sendWakeFrame();
    say("wake 1");
    say("loginall 1 30");
    ASSERT_TRUE(waitFor([&] { return QuizParticipantData::shareManager()->getSumOfLoginStudents() == kKeypads; }));
    ASSERT_TRUE(waitFor([&] { return !mode->hasPendingSends(); }));
    mode->modeStart(1);
    mode->setWakeUpMode(1);
    mode->setQuizStateScreenTimer(3);
    mode->sendWakeFrame();
    say("wake 1");
    ASSERT_TRUE(waitFor([&] { return mode->isQuizStart(); }));
    ASSERT_TRUE(waitFor([&] { return !mode->hasPendingSends(); }));
    say("answerall 1 30 c");
    ASSERT_TRUE(waitFor([&] { return mode->nAnsweredNum() == kKeypads; }));
    for (int d = 1; d <= kKeypads; ++d)
        EXPECT_EQ(QuizData::shareManager()->getStudentAnswer(1, d), QStringLiteral("C"));
    say("told");
    QByteArray told;
    ASSERT_TRUE(waitFor([&] {
        told += simulator.readAllStandardOutput();
        return told.contains("| D.");
    }));
    EXPECT_TRUE(told.contains("state 3 question 1"));
    EXPECT_TRUE(told.contains("class \"Class 7B\" teacher \"Ms Smith\""));
    EXPECT_TRUE(told.contains("| Which planet is red?"));
    say("quit");
    EXPECT_TRUE(simulator.waitForFinished(5000));
}
