#include "core/authoring/ExamPaperInfo.h"
#include "core/keypad/DeviceController.h"
#include "core/engine/QuizParticipantData.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovSubjectXmlDatabase.h"
#include "core/store/TovTeacherXmlDatabase.h"
#include "support/CommandFolder.h"
#include "support/DialogAnswers.h"
#include "support/ReceiverTest.h"
#include "ui/app/DataManagementCtrl.h"
#include "ui/controls/LoginController.h"
#include "ui/app/TabController.h"
#include "ui/app/WelcomeWindowController.h"
#include "ui/roster/ClassSetController.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

using keypadsim::Model;
using keypadsim::SimReceiver;

namespace {

QStringList items(const QComboBox *box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

void choose(QComboBox *box, const QString &text)
{
    const int i = box->findText(text);
    ASSERT_GE(i, 0) << text.toStdString();
    box->setCurrentIndex(i);
    emit box->activated(i);
}

} // namespace

// The main window on a given model, with every outside window answered by the test.
class TabControllerTest : public ReceiverTest
{
protected:
    void SetUp() override
    {
        ReceiverTest::SetUp();
        TabController::resetHooks();
        auto &h = TabController::hooks();
        h.runSplash = [](QWidget *) {};
        h.runSystemChoice = [](QWidget *) {};
        h.runLogin = [this](QWidget *) {
            ++logins;
            return loginAnswer;
        };
        h.runReport = [this](QWidget *) { ++reports; };
        h.runChannelSet = [this](QWidget *, int type) { channelSets << type; };
        h.runClassSet = [this](QWidget *, TabController::ClassSetup &setup) {
            ++classSets;
            setup.classNo = 1;
            setup.className = className;
            setup.teacherName = QStringLiteral("Lee");
            setup.maxGroupNo = maxGroupNo;
            return classResult;
        };
        h.startActivity = [this](TabController *, const TabController::StartRequest &r) { starts << r; };
        h.runTitleSet = [this](QWidget *, const QString &, bool) { ++titleSets; };
        h.startsFreeStyle = true;
        h.startsPresentations = true;
    }
    void TearDown() override
    {
        window.reset();
        TabController::resetHooks();
        ReceiverTest::TearDown();
    }

    TabController *open(int deviceType, int usbType = -1)
    {
        DeviceController::ShareDeviceController()->setCurDeviceType(deviceType);
        DeviceController::ShareDeviceController()->setUSBDeviceTye(usbType);
        window = std::make_unique<TabController>();
        window->awakeFromNib();
        return window.get();
    }

    QString questionFile(const QString &name, const QList<int> &types, int examId = 77)
    {
        ExamPaperInfo set;
        set.setNExamPaperID(examId);
        QList<QuestionSetViewPtr> pages;
        for (int t : types) {
            auto page = QuestionSetView::createTemplate(0, QSizeF(800, 600));
            page->setNQuestionType(t);
            pages << page;
        }
        set.setArrayQuestionsInfo(pages);
        const QString path = home() + name;
        EXPECT_TRUE(set.writeToFile(path));
        return path;
    }

    void load(const QString &path)
    {
        answers.answerFile(path);
        window->btnLoad->click();
    }

    DialogAnswers answers;
    std::unique_ptr<TabController> window;
    bool loginAnswer = true;
    int logins = 0, reports = 0, classSets = 0, titleSets = 0;
    int classResult = 1;
    int maxGroupNo = 3;
    QString className = QStringLiteral("7A");
    QList<int> channelSets;
    QList<TabController::StartRequest> starts;
};

TEST_F(TabControllerTest, ActivityListsPerModelAndParticipation)
{
    const QStringList arvel{"Normal Quiz", "Paper Quiz", "Rush Quiz", "Elimination", "Multiple Mode", "Vote", "Attendance"};
    const QStringList corvel{"Normal Quiz", "Paper Quiz", "Homework", "Rush Quiz", "Elimination", "Multiple Mode", "Vote", "Attendance"};
    const QStringList group{"Normal Quiz", "Rush Quiz", "Elimination"};
    for (int type : {0, 1, 4}) {
        open(type);
        EXPECT_EQ(items(window->cboActivityMode), arvel) << type;
        choose(window->cboParticipationMode, "Group");
        EXPECT_EQ(items(window->cboActivityMode), group) << type;
        window->chkStyle->click();
        EXPECT_EQ(items(window->cboActivityMode), group) << type; // free style
    }
    for (int type : {2, 3}) {
        open(type);
        EXPECT_EQ(items(window->cboActivityMode), corvel) << type;
        window->chkStyle->click();
        EXPECT_EQ(items(window->cboActivityMode), (QStringList{"Normal Quiz", "Rush Quiz", "Elimination", "Vote"}));
        EXPECT_EQ(window->curActivityMode(), 9);
        choose(window->cboParticipationMode, "Group");
        EXPECT_EQ(items(window->cboActivityMode), group);
    }
    open(-1);
    EXPECT_EQ(window->cboActivityMode->count(), 0);
}

TEST_F(TabControllerTest, HomeworkBecomesPaperQuizOnAnArvelReceiver)
{
    open(3);
    choose(window->cboActivityMode, "Homework");
    EXPECT_EQ(window->curActivityMode(), 2);
    window->setClassSetted(true);
    DeviceController::ShareDeviceController()->setCurDeviceType(1);
    window->deviceChanged();
    EXPECT_EQ(window->cboActivityMode->currentIndex(), 1);
    EXPECT_EQ(window->cboActivityMode->currentText(), "Paper Quiz");
    EXPECT_EQ(window->curActivityMode(), 1);
    EXPECT_FALSE(window->bIsClassSetted());
}

TEST_F(TabControllerTest, TitleNamesModelConnectionAndClass)
{
    open(3, 3);
    EXPECT_EQ(window->windowTitle(), "Pollix (TovDravel Connected)");
    EXPECT_EQ(window->btnChannelSet->text(), "Channel");
    window->doClassSet();
    EXPECT_EQ(window->windowTitle(), "Pollix (TovDravel Connected) Class:7A");

    open(4, -1);
    EXPECT_EQ(window->windowTitle(), "Pollix (TovBrevel No Host)");
    EXPECT_EQ(window->btnChannelSet->text(), "Remote ID");
    open(2, 3); // a Dravel on USB while the window is set up for Corvel
    EXPECT_EQ(window->windowTitle(), "Pollix (TovCorvel No Host)");
    open(0, -1);
    EXPECT_EQ(window->windowTitle(), "Pollix (TovEnvel No Host)");
}

TEST_F(TabControllerTest, ReportsTabOnSmallModelsOpensTheReportBehindALogin)
{
    open(1);
    loginAnswer = false;
    window->tabView->setCurrentIndex(2);
    EXPECT_EQ(logins, 1);
    EXPECT_EQ(reports, 0);
    EXPECT_EQ(window->tabView->currentIndex(), 0);
    EXPECT_EQ(window->btnReport->property("imageName").toString(), "lock.png");

    loginAnswer = true;
    window->tabView->setCurrentIndex(2);
    EXPECT_EQ(logins, 2);
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(window->tabView->currentIndex(), 0);
    EXPECT_EQ(window->curWinState(), 0);
    EXPECT_EQ(window->btnReport->property("imageName").toString(), "Report.png");
    EXPECT_TRUE(app()->isLogin());

    // The login lasts: no second question.
    window->tabView->setCurrentIndex(2);
    EXPECT_EQ(logins, 2);
    EXPECT_EQ(reports, 2);
    window->tabView->setCurrentIndex(3);
    EXPECT_EQ(window->curWinState(), 3);
    window->btnChannelSet->click();
    EXPECT_EQ(channelSets, QList<int>{1});
    EXPECT_EQ(logins, 2);
}

TEST_F(TabControllerTest, LoginDialogClassSetUpAndMainWindowShareOneLoginState)
{
    open(3);
    // A login through the login dialog itself (the built-in account; scrambling is its own inverse).
    LoginController login;
    login.textName->setText(QStringLiteral("tovani"));
    login.textPassword->setText(GlobalFunctions::encryptForPasswordString(QStringLiteral("wopa")));
    login.doLogin();
    EXPECT_TRUE(window->isLogIn());
    window->btnReport->click();
    EXPECT_EQ(logins, 0);
    EXPECT_EQ(reports, 1);

    // The class set-up dialog sees the login and logs the teacher out.
    TabController::hooks().runClassSet = [](QWidget *, TabController::ClassSetup &) {
        ClassSetController dialog;
        dialog.awakeFromNib();
        EXPECT_EQ(dialog.buttonAdmin->text(), "Logout");
        dialog.doLogin();
        return 0;
    };
    window->btnClassSet->click();
    EXPECT_FALSE(window->isLogIn());
    EXPECT_FALSE(LoginController::isLogin());
    EXPECT_EQ(window->btnReport->property("imageName").toString(), "lock.png");
    loginAnswer = false;
    window->btnReport->click();
    EXPECT_EQ(logins, 1);
    EXPECT_EQ(reports, 1);
}

TEST_F(TabControllerTest, DialogsOfTheFloatingMainWindowLowerItFirst)
{
    open(3);
    QList<bool> floating;
    TabController::hooks().runLogin = [&](QWidget *) {
        floating << window->isStatusLevel();
        return false;
    };
    window->raiseToStatusLevel();
    window->btnReport->click();

    // The teacher keypad asks for the quiz information with a class set up and nothing loaded:
    // the open panel comes up over the main window.
    window->doClassSet();
    DialogHooks::setFileResponder([&](const FileDialogRequest &) {
        floating << window->isStatusLevel();
        return QString();
    });
    window->raiseToStatusLevel();
    DataOfFrame ask = DataOfFrame::DataOfFrameCorvel();
    ask.setCmd(0xFE);
    ask.setAddr(0x00, 0xEF);
    const uint8_t zero = 0;
    ask.setData(&zero, 1);
    window->handleKeypadFrame(ask);
    EXPECT_EQ(floating, (QList<bool>{false, false}));
    EXPECT_FALSE(window->bIsLoaded());
}

TEST_F(TabControllerTest, ReportsTabOnLargeModelsIsATabAndGuardedButtonsAskFirst)
{
    open(2);
    window->tabView->setCurrentIndex(2);
    EXPECT_EQ(window->curWinState(), 2);
    EXPECT_EQ(logins, 0);
    loginAnswer = false;
    window->btnReport->click();
    window->btnChannelSet->click();
    EXPECT_EQ(logins, 2);
    EXPECT_EQ(reports, 0);
    EXPECT_TRUE(channelSets.isEmpty());
    loginAnswer = true;
    window->btnReport->click();
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(window->btnDatabase->property("imageName").toString(), "database.png");
    window->tabView->setCurrentIndex(1);
    EXPECT_EQ(window->curWinState(), 1);
    EXPECT_EQ(app()->objectToReceiveCommData(), window.get());
}

// Each Settings button opens its own window at a click, and the main window takes the keypads back
// once that window is gone, whichever window took them meanwhile.
TEST_F(TabControllerTest, SettingsButtonsOpenTheirWindowsAndTheKeypadsComeBack)
{
    QStringList opened;
    QObject other;
    const auto took = [&](const QString &what) {
        opened << what;
        app()->setObjectToReceiveCommData(&other);
    };
    auto &h = TabController::hooks();
    h.runVersionInfo = [&](QWidget *) { took("version"); };
    h.runHardwareTest = [&](QWidget *, int mode) { took(QStringLiteral("hardware test %1").arg(mode)); };
    h.runSystemSetting = [&](QWidget *) { took("system"); };
    h.runChannelSet = [&](QWidget *, int type) { took(QStringLiteral("channel %1").arg(type)); };
    h.runDataManagement = [&](QWidget *) {
        took("data");
        return false;
    };
    open(3);
    window->show();
    window->tabView->setCurrentIndex(3);
    for (QPushButton *b : {window->btnVersion, window->btnHardware, window->btnSystem, window->btnChannelSet, window->btnDatabase}) {
        QTest::mouseClick(b, Qt::LeftButton);
        EXPECT_EQ(app()->objectToReceiveCommData(), window.get()) << b->objectName().toStdString();
    }
    EXPECT_EQ(opened, QStringList({"version", "hardware test 1", "system", "channel 3", "data"}));
    EXPECT_EQ(logins, 1) << "one login serves the channel and the data management";
}

TEST_F(TabControllerTest, DataManagementOpensItsPageAfterALoginAndDataChangesDropTheClassSetUp)
{
    open(3);
    ASSERT_TRUE(window->btnDatabase->isEnabled());
    window->btnClassSet->click();
    ASSERT_TRUE(window->bIsClassSetted());

    // Closing the page without changing anything keeps the class set-up.
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    window->btnDatabase->click();
    EXPECT_EQ(logins, 1);
    EXPECT_TRUE(window->bIsClassSetted());

    // Clearing the activity records does not.
    QTimer::singleShot(0, [this] {
        auto *page = qobject_cast<DataManagementCtrl *>(QApplication::activeModalWidget());
        ASSERT_NE(page, nullptr);
        answers.answerAlert(1); // no backup first
        page->btnClearSession->click();
        page->btnOK->click();
    });
    window->btnDatabase->click();
    EXPECT_EQ(answers.alertTexts().last(), "The activity records  were successfully cleared.");
    EXPECT_FALSE(window->bIsClassSetted());
    EXPECT_FALSE(window->windowTitle().contains("Class:")) << "the title no longer names a class that is not set up";
    EXPECT_EQ(app()->objectToReceiveCommData(), window.get());
}

TEST_F(TabControllerTest, AttendanceStartsWithoutAFileAndKeepsLoadDisabled)
{
    open(3);
    EXPECT_FALSE(window->btnStart->isEnabled());
    choose(window->cboActivityMode, "Attendance");
    EXPECT_FALSE(window->btnLoad->isEnabled());
    EXPECT_TRUE(window->btnStart->isEnabled());
    window->btnStart->click(); // no class yet: the class set-up runs first
    EXPECT_EQ(classSets, 1);
    ASSERT_EQ(starts.size(), 1);
    EXPECT_EQ(starts.first().nMode, 8);
    EXPECT_FALSE(starts.first().testID.has_value());
    EXPECT_TRUE(window->btnStart->isEnabled());
    EXPECT_FALSE(window->btnLoad->isEnabled());

    // Leaving Attendance for the group list gives Load back.
    choose(window->cboParticipationMode, "Group");
    EXPECT_TRUE(window->btnLoad->isEnabled());
    choose(window->cboParticipationMode, "Individual");
    choose(window->cboActivityMode, "Normal Quiz");
    EXPECT_TRUE(window->btnLoad->isEnabled());
    EXPECT_FALSE(window->btnStart->isEnabled());
}

TEST_F(TabControllerTest, EachStartConsumesTheLoad)
{
    open(3);
    window->doClassSet();
    load(questionFile("quiz.px", {0, 1}, 77));
    EXPECT_TRUE(window->bIsLoaded());
    EXPECT_TRUE(window->btnStart->isEnabled());
    EXPECT_TRUE(window->btnTitleSet->isEnabled());
    EXPECT_TRUE(window->btnLoad->property("indicator").toBool());
    window->btnStart->click();
    ASSERT_EQ(starts.size(), 1);
    EXPECT_EQ(starts.first().testID.value_or(-1), 77);
    EXPECT_EQ(starts.first().strPath, home() + "quiz.px");
    EXPECT_EQ(starts.first().nDeviceType, 3);
    EXPECT_FALSE(window->bIsLoaded());
    EXPECT_FALSE(window->btnStart->isEnabled());
    EXPECT_FALSE(window->isRun());
}

TEST_F(TabControllerTest, RejectedFileKeepsThePreviousLoad)
{
    open(2);
    window->doClassSet();
    const QString good = questionFile("good.px", {0});
    load(good);
    writeFile("bad.px", "not a question file");
    load(home() + "bad.px");
    EXPECT_EQ(answers.alertTexts(), QStringList{"Error format!"});
    EXPECT_EQ(answers.alerts().first().title, "Warning");
    EXPECT_EQ(window->filePath(), good);
    EXPECT_TRUE(window->bIsLoaded());
}

TEST_F(TabControllerTest, PaperQuizOfTeachingPlansOnlyDoesNotStart)
{
    open(3);
    window->doClassSet();
    choose(window->cboActivityMode, "Paper Quiz");
    load(questionFile("plan.px", {4, 4}));
    window->btnStart->click();
    EXPECT_EQ(answers.alertTexts(), QStringList{"Teaching Plan"});
    EXPECT_EQ(answers.alerts().first().buttons, QStringList{"  \"F1\" OK  "});
    EXPECT_TRUE(starts.isEmpty());
    EXPECT_EQ(app()->objectToReceiveCommData(), window.get());
}

TEST_F(TabControllerTest, LoadNamesTheQuestionsTheKeypadsInUseCannotAnswer)
{
    open(1);
    window->doClassSet();
    // Multiple answer, cloze and short answer; the teaching plan is no question to answer.
    load(questionFile("mixed.px", {0, 1, 2, 4, 5, 3}));
    EXPECT_TRUE(window->bIsLoaded());
    ASSERT_EQ(answers.alertTexts(), QStringList{"The connected keypads cannot answer questions 2, 3, 6."});
    EXPECT_TRUE(answers.alerts().first().informativeText.contains("teaching pages"));
    load(questionFile("one.px", {0, 1}));
    EXPECT_EQ(answers.alertTexts().last(), "The connected keypads cannot answer question 2.");
    EXPECT_TRUE(window->btnStart->isEnabled()) << "the other questions still run";

    // A set the keypads answer whole, a paper quiz (the keypads hold the set), a Dravel receiver:
    // nothing to say.
    load(questionFile("fit.px", {0, 5, 4}));
    choose(window->cboActivityMode, "Paper Quiz");
    load(questionFile("mixed.px", {0, 1}));
    open(3);
    load(questionFile("mixed.px", {0, 1, 2, 3}));
    EXPECT_EQ(answers.alertTexts().size(), 2);
}

TEST_F(TabControllerTest, OneGroupClassDisablesStartUntilTheNextLoad)
{
    open(3);
    load(questionFile("quiz.px", {0}));
    choose(window->cboParticipationMode, "Group");
    maxGroupNo = 1;
    window->doClassSet();
    EXPECT_FALSE(window->btnStart->isEnabled());
    load(questionFile("quiz.px", {0}));
    EXPECT_TRUE(window->btnStart->isEnabled());
}

TEST_F(TabControllerTest, CancelInTheClassSetUpLeavesTheClassSetUpBefore)
{
    auto *classes = TovClassXmlDatabase::sharedClassUI();
    const int classNo = classes->addClassWithName(QStringLiteral("7A"));
    classes->addClassWithName(QStringLiteral("8B"));
    StudentEntity student;
    student.setId(QStringLiteral("S1"));
    student.setDeviceNo(1);
    ASSERT_TRUE(classes->addStudentWithData(student, classNo));
    SubjectEntity math;
    math.setName(QStringLiteral("Math"));
    ASSERT_TRUE(TovSubjectXmlDatabase::sharedSubjectUI()->addSubjectWithData(math));
    TeacherEntity lee;
    lee.setFirstName(QStringLiteral("Ann"));
    ASSERT_TRUE(TovTeacherXmlDatabase::sharedUI()->addTeacherWithData(lee));

    open(3);
    TabController::hooks().runClassSet = {};
    // OK in the real dialog, then Cancel after choosing another class.
    const auto inDialog = [](const std::function<void(ClassSetController *)> &act) {
        QTimer::singleShot(0, [act] {
            auto *dialog = qobject_cast<ClassSetController *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            act(dialog);
        });
    };
    inDialog([](ClassSetController *d) { QTest::mouseClick(d->buttonOk, Qt::LeftButton); });
    window->btnClassSet->click();
    ASSERT_TRUE(window->bIsClassSetted());
    load(questionFile("quiz.px", {0}));
    ASSERT_TRUE(window->btnStart->isEnabled());
    const QString title = window->windowTitle();
    ASSERT_TRUE(title.contains("7A")) << title.toStdString();

    inDialog([](ClassSetController *d) {
        choose(d->comboClass, "8B");
        EXPECT_EQ(d->classNo(), 2);
        QTest::mouseClick(d->buttonCancel, Qt::LeftButton);
    });
    window->btnClassSet->click();
    EXPECT_TRUE(window->bIsClassSetted());
    EXPECT_TRUE(window->btnStart->isEnabled());
    EXPECT_EQ(window->windowTitle(), title);
    EXPECT_EQ(QuizParticipantData::shareManager()->classNo(), classNo);
    EXPECT_EQ(QuizParticipantData::shareManager()->arrayClassStudents().size(), 1);
    window->btnStart->click();
    ASSERT_EQ(starts.size(), 1) << "Start runs the class set up before";

    // A class the roster windows deleted meanwhile is no longer set up.
    inDialog([classNo](ClassSetController *d) {
        ASSERT_TRUE(TovClassXmlDatabase::sharedClassUI()->deleteClassWithNo(classNo));
        d->doCancel();
    });
    window->btnClassSet->click();
    EXPECT_FALSE(window->bIsClassSetted());
    EXPECT_EQ(window->windowTitle(), "Pollix (TovDravel No Host)");
}

TEST_F(TabControllerTest, FreeStyleClearsTheLoadAndEnablesStart)
{
    open(2);
    load(questionFile("quiz.px", {0}));
    window->chkStyle->click();
    EXPECT_TRUE(window->isFreeStyle());
    EXPECT_FALSE(window->bIsLoaded());
    EXPECT_FALSE(window->btnLoad->isEnabled());
    EXPECT_TRUE(window->btnStart->isEnabled());
    window->doClassSet();
    window->btnStart->click();
    ASSERT_EQ(starts.size(), 1);
    EXPECT_TRUE(starts.first().bIsFreeStyle);
    EXPECT_TRUE(window->btnStart->isEnabled()); // free style keeps Start for the next run
}

TEST_F(TabControllerTest, SplashCountDownCanBeShortened)
{
    WelcomeWindowController::setDefaultSeconds(0);
    WelcomeWindowController splash;
    EXPECT_EQ(splash.runModal(), 0);
    WelcomeWindowController::setDefaultSeconds(2);
    WelcomeWindowController::setTickIntervalMs(5);
    WelcomeWindowController counted;
    counted.runModal();
    EXPECT_EQ(counted.ntime(), 0);
    WelcomeWindowController::setDefaultSeconds(5);
    WelcomeWindowController::setTickIntervalMs(1000);
}

// ---- the teacher keypad on a simulated receiver ----

class TabKeypadTest : public TabControllerTest
{
protected:
    SimReceiver *dravel()
    {
        SimReceiver *sim = plugIn(Model::Dravel);
        if (!sim || !waitFor([&] { return app()->getBHaveDevice(); }))
            return nullptr;
        sim->addKeypad(5);
        open(app()->currentDeviceType(), app()->usbDeviceType());
        sim->clearLogs();
        return sim;
    }
    static QList<QByteArray> sent(SimReceiver *sim)
    {
        QList<QByteArray> out;
        for (const auto &f : sim->framesFromProgram())
            out << f.bytes;
        return out;
    }
};

TEST_F(TabKeypadTest, StartKeyStartsOnTheBrightpollTabOnly)
{
    SimReceiver *sim = dravel();
    ASSERT_TRUE(sim);
    EXPECT_EQ(window->windowTitle(), "Pollix (TovDravel Connected)");
    window->chkStyle->click(); // Start enabled without a file
    window->doClassSet();

    window->tabView->setCurrentIndex(1);
    const quint64 before = framesHandedOn();
    sim->pressTeacherKey(0x8A);
    ASSERT_TRUE(waitHandedOn(before));
    EXPECT_TRUE(starts.isEmpty());

    window->tabView->setCurrentIndex(0);
    sim->pressTeacherKey(0x8A);
    ASSERT_TRUE(waitFor([&] { return starts.size() == 1; }));
    EXPECT_TRUE(starts.first().bIsFreeStyle);
}

TEST_F(TabKeypadTest, StartKeyWithoutAClassSaysSoAndSetsOneUp)
{
    SimReceiver *sim = dravel();
    ASSERT_TRUE(sim);
    window->chkStyle->click();
    sim->pressTeacherKey(0x8A);
    ASSERT_TRUE(waitFor([&] { return starts.size() == 1; }));
    EXPECT_EQ(classSets, 1);
    ASSERT_TRUE(waitFor([&] { return sent(sim).size() >= 1; }));
    EXPECT_EQ(sent(sim).first(), QByteArray::fromHex("F300EF0A16"));
}

TEST_F(TabKeypadTest, ClassInformationGoesToWhoeverAsked)
{
    SimReceiver *sim = dravel();
    ASSERT_TRUE(sim);
    const quint64 before = framesHandedOn();
    sim->sendFrame(SimReceiver::longFrame(0xF9, 0xEF00, QByteArray(1, '\0')));
    ASSERT_TRUE(waitHandedOn(before));
    QTest::qWait(50); // for the receiver to take what might have been sent
    EXPECT_TRUE(sent(sim).isEmpty()); // no class set up: nothing is sent

    className = QStringLiteral("ABCDEFGHIJKLMNO");
    window->doClassSet();
    sim->sendFrame(SimReceiver::longFrame(0xF9, 0xEF00, QByteArray(1, '\0')));
    sim->sendFrame(SimReceiver::longFrame(0xF9, 0x0005, QByteArray(1, '\0')));
    ASSERT_TRUE(waitFor([&] { return sent(sim).size() >= 2; }));
    const QList<QByteArray> frames = sent(sim);
    EXPECT_EQ(frames.at(0).left(4), QByteArray::fromHex("F900EF15")); // L: 14 + EE + "Lee" + EE + count
    EXPECT_EQ(frames.at(0).mid(4, 14), QByteArray("ABCDEFGHIJKL.."));
    EXPECT_EQ(frames.at(1).left(3), QByteArray::fromHex("F90500"));
}

TEST_F(TabKeypadTest, QuizInformationRequestWalksThroughSetUpLoadAndStart)
{
    SimReceiver *sim = dravel();
    ASSERT_TRUE(sim);
    const QString quiz = questionFile("quiz.px", {0});
    const QByteArray ask = SimReceiver::longFrame(0xFE, 0xEF00, QByteArray(1, '\0'));

    sim->sendFrame(ask); // no class: "no class" state, then the class set-up
    ASSERT_TRUE(waitFor([&] { return classSets == 1; }));
    answers.answerFile(quiz);
    sim->sendFrame(ask); // no file: "no file" state, then the load
    ASSERT_TRUE(waitFor([&] { return window->bIsLoaded(); }));
    sim->sendFrame(ask); // both: the quiz information, then the start
    ASSERT_TRUE(waitFor([&] { return starts.size() == 1; }));
    ASSERT_TRUE(waitFor([&] { return sent(sim).size() >= 3; }));
    const QList<QByteArray> frames = sent(sim);
    EXPECT_EQ(frames.at(0), QByteArray::fromHex("F300EF0A16"));
    EXPECT_EQ(frames.at(1), QByteArray::fromHex("F300EF0B17"));
    EXPECT_EQ(frames.at(2).left(3), QByteArray::fromHex("F900EF"));
    EXPECT_EQ(quint8(frames.at(2).at(3)), 2 + 1 + 3 + 1 + 6); // Dravel: no F7 byte
}

TEST_F(TabKeypadTest, LogoutRequestIsSentThreeTimes)
{
    SimReceiver *sim = dravel();
    ASSERT_TRUE(sim);
    sim->sendFrame(SimReceiver::longFrame(0xF5, 0xEF00, QByteArray::fromHex("E3")));
    ASSERT_TRUE(waitFor([&] { return sent(sim).size() >= 3; }));
    EXPECT_EQ(sent(sim).size(), 3);
    for (const QByteArray &f : sent(sim))
        EXPECT_EQ(f, QByteArray::fromHex("F600000301FFFFF4"));
}

TEST_F(TabKeypadTest, ArvelTeacherStartKeyWorksOnlyOnTheBrightpollTab)
{
    SimReceiver *sim = plugIn(Model::Arvel);
    ASSERT_TRUE(waitFor([&] { return app()->getBHaveDevice(); }));
    open(app()->currentDeviceType(), app()->usbDeviceType());
    ASSERT_EQ(window->curDeviceType(), 1);
    window->chkStyle->click();
    window->doClassSet();
    window->tabView->setCurrentIndex(3);
    const quint64 before = framesHandedOn();
    sim->pressTeacherKey(0x82);
    ASSERT_TRUE(waitHandedOn(before));
    EXPECT_TRUE(starts.isEmpty());
    window->tabView->setCurrentIndex(0);
    sim->pressTeacherKey(0x8A); // the large family's start key means nothing here
    ASSERT_TRUE(waitHandedOn(before, 2));
    EXPECT_TRUE(starts.isEmpty());
    sim->pressTeacherKey(0x82);
    ASSERT_TRUE(waitFor([&] { return starts.size() == 1; }));
}

TEST_F(TabControllerTest, DocumentThenAnswerSheetStartsTheSheetRun)
{
    // The desktop's opener notes what it was asked to open; the second time it finds no program.
    const QString opened = home() + "opened";
    const QString bin = CommandFolder::make(home() + "bin", {},
                                            {{"xdg-open", "printf '%s\\n' \"$1\" >> '" + opened.toUtf8() +
                                                              "'\n[ \"$(wc -l < '" + opened.toUtf8() + "')\" -lt 2 ] || "
                                                              "{ echo 'xdg-open: no method available for opening it' >&2; exit 3; }\n"}});
    ScopedEnvironment path({{"PATH", bin.toUtf8()}});
    open(3);
    window->doClassSet();
    const QString sheet = questionFile("sheet.sep", {0, 0}, 12);
    writeFile("paper.pdf", "%PDF-1.4");
    answers.answerFile(home() + "paper.pdf");
    load(sheet);
    ASSERT_TRUE(window->bIsLoaded());
    EXPECT_EQ(window->filePath(), sheet);
    QTest::mouseClick(window->btnStart, Qt::LeftButton);
    ASSERT_EQ(starts.size(), 1);
    EXPECT_EQ(starts.first().kind, TabController::StartRequest::AnswerSheet);
    EXPECT_EQ(starts.first().fileSepPath, home() + "paper.pdf");
    EXPECT_EQ(starts.first().testID.value_or(-1), 12);
    // The document is shown beside the run by the desktop's program.
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo(opened).size() > 0; }, 5000));
    EXPECT_EQ(readFile(opened), (home() + "paper.pdf\n").toUtf8());

    // A sheet loaded without a document opens nothing beside its run.
    load(sheet);
    QTest::mouseClick(window->btnStart, Qt::LeftButton);
    ASSERT_EQ(starts.size(), 2);
    QTest::qWait(200);
    EXPECT_EQ(readFile(opened), (home() + "paper.pdf\n").toUtf8());

    // No program for the document: a notice says so and the run is not held up by it.
    answers.answerFile(home() + "paper.pdf");
    load(sheet);
    QTest::mouseClick(window->btnStart, Qt::LeftButton);
    ASSERT_EQ(starts.size(), 3);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !answers.alerts().isEmpty(); }, 5000));
    EXPECT_EQ(answers.alerts().last().text,
              "\"" + home() + "paper.pdf\" cannot be opened: no program on this computer opens PDF files.");

    // Cancelling the answer-sheet panel loads nothing.
    answers.answerFile(home() + "paper.pdf");
    answers.answerFile(QString());
    window->btnLoad->click();
    EXPECT_FALSE(window->bIsLoaded());
}
