#include "support/ReceiverTest.h"

#include "core/keypad/DeviceController.h"
#include "core/keypad/KeypadMouse.h"
#include "ui/keypad/VersionInfoCtrl.h"

#include <QLineEdit>

using keypadsim::Model;
using keypadsim::SimReceiver;

namespace {

class VersionInfoCtrlTest : public ReceiverTest
{
protected:
    QString hostText(VersionInfoCtrl &w) { return w.findChild<QLineEdit *>(QStringLiteral("textHostVersion"))->text(); }
};

} // namespace

TEST_F(VersionInfoCtrlTest, ShowsTheDravelFirmwareVersion)
{
    SimReceiver::Options o;
    o.firmwareMajor = 2;
    o.firmwareMinor = 7;
    SimReceiver *sim = plugIn(Model::Dravel, o);
    ASSERT_TRUE(waitFor([&] { return app()->getBHaveDevice(); }));
    sim->clearLogs();
    VersionInfoCtrl w;
    EXPECT_EQ(w.objectName(), QStringLiteral("VersionInfo"));
    app()->setObjectToReceiveCommData(&w);
    EXPECT_TRUE(waitFor([&] { return hostText(w) == QStringLiteral("TovDravel Host V2.07"); })) << qPrintable(hostText(w));
    ASSERT_FALSE(sim->framesFromProgram().isEmpty());
    EXPECT_EQ(sim->framesFromProgram().first().bytes, QByteArray::fromHex("F1000000F1"));
    EXPECT_FALSE(w.findChild<QLineEdit *>(QStringLiteral("textSoftwareVersion"))->text().isEmpty());
    EXPECT_FALSE(w.findChild<QLineEdit *>(QStringLiteral("textOperationSystem"))->text().isEmpty());
}

TEST_F(VersionInfoCtrlTest, ShowsTheArvelFirmwareVersion)
{
    SimReceiver::Options o;
    o.firmwareMajor = 1;
    o.firmwareMinor = 10;
    plugIn(Model::Arvel, o);
    ASSERT_TRUE(waitFor([&] { return app()->getBHaveDevice(); }));
    VersionInfoCtrl w;
    app()->setObjectToReceiveCommData(&w);
    EXPECT_TRUE(waitFor([&] { return hostText(w) == QStringLiteral("TovArvel Host V1.10"); })) << qPrintable(hostText(w));
}

TEST_F(VersionInfoCtrlTest, NoReceiverLeavesNoHostThenAPluggedReceiverIsAsked)
{
    VersionInfoCtrl w;
    app()->setObjectToReceiveCommData(&w);
    EXPECT_EQ(hostText(w), QStringLiteral("No Host"));
    SimReceiver::Options o;
    o.firmwareMajor = 3;
    o.firmwareMinor = 1;
    plugIn(Model::Brevel, o);
    EXPECT_TRUE(waitFor([&] { return hostText(w) == QStringLiteral("TovBrevel Host V3.01"); })) << qPrintable(hostText(w));
}

TEST_F(VersionInfoCtrlTest, TeacherMouseCommandsStillWork)
{
    QList<int> keys;
    QList<QPair<int, int>> moves;
    KeypadMouse::setSink([&](const KeypadMouse::Command &c) {
        if (c.kind == KeypadMouse::Command::Step)
            keys << c.code;
        else
            moves << qMakePair(c.x, c.y);
    });
    SimReceiver *sim = plugIn(Model::Corvel);
    ASSERT_TRUE(waitFor([&] { return app()->getBHaveDevice(); }));
    VersionInfoCtrl w;
    app()->setObjectToReceiveCommData(&w);
    sim->sendFrame(SimReceiver::longFrame(0xFC, 0xEF01, QByteArray::fromHex("03")));
    sim->sendFrame(SimReceiver::longFrame(0xFC, 0xEF01, QByteArray::fromHex("E01020")));
    sim->sendFrame(SimReceiver::longFrame(0xFC, 0x0005, QByteArray::fromHex("04"))); // a student: ignored
    EXPECT_TRUE(waitFor([&] { return moves.size() == 1; }));
    KeypadMouse::setSink({});
    EXPECT_EQ(keys, QList<int>{3});
    EXPECT_EQ(moves.first(), qMakePair(0x10, 0x20));
}
