#include "support/ReceiverTest.h"

#include "ui/app/TabController.h"

using keypadsim::Model;
using keypadsim::SimReceiver;

namespace {
class TabControllerLinkTest : public ReceiverTest
{
protected:
    void TearDown() override
    {
        TabController::resetHooks();
        ReceiverTest::TearDown();
    }
};
} // namespace

// The main window listens between runs: a keypad's answer to the wake frame is met with the
// log-out frame, three times, sent through the current receiver.
TEST_F(TabControllerLinkTest, KeypadFramesReachTheMainWindowAndItsRepliesReachTheReceiver)
{
    SimReceiver *sim = plugIn(Model::Dravel);
    ASSERT_TRUE(waitFor([&] { return app()->getBHaveDevice(); }));
    TabController::hooks().runSplash = [](QWidget *) {};
    TabController window;
    window.awakeFromNib();
    ASSERT_EQ(window.curDeviceType(), 3);
    app()->setObjectToReceiveCommData(&window);
    sim->clearLogs();
    sim->addKeypad(2);
    sim->wakeUpReply(2);
    // (waitFor, not the simulator's blocking wait: the GUI thread must run to read the frame)
    ASSERT_TRUE(waitFor([&] { return sim->framesFromProgram().size() >= 3; }));
    for (const auto &f : sim->framesFromProgram())
        EXPECT_EQ(f.bytes, QByteArray::fromHex("F60000" "0301FFFF" "F4"));
}
