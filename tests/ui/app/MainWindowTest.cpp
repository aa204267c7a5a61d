// The main window as the teacher meets it: which controls are live, where they lead, how the
// window stacks, sizes and looks.
#include "core/authoring/ExamPaperInfo.h"
#include "core/keypad/DeviceController.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovSubjectXmlDatabase.h"
#include "core/store/TovTeacherXmlDatabase.h"
#include "support/ControlPresser.h"
#include "support/DialogAnswers.h"
#include "support/EventWait.h"
#include "support/PollixTest.h"
#include "support/X11StateWatcher.h"
#include "support/XvfbRun.h"
#include "ui/app/PollixProgram.h"
#include "ui/app/TabController.h"
#include "ui/controls/FileDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLayout>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolTip>
#include <QWindow>

namespace {

QString questionFile(const QString &path)
{
    ExamPaperInfo set;
    set.setNExamPaperID(5);
    auto page = QuestionSetView::createTemplate(0, QSizeF(800, 600));
    page->setNQuestionType(0);
    set.setArrayQuestionsInfo({page});
    EXPECT_TRUE(set.writeToFile(path));
    return path;
}

// The widget a tool tip is drawn in, while one shows.
QWidget *toolTipLabel()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("qtooltip_label") && w->isVisible())
            return w;
    return nullptr;
}

} // namespace

// The main window with the services the program itself installs, every run recorded instead of
// opened.
class MainWindowTest : public PollixTest
{
protected:
    void SetUp() override
    {
        PollixTest::SetUp();
        TabController::resetHooks();
        PollixProgram::installServices();
        auto &h = TabController::hooks();
        h.runSplash = [](QWidget *) {};
        h.runSystemChoice = [](QWidget *) {};
        h.startActivity = [this](TabController *, const TabController::StartRequest &r) { starts << r; };
        savedHome = qgetenv("HOME");
        qputenv("HOME", home().toUtf8());
    }
    void TearDown() override
    {
        // Editors the presses opened.
        QList<QPointer<QWidget>> editors;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("QuestionSet"))
                editors << w;
        for (const QPointer<QWidget> &editor : editors)
            delete editor.data();
        window.reset();
        TabController::resetHooks();
        DeviceController::setAlertHandler({});
        qputenv("HOME", savedHome);
        PollixTest::TearDown();
    }

    TabController *open(int deviceType)
    {
        DeviceController::ShareDeviceController()->setCurDeviceType(deviceType);
        window = std::make_unique<TabController>();
        window->awakeFromNib();
        return window.get();
    }

    void addClass()
    {
        auto *classes = TovClassXmlDatabase::sharedClassUI();
        const int no = classes->addClassWithName("7A");
        StudentEntity s;
        s.setId("S1");
        s.setFirstName("Al");
        s.setDeviceNo(1);
        ASSERT_TRUE(classes->addStudentWithData(s, no));
        SubjectEntity math;
        math.setName("Math");
        ASSERT_TRUE(TovSubjectXmlDatabase::sharedSubjectUI()->addSubjectWithData(math));
        TeacherEntity lee;
        lee.setFirstName("Ann");
        ASSERT_TRUE(TovTeacherXmlDatabase::sharedUI()->addTeacherWithData(lee));
    }

    // The class set-up answered without its dialog.
    void setUpClass()
    {
        TabController::hooks().runClassSet = [](QWidget *, TabController::ClassSetup &setup) {
            setup.classNo = 1;
            setup.className = QStringLiteral("7A");
            return 1;
        };
        window->doClassSet();
    }

    DialogAnswers answers;
    std::unique_ptr<TabController> window;
    QList<TabController::StartRequest> starts;
    QByteArray savedHome;
};

TEST_F(MainWindowTest, EveryEnabledControlLeadsSomewhere)
{
    addClass();
    open(3);
    window->show();
    // One file for each panel that asks for one: Open and New of the question editor, Load.
    const QString quiz = questionFile(home() + "quiz.px");
    for (int i = 0; i < 3; ++i)
        answers.answerFile(quiz);
    ControlPresser presser([this] {
        return QStringLiteral("%1 alerts, %2 panels, %3 runs")
            .arg(answers.alerts().size())
            .arg(answers.fileDialogs().size())
            .arg(starts.size());
    });
    presser.pressAll(window.get());
    EXPECT_TRUE(presser.inert().isEmpty()) << presser.inert().join(", ").toStdString();
    for (const char *name : {"btnClassSet", "btnLoad", "btnStart", "cboParticipationMode", "cboActivityMode",
                             "btnSystem", "btnLogin", "btnVersion", "tab:Settings", "btnPXNew", "btnPXOpen"})
        EXPECT_TRUE(presser.pressed().contains(name)) << name;
    EXPECT_TRUE(presser.dialogsOpened().contains("ClassSet"));
    EXPECT_TRUE(presser.dialogsOpened().contains("LoginSet"));
}

TEST_F(MainWindowTest, WhatLeadsNowhereYetIsNotOffered)
{
    // Without a window that runs free style, it is not offered, and no keypad request turns it on.
    TabController::hooks().startsFreeStyle = false;
    open(3);
    EXPECT_FALSE(window->chkStyle->isEnabled());
    // A load enables Title only once its dialog is there.
    TabController::hooks().runTitleSet = {};
    setUpClass();
    answers.answerFile(questionFile(home() + "quiz.px"));
    window->btnLoad->click();
    ASSERT_TRUE(window->bIsLoaded());
    EXPECT_TRUE(window->btnStart->isEnabled());
    EXPECT_FALSE(window->btnTitleSet->isEnabled());
    // The program offers its Report window; without it, the small-family Reports tab (only a
    // way into that window) would lead nowhere.
    EXPECT_TRUE(window->isBuilt(window->btnReport));
    TabController::hooks().runReport = {};
    DeviceController::ShareDeviceController()->setCurDeviceType(1);
    window->deviceChanged();
    EXPECT_FALSE(window->tabView->isTabEnabled(2));

    // A window installed later is offered without further change.
    TabController::hooks().runTitleSet = [](QWidget *, const QString &, bool) {};
    TabController::hooks().runReport = [](QWidget *) {};
    TabController::hooks().startsFreeStyle = true;
    open(1);
    EXPECT_TRUE(window->chkStyle->isEnabled());
    EXPECT_TRUE(window->tabView->isTabEnabled(2));
    setUpClass();
    answers.answerFile(questionFile(home() + "quiz.px"));
    window->btnLoad->click();
    EXPECT_TRUE(window->btnTitleSet->isEnabled());
}

TEST_F(MainWindowTest, LoadStartsInAnExistingFolderAndOffersOnlyWhatCanRun)
{
    open(3);
    // No ~/Documents: the home folder itself, never a missing folder.
    window->btnLoad->click();
    ASSERT_EQ(answers.fileDialogs().size(), 1);
    EXPECT_EQ(answers.fileDialogs().at(0).directory, QDir::cleanPath(home()));
    // Decks and answer sheets run over the slide-show run window.
    EXPECT_EQ(answers.fileDialogs().at(0).filter, "Quiz files (*.px *.ppt *.pptx *.doc *.docx *.pdf *.htm *.html *.sep)");

    QDir(home()).mkdir("Documents");
    window->btnLoad->click();
    EXPECT_EQ(answers.fileDialogs().at(1).directory, home() + "Documents");

    // An answer sheet named past the filter is refused like any file that cannot run.
    answers.answerFile(writeFile("sheet.sep", "bplist"));
    window->btnLoad->click();
    EXPECT_EQ(answers.alertTexts(), QStringList{"Error format!"});
    EXPECT_FALSE(window->bIsLoaded());
}

// The panels open where the teacher's question files were last found, as the desktop's own do:
// Load and the question editor's Open share the folder; a panel of another kind (Backup) keeps to
// the documents folder; a folder gone since (a stick taken out) is passed over.
TEST_F(MainWindowTest, LoadAndTheEditorsOpenStartWhereTheLastQuestionFileWas)
{
    QDir(home()).mkdir("Documents");
    open(3);
    const QString stick = home() + "stick/Week 1";
    ASSERT_TRUE(QDir().mkpath(stick));
    answers.answerFile(questionFile(stick + "/quiz.px"));
    QTest::mouseClick(window->btnLoad, Qt::LeftButton);
    ASSERT_TRUE(window->bIsLoaded());
    EXPECT_EQ(answers.fileDialogs().at(0).directory, home() + "Documents");

    QTest::mouseClick(window->btnLoad, Qt::LeftButton);
    window->tabView->setCurrentIndex(1);
    ASSERT_TRUE(window->btnPXOpen->isEnabled());
    QTest::mouseClick(window->btnPXOpen, Qt::LeftButton);
    ASSERT_EQ(answers.fileDialogs().size(), 3);
    EXPECT_EQ(answers.fileDialogs().at(1).directory, stick);
    EXPECT_EQ(answers.fileDialogs().at(2).caption, "Open Question File");
    EXPECT_EQ(answers.fileDialogs().at(2).directory, stick);
    EXPECT_EQ(FileDialogs::folderFor(FileDialogs::Kind::Backups), home() + "Documents");

    ASSERT_TRUE(QDir(home() + "stick").removeRecursively());
    QTest::mouseClick(window->btnPXOpen, Qt::LeftButton);
    EXPECT_EQ(answers.fileDialogs().last().directory, home() + "Documents");
}

TEST_F(MainWindowTest, RaisingAndLoweringKeepsTheNativeWindow)
{
    open(3);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get(), kEventWaitMs));
    const WId id = window->winId();
    QWindow *handle = window->windowHandle();
    for (int i = 0; i < 2; ++i) {
        window->raiseToStatusLevel();
        EXPECT_TRUE(window->isStatusLevel());
        EXPECT_TRUE(handle->flags().testFlag(Qt::WindowStaysOnTopHint));
        window->lowerToNormalLevel();
        EXPECT_FALSE(window->isStatusLevel());
        EXPECT_FALSE(handle->flags().testFlag(Qt::WindowStaysOnTopHint));
    }
    EXPECT_EQ(window->winId(), id);
    EXPECT_EQ(window->windowHandle(), handle);
    EXPECT_TRUE(window->isVisible());

    // Hidden between runs, it takes the level with it when it shows again.
    window->hide();
    window->raiseToStatusLevel();
    window->show();
    EXPECT_EQ(window->winId(), id);
    EXPECT_TRUE(handle->flags().testFlag(Qt::WindowStaysOnTopHint));

    // Only a real X server shows a recreated window (a new id) and what the window manager hears.
    EXPECT_EQ(XvfbRun::run(QStringLiteral("MainWindowTest.OnX11*")), 0);
}

// Run on a private Xvfb by RaisingAndLoweringKeepsTheNativeWindow.
TEST_F(MainWindowTest, OnX11TheWindowManagerIsAskedAndTheWindowStays)
{
    X11StateWatcher manager;
    ASSERT_TRUE(manager.isOpen());
    open(3);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get(), kEventWaitMs));
    const WId id = window->winId();
    for (int i = 0; i < 2; ++i) {
        window->raiseToStatusLevel();
        window->lowerToNormalLevel();
        EXPECT_EQ(window->winId(), id);
    }
    QList<int> requests;
    EXPECT_TRUE(QTest::qWaitFor([&] { return (requests = manager.aboveRequests(id)).size() >= 4; }, kEventWaitMs));
    EXPECT_EQ(requests, (QList<int>{1, 0, 1, 0}));
}

TEST_F(MainWindowTest, BackFromARunAtItsOwnSize)
{
    open(3);
    window->show();
    const QSize own = window->size();
    setUpClass();
    answers.answerFile(questionFile(home() + "quiz.px"));
    window->btnLoad->click();
    window->btnStart->click();
    ASSERT_EQ(starts.size(), 1);
    EXPECT_FALSE(window->isVisible());
    // What a free-style run window does as it hands the screen back.
    window->resize(810, 170);
    window->show();
    EXPECT_EQ(window->size(), own);
}

TEST_F(MainWindowTest, DoneStepsTurnGreenWithoutMovingAnythingOrColouringTheirToolTips)
{
    open(3);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get(), kEventWaitMs));
    const QList<QPushButton *> bar{window->btnClassSet, window->btnLoad, window->btnTitleSet, window->btnStart};
    const auto places = [&] {
        for (int tab : {0, 3})
            window->tabView->widget(tab)->layout()->activate();
        QList<QRect> out;
        for (QPushButton *b : bar)
            out << b->geometry();
        for (QPushButton *b : window->tabView->widget(3)->findChildren<QPushButton *>())
            out << b->geometry();
        return out;
    };
    const QList<QRect> before = places();
    const QFont font = window->btnClassSet->font();
    const QColor plain = window->btnClassSet->palette().color(QPalette::ButtonText);

    window->setClassSetted(true);
    window->setLoad(true);
    const QColor done = window->btnClassSet->palette().color(QPalette::ButtonText);
    EXPECT_GT(done.green(), done.red() + 60) << done.name().toStdString();
    EXPECT_EQ(window->btnLoad->palette().color(QPalette::ButtonText), done);
    EXPECT_EQ(window->btnClassSet->font(), font);
    // The channel button's title follows the model ("Remote ID" on the small family).
    DeviceController::ShareDeviceController()->setCurDeviceType(1);
    window->deviceChanged();
    EXPECT_EQ(window->btnChannelSet->text(), "Remote ID");
    EXPECT_EQ(places(), before);

    QToolTip::showText(window->btnClassSet->mapToGlobal(QPoint(5, 5)), window->btnClassSet->toolTip(), window->btnClassSet);
    QWidget *tip = toolTipLabel();
    ASSERT_NE(tip, nullptr);
    tip->ensurePolished();
    EXPECT_NE(tip->palette().color(QPalette::WindowText), done);
    EXPECT_FALSE(tip->font().bold());
    QToolTip::hideText();

    window->setClassSetted(false);
    EXPECT_EQ(window->btnClassSet->palette().color(QPalette::ButtonText), plain);
}

TEST_F(MainWindowTest, EachIconBarShowsItsPicturesAtOneSize)
{
    open(3);
    for (bool loggedIn : {false, true}) {
        window->setButtonsState(loggedIn);
        for (int tab = 0; tab < window->tabView->count(); ++tab) {
            QSet<int> sides;
            for (QPushButton *b : window->tabView->widget(tab)->findChildren<QPushButton *>()) {
                if (b->icon().isNull())
                    continue;
                sides << b->iconSize().width();
                // The picture fills the size: an icon that only comes small would show small.
                EXPECT_EQ(b->icon().actualSize(b->iconSize()), b->iconSize()) << b->objectName().toStdString();
            }
            EXPECT_LE(sides.size(), 1) << "tab " << tab;
        }
    }
}
