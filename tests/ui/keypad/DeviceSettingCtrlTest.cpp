#include "support/DialogAnswers.h"
#include "support/ReceiverTest.h"

#include "core/keypad/LinkTiming.h"
#include "ui/controls/Stepper.h"
#include "ui/keypad/DeviceSettingCtrl.h"
#include "ui/keypad/DeviceSettingLight.h"
#include "ui/keypad/SetChannelCtrl.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using keypadsim::Model;
using keypadsim::SimReceiver;

namespace {

const QString kChannelOk = QStringLiteral("Channel setup successful.");

class DeviceSettingCtrlTest : public ReceiverTest
{
protected:
    void SetUp() override
    {
        ReceiverTest::SetUp();
        DeviceSettingCtrl::hooks().runLogin = [this](QWidget *) {
            ++logins;
            return loginAnswer;
        };
    }
    void TearDown() override
    {
        w.reset();
        DeviceSettingCtrl::hooks() = {};
        ReceiverTest::TearDown();
    }
    SimReceiver *openOn(Model model, SimReceiver::Options o = {})
    {
        SimReceiver *sim = plugIn(model, o);
        if (!sim || !waitFor([&] { return app()->getBHaveDevice(); }))
            return nullptr;
        sim->clearLogs();
        w = std::make_unique<DeviceSettingCtrl>();
        w->show();
        app()->setObjectToReceiveCommData(w.get());
        return sim;
    }
    void typeInto(QLineEdit *field, const QString &text)
    {
        field->selectAll();
        QTest::keyClicks(field, text);
    }

    std::unique_ptr<DeviceSettingCtrl> w;
    DialogAnswers answers;
    int logins = 0;
    bool loginAnswer = true;
};

} // namespace

TEST_F(DeviceSettingCtrlTest, ArvelStudentIdsAreWrittenAndConfirmed)
{
    SimReceiver *sim = openOn(Model::Arvel);
    ASSERT_TRUE(sim);
    EXPECT_EQ(w->tabview->count(), 3);
    EXPECT_EQ(w->lightStudent->color(), QColor(Qt::gray));

    typeInto(w->studentDeviceID, QStringLiteral("37"));
    EXPECT_EQ(w->stepper2->value(), 37);
    QTest::mouseClick(w->btnSetStudentID, Qt::LeftButton);
    EXPECT_EQ(w->lightStudent->color(), QColor(Qt::red));
    ASSERT_TRUE(waitFor([&] { return w->lightStudent->color() == QColor(Qt::green); }));
    EXPECT_EQ(programFrames(sim), QList<QByteArray>{QByteArray::fromHex("6582E7")});

    // 401 typed becomes 400, whose confirmation (59 00) is no channel answer on this page.
    typeInto(w->studentDeviceID, QStringLiteral("401"));
    EXPECT_EQ(w->studentDeviceID->text(), QStringLiteral("400"));
    EXPECT_EQ(w->stepper1->value(), 400);
    sim->clearLogs();
    w->doSetStudentID();
    EXPECT_EQ(w->lightStudent->color(), QColor(Qt::red));
    ASSERT_TRUE(waitFor([&] { return w->lightStudent->color() == QColor(Qt::green); }));
    EXPECT_EQ(programFrames(sim), QList<QByteArray>{QByteArray::fromHex("6099F9")});

    // Without a keypad taking it, the lamp stays red.
    sim->setCommandsIgnored(true);
    w->stepper3->stepDown();
    EXPECT_EQ(w->studentDeviceID->text(), QStringLiteral("399"));
    w->doSetStudentID();
    QTest::qWait(150);
    EXPECT_EQ(w->lightStudent->color(), QColor(Qt::red));
    EXPECT_TRUE(answers.alerts().isEmpty());
}

TEST_F(DeviceSettingCtrlTest, IdZeroIsRefusedAndSendsNothing)
{
    SimReceiver *sim = openOn(Model::Arvel);
    ASSERT_TRUE(sim);
    typeInto(w->studentDeviceID, QStringLiteral("0"));
    EXPECT_TRUE(w->studentDeviceID->hasSelectedText());
    w->doSetStudentID();
    EXPECT_EQ(answers.alertTexts(), QStringList{QStringLiteral("ID must be between 1 and 400.")});
    EXPECT_EQ(answers.alerts().first().title, QStringLiteral("Pollix ARS"));
    QTest::qWait(30);
    EXPECT_TRUE(sim->framesFromProgram().isEmpty());
    EXPECT_EQ(w->lightStudent->color(), QColor(Qt::gray));
}

TEST_F(DeviceSettingCtrlTest, ArvelTeacherKeypadIsConfirmedOnItsPage)
{
    SimReceiver *sim = openOn(Model::Arvel);
    ASSERT_TRUE(sim);
    w->tabview->setCurrentIndex(1);
    EXPECT_EQ(w->curState(), 1);
    EXPECT_EQ(logins, 0);
    QTest::mouseClick(w->btnSetTeacherID, Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return w->lightTeacher->color() == QColor(Qt::green); }));
    EXPECT_EQ(programFrames(sim), QList<QByteArray>{QByteArray::fromHex("6080E0")});
}

TEST_F(DeviceSettingCtrlTest, ArvelChannelAndBandAreReadSetAndConfirmed)
{
    SimReceiver::Options o;
    o.channel = 23;
    o.band = 1;
    SimReceiver *sim = openOn(Model::Arvel, o);
    ASSERT_TRUE(sim);
    // The channel page needs a login every time; a failed one keeps the page shown.
    loginAnswer = false;
    w->tabview->setCurrentIndex(2);
    EXPECT_EQ(w->tabview->currentIndex(), 0);
    EXPECT_EQ(w->curState(), 0);
    loginAnswer = true;
    w->tabview->setCurrentIndex(2);
    EXPECT_EQ(logins, 2);
    EXPECT_EQ(w->curState(), 2);
    ASSERT_TRUE(waitFor([&] { return w->textBand->text() == QStringLiteral("1"); }));
    EXPECT_EQ(w->textChannelNo->text(), QStringLiteral("23"));
    EXPECT_EQ(programFrames(sim), QList<QByteArray>({QByteArray::fromHex("590059"), QByteArray::fromHex("59A0F9")}));

    sim->clearLogs();
    typeInto(w->textChannelNo, QStringLiteral("7"));
    w->doSetChannelNo();
    ASSERT_TRUE(waitFor([&] { return answers.alertTexts() == QStringList{kChannelOk}; }));
    EXPECT_EQ(programFrames(sim), QList<QByteArray>{QByteArray::fromHex("5E80DEB8B8B8B8B8B8B0B7")});
    EXPECT_EQ(sim->options().channel, 7);

    sim->clearLogs();
    typeInto(w->textBand, QStringLiteral("2"));
    w->doSetBand();
    ASSERT_TRUE(waitFor([&] { return answers.alertTexts().size() == 2; }));
    EXPECT_EQ(answers.alertTexts().last(), QStringLiteral("Band setup successful."));
    EXPECT_EQ(programFrames(sim), QList<QByteArray>({QByteArray::fromHex("59B259"), QByteArray::fromHex("59A0F9")}));
    EXPECT_EQ(sim->options().band, 2);

    // A channel typed while the answer to the page chosen again is on its way stays.
    sim->setCommandsIgnored(true);
    sim->clearLogs();
    w->tabview->setCurrentIndex(0);
    w->tabview->setCurrentIndex(2);
    ASSERT_TRUE(waitFor([&] { return sim->framesFromProgram().size() == 1; }));
    typeInto(w->textChannelNo, QStringLiteral("12"));
    sim->setCommandsIgnored(false);
    const quint64 before = framesHandedOn();
    sim->sendFrame(SimReceiver::smallFrame(0x59, 0x0E)); // channel 7; the band is asked next
    ASSERT_TRUE(waitHandedOn(before, 2));
    EXPECT_EQ(w->textChannelNo->text(), QStringLiteral("12"));
    EXPECT_EQ(w->textBand->text(), QStringLiteral("2"));

    // Out of range as typed: the alert, and the value goes back to 0.
    typeInto(w->textChannelNo, QStringLiteral("50"));
    EXPECT_EQ(answers.alertTexts().last(), QStringLiteral("Channel number must be between 0 and 49"));
    EXPECT_EQ(w->textChannelNo->text(), QStringLiteral("0"));
    typeInto(w->textBand, QStringLiteral("4"));
    EXPECT_EQ(answers.alertTexts().last(), QStringLiteral("Band number must be between 0 and 3"));
    EXPECT_EQ(w->band(), 0);
}

TEST_F(DeviceSettingCtrlTest, AnUnansweredChannelSetIsReported)
{
    SimReceiver *sim = openOn(Model::Arvel);
    ASSERT_TRUE(sim);
    w->tabview->setCurrentIndex(2);
    ASSERT_TRUE(waitFor([&] { return sim->framesFromProgram().size() == 2; }));
    ASSERT_TRUE(waitFor([&] { return w->channelSetState() == 2; }));
    QTest::qWait(50);
    LinkTiming timing = LinkTiming::current();
    timing.setupAnswerMs = 150;
    LinkTiming::setCurrent(timing);
    sim->setCommandsIgnored(true);
    typeInto(w->textChannelNo, QStringLiteral("9"));
    w->doSetChannelNo();
    ASSERT_TRUE(waitFor([&] { return !answers.alerts().isEmpty(); }));
    EXPECT_EQ(answers.alertTexts(), QStringList{SetChannelCtrl::receiverDidNotAnswerText()});
}

TEST_F(DeviceSettingCtrlTest, BrevelHasNoTeacherPageNorBandAndConfirmsFromTheNewAddress)
{
    SimReceiver::Options o;
    o.channel = 5;
    SimReceiver *sim = openOn(Model::Brevel, o);
    ASSERT_TRUE(sim);
    EXPECT_EQ(w->tabview->count(), 2);
    EXPECT_EQ(w->channelPageIndex(), 1);

    typeInto(w->studentDeviceID, QStringLiteral("37"));
    // An FC frame from another keypad is no confirmation.
    sim->keypadFrame(38, 0xFC, QByteArray(1, '\x01'));
    w->doSetStudentID();
    ASSERT_TRUE(waitFor([&] { return w->lightStudent->color() == QColor(Qt::green); }));
    ASSERT_EQ(sim->framesFromProgram().size(), 1);
    const QByteArray write = sim->framesFromProgram().first().bytes;
    EXPECT_EQ(write.size(), 12);
    EXPECT_EQ(write.left(8), QByteArray::fromHex("FE01000700F52500"));
    EXPECT_EQ(quint8(write[10]), 0xE0);

    sim->clearLogs();
    sim->setCommandsIgnored(true);
    typeInto(w->studentDeviceID, QStringLiteral("36"));
    w->doSetStudentID();
    const quint64 before = framesHandedOn();
    sim->keypadFrame(38, 0xFC, QByteArray(1, '\x01'));
    ASSERT_TRUE(waitHandedOn(before));
    EXPECT_EQ(w->lightStudent->color(), QColor(Qt::red));
    sim->setCommandsIgnored(false);

    sim->clearLogs();
    w->tabview->setCurrentIndex(1);
    EXPECT_TRUE(w->bandBox->isHidden());
    ASSERT_TRUE(waitFor([&] { return w->textChannelNo->text() == QStringLiteral("5"); }));
    typeInto(w->textChannelNo, QStringLiteral("23"));
    w->doSetChannelNo();
    ASSERT_TRUE(waitFor([&] { return answers.alertTexts() == QStringList{kChannelOk}; }));
    EXPECT_EQ(programFrames(sim), QList<QByteArray>({QByteArray::fromHex("F200008072"), QByteArray::fromHex("F2002F815C")}));
    typeInto(w->textChannelNo, QStringLiteral("40"));
    EXPECT_EQ(answers.alertTexts().last(), QStringLiteral("Channel number must be between 0 and 39"));
}
