#include "core/keypad/DeviceController.h"
#include "platform/NotificationCenter.h"
#include "platform/UsbSerialDriver.h"
#include "support/DialogAnswers.h"
#include "support/EventWait.h"
#include "support/PollixTest.h"
#include "ui/app/SelectASystem.h"
#include "ui/app/TabController.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class StartUpTest : public PollixTest
{
protected:
    void SetUp() override
    {
        PollixTest::SetUp();
        // A kernel without either bridge driver.
        UsbSerialDriver::setRootsForTesting(roots.path() + "/sys", roots.path() + "/modules");
        NotificationCenter::defaultCenter()->addObserver(&observer, "DeviceChanged", [this](const Notification &) { ++changes; });
    }
    void TearDown() override
    {
        UsbSerialDriver::setRootsForTesting({}, {});
        PollixTest::TearDown();
    }
    int type() const { return DeviceController::ShareDeviceController()->currentDeviceType(); }

    QTemporaryDir roots;
    QObject observer;
    DialogAnswers answers;
    int changes = 0;
};

TEST_F(StartUpTest, ChoiceListsTheFourSystemsDravelFirstChosen)
{
    SelectASystem choice;
    EXPECT_EQ(choice.cboDeviceType->count(), 4);
    EXPECT_EQ(choice.cboDeviceType->currentText(), "Audience Response System TovDravel");
    EXPECT_EQ(SelectASystem::deviceTypeForIndex(0), 1);
    EXPECT_EQ(SelectASystem::deviceTypeForIndex(1), 4);
    EXPECT_EQ(SelectASystem::deviceTypeForIndex(2), 2);
    EXPECT_EQ(SelectASystem::deviceTypeForIndex(3), 3);
}

TEST_F(StartUpTest, BrevelWithoutTheFtdiDriverAsksAndGoesOnWhenDeclined)
{
    SelectASystem choice;
    choice.cboDeviceType->setCurrentIndex(1);
    answers.answerAlert(1); // "No": go on without the driver
    choice.selectSystem();
    ASSERT_EQ(answers.alerts().size(), 1);
    EXPECT_EQ(answers.alerts().first().text,
              "To use FTDI USB device on Mac OSX, you need to install FTDI drive. Do you want to install now?");
    EXPECT_EQ(answers.alerts().first().buttons, (QStringList{"Yes", "No"}));
    EXPECT_EQ(type(), 4);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(choice.result(), 1);
}

TEST_F(StartUpTest, AnsweringYesSetsNoTypeAndKeepsTheWindow)
{
    SelectASystem choice;
    choice.setBRunWindow(true);
    choice.cboDeviceType->setCurrentIndex(0);
    answers.answerAlert(0);
    choice.selectSystem();
    EXPECT_TRUE(answers.alertTexts().first().startsWith("To use SILABS USB device"));
    EXPECT_EQ(type(), -1);
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(choice.bRunWindow());
}

TEST_F(StartUpTest, PresentDriverAsksNothingAndAReceiverEndsTheChoice)
{
    QDir().mkpath(roots.path() + "/sys/module/ftdi_sio");
    SelectASystem choice;
    choice.selectCorvel();
    EXPECT_TRUE(answers.alerts().isEmpty());
    EXPECT_EQ(type(), 2);

    SelectASystem waiting;
    waiting.setBRunWindow(true);
    waiting.open();
    NotificationCenter::defaultCenter()->postNotification("DeviceChanged");
    EXPECT_FALSE(waiting.isVisible());
    EXPECT_FALSE(waiting.bRunWindow());
}

TEST_F(StartUpTest, WithoutAReceiverTheMainWindowAsksForTheSystemAndFollowsTheChoice)
{
    TabController::resetHooks();
    TabController::hooks().runSplash = [](QWidget *) {};
    ASSERT_EQ(type(), -1);
    TabController window;
    window.awakeFromNib();
    window.raiseToStatusLevel();
    bool asked = false;
    bool floatingWhileAsked = true;
    // The choice comes up over the main window once the event loop runs.
    QTimer::singleShot(20, [&] {
        auto *choice = qobject_cast<SelectASystem *>(QApplication::activeModalWidget());
        if (!choice)
            return;
        asked = true;
        floatingWhileAsked = window.isStatusLevel();
        choice->cboDeviceType->setCurrentIndex(2);
        answers.answerAlert(1); // go on without the FTDI driver
        choice->selectSystem();
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.curDeviceType() == 2; }, kEventWaitMs));
    EXPECT_TRUE(asked);
    EXPECT_FALSE(floatingWhileAsked);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.isStatusLevel(); }, kEventWaitMs));
    EXPECT_EQ(window.windowTitle(), "Pollix (TovCorvel No Host)");
    EXPECT_GE(window.cboActivityMode->findText("Homework"), 0);
    TabController::resetHooks();
}
