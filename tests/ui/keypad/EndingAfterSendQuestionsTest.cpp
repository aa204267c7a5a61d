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

#include <algorithm>

#include <csignal>

using namespace keypadsim;

namespace {

constexpr int kKeypads = 6;

enum class When { SetGoingOut, SetSentWindowUp, WindowJustClosed };

struct Ending
{
    const char *name;
    When when;
};

void PrintTo(const Ending &c, std::ostream *os)
{
    *os << c.name;
}

class EndingAfterSendQuestions : public MainWindowRun, public ::testing::WithParamInterface<Ending>
{
protected:
    void TearDown() override
    {
        pilot.reset();
        MainWindowRun::TearDown();
    }

    // Whether the program sent a frame starting with head since its first `from` frames.
    static bool sentSince(const SimReceiver *sim, qsizetype from, const QByteArray &head)
    {
        const QList<SimFrame> frames = sim->framesFromProgram();
        return std::any_of(frames.cbegin() + std::min(from, frames.size()), frames.cend(),
                           [&](const SimFrame &f) { return f.bytes.startsWith(head); });
    }

    std::unique_ptr<SimAutoPilot> pilot;
};

TEST_P(EndingAfterSendQuestions, TheClassIsLoggedOutBeforePollixLetsGoOfTheReceiver)
{
    const When when = GetParam().when;
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
    EXPECT_TRUE(sentSince(sim, mark, QByteArray::fromHex("F400C001"))) << "the logout wake frame";
    EXPECT_TRUE(sentSince(sim, mark, QByteArray::fromHex("F60000"))) << "the class logged out";
    for (int id = 1; id <= kKeypads; ++id)
        EXPECT_FALSE(sim->keypad(id).loggedIn) << id;
    EXPECT_FALSE(app()->getBHaveDevice()) << "the receiver let go of";
}

INSTANTIATE_TEST_SUITE_P(Homework, EndingAfterSendQuestions,
                         ::testing::Values(Ending{"WhileTheSetGoesOut", When::SetGoingOut},
                                           Ending{"WithTheSetSentAndItsWindowUp", When::SetSentWindowUp},
                                           Ending{"RightAfterItsWindowClosed", When::WindowJustClosed}),
                         [](const ::testing::TestParamInfo<Ending> &info) { return std::string(info.param.name); });

} // namespace
