#include "support/PollixTest.h"
#include "support/EventWait.h"

#include "core/keypad/DeviceController.h"
#include "ui/controls/PollixAlert.h"

#include <QAbstractButton>
#include <QTest>

namespace {

class PollixAlertKeypadTest : public PollixTest
{
protected:
    // Offers one frame to the alert through the real hand-off.
    void offer(PollixAlert &alert, int deviceType, const QByteArray &frame)
    {
        auto *ctrl = DeviceController::ShareDeviceController();
        ctrl->setCurDeviceType(deviceType);
        ctrl->parser().setFamily(deviceType <= 1 ? 0 : 1);
        app()->setObjectToReceiveCommData(&alert);
        const quint64 before = ctrl->framesDelivered();
        ctrl->receiveBytes(frame);
        EXPECT_TRUE(QTest::qWaitFor([&] { return ctrl->framesDelivered() > before; }, kEventWaitMs));
        QCoreApplication::processEvents();
    }
};

} // namespace

TEST_F(PollixAlertKeypadTest, TeacherF1AndF2PressTheFirstAndSecondButton)
{
    PollixAlert f1(QStringLiteral("Pollix ARS"), QStringLiteral("Save?"), {QStringLiteral("Yes"), QStringLiteral("No")});
    offer(f1, 3, QByteArray::fromHex("F401EF819B"));
    ASSERT_TRUE(f1.clickedButton());
    EXPECT_EQ(f1.clickedButton()->text(), QStringLiteral("Yes"));

    PollixAlert f2(QStringLiteral("Pollix ARS"), QStringLiteral("Save?"), {QStringLiteral("Yes"), QStringLiteral("No")});
    offer(f2, 2, QByteArray::fromHex("F401EF8298"));
    ASSERT_TRUE(f2.clickedButton());
    EXPECT_EQ(f2.clickedButton()->text(), QStringLiteral("No"));

    PollixAlert small(QStringLiteral("Pollix ARS"), QStringLiteral("Save?"), {QStringLiteral("Yes"), QStringLiteral("No")});
    offer(small, 1, QByteArray::fromHex("008989"));
    ASSERT_TRUE(small.clickedButton());
    EXPECT_EQ(small.clickedButton()->text(), QStringLiteral("No"));
}

TEST_F(PollixAlertKeypadTest, OtherKeysAndStudentsAreIgnored)
{
    PollixAlert one(QStringLiteral("Pollix ARS"), QStringLiteral("Done."), {QStringLiteral("OK")});
    offer(one, 3, QByteArray::fromHex("F401EF8298")); // F2 on a one-button alert
    EXPECT_FALSE(one.clickedButton());
    offer(one, 3, QByteArray::fromHex("F405008170")); // a student's frame
    EXPECT_FALSE(one.clickedButton());
    offer(one, 1, QByteArray::fromHex("2081A1"));
    EXPECT_FALSE(one.clickedButton());
    offer(one, 1, QByteArray::fromHex("008888"));
    ASSERT_TRUE(one.clickedButton());
    EXPECT_EQ(one.clickedButton()->text(), QStringLiteral("OK"));
}
