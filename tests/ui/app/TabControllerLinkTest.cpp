#include "support/ReceiverTest.h"

#include "ui/app/TabController.h"
#include "ui/keypad/DeviceSettingCtrl.h"
#include "ui/keypad/HardwareTestCtrl.h"
#include "ui/keypad/SetChannelCtrl.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>

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

namespace {

// Runs action (which opens a modal window) and hands the window shown to inspect, then closes it.
template <typename Window>
bool openedModally(const std::function<void()> &action, const std::function<void(Window *)> &inspect)
{
    bool seen = false;
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [&] {
        if (auto *w = qobject_cast<Window *>(QApplication::activeModalWidget())) {
            poll->stop();
            seen = true;
            inspect(w);
            w->done(0);
        }
    });
    poll->start(20);
    action();
    delete poll;
    return seen;
}

} // namespace

// The Settings tab's buttons open the set-up windows of the model in use, each listening for
// frames while it is open; the main window listens again after.
TEST_F(TabControllerLinkTest, SetUpButtonsOpenTheWindowsOfTheModel)
{
    SimReceiver *sim = plugIn(Model::Dravel);
    ASSERT_TRUE(waitFor([&] { return app()->getBHaveDevice(); }));
    TabController::hooks().runSplash = [](QWidget *) {};
    TabController::hooks().runLogin = [](QWidget *) { return true; };
    TabController window;
    window.awakeFromNib();
    app()->setObjectToReceiveCommData(&window);
    EXPECT_TRUE(openedModally<SetChannelCtrl>([&] { window.doChannelSet(); }, [&](SetChannelCtrl *w) {
        EXPECT_EQ(app()->objectToReceiveCommData(), w);
        EXPECT_TRUE(waitFor([&] { return programFrames(sim).contains(QByteArray::fromHex("F200008072")); }));
    }));
    EXPECT_EQ(app()->objectToReceiveCommData(), &window);
    EXPECT_TRUE(openedModally<HardwareTestCtrl>([&] { window.doHardwareTest(); }, [&](HardwareTestCtrl *w) {
        EXPECT_EQ(w->mode(), 1);
        EXPECT_EQ(app()->objectToReceiveCommData(), w);
    }));
    EXPECT_EQ(app()->objectToReceiveCommData(), &window);

    SimReceiver *arvel = plugIn(Model::Arvel);
    ASSERT_TRUE(waitFor([&] { return window.curDeviceType() == 1 && app()->getBHaveDevice(); }));
    EXPECT_EQ(window.btnChannelSet->text(), QStringLiteral("Remote ID"));
    EXPECT_TRUE(openedModally<DeviceSettingCtrl>([&] { window.doChannelSet(); }, [&](DeviceSettingCtrl *w) {
        EXPECT_EQ(app()->objectToReceiveCommData(), w);
        EXPECT_EQ(w->nDeviceType(), 1);
    }));
    EXPECT_EQ(app()->objectToReceiveCommData(), &window);
    Q_UNUSED(arvel);
}
