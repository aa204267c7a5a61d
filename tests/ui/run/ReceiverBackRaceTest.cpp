#include "RunWindowFixture.h"

#include "core/engine/ActivityFrames.h"
#include "core/keypad/DeviceController.h"
#include "core/keypad/TovDevice.h"
#include "core/store/TovConfigXmlDatabase.h"
#include "ui/authoring/Controller.h"
#include "ui/controls/DialogHooks.h"
#include "ui/presentation/PPTQuizStateWindowController.h"
#include "ui/run/FreeStyleRun.h"
#include "ui/run/RunReceiver.h"

#include "SimActivity.h"
#include "SimAutoPilot.h"

#include <QMutex>

// A receiver pulled out and put back is greeted: the keypads are told the run is idle, and half a
// second later called to log in; the keypads that answer that call are then told the run's state.
// A teacher who presses Start in the middle of it must find the question running and the class
// answering: nothing of the greeting may tell the keypads afterwards that no question runs.
using keypadsim::Model;
using keypadsim::SimActivity;
using keypadsim::SimAutoPilot;
using keypadsim::SimReceiver;

namespace {

constexpr int kStudents = 4;

enum class Moment {
    BeforeTheCall,      // the greeting's idle has gone out, its call to log in is due
    BeforeTheCallReply, // the call has gone out, the keypads have not answered it yet
};

struct Race
{
    const char *name;
    Model model;
    int activity;
    bool overSheet;      // the run over an answer sheet rather than the activity window
    bool questionText;   // the question's text goes to the keypads (a wake of its own)
    Moment moment;
    int answersExpected; // keypads whose answer to question 1 is kept
};

void PrintTo(const Race &r, std::ostream *os)
{
    *os << r.name;
}

class ReceiverBackRace : public RunWindowFixture, public ::testing::WithParamInterface<Race>
{
protected:
    void TearDown() override
    {
        RunReceiver::setWakeDueHook({});
        DialogHooks::setModalResponder({});
        pilot.reset();
        delete sheetRun.data();
        RunWindowFixture::TearDown();
    }

    QWidget *runWindow() const { return sheetRun ? static_cast<QWidget *>(sheetRun.data()) : window.data(); }
    QPushButton *bar(const char *name) const { return runWindow()->findChild<QPushButton *>(QLatin1String(name)); }
    bool lost() const { return sheetRun ? sheetRun->receiverLost() : window->receiverLost(); }
    bool running() const { return sheetRun ? sheetRun->bStartFlag() : window->bStartFlag(); }
    int answersKept() const
    {
        // A rush keeps "__" for those who did not win.
        int n = 0;
        for (int id = 1; id <= kStudents; ++id) {
            const QString answer = QuizData::shareManager()->getStudentAnswer(1, sim->keypad(id).deviceNo);
            n += answer.isEmpty() || answer.startsWith(QLatin1String("__")) ? 0 : 1;
        }
        return n;
    }
    int handedIn() const
    {
        int n = 0;
        for (int id = 1; id <= kStudents; ++id)
            n += sim->keypad(id).uploadComplete ? 1 : 0;
        return n;
    }

    SimReceiver *sim = nullptr;
    std::unique_ptr<SimAutoPilot> pilot;
    QPointer<PPTQuizStateWindowController> sheetRun;
};

} // namespace

TEST_P(ReceiverBackRace, AStartDuringTheGreetingOfAReceiverPutBackIsNeverUndone)
{
    const Race race = GetParam();
    SimReceiver::Options o;
    o.model = race.model;
    o.linkPath = home() + QStringLiteral("ttyReceiver");
    sim = makeReceiver(race.model, o);
    ASSERT_TRUE(sim && restartLinkNaming({sim->portPath()}) && app()->getBHaveDevice());
    ASSERT_TRUE(TovConfigXmlDatabase::sharedConfigUI()->updateSendQuestionState(race.questionText ? 1 : 0));
    sim->addKeypads(1, kStudents);
    makeClass(kStudents);
    pilot = std::make_unique<SimAutoPilot>(*sim, SimAutoPilot::Options::brisk(kStudents, {QStringLiteral("B"), QStringLiteral("C")}));
    pilot->start();
    // The calls to log in that go out, as they go (the simulator reads them on a thread of its own).
    QMutex sentLock;
    int calls = 0;
    QuizMode::setFrameSink([&](const QByteArray &frame) {
        if (frame == ActivityFrames::wake()) {
            QMutexLocker lock(&sentLock);
            ++calls;
        }
        const std::shared_ptr<TovDevice> device = DeviceController::ShareDeviceController()->currentDevice();
        return device && device->isOpen() && device->sendData(frame);
    });
    const auto callsSent = [&] {
        QMutexLocker lock(&sentLock);
        return calls;
    };

    const QString questions = questionFile({{0, "B", 30}, {0, "C", 30}}, race.overSheet ? "sheet.sep" : "quiz.px");
    if (race.overSheet) {
        TabController::StartRequest r;
        r.kind = TabController::StartRequest::AnswerSheet;
        r.strPath = questions;
        r.nDeviceType = app()->currentDeviceType();
        r.nMode = race.activity;
        sheetRun = ActivityWindowOpener::openSlideShowRun(nullptr, r);
    } else if (ActivityRules::isFreeStyle(race.activity)) {
        const int id = 0;
        window = ActivityWindowOpener::open(nullptr, app()->currentDeviceType(), race.activity, 0, true, 0, QString(), &id);
        ASSERT_TRUE(window);
        // A page to ask, from the toolbar; the answer asked for after the stop is left unset.
        window->freeStyle()->toolbar()->tbiAddNew->trigger();
        DialogHooks::setModalResponder([](QDialog *) { return int(QDialog::Rejected); });
    } else {
        open(race.activity, app()->currentDeviceType(), questions);
    }
    ASSERT_TRUE(runWindow());
    ASSERT_TRUE(waitFor([&] {
        return QuizParticipantData::shareManager()->getSumOfLoginStudents() == kStudents && keypadsLoggedIn(sim, 1, kStudents);
    })) << "the class logs in as the run opens";

    // Out and back; the test answers the receiver-back calls itself, as the first keypad in would,
    // and the students look at their keypads only once the greeting is over.
    sim->unplug();
    ASSERT_TRUE(waitFor([&] { return lost(); }));
    pilot->holdWakeAnswers(true);
    pilot->holdStudents(true);
    bool pressed = false;
    int callsAtPress = 0;
    const auto pressStart = [&] {
        // Noted first: Start's own wake (a question with its text) comes due within the click.
        pressed = true;
        callsAtPress = callsSent();
        QTest::mouseClick(bar("btnStart"), Qt::LeftButton);
    };
    if (race.moment == Moment::BeforeTheCall)
        RunReceiver::setWakeDueHook([&] {
            if (!pressed)
                pressStart();
        });
    const int callsBefore = callsSent();
    ASSERT_TRUE(sim->plug());
    ASSERT_TRUE(waitFor([&] { return !lost(); }));
    if (race.moment == Moment::BeforeTheCall) {
        ASSERT_TRUE(waitFor([&] { return pressed; })) << "the greeting never came to its call";
        if (!race.questionText) {
            EXPECT_EQ(callsSent(), callsAtPress) << "a call to log in went out under the running question";
        }
    } else {
        ASSERT_TRUE(waitFor([&] { return callsSent() > callsBefore; })) << "the greeting never called the keypads";
        pressStart();
    }
    ASSERT_TRUE(running());
    for (int answered = callsBefore; answered < callsSent(); ++answered) {
        const quint64 before = framesHandedOn();
        sim->wakeUpReply(1);
        ASSERT_TRUE(waitHandedOn(before));
    }
    QuizMode *mode = sheetRun ? sheetRun->modeObject() : window->modeObject();
    ASSERT_TRUE(waitFor([&] { return !mode->hasPendingSends(); }));

    // From here the keypads answer every call themselves (a question's own among them).
    pilot->holdWakeAnswers(false);
    pilot->holdStudents(false);
    const SimActivity told(*sim);
    if (ActivityRules::rule(race.activity).questionSetOnKeypads) {
        ASSERT_TRUE(waitFor([&] { return handedIn() == race.answersExpected; }))
            << handedIn() << " of " << race.answersExpected << " keypads handed in; the keypads were last told state "
            << told.runState();
    } else {
        ASSERT_TRUE(waitFor([&] { return answersKept() == race.answersExpected; }))
            << answersKept() << " of " << race.answersExpected << " answers came; the keypads were last told state "
            << told.runState();
    }
    if (running()) {
        EXPECT_EQ(told.runState(), 3) << "the keypads were told the question stopped while it runs";
        QTest::mouseClick(bar("btnStop"), Qt::LeftButton);
        EXPECT_FALSE(running());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Activities, ReceiverBackRace,
    ::testing::Values(
        Race{"HomeworkBeforeTheCall", Model::Corvel, Activity::HomeWork, false, false, Moment::BeforeTheCall, kStudents},
        Race{"HomeworkBeforeTheCallReply", Model::Corvel, Activity::HomeWork, false, false, Moment::BeforeTheCallReply, kStudents},
        Race{"PaperQuizOverASheetBeforeTheCall", Model::Corvel, Activity::PaperQuiz, true, false, Moment::BeforeTheCall, kStudents},
        Race{"NormalQuizBeforeTheCall", Model::Dravel, Activity::NormalQuiz, false, false, Moment::BeforeTheCall, kStudents},
        Race{"NormalQuizOverASheetBeforeTheCallReply", Model::Dravel, Activity::NormalQuiz, true, false, Moment::BeforeTheCallReply, kStudents},
        Race{"NormalQuizWithItsTextBeforeTheCall", Model::Dravel, Activity::NormalQuiz, false, true, Moment::BeforeTheCall, kStudents},
        Race{"RushBeforeTheCallReply", Model::Dravel, Activity::RushQuiz, false, false, Moment::BeforeTheCallReply, 1},
        Race{"VoteOverASheetBeforeTheCall", Model::Dravel, Activity::Vote, true, false, Moment::BeforeTheCall, kStudents},
        Race{"FreeStyleQuizBeforeTheCall", Model::Dravel, Activity::FreeNormalQuiz, false, false, Moment::BeforeTheCall, kStudents},
        Race{"FreeStyleVoteBeforeTheCallReply", Model::Corvel, Activity::FreeVote, false, false, Moment::BeforeTheCallReply, kStudents}),
    [](const ::testing::TestParamInfo<Race> &info) { return std::string(info.param.name); });
