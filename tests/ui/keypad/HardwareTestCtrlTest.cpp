#include "support/DialogAnswers.h"
#include "support/ReceiverTest.h"

#include "SimKeyPresser.h"
#include "SimSetup.h"
#include "core/keypad/KeypadMouse.h"
#include "ui/keypad/HardwareTestCtrl.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using keypadsim::Model;
using keypadsim::SimReceiver;
using keypadsim::SimSetup;

namespace {

class HardwareTestCtrlTest : public ReceiverTest
{
protected:
    void TearDown() override
    {
        w.reset();
        ReceiverTest::TearDown();
    }
    SimReceiver *openOn(Model model, int mode, SimReceiver::Options o = {})
    {
        SimReceiver *sim = plugIn(model, o);
        if (!sim || !waitFor([&] { return app()->getBHaveDevice(); }))
            return nullptr;
        sim->clearLogs();
        w = std::make_unique<HardwareTestCtrl>();
        w->setMode(mode);
        w->show();
        app()->setObjectToReceiveCommData(w.get());
        return sim;
    }
    // The test opened on a Dravel receiver on channel 17 behind a link named in
    // POLLIX_SERIAL_PORTS, as a receiver pulled out is found again under the name it had.
    SimReceiver *openOnNamedDravel()
    {
        SimReceiver::Options o;
        o.channel = 17;
        o.linkPath = home() + QStringLiteral("ttyReceiver");
        SimReceiver *sim = makeReceiver(Model::Dravel, o);
        if (!sim || !restartLinkNaming({sim->portPath()}) || !app()->getBHaveDevice())
            return nullptr;
        w = std::make_unique<HardwareTestCtrl>();
        w->setMode(1);
        w->show();
        app()->setObjectToReceiveCommData(w.get());
        return sim;
    }
    // What the grid shows for an id on the page shown ("" when it is not on it).
    QString cell(int id) const
    {
        for (int t = 1; t <= 4; ++t)
            for (int r = 0; r < 25; ++r)
                if (w->tableAt(t)->item(r, 0)->text().toInt() == id)
                    return w->tableAt(t)->item(r, 1)->text();
        return QStringLiteral("<not shown>");
    }
    QColor cellColour(int id) const
    {
        for (int t = 1; t <= 4; ++t)
            for (int r = 0; r < 25; ++r)
                if (w->tableAt(t)->item(r, 0)->text().toInt() == id)
                    return w->tableAt(t)->item(r, 1)->background().color();
        return {};
    }

    std::unique_ptr<HardwareTestCtrl> w;
    DialogAnswers answers;
};

} // namespace

TEST_F(HardwareTestCtrlTest, GridShowsIdsByPageTableAndRow)
{
    SimReceiver *sim = openOn(Model::Arvel, 1);
    ASSERT_TRUE(sim);
    EXPECT_EQ(w->tableAt(1)->item(0, 0)->text(), QStringLiteral("1"));
    EXPECT_EQ(w->tableAt(4)->item(24, 0)->text(), QStringLiteral("100"));
    EXPECT_FALSE(w->btnPrev->isEnabled());
    QTest::mouseClick(w->btnNext, Qt::LeftButton);
    EXPECT_EQ(w->curPage(), 2);
    EXPECT_EQ(w->tableAt(1)->item(0, 0)->text(), QStringLiteral("101"));
    EXPECT_EQ(w->tableAt(3)->item(4, 0)->text(), QStringLiteral("155"));
    w->turnToPage(4);
    EXPECT_EQ(w->tableAt(4)->item(24, 0)->text(), QStringLiteral("400"));
    EXPECT_FALSE(w->btnNext->isEnabled());
    EXPECT_TRUE(w->btnPrev->isEnabled());
    w->turnToPage(5); // past the last page: nothing
    EXPECT_EQ(w->curPage(), 4);
}

TEST_F(HardwareTestCtrlTest, ArvelKeyTestAccumulatesAndShowsTeacherKeys)
{
    SimReceiver *sim = openOn(Model::Arvel, 1);
    ASSERT_TRUE(sim);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Hardware Test"));
    EXPECT_TRUE(w->boxSeparate->isHidden());
    // The receiver is switched on when the window opens.
    ASSERT_TRUE(waitFor([&] { return !sim->framesFromProgram().isEmpty(); }));
    EXPECT_EQ(sim->framesFromProgram().first().bytes, QByteArray::fromHex("5A80DA"));
    sim->answer(3, QStringLiteral("A"));
    sim->answer(250, QStringLiteral("G"));
    sim->answer(405, QStringLiteral("B")); // small-family ids reach 415: no entry, ignored
    sim->pressTeacherKey(0x86);
    ASSERT_TRUE(waitFor([&] { return w->teacherKey->text() == QStringLiteral("Stop"); }));
    EXPECT_EQ(w->keyValues().entryText(3), QStringLiteral("A"));
    EXPECT_EQ(w->keyValues().entryText(250), QStringLiteral("Rush Quiz"));
    EXPECT_EQ(w->keyValues().entryCount(), 400);
    EXPECT_EQ(w->curPage(), 1);
    EXPECT_EQ(cell(3), QStringLiteral("A"));
    sim->pressTeacherKey(0x8A);
    ASSERT_TRUE(waitFor([&] { return w->teacherKey->text().isEmpty(); }));

    sim->clearLogs();
    w->doOK();
    ASSERT_TRUE(waitFor([&] { return !sim->framesFromProgram().isEmpty(); }));
    EXPECT_EQ(sim->framesFromProgram().first().bytes, QByteArray::fromHex("5B80DB"));
}

TEST_F(HardwareTestCtrlTest, ArvelIdWriteTurnsGreenAndAKeyPressMovesToItsPage)
{
    SimReceiver *sim = openOn(Model::Arvel, 0);
    ASSERT_TRUE(sim);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Set remote ID and hardware test"));
    sim->answer(7, QStringLiteral("C"));
    sim->answer(150, QStringLiteral("B"));
    // Mode 0 shows only the last keypad, on its page.
    ASSERT_TRUE(waitFor([&] { return w->keyValues().entryText(150) == QStringLiteral("B"); }));
    EXPECT_EQ(w->keyValues().entryText(7), QString());
    EXPECT_EQ(w->curPage(), 2);

    sim->clearLogs();
    QTest::mouseClick(w->tableView3->viewport(), Qt::LeftButton, {},
                      w->tableView3->visualItemRect(w->tableView3->item(4, 1)).center());
    EXPECT_EQ(w->deviceID(), 155);
    EXPECT_EQ(w->keyValues().entryText(150), QString());
    ASSERT_TRUE(waitFor([&] { return w->isSuccessful(); }));
    EXPECT_EQ(cellColour(155), QColor(Qt::green));
    EXPECT_EQ(sim->framesFromProgram().first().bytes, QByteArray::fromHex("6B89E2"));
    EXPECT_EQ(SimSetup(*sim).writtenIds(), QList<int>{155});

    // Unconfirmed: red; a key press ends the writing.
    sim->setCommandsIgnored(true);
    w->tblClick(1, 0);
    EXPECT_EQ(w->deviceID(), 101);
    QTest::qWait(80);
    EXPECT_EQ(cellColour(101), QColor(Qt::red));
    sim->answer(101, QStringLiteral("D"));
    ASSERT_TRUE(waitFor([&] { return w->deviceID() == 0; }));
    EXPECT_EQ(cell(101), QStringLiteral("D"));
    EXPECT_EQ(cellColour(101), QColor(Qt::white));

    // Mode 1 writes nothing.
    w->setMode(1);
    sim->clearLogs();
    w->tblClick(2, 2);
    EXPECT_EQ(w->deviceID(), 0);
}

TEST_F(HardwareTestCtrlTest, DravelKeypadsRegisterByName)
{
    SimReceiver::Options o;
    o.channel = 17;
    SimReceiver *sim = openOn(Model::Dravel, 1, o);
    ASSERT_TRUE(sim);
    SimSetup setup(*sim);
    EXPECT_EQ(w->txtState->text(), QStringLiteral("Hardware CH:"));
    EXPECT_EQ(w->tableView1->horizontalHeaderItem(1)->text(), QStringLiteral("Student ID"));
    EXPECT_FALSE(w->btnNext->isEnabled());
    ASSERT_TRUE(waitFor([&] { return w->teacherKey->text() == QStringLiteral("17"); }));
    ASSERT_TRUE(waitFor([&] { return setup.pcState() == 4; }));

    sim->addKeypads(1, 3);
    setup.registerName(1, QStringLiteral("Ann"));
    setup.registerName(2, QStringLiteral("Bob"));
    ASSERT_TRUE(waitFor([&] { return setup.registration(2).number == 2; }));
    setup.registerName(3, QStringLiteral("Ann"));
    ASSERT_TRUE(waitFor([&] { return setup.registration(3).number == 1; }));
    EXPECT_EQ(setup.registration(1).number, 1);
    EXPECT_EQ(setup.registration(2).name, QByteArray("Bob"));
    EXPECT_EQ(w->keyValues().keyValues(), QStringList({"Ann", "Bob"}));
    EXPECT_EQ(cell(2), QStringLiteral("Bob"));
    setup.registerTeacher();
    ASSERT_TRUE(waitFor([&] { return setup.teacherRegistration().number == 3; }));
    EXPECT_EQ(setup.teacherRegistration().name, QByteArray("Teacher"));

    // A keypad asking for the PC state is told the test is on.
    sim->clearLogs();
    sim->askCurrentState(1);
    ASSERT_TRUE(waitFor([&] { return setup.pcState() == 4; }));

    // A 64-byte name: the reply is cut to fit and still sent.
    sim->addKeypad(9);
    const QByteArray longName(64, 'x');
    setup.registerName(9, longName);
    ASSERT_TRUE(waitFor([&] { return setup.registration(9).number == 4; }));
    EXPECT_EQ(setup.registration(9).name, longName.left(58));

    // The 101st name turns to page 2.
    for (int i = 5; i <= 100; ++i) {
        sim->addKeypad(100 + i);
        setup.registerName(100 + i, QStringLiteral("K%1").arg(i));
    }
    ASSERT_TRUE(waitFor([&] { return w->keyValues().entryCount() == 100; }));
    EXPECT_EQ(w->curPage(), 1);
    sim->addKeypad(300);
    setup.registerName(300, QStringLiteral("late"));
    ASSERT_TRUE(waitFor([&] { return w->curPage() == 2; }));
    EXPECT_EQ(cell(101), QStringLiteral("late"));
    EXPECT_TRUE(w->btnPrev->isEnabled());

    QTest::mouseClick(w->btnReset, Qt::LeftButton);
    EXPECT_EQ(w->keyValues().entryCount(), 0);
    EXPECT_EQ(w->curPage(), 1);
    sim->clearLogs();
    w->close();
    ASSERT_TRUE(waitFor([&] { return setup.pcState() == 1; }));
}

// A receiver pulled out during the test shows as gone; plugged in again it gives its channel
// and has the keypads put back in the test, and OK still takes them out of it.
TEST_F(HardwareTestCtrlTest, DravelPulledOutSaysNoHostAndResumesTheTestWhenBack)
{
    SimReceiver *sim = openOnNamedDravel();
    ASSERT_TRUE(sim);
    SimSetup setup(*sim);
    ASSERT_TRUE(waitFor([&] { return w->teacherKey->text() == QStringLiteral("17") && setup.pcState() == 4; }));

    sim->unplug();
    ASSERT_TRUE(waitFor([&] { return !app()->getBHaveDevice(); }));
    EXPECT_TRUE(waitFor([&] { return w->teacherKey->text() == QStringLiteral("No Host"); }));
    QTest::mouseClick(w->btnReset, Qt::LeftButton);
    EXPECT_EQ(w->teacherKey->text(), QStringLiteral("No Host"));

    sim->clearLogs();
    ASSERT_TRUE(sim->plug());
    ASSERT_TRUE(waitFor([&] { return w->teacherKey->text() == QStringLiteral("17"); }));
    ASSERT_TRUE(waitFor([&] { return setup.pcState() == 4; }));
    sim->addKeypads(1, 1);
    setup.registerName(1, QStringLiteral("Ann"));
    ASSERT_TRUE(waitFor([&] { return cell(1) == QStringLiteral("Ann"); }));

    QTest::mouseClick(w->btnOK, Qt::LeftButton);
    EXPECT_TRUE(waitFor([&] { return setup.pcState() == 1; }));
}

// Pulled out and plugged back while the class goes on pressing keys: the receiver is found among
// the keys and the test goes on, its keys shown.
TEST_F(HardwareTestCtrlTest, DravelPluggedBackWhileKeysArePressedResumesTheTest)
{
    SimReceiver *sim = openOnNamedDravel();
    ASSERT_TRUE(sim);
    SimSetup setup(*sim);
    ASSERT_TRUE(waitFor([&] { return w->teacherKey->text() == QStringLiteral("17") && setup.pcState() == 4; }));

    // Keys come faster than the pause before each open of the port, as a class's do.
    setSettle(160);
    keypadsim::SimKeyPresser pressing(*sim, 4, 40);
    sim->unplug();
    ASSERT_TRUE(waitFor([&] { return w->teacherKey->text() == QStringLiteral("No Host"); }));
    sim->clearLogs();
    ASSERT_TRUE(sim->plug());
    ASSERT_TRUE(waitFor([&] { return w->teacherKey->text() == QStringLiteral("17"); }));
    ASSERT_TRUE(waitFor([&] { return setup.pcState() == 4; }));
    sim->addKeypad(9);
    setup.registerName(9, QStringLiteral("Ann"));
    ASSERT_TRUE(waitFor([&] { return cell(1) == QStringLiteral("Ann"); }));
}

TEST_F(HardwareTestCtrlTest, BrevelKeysRushAndTeacherWithBoundedIds)
{
    SimReceiver *sim = openOn(Model::Brevel, 0);
    ASSERT_TRUE(sim);
    SimSetup setup(*sim);
    EXPECT_TRUE(w->btnNext->isEnabled());
    sim->answer(12, QStringLiteral("C"));
    sim->buzz(340);
    sim->answer(401, QStringLiteral("A"));   // Brevel ids are 16 bits: no entry
    sim->answer(65535, QStringLiteral("A"));
    setup.registerTeacher();
    ASSERT_TRUE(waitFor([&] { return setup.teacherRegistration().number == 1; }));
    EXPECT_EQ(setup.teacherRegistration().name, QByteArray("Teacher"));
    EXPECT_EQ(w->keyValues().entryText(12), QStringLiteral("C"));
    EXPECT_EQ(w->keyValues().entryText(340), QStringLiteral("Rush"));
    EXPECT_EQ(w->keyValues().entryText(1), QStringLiteral("Teacher"));
    EXPECT_EQ(w->keyValues().entryCount(), 400);
    EXPECT_EQ(w->curPage(), 4);

    // Writing id 3 from page 1: the keypad confirms from its new address.
    w->turnToPage(1);
    w->tblClick(1, 2);
    ASSERT_TRUE(waitFor([&] { return w->isSuccessful(); }));
    EXPECT_EQ(setup.writtenIds().last(), 3);
    EXPECT_EQ(cellColour(3), QColor(Qt::green));

    // A keypad-mouse frame from another keypad goes to the keypad mouse.
    QList<int> keys;
    KeypadMouse::setSink([&](const KeypadMouse::Command &c) { keys << c.code; });
    sim->teacherFrame(0xFC, QByteArray(1, '\x05'));
    EXPECT_TRUE(waitFor([&] { return keys == QList<int>{5}; }));
    KeypadMouse::setSink({});
}
