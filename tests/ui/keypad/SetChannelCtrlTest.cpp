#include "support/DialogAnswers.h"
#include "support/ReceiverTest.h"

#include "core/keypad/LinkTiming.h"
#include "ui/keypad/SetChannelCtrl.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using keypadsim::Model;
using keypadsim::SimReceiver;

namespace {

const QString kSuccess = QStringLiteral("Channel setup successful.");
const QString kClash =
    QStringLiteral("Two main receivers have the same channel, please change the channel number for any one of them.");

class SetChannelCtrlTest : public ReceiverTest
{
protected:
    SimReceiver *plugDravel(int channel, int neighbour = -1)
    {
        SimReceiver::Options o;
        o.channel = channel;
        o.neighbourChannel = neighbour;
        SimReceiver *sim = plugIn(Model::Dravel, o);
        if (sim && waitFor([&] { return app()->getBHaveDevice(); }))
            sim->clearLogs();
        return sim;
    }
    // The window as the main window opens it: listening for frames.
    std::unique_ptr<SetChannelCtrl> open()
    {
        auto w = std::make_unique<SetChannelCtrl>();
        app()->setObjectToReceiveCommData(w.get());
        return w;
    }

    DialogAnswers answers;
};

} // namespace

TEST_F(SetChannelCtrlTest, ReadsTheChannelThenSetsAnotherAndChecksForAClash)
{
    SimReceiver *sim = plugDravel(17);
    ASSERT_TRUE(sim);
    auto w = open();
    EXPECT_EQ(w->channelConfine->text(), QStringLiteral("0-39"));
    ASSERT_TRUE(waitFor([&] { return w->channelNo->text() == QStringLiteral("17"); }));
    EXPECT_EQ(programFrames(sim), QList<QByteArray>{QByteArray::fromHex("F200008072")});

    sim->clearLogs();
    w->channelNo->setText(QStringLiteral("12"));
    QTest::mouseClick(w->btnSend, Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return answers.alertTexts().contains(kSuccess); }));
    EXPECT_EQ(answers.alerts().first().title, QStringLiteral("Pollix ARS"));
    EXPECT_EQ(answers.alerts().first().buttons, QStringList{QStringLiteral("OK")});
    // The same-channel query follows the confirmation; nobody else is on 12.
    ASSERT_TRUE(waitFor([&] { return programFrames(sim).size() >= 2; }));
    EXPECT_EQ(programFrames(sim), QList<QByteArray>({QByteArray::fromHex("F2001981" "6A"), QByteArray::fromHex("F400C00236")}));
    EXPECT_TRUE(waitIdle());
    QTest::qWait(50);
    EXPECT_EQ(answers.alertTexts(), QStringList{kSuccess});
    EXPECT_EQ(sim->options().channel, 12);
}

TEST_F(SetChannelCtrlTest, AReceiverNextDoorOnTheSameChannelIsReported)
{
    SimReceiver *sim = plugDravel(3, 7);
    ASSERT_TRUE(sim);
    auto w = open();
    ASSERT_TRUE(waitFor([&] { return w->channelNo->text() == QStringLiteral("3"); }));
    const int shortWait = LinkTiming::current().sameChannelWaitMs;
    setSameChannelWait(kEventWaitMs);
    w->channelNo->setText(QStringLiteral("7"));
    w->doSend();
    ASSERT_TRUE(waitFor([&] { return answers.alertTexts().size() == 2; }));
    EXPECT_EQ(answers.alertTexts(), QStringList({kSuccess, kClash}));
    // Moving off the neighbour's channel ends the clash.
    setSameChannelWait(shortWait);
    w->channelNo->setText(QStringLiteral("8"));
    w->doSend();
    ASSERT_TRUE(waitFor([&] { return answers.alertTexts().size() == 3; }));
    EXPECT_TRUE(waitIdle());
    QTest::qWait(50);
    EXPECT_EQ(answers.alertTexts().last(), kSuccess);
    EXPECT_EQ(answers.alertTexts().size(), 3);
}

TEST_F(SetChannelCtrlTest, ChannelsOutsideTheRangeAreRefusedAndNothingIsSent)
{
    SimReceiver *sim = plugDravel(0);
    ASSERT_TRUE(sim);
    auto w = open();
    ASSERT_TRUE(waitFor([&] { return sim->framesFromProgram().size() == 1; }));
    // Typing goes through the formatter: at most two digits, no more than 39.
    w->channelNo->clear();
    QTest::keyClicks(w->channelNo, QStringLiteral("4a0"));
    EXPECT_EQ(w->channelNo->text(), QStringLiteral("4"));
    w->channelNo->setText(QStringLiteral("40"));
    sim->clearLogs();
    w->doSend();
    EXPECT_EQ(answers.alertTexts(), QStringList{QStringLiteral("The channel number should be an integer between 0 and 39")});
    EXPECT_EQ(w->channelNo->text(), QStringLiteral("39"));
    QTest::qWait(30);
    EXPECT_TRUE(sim->framesFromProgram().isEmpty());
    w->channelNo->clear();
    EXPECT_FALSE(w->btnSend->isEnabled());
    QTest::keyClicks(w->channelNo, QStringLiteral("5"));
    EXPECT_TRUE(w->btnSend->isEnabled());
}

// A receiver that does not answer is not a success: the teacher is told.
TEST_F(SetChannelCtrlTest, AnUnansweredSetIsReported)
{
    SimReceiver *sim = plugDravel(5);
    ASSERT_TRUE(sim);
    auto w = open();
    ASSERT_TRUE(waitFor([&] { return w->channelNo->text() == QStringLiteral("5"); }));
    LinkTiming timing = LinkTiming::current();
    timing.setupAnswerMs = 150;
    LinkTiming::setCurrent(timing);
    sim->setCommandsIgnored(true);
    w->channelNo->setText(QStringLiteral("9"));
    w->doSend();
    ASSERT_TRUE(waitFor([&] { return !answers.alerts().isEmpty(); }));
    EXPECT_EQ(answers.alertTexts(), QStringList{SetChannelCtrl::receiverDidNotAnswerText()});
    EXPECT_EQ(sim->options().channel, 5);
    // Once the receiver answers again, the channel is set and only the success is told: the
    // answer ends the wait for it.
    timing.setupAnswerMs = kEventWaitMs;
    LinkTiming::setCurrent(timing);
    sim->setCommandsIgnored(false);
    w->doSend();
    EXPECT_TRUE(w->isAwaitingAnswer());
    EXPECT_TRUE(waitFor([&] { return answers.alertTexts().size() == 2; }));
    EXPECT_EQ(answers.alertTexts().last(), kSuccess);
    EXPECT_FALSE(w->isAwaitingAnswer());
    EXPECT_TRUE(waitIdle());
    EXPECT_EQ(answers.alertTexts().size(), 2);
}

TEST_F(SetChannelCtrlTest, UnpluggingLeavesNoHost)
{
    SimReceiver *sim = plugDravel(21);
    ASSERT_TRUE(sim);
    auto w = open();
    ASSERT_TRUE(waitFor([&] { return w->channelNo->text() == QStringLiteral("21"); }));
    sim->unplug();
    ASSERT_TRUE(waitFor([&] { return !app()->getBHaveDevice(); }));
    EXPECT_TRUE(waitFor([&] { return w->channelNo->text() == QStringLiteral("0"); }));
    w->channelNo->setText(QStringLiteral("8"));
    w->doSend();
    EXPECT_EQ(answers.alertTexts(), QStringList{QStringLiteral("No Host")});

    // What the teacher types stays while no receiver is there; a receiver plugged in is asked,
    // and its own channel shows. Send then sets what is typed over it.
    w->channelNo->selectAll();
    QTest::keyClicks(w->channelNo, "8");
    EXPECT_EQ(w->channelNo->text(), QStringLiteral("8"));
    SimReceiver *again = plugDravel(21);
    ASSERT_TRUE(again);
    EXPECT_TRUE(waitFor([&] { return w->channelNo->text() == QStringLiteral("21"); }));
    EXPECT_TRUE(w->channelNo->hasSelectedText());
    QTest::keyClicks(w->channelNo, "8");
    QTest::mouseClick(w->btnSend, Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return answers.alertTexts().contains(kSuccess); }));
    EXPECT_EQ(again->options().channel, 8);
}
