#include "core/keypad/DeviceController.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/TovConfigXmlDatabase.h"
#include "core/store/TovUserListXmlDatabase.h"
#include "platform/AtomicFile.h"
#include "platform/NotificationCenter.h"
#include "support/DialogAnswers.h"
#include "support/OrdinaryUser.h"
#include "support/PollixTest.h"
#include "support/RealAlerts.h"
#include "ui/app/EnterUserNameAndPassWordController.h"
#include "ui/app/LoginSetCtrl.h"
#include "ui/app/SystemSettingCtrl.h"
#include "ui/controls/LoginController.h"
#include "ui/controls/ProgressControl.h"
#include "ui/presentation/Show.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTest>

namespace {
// The built-in account's password as the teacher types it (the teacher's guide gives it); UserList.xml
// keeps it scrambled as "wopa".
QString builtInPassword()
{
    EXPECT_EQ(GlobalFunctions::encryptForPasswordString(QStringLiteral("thqh")), QStringLiteral("wopa"));
    return QStringLiteral("thqh");
}
} // namespace

class LoginTest : public PollixTest
{
protected:
    void SetUp() override
    {
        PollixTest::SetUp();
        LoginController::setIsLogin(false);
    }
    DialogAnswers answers;
};

TEST_F(LoginTest, LoginButtonFollowsTheUserNameField)
{
    LoginController dialog;
    EXPECT_FALSE(dialog.buttonLogin->isEnabled()) << "no user name typed yet";
    dialog.textPassword->setText("anything");
    dialog.textName->setText("a");
    EXPECT_TRUE(dialog.buttonLogin->isEnabled());
    dialog.textName->clear();
    EXPECT_FALSE(dialog.buttonLogin->isEnabled());
}

TEST_F(LoginTest, NameInAnyCaseLogsInWrongPasswordKeepsTheDialogOpen)
{
    LoginController dialog;
    dialog.textName->setText("TOVANI");
    dialog.textPassword->setText(builtInPassword() + "x");
    dialog.doLogin();
    EXPECT_EQ(answers.alertTexts(), QStringList{"Invalid user name or password!"});
    EXPECT_FALSE(LoginController::isLogin());
    dialog.textPassword->setText(builtInPassword());
    dialog.doLogin();
    EXPECT_TRUE(LoginController::isLogin());
    EXPECT_EQ(dialog.result(), 1);
    // Cancelling a later dialog logs out.
    LoginController second;
    second.doCancel();
    EXPECT_FALSE(LoginController::isLogin());
    EXPECT_EQ(second.result(), 0);
}

TEST_F(LoginTest, ChangeChecksInOrder)
{
    LoginSetCtrl dialog;
    dialog.textUserName->setText("tovani");
    dialog.textOldPassword->setText("wrong");
    dialog.doOK();
    dialog.textNewUserName->setText("smith");
    dialog.doOK();
    dialog.textNewPassword->setText("pw");
    dialog.doOK();
    dialog.textOldPassword->setText(builtInPassword());
    dialog.doOK(); // empty confirmation
    EXPECT_EQ(answers.alertTexts(), (QStringList{"The new user name or the new password cannot be empty.",
                                                 "The new user name or the new password cannot be empty.",
                                                 "Invalid user name or password.", "New passwords are not the same."}));
    for (const AlertRequest &a : answers.alerts())
        EXPECT_EQ(a.title, "Pollix ARS");
    dialog.textConfirmPassword->setText("pw");
    dialog.doOK();
    EXPECT_EQ(dialog.result(), 1);
    UserEntity smith;
    smith.setName("Smith");
    smith.setPassword(GlobalFunctions::encryptForPasswordString("pw"));
    EXPECT_TRUE(TovUserListXmlDatabase::sharedUI()->isValidUser(smith));
    EXPECT_FALSE(LoginController::isLogin()); // changing an account logs nobody in
}

TEST_F(LoginTest, FailedWriteIsReportedAndNothingChanges)
{
    LoginSetCtrl dialog;
    dialog.textUserName->setText("tovani");
    dialog.textOldPassword->setText(builtInPassword());
    dialog.textNewUserName->setText("smith");
    dialog.textNewPassword->setText("pw");
    dialog.textConfirmPassword->setText("pw");
    TovUserListXmlDatabase::sharedUI();
    AtomicFile::setFailureHook([](const QString &path) { return path.endsWith("UserList.xml"); });
    dialog.doOK();
    AtomicFile::setFailureHook({});
    EXPECT_EQ(answers.alertTexts(), QStringList{"The new user name and password could not be saved."});
    EXPECT_NE(dialog.result(), 1);
    UserEntity old;
    old.setName("tovani");
    old.setPassword(GlobalFunctions::encryptForPasswordString(builtInPassword()));
    EXPECT_TRUE(TovUserListXmlDatabase::sharedUI()->isValidUser(old));
}

// A school image: the data folder is read-only and holds no accounts' file. The built-in account,
// which that file would hold, logs in without a write; a refused login says why it may be refused.
TEST_F(LoginTest, InAReadOnlyFolderWithoutTheAccountsFileTheBuiltInAccountLogsInAndARefusalSaysWhy)
{
    POLLIX_AS_ORDINARY_USER();
    const QString data = app()->strDataFilePath();
    ASSERT_TRUE(QDir().mkpath(data));
    ASSERT_TRUE(QFile::setPermissions(data, QFile::ReadOwner | QFile::ExeOwner));
    const auto tryLogin = [](const QString &name, const QString &password) {
        LoginController dialog;
        dialog.show();
        QTest::keyClicks(dialog.textName, name);
        QTest::keyClicks(dialog.textPassword, password);
        QTest::mouseClick(dialog.buttonLogin, Qt::LeftButton);
        return dialog.result() == 1;
    };

    EXPECT_FALSE(tryLogin("tovani", "wrong"));
    ASSERT_EQ(answers.alertTexts(), QStringList{"Invalid user name or password!"});
    const QString why = answers.alerts()[0].informativeText;
    EXPECT_TRUE(why.contains(QDir::toNativeSeparators(QFileInfo(data).absolutePath()) + " is read-only")) << why.toStdString();
    EXPECT_TRUE(why.contains("Permission denied")) << why.toStdString();
    EXPECT_TRUE(tryLogin("Tovani", builtInPassword()));
    EXPECT_TRUE(LoginController::isLogin());
    EXPECT_EQ(answers.alerts().size(), 1);
    EXPECT_FALSE(QFile::exists(data + "UserList.xml"));

    // An accounts' file that cannot be read logs nobody in, and the refusal says so.
    LoginController::setIsLogin(false);
    ASSERT_TRUE(QFile::setPermissions(data, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    ASSERT_TRUE(TovUserListXmlDatabase::createXmlFileAtPath(data + "UserList.xml"));
    ASSERT_TRUE(QFile::setPermissions(data + "UserList.xml", {}));
    TovUserListXmlDatabase::sharedUI()->loadUserList();
    EXPECT_FALSE(tryLogin("tovani", builtInPassword()));
    ASSERT_EQ(answers.alerts().size(), 2);
    EXPECT_TRUE(answers.alerts()[1].informativeText.contains("cannot be read")) << answers.alerts()[1].informativeText.toStdString();
    EXPECT_FALSE(LoginController::isLogin());
}

TEST_F(LoginTest, CredentialsPromptCancelEndsThePromptOnly)
{
    EnterUserNameAndPassWordController prompt;
    prompt.userName->setText("u");
    prompt.passWord->setText("p");
    prompt.onCancel();
    EXPECT_EQ(prompt.result(), 0);
    EXPECT_TRUE(prompt.strName().isEmpty());
    EnterUserNameAndPassWordController ok;
    ok.userName->setText("u");
    ok.passWord->setText("p");
    ok.onOK();
    EXPECT_EQ(ok.result(), 1);
    EXPECT_EQ(ok.strName(), "u");
    EXPECT_EQ(ok.strPassWord(), "p");
}

TEST_F(LoginTest, ProgressStepsAndSelfClosing)
{
    ProgressControl four;
    four.setMaxValue(4);
    four.show();
    QList<int> seen;
    for (int step = 1; step <= 4; ++step) {
        four.showProgress(step);
        seen << four.progress->value();
    }
    EXPECT_EQ(seen, (QList<int>{25, 50, 75, 100}));
    EXPECT_FALSE(four.isVisible());

    ProgressControl three;
    three.setMaxValue(3);
    three.show();
    three.showProgress(1);
    EXPECT_EQ(three.progress->value(), 33);
    three.showProgress(2);
    EXPECT_EQ(three.progress->value(), 66);
    EXPECT_TRUE(three.isVisible());

    ProgressControl one;
    one.setMaxValue(1);
    one.show();
    one.showProgress(1);
    EXPECT_FALSE(one.isVisible());
}

TEST_F(LoginTest, ShowButtonPostsAndCloses)
{
    int posted = 0;
    QObject observer;
    NotificationCenter::defaultCenter()->addObserver(&observer, "ShowHideWindowMeg", [&](const Notification &) { ++posted; });
    Show button;
    button.show();
    QTest::mouseClick(button.findChild<QPushButton *>("btnShow"), Qt::LeftButton);
    EXPECT_EQ(posted, 1);
    EXPECT_FALSE(button.isVisible());
}

TEST_F(LoginTest, SystemSettingsLoadSaveAndKeepOffPaths)
{
    TovConfigXmlDatabase *config = TovConfigXmlDatabase::sharedConfigUI();
    SystemSettingCtrl page;
    EXPECT_FALSE(page.checkEnter->isChecked());
    EXPECT_FALSE(page.browseEnter->isEnabled());
    EXPECT_TRUE(page.textEnter->text().endsWith("Enter.WAV"));
    EXPECT_EQ(page.slideSpeed->value(), 30);

    QTest::mouseClick(page.checkStart, Qt::LeftButton);
    EXPECT_TRUE(page.browseStart->isEnabled());
    QFile chime(home() + "chime.wav");
    ASSERT_TRUE(chime.open(QIODevice::WriteOnly));
    chime.write(QByteArray("RIFF\x24\0\0\0WAVEfmt ", 16));
    chime.close();
    answers.answerFile(home() + "chime.wav");
    QTest::mouseClick(page.browseStart, Qt::LeftButton);
    EXPECT_EQ(page.textStart->text(), home() + "chime.wav");
    EXPECT_EQ(config->musicByName("Start Answer")->path(), home() + "Start.WAV"); // not stored yet

    page.textEnter->setText("/sounds/off.wav"); // switched off, path kept
    page.slideSpeed->setValue(55);
    int mouseSpeed = -1;
    SystemSettingCtrl::hooks().setMouseSpeed = [&](int v) { mouseSpeed = v; };
    page.doSave();
    SystemSettingCtrl::hooks() = {};
    EXPECT_EQ(answers.alertTexts(), QStringList{"Successfully Saved."});
    EXPECT_EQ(config->musicByName("Start Answer")->path(), home() + "chime.wav");
    EXPECT_EQ(config->musicByName("Start Answer")->state(), 1);
    EXPECT_EQ(config->musicByName("Enter Activity")->path(), "/sounds/off.wav");
    EXPECT_EQ(config->musicByName("Enter Activity")->state(), 0);
    EXPECT_EQ(config->getMouseValue(), 55);
    EXPECT_EQ(mouseSpeed, 55);
}

TEST_F(LoginTest, SystemSettingsSaveFailureIsNotASuccess)
{
    TovConfigXmlDatabase::sharedConfigUI();
    SystemSettingCtrl page;
    AtomicFile::setFailureHook([](const QString &) { return true; });
    page.doSave();
    AtomicFile::setFailureHook({});
    EXPECT_EQ(answers.alertTexts(), QStringList{"The settings could not be saved."});
}

TEST_F(LoginTest, SystemSettingsFollowTheReceiverModel)
{
    // Envel 0, Arvel 1, Corvel 2, Dravel 3, Brevel 4.
    const QList<bool> sendQuestionShown{true, false, false, true, false};
    for (int type = 0; type <= 4; ++type) {
        DeviceController::ShareDeviceController()->setCurDeviceType(type);
        SystemSettingCtrl page;
        EXPECT_EQ(!page.browseSendQuestion->isHidden(), sendQuestionShown.at(type)) << type;
        EXPECT_EQ(page.browseSendQuestion->isEnabled(), sendQuestionShown.at(type)) << type;
        EXPECT_EQ(page.slideSpeed->isEnabled(), type != 1) << type;
    }
}

// A sound switched on that would stay silent in a run is refused with the reason, and nothing is
// stored until every sound switched on is one this computer plays.
TEST_F(LoginTest, SystemSettingsRefuseASoundThatIsNone)
{
    TovConfigXmlDatabase *config = TovConfigXmlDatabase::sharedConfigUI();
    QFile text(home() + "notes.wav");
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("just some words, no sound\n");
    text.close();
    // Named as an MP3 and starting as one, with no sound in it: only the player can tell.
    QFile fake(home() + "fake.mp3");
    ASSERT_TRUE(fake.open(QIODevice::WriteOnly));
    fake.write(QByteArray("ID3\x04\x00\x00\x00\x00\x00\x00", 10) + QByteArray(2000, 'x'));
    fake.close();
    SystemSettingCtrl page;
    QTest::mouseClick(page.checkStart, Qt::LeftButton);
    page.slideSpeed->setValue(70);
    auto *save = page.findChild<QPushButton *>("btnSave");
    const QList<std::pair<QString, QString>> refused{{home(), "Start Answer: it is a folder."},
                                                     {home() + "notes.wav", "Start Answer: it is not a WAV or MP3 sound."},
                                                     {"  ", "Start Answer: no file is chosen."},
                                                     {home() + "gone.wav", "Start Answer: No such file or directory."}};
    for (const auto &[path, reason] : refused) {
        page.textStart->setText(path);
        QTest::mouseClick(save, Qt::LeftButton);
        ASSERT_FALSE(answers.alerts().isEmpty());
        EXPECT_EQ(answers.alerts().last().text, "The settings could not be saved.") << path.toStdString();
        EXPECT_EQ(answers.alerts().last().informativeText, reason) << path.toStdString();
        EXPECT_EQ(page.textStart->text(), path) << "the teacher's typing stays to be mended";
        EXPECT_EQ(config->musicByName("Start Answer")->state(), 0);
        EXPECT_EQ(config->musicByName("Start Answer")->path(), home() + "Start.WAV");
        EXPECT_EQ(config->getMouseValue(), 30);
    }
    page.textStart->setText(home() + "fake.mp3");
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_EQ(answers.alerts().last().text, "The settings could not be saved.");
    EXPECT_TRUE(answers.alerts().last().informativeText.startsWith("Start Answer: it cannot be played ("))
        << answers.alerts().last().informativeText.toStdString();
    EXPECT_EQ(config->musicByName("Start Answer")->state(), 0);
    // Switched off, the same path is kept as it is; a real MP3 plays.
    page.textStart->setText(home() + "gone.wav");
    QTest::mouseClick(page.checkStart, Qt::LeftButton);
    QTest::mouseClick(page.checkStop, Qt::LeftButton);
    ASSERT_TRUE(QFile::copy(testDataPath("run/mp3-sound/Bell.mp3"), home() + "bell.mp3"));
    page.textStop->setText(home() + "bell.mp3");
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_EQ(answers.alerts().last().text, "Successfully Saved.");
    EXPECT_EQ(config->musicByName("Start Answer")->path(), home() + "gone.wav");
    EXPECT_EQ(config->musicByName("Stop Answer")->state(), 1);
    EXPECT_EQ(config->getMouseValue(), 70);
}

// Escape, the close box and Close ask before edits are dropped; Escape or the close box on the
// question keep them; No drops them and Yes stores them, each closing the page.
TEST_F(LoginTest, SystemSettingsAskBeforeEveryWayOutDropsAnEdit)
{
    TovConfigXmlDatabase *config = TovConfigXmlDatabase::sharedConfigUI();
    {
        SystemSettingCtrl page;
        page.show();
        RealAlerts::pressEscape(&page);
        EXPECT_FALSE(page.isVisible()) << "nothing changed: no question";
    }
    SystemSettingCtrl page;
    page.show();
    page.slideSpeed->setValue(80);
    auto *close = page.findChild<QPushButton *>("btnClose");
    for (RealAlerts::Way way : {RealAlerts::Way::Escape, RealAlerts::Way::CloseBox}) {
        RealAlerts real;
        for (int i = 0; i < 3; ++i)
            real.leave(way);
        for (const auto &wayOut : RealAlerts::waysOut(&page, close)) {
            wayOut();
            EXPECT_TRUE(page.isVisible());
            EXPECT_EQ(page.slideSpeed->value(), 80);
        }
        EXPECT_EQ(real.seen(), QStringList(3, QStringLiteral("Do you want to save the change ?")));
        EXPECT_EQ(real.stuck(), 0);
    }
    {
        RealAlerts real;
        real.click(1); // No
        RealAlerts::closeBox(&page);
        EXPECT_FALSE(page.isVisible());
    }
    EXPECT_EQ(config->getMouseValue(), 30);

    SystemSettingCtrl again;
    again.show();
    again.slideSpeed->setValue(15);
    {
        RealAlerts real;
        real.click(0); // Yes
        real.click(0); // "Successfully Saved."
        RealAlerts::pressEscape(&again);
        EXPECT_FALSE(again.isVisible());
    }
    EXPECT_EQ(config->getMouseValue(), 15);
}

// A stored speed of 0 (the keypad mouse stopped) survives a save of the sounds.
TEST_F(LoginTest, SystemSettingsKeepAStoredMouseSpeedOfZero)
{
    TovConfigXmlDatabase *config = TovConfigXmlDatabase::sharedConfigUI();
    ASSERT_TRUE(config->updateMouseSettionValue(0));
    SystemSettingCtrl page;
    EXPECT_EQ(page.slideSpeed->value(), 0);
    page.doSave();
    EXPECT_EQ(config->getMouseValue(), 0);
}
