#include "core/keypad/DeviceController.h"
#include "platform/NotificationCenter.h"
#include "platform/UsbSerialDriver.h"
#include "support/DialogAnswers.h"
#include "support/EventWait.h"
#include "support/ModalDriver.h"
#include "support/PollixTest.h"
#include "support/Shots.h"
#include "ui/app/MainwndController.h"
#include "ui/app/SelectASystem.h"
#include "ui/app/TabController.h"
#include "ui/controls/PollixAlert.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// A kernel without either bridge driver; alerts come up for real.
class SystemChoiceTest : public PollixTest
{
protected:
    void SetUp() override
    {
        PollixTest::SetUp();
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
    int changes = 0;
};

// The same with the alerts answered from a queue.
class StartUpTest : public SystemChoiceTest
{
protected:
    DialogAnswers answers;
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

TEST_F(StartUpTest, BrevelWithoutTheFtdiDriverSaysHowToLoadItAndGoesOn)
{
    SelectASystem choice;
    choice.cboDeviceType->setCurrentIndex(1);
    choice.selectSystem();
    ASSERT_EQ(answers.alerts().size(), 1);
    const AlertRequest &told = answers.alerts().first();
    EXPECT_EQ(told.text, "The receiver of this system needs the Linux kernel's FTDI USB-serial driver (ftdi_sio), which "
                         "is not loaded.");
    for (const char *step : {"sudo modprobe ftdi_sio", "dialout group", "sudo usermod -aG dialout $USER",
                             "log out and log in again"})
        EXPECT_TRUE(told.informativeText.contains(step)) << step;
    EXPECT_FALSE(told.text.contains("Mac") || told.informativeText.contains("install now"));
    EXPECT_EQ(told.buttons, QStringList{"OK"}) << "no answer leads back to the question";
    EXPECT_EQ(type(), 4);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(choice.result(), 1);
}

TEST_F(StartUpTest, ArvelWithoutItsSiliconLabsDriverIsToldTheSameAndTheChoiceEnds)
{
    SelectASystem choice;
    choice.setBRunWindow(true);
    choice.cboDeviceType->setCurrentIndex(0);
    choice.selectSystem();
    ASSERT_EQ(answers.alerts().size(), 1);
    EXPECT_TRUE(answers.alerts().first().text.contains("Silicon Labs USB-serial driver (cp210x)"));
    EXPECT_TRUE(answers.alerts().first().informativeText.contains("sudo modprobe cp210x"));
    EXPECT_EQ(type(), 1);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(choice.bRunWindow()) << "the choice ended";
}

TEST_F(SystemChoiceTest, TheDriverNoticesOnlyButtonClickedLeadsOnWithTheModelChosen)
{
    ModalDriver modals;
    QStringList shown;
    int buttons = 0;
    bool selectable = false;
    modals.on(QStringLiteral("SelectASystem"), [](QWidget *w) {
        auto *choice = static_cast<SelectASystem *>(w);
        choice->cboDeviceType->setFocus();
        QTest::keyClick(choice->cboDeviceType, Qt::Key_Up); // Corvel, over the Dravel chosen first
        QTest::mouseClick(choice->btnOK, Qt::LeftButton);
    });
    modals.on(QStringLiteral("PollixAlert"), [&](QWidget *w) {
        auto *alert = static_cast<PollixAlert *>(w);
        shown = QStringList{alert->windowTitle(), alert->text(), alert->informativeText()};
        buttons = alert->buttonCount();
        const auto *commands = alert->findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel"));
        selectable = commands && commands->textInteractionFlags().testFlag(Qt::TextSelectableByMouse);
        if (QTest::qWaitForWindowExposed(alert, kEventWaitMs))
            saveScreenShot(QStringLiteral("driver-notice"));
        QTest::mouseClick(alert->findChild<QPushButton *>(QStringLiteral("alertButton0")), Qt::LeftButton);
    });
    SelectASystem choice;
    choice.setBRunWindow(true);
    // A notice that led back to the choice would leave it open: end it then, as a failure.
    QTimer::singleShot(kEventWaitMs, &choice, [&choice] { choice.done(0); });
    EXPECT_EQ(choice.exec(), 1);
    EXPECT_EQ(modals.opened(), QStringList({"SelectASystem", "PollixAlert"})) << "the notice comes once";
    ASSERT_EQ(shown.size(), 3);
    EXPECT_EQ(shown.at(0), "Pollix");
    EXPECT_TRUE(shown.at(1).contains("(ftdi_sio)"));
    EXPECT_TRUE(shown.at(2).contains("sudo usermod -aG dialout $USER"));
    EXPECT_EQ(buttons, 1);
    EXPECT_TRUE(selectable) << "the commands can be copied";
    EXPECT_EQ(type(), 2);
    EXPECT_EQ(changes, 1);
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
        // The FTDI driver is missing: the notice is told and the choice goes on.
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

// The choice at start closed by Escape is no dead end: the main window says no system is chosen,
// and the System menu offers the choice again, which then sets the window up as at start.
TEST_F(SystemChoiceTest, TheChoiceClosedByEscapeIsOfferedAgainInTheSystemMenu)
{
    TabController::resetHooks();
    TabController::hooks().runSplash = [](QWidget *) {};
    ASSERT_EQ(type(), -1);
    ModalDriver modals;
    modals.on(QStringLiteral("SelectASystem"), [](QWidget *w) { QTest::keyClick(w, Qt::Key_Escape); });
    modals.on(QStringLiteral("SelectASystem"), [](QWidget *w) {
        auto *choice = static_cast<SelectASystem *>(w);
        choice->cboDeviceType->setFocus();
        QTest::keyClick(choice->cboDeviceType, Qt::Key_Up); // Corvel
        QTest::mouseClick(choice->btnOK, Qt::LeftButton);
    });
    modals.on(QStringLiteral("PollixAlert"), [](QWidget *w) {
        QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("alertButton0")), Qt::LeftButton);
    });
    MainwndController controller;
    controller.initWindow();
    controller.showWindow();
    TabController *window = controller.window();
    ASSERT_TRUE(QTest::qWaitFor([&] { return modals.opened().size() == 1 && !QApplication::activeModalWidget(); },
                                kEventWaitMs));
    EXPECT_EQ(type(), -1);
    EXPECT_EQ(window->windowTitle(), "Pollix ( No Host)");
    EXPECT_EQ(window->cboActivityMode->count(), 0);
    EXPECT_TRUE(controller.menuSelectSystem->isEnabled());
    for (QAction *model : {controller.menuEnvel, controller.menuArvel, controller.menuCorvel, controller.menuDravel}) {
        EXPECT_TRUE(model->isEnabled());
        EXPECT_FALSE(model->isChecked());
    }

    // System, Select a System…, by the mouse.
    QMenuBar *bar = window->menuBar();
    QMenu *system = window->findChild<QMenu *>(QStringLiteral("menuSystem"));
    ASSERT_TRUE(system);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(system->menuAction()).center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return system->isVisible(); }, kEventWaitMs));
    QTest::mouseClick(system, Qt::LeftButton, {}, system->actionGeometry(controller.menuSelectSystem).center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->curDeviceType() == 2; }, kEventWaitMs));
    EXPECT_EQ(modals.opened(), QStringList({"SelectASystem", "SelectASystem", "PollixAlert"}));
    EXPECT_EQ(window->windowTitle(), "Pollix (TovCorvel No Host)");
    EXPECT_GE(window->cboActivityMode->findText("Homework"), 0);
    EXPECT_TRUE(controller.menuCorvel->isChecked());

    // A model straight from the menu, as the choice's own entries do (Arvel: its driver notice).
    controller.menuArvel->trigger();
    EXPECT_EQ(window->curDeviceType(), 1);
    EXPECT_TRUE(controller.menuArvel->isChecked());
    EXPECT_LT(window->cboActivityMode->findText("Homework"), 0);
    TabController::resetHooks();
}
