#include "RunWindowFixture.h"

#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "support/Shots.h"
#include "ui/presentation/PPTQuizStateWindowController.h"
#include "ui/run/RushInfoShowController.h"

#include "SimAutoPilot.h"

#include <QApplication>
#include <QDir>
#include <QScopeGuard>
#include <QScreen>

#include <algorithm>

// The activity window running the other activities with a class that plays along by itself on
// the simulated receiver (as `./dev run` shows them): the rush's winner box and grid marks, the
// vote's counts and the teacher keypad's result, elimination marks, the roll call. With a
// picture folder set (./dev shots) the windows are saved there as pictures on the way.
using keypadsim::Model;
using keypadsim::SimAutoPilot;
using keypadsim::SimReceiver;
using keypadsim::SimRunPlay;

namespace {
constexpr int kStudents = 6;

class ActivityWindows : public RunWindowFixture
{
protected:
    void SetUp() override
    {
        RunWindowFixture::SetUp();
        ActivityWindowOpener::install(); // the winner box among others
    }
    void TearDown() override
    {
        pilot.reset();
        RushInfoShow::setFactory({});
        RunWindowFixture::TearDown();
    }

    // A receiver of the model whose keypads play along, and a class of their students.
    SimReceiver *selfPlayingClass(Model model, SimRunPlay::Kind smallFamilyActivity = SimRunPlay::Kind::Quiz)
    {
        SimReceiver *sim = plugIn(model);
        if (!sim)
            return nullptr;
        sim->addKeypads(1, kStudents);
        const bool keypadsLogIn = model == Model::Corvel || model == Model::Dravel;
        makeClass(kStudents, keypadsLogIn ? 0 : 1);
        SimAutoPilot::Options options = SimAutoPilot::Options::brisk(kStudents, {QStringLiteral("B"), QStringLiteral("B")});
        options.smallFamilyActivity = smallFamilyActivity;
        pilot = std::make_unique<SimAutoPilot>(*sim, options);
        pilot->start();
        return sim;
    }

    static RushInfoShowController *winnerBox()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *box = qobject_cast<RushInfoShowController *>(w); box && box->isVisible())
                return box;
        return nullptr;
    }
    int inState(int state) const
    {
        int n = 0;
        for (const StudentInfo &s : grid()->students())
            n += s.state() == state ? 1 : 0;
        return n;
    }
    static void shot(QWidget *w, const QString &name)
    {
        // The layout catches up with the last change of text first; the whole screen too, as on a
        // real display the box floats over the window.
        if (!w)
            return;
        saveShot(w, name);
        saveScreenShot(name + QStringLiteral("-screen"));
    }

    std::unique_ptr<SimAutoPilot> pilot;
};

} // namespace

TEST_F(ActivityWindows, RushOnDravelTheFirstBuzzNamesItsStudentInTheWinnerBox)
{
    ASSERT_TRUE(selfPlayingClass(Model::Dravel));
    open(3, 3, questionFile({{0, QStringLiteral("B"), 15}}));
    ASSERT_TRUE(waitFor([&] { return grid()->count() == kStudents; }));
    EXPECT_EQ(label("txtMultipleModeString"), QStringLiteral("Rush Quiz"));

    // The window steps down before the box shows: shown again afterwards, it would cover the box.
    QObject stepDown;
    QList<bool> boxUpAtStepDown;
    NotificationCenter::defaultCenter()->addObserver(&stepDown, Notify::BigQuestionBeginDoModal,
                                                     [&](const Notification &) { boxUpAtStepDown << (winnerBox() != nullptr); });
    button("btnStart")->click();
    EXPECT_EQ(window->phase(), RunControls::Phase::AwaitingRush);
    EXPECT_FALSE(button("btnStart")->isEnabled()) << "no pause before somebody has won";
    // A keypad wins: the box names its student, the grid marks it, the count-down runs.
    ASSERT_TRUE(waitFor([&] { return winnerBox() != nullptr; }));
    RushInfoShowController *box = winnerBox();
    const int winner = QuizParticipantData::shareManager()->isStudentLogin(box->textfieldStudentID->text());
    ASSERT_GT(winner, 0);
    EXPECT_EQ(box->textfieldStudentName->text(),
              QuizParticipantData::shareManager()->loginStudentWithDeviceNo(winner)->studentFullName());
    EXPECT_EQ(inState(StudentLoginView::StateRushed), 1);
    EXPECT_FALSE(window->isStatusLevel()) << "the window steps below the box";
    EXPECT_EQ(boxUpAtStepDown, QList<bool>{false});
    shot(window, QStringLiteral("rush-winner-window"));
    shot(box, QStringLiteral("rush-winner-box"));

    // The winner answers right: the question stops, the box goes, the winner is marked right.
    ASSERT_TRUE(waitFor([&] { return !window->bStartFlag(); }));
    EXPECT_EQ(winnerBox(), nullptr);
    EXPECT_TRUE(window->isStatusLevel());
    EXPECT_EQ(QuizData::shareManager()->getStudentAnswer(1, winner), QStringLiteral("B"));
    EXPECT_EQ(inState(StudentLoginView::StateAnswered), 1);
    EXPECT_EQ(label("txtLoginAndAnswered"), QStringLiteral("1 / 6"));
    // The teacher keypad asks what came of it.
    ASSERT_TRUE(waitFor([&] { return !pilot->teacherScreens().isEmpty(); }));
    EXPECT_TRUE(pilot->teacherScreens().last().endsWith(QStringLiteral("right \"B\": right"))) << qPrintable(pilot->teacherScreens().last());
}

TEST_F(ActivityWindows, VoteOnDravelCountsTheChoicesAndTheTeacherKeypadGetsThem)
{
    ASSERT_TRUE(selfPlayingClass(Model::Dravel));
    open(7, 3, questionFile({{0, QStringLiteral("B"), 15}}));
    ASSERT_TRUE(waitFor([&] { return grid()->count() == kStudents; }));
    button("btnStart")->click();
    ASSERT_TRUE(waitFor([&] { return label("txtLoginAndAnswered") == QStringLiteral("6 / 6"); }));
    EXPECT_EQ(inState(StudentLoginView::StateAnswered), kStudents);
    button("btnStop")->click();
    EXPECT_TRUE(button("btnResult")->isVisibleTo(window));
    ASSERT_TRUE(waitFor([&] { return !pilot->teacherScreens().isEmpty(); }));
    const QString screen = pilot->teacherScreens().last();
    EXPECT_TRUE(screen.startsWith(QStringLiteral("vote of 6:"))) << qPrintable(screen);
    // What the teacher keypad shows adds up to the class.
    int total = 0;
    const QStringList parts = screen.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (int i = 3; i + 1 < parts.size(); i += 3)
        total += parts[i + 1].toInt();
    EXPECT_EQ(total, kStudents) << qPrintable(screen);
    shot(window, QStringLiteral("vote-window"));
}

TEST_F(ActivityWindows, EliminationOnArvelMarksTheWrongAndKeepsThemOut)
{
    SimReceiver *sim = plugIn(Model::Arvel);
    ASSERT_TRUE(sim);
    sim->addKeypads(1, 4);
    makeClass(4, 1);
    open(4, 1, questionFile({{0, QStringLiteral("B"), 15}, {0, QStringLiteral("A"), 15}}));
    ASSERT_EQ(grid()->count(), 4);
    // The receiver hears the keypads only once it has taken the program's "receiver on".
    const auto receiverOn = [&] { return SimRunPlay::running(programFrames(sim), Model::Arvel).has_value(); };
    button("btnStart")->click();
    ASSERT_TRUE(waitFor(receiverOn));
    sim->answer(1, QStringLiteral("B"));
    sim->answer(2, QStringLiteral("C"));
    sim->answer(4, QStringLiteral("B"));
    ASSERT_TRUE(waitFor([&] { return inState(StudentLoginView::StateAnswered) == 3; }));
    button("btnStop")->click();
    // Wrong and missing answers are marked when the question ends, and they stay out.
    EXPECT_EQ(inState(StudentLoginView::StateEliminateWrong), 2);
    EXPECT_FALSE(button("btnStart")->isEnabled()) << "an elimination question runs once";
    shot(window, QStringLiteral("elimination-window"));
    button("btnNext")->click();
    EXPECT_EQ(inState(StudentLoginView::StateEliminated), 2);
    EXPECT_EQ(inState(StudentLoginView::StateNormal), 2);
    sim->clearLogs(); // the stop input before may still be on its way
    button("btnStart")->click();
    ASSERT_TRUE(waitFor(receiverOn));
    sim->answer(2, QStringLiteral("A")); // out: not heard
    sim->answer(1, QStringLiteral("A"));
    ASSERT_TRUE(waitFor([&] { return inState(StudentLoginView::StateAnswered) == 1; }));
    EXPECT_EQ(QuizData::shareManager()->getStudentAnswer(2, 2), QString());
    EXPECT_EQ(inState(StudentLoginView::StateEliminated), 2);
    button("btnStop")->click();
}

TEST_F(ActivityWindows, AttendanceOnBrevelMarksWhoPressed)
{
    SimReceiver *sim = selfPlayingClass(Model::Brevel);
    ASSERT_TRUE(sim);
    open(8, 4, QString());
    EXPECT_EQ(label("txtMultipleModeString"), QStringLiteral("Attendance"));
    button("btnStart")->click();
    ASSERT_TRUE(waitFor([&] { return label("txtLoginAndAnswered") == QStringLiteral("6 / 6"); }));
    for (const StudentInClassPtr &s : QuizParticipantData::shareManager()->arrayLoginStudents())
        EXPECT_EQ(QuizData::shareManager()->getStudentAnswer(1, s->deviceNo()), QStringLiteral("1"));
    button("btnStop")->click();
    EXPECT_TRUE(button("btnResult")->isVisibleTo(window));
    shot(window, QStringLiteral("attendance-window"));
}

// Keypads that an earlier Pollix logged in and never logged out (it was killed, the power went, it
// ended before the receiver answered its logout) keep their numbers, answer the next call as
// keypads already in, and never log in again: their answers would count for nobody. A Pollix
// that starts logs the class out before its first run calls it, so they log in and count.
TEST_F(ActivityWindows, KeypadsAnEarlierPollixLeftInLogInToTheFirstRunOfTheNext)
{
    SimReceiver *sim = selfPlayingClass(Model::Dravel);
    ASSERT_TRUE(sim);
    const QString questions = questionFile({{0, QStringLiteral("B"), 15}});
    open(0, 3, questions);
    ASSERT_TRUE(waitFor([&] { return keypadsLoggedIn(sim, 1, kStudents); }));

    // That Pollix ends with no logout; the next one starts on the same receiver.
    delete window.data();
    ASSERT_TRUE(restartLinkNaming({sim->portPath()}) && app()->getBHaveDevice());
    makeClass(kStudents);
    const qsizetype before = programFrames(sim).size();
    open(0, 3, questions);
    ASSERT_TRUE(waitFor([&] { return grid()->count() == kStudents; })) << "the keypads left in never logged in";
    const QList<QByteArray> sent = programFrames(sim).mid(before);
    const qsizetype logout = sent.indexOf(QByteArray::fromHex("F600000301FFFFF4"));
    ASSERT_GE(logout, 0);
    EXPECT_LT(logout, sent.indexOf(QByteArray::fromHex("F400C00135"))) << "out before the call to log in";
    button("btnStart")->click();
    ASSERT_TRUE(waitFor([&] { return label("txtLoginAndAnswered") == QStringLiteral("6 / 6"); }));
    for (const StudentInClassPtr &s : QuizParticipantData::shareManager()->arrayLoginStudents())
        EXPECT_EQ(QuizData::shareManager()->getStudentAnswer(1, s->deviceNo()), QStringLiteral("B")) << qPrintable(s->studentID());
    button("btnStop")->click();
}

// A question started while nobody has logged in to the run keeps its answers for nobody: keypads
// still in under numbers the run never gave (a logout lost on the way) answer all the same, and
// the session would be saved without them. Start says so and calls the class in again; once the
// students show, Start runs the question and their answers count. In the activity window and on
// the run bar over a slide show alike.
TEST_F(ActivityWindows, StartWithNobodyLoggedInSaysSoAndCallsTheClassInAgain)
{
    QStringList alerts;
    DialogHooks::setAlertResponder([&](const AlertRequest &r) {
        alerts << r.informativeText;
        return 0;
    });
    const auto noAlerts = qScopeGuard([] { DialogHooks::setAlertResponder({}); });
    SimReceiver *sim = selfPlayingClass(Model::Dravel);
    ASSERT_TRUE(sim);
    struct Case
    {
        const char *name;
        bool overSlideShow;
    };
    const QString quiz = questionFile({{0, QStringLiteral("B"), 15}});
    const QString sheet = questionFile({{0, QStringLiteral("B"), 15}}, QStringLiteral("sheet.sep"));
    for (const Case &c : {Case{"activity window", false}, Case{"run bar over a slide show", true}}) {
        SCOPED_TRACE(c.name);
        alerts.clear();
        open(0, 3, quiz);
        ASSERT_TRUE(waitFor([&] { return keypadsLoggedIn(sim, 1, kStudents); }));
        // The run goes with the keypads still in, and nothing owed to send them out.
        delete window.data();
        QuizParticipantData::shareManager()->removeActivityRecord();

        const qsizetype before = programFrames(sim).size();
        QPointer<QWidget> run;
        if (c.overSlideShow) {
            TabController::StartRequest r;
            r.kind = TabController::StartRequest::AnswerSheet;
            r.strPath = sheet;
            r.nDeviceType = 3;
            run = ActivityWindowOpener::openSlideShowRun(nullptr, r);
        } else {
            run = open(0, 3, quiz);
        }
        ASSERT_TRUE(run);
        const auto closeRun = qScopeGuard([&] { delete run.data(); });
        // The keypads in answer the call to log in as keypads already in.
        ASSERT_TRUE(waitFor([&] {
            const QList<QByteArray> sent = programFrames(sim).mid(before);
            return std::any_of(sent.cbegin(), sent.cend(), [](const QByteArray &f) { return f.startsWith(QByteArray::fromHex("F900C0")); });
        }));
        StudentLoginView *students = run->findChild<StudentLoginView *>();
        QPushButton *start = run->findChild<QPushButton *>(QStringLiteral("btnStart"));
        QLabel *answered = run->findChild<QLabel *>(QStringLiteral("txtLoginAndAnswered"));
        ASSERT_TRUE(students && start && answered);
        EXPECT_EQ(students->count(), 0);

        QTest::mouseClick(start, Qt::LeftButton);
        EXPECT_EQ(alerts, QStringList{RunSession::nobodyLoggedInRefusal()});
        EXPECT_FALSE(start->isChecked());
        ASSERT_TRUE(waitFor([&] { return students->count() == kStudents; })) << "the class was not called in again";

        QTest::mouseClick(start, Qt::LeftButton);
        ASSERT_TRUE(waitFor([&] { return answered->text() == QStringLiteral("6 / 6"); }));
        for (const StudentInClassPtr &s : QuizParticipantData::shareManager()->arrayLoginStudents())
            EXPECT_EQ(QuizData::shareManager()->getStudentAnswer(1, s->deviceNo()), QStringLiteral("B"));
        EXPECT_EQ(alerts.size(), 1);
        run->findChild<QPushButton *>(QStringLiteral("btnStop"))->click();
        QuizParticipantData::shareManager()->removeActivityRecord();
    }
}
