#include "core/keypad/DeviceController.h"
#include "support/OrdinaryUser.h"
#include "support/ReceiverTest.h"
#include "ui/app/PollixProgram.h"
#include "ui/app/TabController.h"
#include "ui/controls/PollixAlert.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using keypadsim::Model;
using keypadsim::SimReceiver;

using ReceiverAccessAlertTest = ReceiverTest;

// The program's own alert, as the teacher meets it: up over whatever is open when the scan ends,
// closed by a click on its button.
TEST_F(ReceiverAccessAlertTest, AReceiverThisAccountMayNotOpenComesUpAsAnAlertThatAClickCloses)
{
    POLLIX_AS_ORDINARY_USER();
    PollixProgram::installServices();
    SimReceiver *sim = makeReceiver(Model::Dravel);
    ASSERT_TRUE(sim);
    ASSERT_TRUE(QFile::setPermissions(sim->portPath(), {}));

    QString title, text;
    bool clicked = false;
    QTimer watch;
    watch.setInterval(10);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto *alert = qobject_cast<PollixAlert *>(QApplication::activeModalWidget());
        auto *ok = alert ? alert->findChild<QPushButton *>(QStringLiteral("alertButton0")) : nullptr;
        if (!ok || clicked)
            return;
        title = alert->windowTitle();
        text = alert->text();
        clicked = true;
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    watch.start();
    DeviceController::ShareDeviceController()->scanPorts({sim->portPath()});
    ASSERT_TRUE(waitIdle());
    watch.stop();

    ASSERT_TRUE(clicked) << "no alert came up";
    EXPECT_EQ(title, "Pollix ARS");
    EXPECT_TRUE(text.contains(sim->portPath())) << text.toStdString();
    EXPECT_TRUE(text.endsWith("then log out and log in again:\n\nsudo usermod -aG dialout $USER")) << text.toStdString();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the click closed the alert";
    EXPECT_FALSE(app()->getBHaveDevice());
    TabController::resetHooks();
}
