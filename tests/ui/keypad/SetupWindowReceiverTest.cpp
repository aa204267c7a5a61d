// The set-up windows work with the receiver of the model they opened for: a receiver of another
// model plugged in while one is open is no receiver to them, and a channel page chosen without one
// shows what the model's window shows then.

#include "support/DialogAnswers.h"
#include "support/ReceiverTest.h"

#include "core/keypad/DeviceController.h"
#include "ui/keypad/DeviceSettingCtrl.h"
#include "ui/keypad/HardwareTestCtrl.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

using keypadsim::Model;
using keypadsim::SimReceiver;

namespace {

class SetupWindowReceiverTest : public ReceiverTest
{
protected:
    void SetUp() override
    {
        ReceiverTest::SetUp();
        DeviceSettingCtrl::hooks().runLogin = [](QWidget *) { return true; };
    }
    void TearDown() override
    {
        DeviceSettingCtrl::hooks() = {};
        ReceiverTest::TearDown();
    }
    // A click on a page's tab, as the teacher chooses it.
    static void choosePage(DeviceSettingCtrl *w, int page)
    {
        QTabBar *bar = w->tabview->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
        ASSERT_EQ(w->tabview->currentIndex(), page);
    }
    static void typeInto(QLineEdit *field, const QString &text)
    {
        field->setFocus();
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, text);
    }
};

const QString kNoHost = QStringLiteral("No Host");

} // namespace

// Whatever the teacher does in the window then, the receiver of another model is sent nothing,
// and the window says there is no receiver, as it does without one.
TEST_F(SetupWindowReceiverTest, AReceiverOfAnotherModelPluggedInIsSentNothing)
{
    struct Case
    {
        const char *name;
        Model windowFor;
        Model pluggedIn;
        // Opens the window over its receiver; what it needs from that receiver is there once it returns.
        std::function<QWidget *()> open;
        // What the teacher does once the other receiver is in; the window is closed by it.
        std::function<void(QWidget *)> use;
        int alerts; // "No Host", once for each button that needs the receiver
    };
    const auto settingsOnTheChannelPage = []() -> QWidget * {
        auto *w = new DeviceSettingCtrl;
        w->show();
        DeviceController::ShareDeviceController()->setDelegateOfPort(w);
        choosePage(w, w->channelPageIndex());
        if (!waitFor([&] {
                return w->textChannelNo->text() == QStringLiteral("23") && (w->nDeviceType() != 1 || !w->textBand->text().isEmpty());
            }))
            ADD_FAILURE() << "the receiver's channel and band never came";
        return w;
    };
    const auto useSettings = [](QWidget *window) {
        auto *w = qobject_cast<DeviceSettingCtrl *>(window);
        EXPECT_TRUE(waitFor([&] { return w->textChannelNo->text() == QStringLiteral("0"); }));
        QTest::mouseClick(w->btnSetChannelNo, Qt::LeftButton);
        if (w->nDeviceType() == 1)
            QTest::mouseClick(w->btnSetBand, Qt::LeftButton);
        choosePage(w, 0);
        typeInto(w->studentDeviceID, QStringLiteral("37"));
        QTest::mouseClick(w->btnSetStudentID, Qt::LeftButton);
        if (w->nDeviceType() == 1) {
            choosePage(w, 1);
            QTest::mouseClick(w->btnSetTeacherID, Qt::LeftButton);
        }
        QTest::mouseClick(w->btnClose, Qt::LeftButton);
    };
    const Case cases[] = {
        {"keypad settings for Arvel, a Brevel plugged in", Model::Arvel, Model::Brevel, settingsOnTheChannelPage, useSettings, 4},
        {"keypad settings for Brevel, an Arvel plugged in", Model::Brevel, Model::Arvel, settingsOnTheChannelPage, useSettings, 2},
        {"Hardware Test for Dravel, an Arvel plugged in", Model::Dravel, Model::Arvel,
         []() -> QWidget * {
             auto *w = new HardwareTestCtrl;
             w->setMode(1);
             w->show();
             DeviceController::ShareDeviceController()->setDelegateOfPort(w);
             return w;
         },
         [](QWidget *window) {
             auto *w = qobject_cast<HardwareTestCtrl *>(window);
             EXPECT_EQ(w->teacherKey->text(), kNoHost);
             QTest::mouseClick(w->btnReset, Qt::LeftButton);
             QTest::mouseClick(w->btnOK, Qt::LeftButton);
         },
         0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(restartLinkNaming({}));
        DialogAnswers alerts;
        SimReceiver::Options o;
        o.channel = 23;
        ASSERT_TRUE(plugIn(c.windowFor, o));
        std::unique_ptr<QWidget> window(c.open());
        SimReceiver *other = plugIn(c.pluggedIn);
        ASSERT_TRUE(other && waitFor([&] { return app()->getBHaveDevice(); }));
        ASSERT_EQ(DeviceController::ShareDeviceController()->currentDevice()->bsdPath(), other->portPath());
        // The line keeps order: once a question of the receiver's own model has come, whatever
        // the program sent before it is there too, whatever the model makes of it.
        const QByteArray marker = QByteArray::fromHex(c.pluggedIn == Model::Arvel ? "590059" : "F200008072");
        const auto sentUpToMarker = [&] {
            QByteArray sent;
            EXPECT_TRUE(DeviceController::ShareDeviceController()->currentDevice()->sendData(marker));
            EXPECT_TRUE(waitFor([&] {
                sent.clear();
                for (const auto &chunk : other->byteLog())
                    if (chunk.direction == keypadsim::SimFrame::FromProgram)
                        sent += chunk.bytes;
                return sent.endsWith(marker);
            }));
            other->clearLogs();
            sent.chop(marker.size());
            return sent;
        };
        sentUpToMarker(); // its discovery
        c.use(window.get());
        EXPECT_FALSE(window->isVisible());
        EXPECT_EQ(alerts.alertTexts(), QStringList(c.alerts, kNoHost));
        const QByteArray sent = sentUpToMarker();
        EXPECT_TRUE(sent.isEmpty()) << "sent " << sent.toHex(' ').toStdString();
    }
}

// The channel page chosen without a receiver: an Arvel's shows 0 in both fields (the channel
// and band typed while the receiver is out are kept for the one to come), a Brevel's and an
// Envel's nothing, as nothing is known.
TEST_F(SetupWindowReceiverTest, AChannelPageChosenWithoutAReceiverShowsWhatItsModelShows)
{
    struct Case
    {
        const char *name;
        int model;
        QString typedBefore; // into the channel field, the page chosen before
        QString channel, band;
    };
    const Case cases[] = {
        {"Arvel", 1, {}, QStringLiteral("0"), QStringLiteral("0")},
        {"Arvel, a channel typed", 1, QStringLiteral("7"), QStringLiteral("7"), QStringLiteral("0")},
        {"Brevel", 4, {}, {}, {}},
        {"Brevel, a channel typed", 4, QStringLiteral("7"), QStringLiteral("7"), {}},
        {"Envel", 0, {}, {}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(restartLinkNaming({}));
        DeviceController::ShareDeviceController()->setCurDeviceType(c.model);
        DeviceSettingCtrl w;
        w.show();
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        const int channelPage = w.channelPageIndex();
        if (!c.typedBefore.isEmpty()) {
            choosePage(&w, channelPage);
            typeInto(w.textChannelNo, c.typedBefore);
            choosePage(&w, 0);
        }
        choosePage(&w, channelPage);
        EXPECT_EQ(w.curState(), 2);
        EXPECT_EQ(w.textChannelNo->text(), c.channel);
        EXPECT_EQ(w.textBand->text(), c.band);
        EXPECT_EQ(QApplication::focusWidget(), w.textChannelNo) << "the channel takes the keys";
    }
}
