// A run's window is kept above the others: whatever opens over it (the list of students asking
// for the questions, the winner box, the link's alerts, results, the exit question, the save)
// must open in front of it, owned by it, and take the keys, or the teacher meets a run that
// answers no click with a window hidden behind it. Looked at under a real window manager.
#include "RunWindowFixture.h"

#include "core/engine/RushInfoShow.h"
#include "core/keypad/DeviceController.h"
#include "support/ModalDriver.h"
#include "support/WindowOnScreen.h"
#include "support/XvfbRun.h"
#include "ui/controls/PollixAlert.h"
#include "ui/keypad/GetRequestQuesStus.h"
#include "ui/keypad/SendQuestions.h"

#include <QGuiApplication>

namespace {
using keypadsim::Model;
using keypadsim::SimReceiver;

class WindowsOverARunTest : public RunWindowFixture
{
protected:
    void SetUp() override
    {
        RunWindowFixture::SetUp();
        // The run's windows come up for real here.
        DialogHooks::setModalResponder({});
        RunTimer::setManualClock(false);
        ActivityWindowOpener::install();
        GetRequestQuesStus::installAsRequestWindow();
        SendQuestions::installForRunWindows();
    }
    void TearDown() override
    {
        QuizMode::setRequestQuesStusWindowFactory({});
        RushInfoShow::setFactory({});
        RunWindowFixture::TearDown();
    }

    // What keeps w from standing in front of the run window with the keys; "" when nothing.
    std::string inFront(QWidget *w) const
    {
        if (!w || !WindowOnScreen::settled(w))
            return "not on the screen";
        if (!QTest::qWaitFor([&] { return WindowOnScreen::stackedAbove(w, window); }, kEventWaitMs))
            return "below the run window: " + WindowOnScreen::describeStacking({window.data(), w});
        if (!QTest::qWaitFor([&] { return QGuiApplication::focusWindow() == w->windowHandle(); }, kEventWaitMs))
            return "without the keys";
        return {};
    }
};
} // namespace

TEST_F(WindowsOverARunTest, UnderAWindowManagerEveryWindowOverARunOpensInFrontWithTheKeys)
{
    EXPECT_EQ(XvfbRun::run(QStringLiteral("WindowsOverARunTest.OnX11*"), {QSize(1024, 768), true}), 0);
}

// Run on a private Xvfb by UnderAWindowManagerEveryWindowOverARunOpensInFrontWithTheKeys.
TEST_F(WindowsOverARunTest, OnX11EveryWindowOverARunOpensInFrontWithTheKeys)
{
    SimReceiver *dravel = plugIn(Model::Dravel);
    ASSERT_TRUE(dravel);
    ASSERT_TRUE(waitFor([&] { return app()->getBHaveDevice(); }));
    makeClass(3);
    dravel->addKeypads(1, 3);
    // A Homework: the keypads hold the set and may ask for it.
    open(2, 3, questionFile({{0, QStringLiteral("B"), 10}, {0, QStringLiteral("A"), 10}}));
    ASSERT_TRUE(window);
    ASSERT_TRUE(window->isStatusLevel());
    ASSERT_TRUE(WindowOnScreen::settled(window));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == window; }, kEventWaitMs));
    dravel->login(1, QStringLiteral("S001"));
    ASSERT_TRUE(waitFor([&] { return grid()->count() == 1 && keypadsLoggedIn(dravel, 1, 1); }));

    // A keypad asks for the questions: the list comes up, modal, over the run.
    dravel->askForQuestion(1);
    QWidget *asking = nullptr;
    ASSERT_TRUE(waitFor([&] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("GetRequestQuesStus") && w->isVisible())
                asking = w;
        return asking != nullptr;
    }));
    EXPECT_EQ(inFront(asking), "") << "the students asking for questions";
    WindowOnScreen::shot(QStringLiteral("asking-students-over-the-run"));
    // The teacher can answer it: Escape, and the run is the teacher's again.
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : asking, Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !asking->isVisible(); }, kEventWaitMs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == window; }, kEventWaitMs));

    // The winner of a rush.
    std::unique_ptr<RushInfoShow> winner = RushInfoShow::create();
    ASSERT_TRUE(winner);
    winner->setStrStudentID(QStringLiteral("S001"));
    winner->setStrStudentName(QStringLiteral("First1 Last1"));
    winner->showWindow();
    EXPECT_EQ(inFront(dynamic_cast<QWidget *>(winner.get())), "") << "the winner box";
    winner->closeWindow();
    winner.reset();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->isStatusLevel() && QApplication::activeWindow() == window; },
                                kEventWaitMs));

    // An alert of the link, opened over no window of its own; then the run's own questions.
    QStringList alertsSeen;
    ModalDriver modals;
    modals.on("PollixAlert", [&](QWidget *alert) {
        auto *a = static_cast<PollixAlert *>(alert);
        const QString said = a->informativeText().isEmpty() ? a->text() : a->informativeText();
        alertsSeen << said + QStringLiteral(": ") + QString::fromStdString(inFront(alert));
        a->pressButton(0);
    });
    PollixAlert::show(nullptr, QStringLiteral("Pollix"), QStringLiteral("Another receiver works on this channel."));

    // The run's windows: the questions sent, a report, the save at its end.
    QMap<QString, std::string> seen;
    const auto look = [&](QWidget *w) {
        seen[w->objectName()] = inFront(w);
        static_cast<QDialog *>(w)->done(0);
    };
    for (const char *name : {"SendQuestions", "QuizReport", "SaveToData"})
        modals.on(name, look);
    QTest::mouseClick(button("btnSendQuestions"), Qt::LeftButton);
    QTest::mouseClick(button("btnStart"), Qt::LeftButton);
    QTest::mouseClick(button("btnStop"), Qt::LeftButton);
    ASSERT_TRUE(button("btnReport")->isEnabled());
    QTest::mouseClick(button("btnReport"), Qt::LeftButton);
    QTest::mouseClick(button("btnExit"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window || !window->isVisible(); }, kEventWaitMs));
    for (const char *name : {"SendQuestions", "QuizReport", "SaveToData"})
        EXPECT_EQ(seen.value(name, "never shown"), "") << name;
    EXPECT_EQ(alertsSeen, (QStringList{"Another receiver works on this channel.: ",
                                       "Are you sure to exit this Activity?: "}));
}
