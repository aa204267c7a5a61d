// A keypad whose student logs out during a run, through the program's own windows on the simulated
// receiver: its tile turns grey ("left"), and the run's "logged in" count stays the count of those
// who logged in to the run (it numbers the keypads and the saved session counts them). The keypad
// is out: it takes no question set and answers nothing until the class is called again (Send
// Questions, Start), when it logs in again under its old number, so that what the window counts
// and what the tiles show agree.

#include "MainWindowRun.h"

#include "core/engine/QuizData.h"
#include "core/engine/QuizParticipantData.h"
#include "support/SessionOwners.h"
#include "ui/run/StudentLoginView.h"

#include "SimAutoPilot.h"

#include <QLabel>
#include <QProgressBar>

using namespace keypadsim;

namespace {

constexpr int kKeypads = 6;

struct Logout
{
    const char *name;
    const char *activity;
    bool sendQuestions; // the class is called by Send Questions (else by Start)
    bool pulledOut;     // the receiver is pulled out and put back after the logouts
};

void PrintTo(const Logout &c, std::ostream *os)
{
    *os << c.name;
}

class KeypadLogout : public MainWindowRun, public ::testing::WithParamInterface<Logout>
{
protected:
    void TearDown() override
    {
        if (run)
            delete run.data();
        pilot.reset();
        MainWindowRun::TearDown();
    }

    int state(int deviceNo) const
    {
        for (const StudentInfo &s : run->studentLoginView()->students())
            if (s.student() && s.student()->deviceNo() == deviceNo)
                return s.state();
        return -1;
    }
    QStringList greyTiles() const
    {
        QStringList grey;
        for (const StudentInfo &s : run->studentLoginView()->students())
            if (s.state() == StudentLoginView::StateExited)
                grey << QString::number(s.student() ? s.student()->deviceNo() : 0);
        return grey;
    }
    QString counts() const { return run->findChild<QLabel *>(QStringLiteral("txtLoginAndAnswered"))->text(); }
    void click(const char *name)
    {
        auto *b = run->findChild<QPushButton *>(QLatin1String(name));
        ASSERT_TRUE(b && b->isVisible() && b->isEnabled()) << name;
        QTest::mouseClick(b, Qt::LeftButton);
    }

    std::unique_ptr<SimAutoPilot> pilot;
};

TEST_P(KeypadLogout, TheTileGreysAndTheKeypadIsOutUntilTheClassIsCalledAgain)
{
    const Logout c = GetParam();
    SimReceiver::Options receiver;
    receiver.linkPath = home() + QStringLiteral("ttyReceiver");
    SimReceiver *sim = makeReceiver(Model::Dravel, receiver);
    ASSERT_TRUE(sim && restartLinkNaming({sim->portPath()}) && app()->getBHaveDevice());
    sim->addKeypads(1, kKeypads);
    ASSERT_TRUE(addTeacherSubjectAndKeypadClass(QStringLiteral("7B"), kKeypads));
    const QString path = home() + QStringLiteral("Logout.px");
    const QStringList right = questionFile(2, path);
    SimAutoPilot::Options o = SimAutoPilot::Options::brisk(kKeypads, right);
    o.seed = 5;
    pilot = std::make_unique<SimAutoPilot>(*sim, o);
    pilot->start();

    ASSERT_TRUE(startFromMainWindow(path, QLatin1String(c.activity)));
    ASSERT_TRUE(waitFor([&] { return run->studentLoginView()->count() == kKeypads && keypadsLoggedIn(sim, 1, kKeypads); }));
    EXPECT_EQ(counts(), QStringLiteral("0 / %1").arg(kKeypads));

    // Keypads 5 and 6 log out ("logout 5", "logout 6" on the simulator).
    const int five = sim->keypad(5).deviceNo, six = sim->keypad(6).deviceNo;
    ASSERT_GT(five, 0);
    ASSERT_GT(six, 0);
    sim->logout(5);
    sim->logout(6);
    ASSERT_TRUE(waitFor([&] { return greyTiles().size() == 2; })) << qPrintable(greyTiles().join(' '));
    EXPECT_EQ(state(five), StudentLoginView::StateExited);
    EXPECT_EQ(state(six), StudentLoginView::StateExited);
    EXPECT_EQ(counts(), QStringLiteral("0 / %1").arg(kKeypads)) << "who logged in to the run";

    if (c.pulledOut) {
        sim->unplug();
        ASSERT_TRUE(waitFor([&] { return !app()->getBHaveDevice(); }));
        ASSERT_TRUE(sim->plug());
        ASSERT_TRUE(waitFor([&] { return app()->getBHaveDevice(); }));
        EXPECT_EQ(run->studentLoginView()->count(), kKeypads);
        EXPECT_EQ(counts(), QStringLiteral("0 / %1").arg(kKeypads)) << "nobody counted twice";
    }

    if (c.sendQuestions) {
        // Send Questions calls the class: the two log in again under their numbers, and every
        // keypad it counts as holding the set is one the grid shows in.
        QStringList greyWhenDone;
        QString keypadsDone;
        modals->on("SendQuestions", [&](QWidget *w) {
            auto *window = qobject_cast<SendQuestions *>(w);
            ASSERT_TRUE(window);
            EXPECT_TRUE(waitFor([&] { return window->btnOK->text() == QStringLiteral("OK"); }, 60000));
            keypadsDone = window->progressSend->text();
            greyWhenDone = greyTiles();
            QTest::mouseClick(window->btnOK, Qt::LeftButton);
        });
        click("btnSendQuestions");
        ASSERT_EQ(modals->opened().count(QStringLiteral("SendQuestions")), 1);
        EXPECT_EQ(keypadsDone, QStringLiteral("%1 / %1 keypads").arg(kKeypads));
        EXPECT_TRUE(greyWhenDone.isEmpty()) << "counted as holding the set, shown as gone: " << qPrintable(greyWhenDone.join(' '));
        for (int id = 1; id <= kKeypads; ++id)
            EXPECT_TRUE(pilot->questionSet()->hasWholeSet(id)) << "keypad " << id;
    } else {
        // Start calls the class: the two log in again and answer under green tiles.
        click("btnStart");
        ASSERT_TRUE(waitFor([&] { return counts() == QStringLiteral("%1 / %1").arg(kKeypads); })) << qPrintable(counts());
        EXPECT_EQ(state(five), StudentLoginView::StateAnswered);
        EXPECT_EQ(state(six), StudentLoginView::StateAnswered);
        EXPECT_EQ(QuizData::shareManager()->getStudentAnswer(1, five), right.first());
        click("btnStop");
    }
    EXPECT_TRUE(sim->keypad(5).loggedIn);
    EXPECT_EQ(sim->keypad(5).deviceNo, five) << "in again under its number";
    EXPECT_EQ(sim->keypad(6).deviceNo, six);
    EXPECT_EQ(QuizParticipantData::shareManager()->getSumOfLoginStudents(), kKeypads);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, KeypadLogout,
    ::testing::Values(Logout{"HomeworkSendQuestions", "Homework", true, false},
                      Logout{"NormalQuizStart", "Normal Quiz", false, false},
                      Logout{"HomeworkPulledOutAndBack", "Homework", true, true}),
    [](const ::testing::TestParamInfo<Logout> &info) { return std::string(info.param.name); });

} // namespace
