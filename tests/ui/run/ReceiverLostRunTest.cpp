#include "RunWindowFixture.h"

#include "core/keypad/DeviceController.h"
#include "core/store/TovConfigXmlDatabase.h"
#include "ui/presentation/PPTQuizStateWindowController.h"

#include "SimActivity.h"
#include "SimKeyPresser.h"
#include "support/XvfbRun.h"


// A run whose receiver is pulled out: the window says so until it is back, Start and Next say why
// they cannot send, every answer stays and the run can be saved; plugged back on the same path
// (a port named in POLLIX_SERIAL_PORTS) the receiver is found again and the run goes on.
using keypadsim::Model;
using keypadsim::SimActivity;
using keypadsim::SimReceiver;

namespace {

class ReceiverLostRun : public RunWindowFixture
{
protected:
    // A Dravel receiver behind a link named in POLLIX_SERIAL_PORTS, three students logged in on
    // it, and the activity window (or the run over an answer sheet) open on two questions; with
    // receiverOut the receiver is pulled out before the run opens, and nobody logs in. An Arvel's
    // students keep the keypad numbers of the class (theirs do not log in).
    void startRun(bool slideShow = false, bool receiverOut = false, Model model = Model::Dravel, int students = 3)
    {
        DialogHooks::setAlertResponder([this](const AlertRequest &r) {
            alerts << r.informativeText;
            return 0;
        });
        SimReceiver::Options o;
        o.linkPath = home() + QStringLiteral("ttyReceiver");
        sim = makeReceiver(model, o);
        ASSERT_TRUE(sim && restartLinkNaming({sim->portPath()}) && app()->getBHaveDevice());
        ASSERT_TRUE(TovConfigXmlDatabase::sharedConfigUI()->updateSendQuestionState(0));
        const bool small = sim->info().family == 0;
        makeClass(students, small ? 1 : 0);
        if (receiverOut) {
            sim->unplug();
            ASSERT_TRUE(waitFor([&] { return !app()->getBHaveDevice(); }));
        }
        const QString questions = questionFile({{0, "B", 30}, {0, "C", 30}}, slideShow ? "sheet.sep" : "quiz.px");
        TabController::StartRequest r;
        r.kind = TabController::StartRequest::AnswerSheet;
        r.strPath = questions;
        r.nDeviceType = app()->currentDeviceType();
        slides = slideShow ? ActivityWindowOpener::openSlideShowRun(nullptr, r) : nullptr;
        runWindow = slideShow ? static_cast<QWidget *>(slides) : open(0, r.nDeviceType, questions);
        ASSERT_TRUE(runWindow);
        if (receiverOut || small)
            return;
        for (int i = 1; i <= students; ++i)
            sim->login(i, QStringLiteral("S%1").arg(i, 3, 10, QLatin1Char('0')));
        ASSERT_TRUE(waitFor([&] { return keypadsLoggedIn(sim, 1, students); }));
    }
    void TearDown() override
    {
        delete slides.data();
        DialogHooks::setAlertResponder({});
        RunWindowFixture::TearDown();
    }

    QLabel *notice() const { return runWindow->findChild<QLabel *>(QStringLiteral("txtReceiverState")); }
    bool lost() const { return slides ? slides->receiverLost() : window->receiverLost(); }
    // The keypad's number in the run: the one its login gave it, or its own on a small-family receiver.
    int deviceOf(int keypad) const { return sim->info().family == 0 ? keypad : sim->keypad(keypad).deviceNo; }
    QString answerOf(int q, int keypad) const { return QuizData::shareManager()->getStudentAnswer(q, deviceOf(keypad)); }
    void unplug()
    {
        ASSERT_FALSE(notice()->isVisibleTo(runWindow));
        sim->unplug();
        ASSERT_TRUE(waitFor([&] { return lost(); }));
        EXPECT_TRUE(notice()->isVisibleTo(runWindow));
    }
    void plugBack()
    {
        sim->clearLogs();
        ASSERT_TRUE(sim->plug());
        ASSERT_TRUE(waitFor([&] { return !lost(); }));
        EXPECT_FALSE(notice()->isVisibleTo(runWindow));
    }

    SimReceiver *sim = nullptr;
    QWidget *runWindow = nullptr;
    QPointer<PPTQuizStateWindowController> slides;
    QStringList alerts;
};

} // namespace

TEST_F(ReceiverLostRun, MidQuestionTheAnswersStayTheTimeWaitsALaterAnswerCountsAndTheRunIsSaved)
{
    startRun();
    const SimActivity told(*sim);
    button("btnStart")->click();
    sim->answer(1, QStringLiteral("B"));
    sim->answer(2, QStringLiteral("A"));
    ASSERT_TRUE(waitFor([&] { return label("txtLoginAndAnswered") == QStringLiteral("2 / 3"); }));
    seconds(3);
    const int left = timeShown();

    unplug();
    seconds(5);
    EXPECT_EQ(timeShown(), left) << "nobody can answer: the question's time waits";
    EXPECT_EQ(answerOf(1, 2), QStringLiteral("A"));

    plugBack();
    ASSERT_TRUE(waitFor([&] { return told.runState() == 3 && told.runQuestionNo() == 1; }))
        << "the receiver plugged in anew is told the question";
    seconds(3);
    EXPECT_LT(timeShown(), left) << "the count-down goes on";
    sim->login(3, QStringLiteral("S003")); // a keypad logs in again
    sim->answer(3, QStringLiteral("B"));
    ASSERT_TRUE(waitFor([&] { return label("txtLoginAndAnswered") == QStringLiteral("3 / 3"); }));
    EXPECT_EQ(grid()->count(), 3);
    button("btnStop")->click();

    // Lost again: Exit still leaves and saves every answer that came.
    unplug();
    ASSERT_TRUE(exitAndSave());
    QStringList responses = savedResponses();
    responses.sort();
    EXPECT_EQ(responses, QStringList({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("B")}));
    // The save asks nothing more after its OK: the exit question is the only alert.
    EXPECT_EQ(alerts, QStringList{QStringLiteral("Are you sure to exit this Activity?")});
}

// The students go on pressing keys while the receiver is pulled out and plugged back mid-question:
// it is found among their keys, the notice goes, the question's time runs to its end, and Exit
// leads out again.
TEST_F(ReceiverLostRun, PluggedBackWhileKeysArePressedTheRunGoesOn)
{
    startRun();
    button("btnStart")->click();
    // Keys come faster than the pause before each open of the port, as a class's do.
    setSettle(160);
    keypadsim::SimKeyPresser pressing(*sim, 3, 40);
    ASSERT_TRUE(waitFor([&] { return label("txtLoginAndAnswered") == QStringLiteral("3 / 3"); }));
    unplug();
    plugBack();
    EXPECT_FALSE(button("btnExit")->isEnabled()) << "the question still runs";
    seconds(31);
    EXPECT_TRUE(waitFor([&] { return button("btnExit")->isEnabled(); })) << "the question's time waits for good";
    EXPECT_FALSE(lost());
}

namespace {

class ReceiverFoundRun : public ReceiverLostRun, public ::testing::WithParamInterface<Model>
{
};

} // namespace

// Answers pressed while the receiver put back is being found reach the run once it is found, in
// the order they were pressed, each once: pressed while Pollix asks the receiver what it is, before
// its answer and behind it, on either family.
TEST_P(ReceiverFoundRun, AnswersPressedWhileItIsFoundReachTheRunInOrderOnce)
{
    ASSERT_NO_FATAL_FAILURE(startRun(false, false, GetParam(), 8));
    const bool small = sim->info().family == 0;
    button("btnStart")->click();
    sim->answer(1, QStringLiteral("A"));
    sim->answer(2, QStringLiteral("B"));
    ASSERT_TRUE(waitFor([&] { return label("txtLoginAndAnswered") == QStringLiteral("2 / 8"); }));
    unplug();

    // The receiver answers the question the probe asks it among keys: keypad 3 pressed before its
    // answer, 4 and 5 behind it.
    const quint8 question = small ? 0x5E : 0xF0;
    const SimReceiver::CommandHandler answers = sim->commandHandler(question);
    sim->setCommandHandler(question, [answers, pressed = false](SimReceiver &r, const QByteArray &frame) mutable {
        if (!pressed)
            r.answer(3, QStringLiteral("C"));
        answers(r, frame);
        if (!pressed) {
            r.answer(4, QStringLiteral("D"));
            r.answer(5, QStringLiteral("A"));
        }
        pressed = true;
    });
    DeviceController *link = DeviceController::ShareDeviceController();
    QList<int> answered; // the keypads whose answers the run was handed, in turn
    const QMetaObject::Connection offered = QObject::connect(link, &DeviceController::frameOffered, [&] {
        const DataOfFrame frame = link->frameToHandle();
        if (small ? frame.isStudentCommand() : frame.cmd() == 0xF7)
            answered << frame.deviceID();
    });
    plugBack();
    ASSERT_TRUE(waitFor([&] { return label("txtLoginAndAnswered") == QStringLiteral("5 / 8"); }))
        << "answered: " << ::testing::PrintToString(answered);
    QObject::disconnect(offered);
    EXPECT_EQ(answered, QList<int>({deviceOf(3), deviceOf(4), deviceOf(5)}));
    EXPECT_EQ(answerOf(1, 3), QStringLiteral("C"));
    EXPECT_EQ(answerOf(1, 4), QStringLiteral("D"));
    EXPECT_EQ(answerOf(1, 5), QStringLiteral("A"));
    button("btnStop")->click();
}

INSTANTIATE_TEST_SUITE_P(Families, ReceiverFoundRun, ::testing::Values(Model::Dravel, Model::Arvel),
                         [](const ::testing::TestParamInfo<Model> &info) {
                             return info.param == Model::Arvel ? std::string("Arvel") : std::string("Dravel");
                         });

TEST_F(ReceiverLostRun, BetweenQuestionsStartAndNextSayWhyAndBackTheKeypadsAreCalledIn)
{
    startRun();
    unplug();
    QTest::mouseClick(button("btnStart"), Qt::LeftButton);
    QTest::mouseClick(button("btnNext"), Qt::LeftButton);
    EXPECT_EQ(alerts, QStringList({RunSession::receiverLostRefusal(RunSession::Refused::Start),
                                   RunSession::receiverLostRefusal(RunSession::Refused::Next)}));
    EXPECT_FALSE(window->bStartFlag());
    EXPECT_FALSE(button("btnStart")->isChecked());
    EXPECT_EQ(label("txtPageAndTotalPage"), QStringLiteral("1/2"));

    plugBack();
    const SimActivity told(*sim);
    ASSERT_TRUE(waitFor([&] { return told.wakeFrames() == 1; }));
    EXPECT_EQ(told.runState(), 2) << "idle before the call to log in";
    button("btnNext")->click();
    button("btnStart")->click();
    ASSERT_TRUE(waitFor([&] { return told.runState() == 3 && told.runQuestionNo() == 2; }));
    sim->answer(1, QStringLiteral("C"));
    ASSERT_TRUE(waitFor([&] { return answerOf(2, 1) == QStringLiteral("C"); }));
    button("btnStop")->click();
}

// The run opened before the receiver was plugged in: its call to log in reached nobody. Plugged
// in, the receiver is greeted as at an opening, the keypads are called, and their answers count.
TEST_F(ReceiverLostRun, ARunOpenedBeforeItsReceiverCallsTheKeypadsInWhenItIsPluggedIn)
{
    startRun(false, true);
    sim->clearLogs();
    ASSERT_TRUE(sim->plug());
    const SimActivity told(*sim);
    ASSERT_TRUE(waitFor([&] { return told.wakeFrames() == 1; })) << "the keypads were not called in";
    EXPECT_EQ(told.runState(), 2) << "idle before the call to log in";
    EXPECT_FALSE(notice()->isVisibleTo(runWindow));
    for (int i = 1; i <= 3; ++i)
        sim->login(i, QStringLiteral("S00%1").arg(i));
    ASSERT_TRUE(waitFor([&] { return keypadsLoggedIn(sim, 1, 3); }));
    button("btnStart")->click();
    ASSERT_TRUE(waitFor([&] { return told.runState() == 3; }));
    sim->answer(2, QStringLiteral("B"));
    ASSERT_TRUE(waitFor([&] { return answerOf(1, 2) == QStringLiteral("B"); }));
    button("btnStop")->click();
}

TEST_F(ReceiverLostRun, OverASlideShowTheHiddenBarComesBackToSayIt)
{
    startRun(true);
    // Figures over the buttons: the bar's narrowest arrangement, taken while the notice is up.
    const auto twoRows = [&] { return slides->txtQuNoTitle->geometry().bottom() < slides->btnStart->geometry().top(); };
    const bool twoRowsBefore = twoRows();
    slides->OnHideDown();
    unplug();
    EXPECT_GT(slides->height(), 1);
    slides->btnStart->click();
    EXPECT_EQ(alerts, QStringList{RunSession::receiverLostRefusal(RunSession::Refused::Start)});
    plugBack();
    EXPECT_TRUE(waitFor([&] { return twoRows() == twoRowsBefore; })) << "the bar stays crowded once the notice has gone";
    slides->btnStart->click();
    sim->answer(2, QStringLiteral("B"));
    ASSERT_TRUE(waitFor([&] { return answerOf(1, 2) == QStringLiteral("B"); }));
    slides->btnStop->click();
}

// On a screen 1024 points wide the bar keeps its figures beside its buttons until the notice
// crowds them.
TEST_F(ReceiverLostRun, OnAWiderScreenTheBarTakesItsRoomBackWithTheReceiver)
{
    EXPECT_EQ(XvfbRun::run(QStringLiteral("ReceiverLostRun.OverASlideShowTheHiddenBarComesBackToSayIt"), {QSize(1024, 768)}), 0);
}
