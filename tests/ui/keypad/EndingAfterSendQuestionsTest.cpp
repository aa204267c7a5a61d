// Pollix ended by a logout or a shutdown (SIGTERM) in Homework around Send Questions, on the
// simulated receiver with keypads pressing keys every 100 ms: the class is logged out as Exit logs
// it out (the logout wake frame goes out, the receiver answers it and the logout follows) before
// Pollix lets go of the receiver, whether the question set is still going out, its window is still
// up with the set sent, or that window has just been closed.

#include "MainWindowRun.h"

#include "platform/InstanceLock.h"
#include "support/SessionOwners.h"
#include "ui/app/PollixProgram.h"

#include "SimAutoPilot.h"

#include <QLabel>
#include <QRegularExpression>

#include <array>

#include <csignal>

using namespace keypadsim;

namespace {

constexpr int kKeypads = 6;

enum class When { SetGoingOut, SetSentWindowUp, WindowJustClosed };

class EndingAfterSendQuestions : public MainWindowRun, public ::testing::WithParamInterface<When>
{
protected:
    void TearDown() override
    {
        pilot.reset();
        MainWindowRun::TearDown();
    }
    std::unique_ptr<SimAutoPilot> pilot;
};

TEST_P(EndingAfterSendQuestions, TheClassIsLoggedOutBeforePollixLetsGoOfTheReceiver)
{
    const When when = GetParam();
    // As a start from any parent would find it, whatever this suite was started under.
    std::signal(SIGTERM, SIG_DFL);
    InstanceLock lock(home());
    ASSERT_EQ(lock.take(), InstanceLock::Outcome::Taken);
    bool ended = false;
    PollixProgram::endOnSignals(lock, [&ended] { ended = true; });

    SimReceiver *sim = plugIn(Model::Dravel);
    ASSERT_TRUE(sim && waitFor([&] { return app()->getBHaveDevice(); }));
    sim->addKeypads(1, kKeypads);
    ASSERT_TRUE(addTeacherSubjectAndKeypadClass(QStringLiteral("7B"), kKeypads));
    const QString path = home() + QStringLiteral("Homework.px");
    pilot = std::make_unique<SimAutoPilot>(*sim, SimAutoPilot::Options::brisk(kKeypads, questionFile(3, path)));
    pilot->start();
    // The set going out takes its own time there, as it does in a classroom.
    if (when == When::SetGoingOut)
        SendQuestions::setTimingForTesting(QuestionSetSender::Timing());
    ASSERT_TRUE(startFromMainWindow(path, QStringLiteral("Homework")));
    ASSERT_TRUE(waitFor([&] { return keypadsLoggedIn(sim, 1, kKeypads); }));

    // Keys pressed on the keypads every 100 ms, from now to the end.
    QTimer presses;
    int pressed = 0;
    QObject::connect(&presses, &QTimer::timeout, [&] { sim->answer(1 + pressed++ % kKeypads, QStringLiteral("A")); });
    presses.start(100);

    qsizetype mark = -1;
    const auto endNow = [&] {
        mark = sim->framesFromProgram().size();
        ASSERT_EQ(::raise(SIGTERM), 0);
        ASSERT_TRUE(waitFor([&] { return ended; }, 10000));
    };
    modals->on(QStringLiteral("SendQuestions"), [&](QWidget *w) {
        auto *window = qobject_cast<SendQuestions *>(w);
        ASSERT_TRUE(window);
        if (when == When::SetGoingOut)
            EXPECT_TRUE(waitFor([&] { return window->statusText->text().startsWith(QStringLiteral("Sending question")); }, 60000))
                << window->statusText->text().toStdString();
        else
            EXPECT_TRUE(waitFor([&] { return window->btnOK->text() == QStringLiteral("OK"); }, 60000));
        if (when != When::WindowJustClosed)
            endNow();
        // Left by its own way out, where the ending left it up.
        if (window->isVisible())
            QTest::mouseClick(window->btnOK, Qt::LeftButton);
    });
    QTest::mouseClick(run->findChild<QPushButton *>(QStringLiteral("btnSendQuestions")), Qt::LeftButton);
    ASSERT_EQ(modals->opened().count(QStringLiteral("SendQuestions")), 1);
    if (when == When::WindowJustClosed)
        endNow();
    presses.stop();

    ASSERT_GE(mark, 0);
    // Since the signal: the logout wake frame, and the logout that follows the receiver's answer.
    QStringList sent;
    for (const SimFrame &f : sim->framesFromProgram().mid(mark))
        sent << QString::fromLatin1(f.bytes.toHex().toUpper());
    EXPECT_FALSE(sent.filter(QRegularExpression("^F400C001")).isEmpty()) << "the logout wake frame";
    EXPECT_FALSE(sent.filter(QRegularExpression("^F60000")).isEmpty()) << "the class logged out";
    for (int id = 1; id <= kKeypads; ++id)
        EXPECT_FALSE(sim->keypad(id).loggedIn) << id;
    EXPECT_FALSE(app()->getBHaveDevice()) << "the receiver let go of";
}

INSTANTIATE_TEST_SUITE_P(Homework, EndingAfterSendQuestions,
                         ::testing::Values(When::SetGoingOut, When::SetSentWindowUp, When::WindowJustClosed),
                         [](const ::testing::TestParamInfo<When> &info) {
                             return std::string(std::array{"WhileTheSetGoesOut", "WithTheSetSentAndItsWindowUp",
                                                           "RightAfterItsWindowClosed"}[int(info.param)]);
                         });

} // namespace
