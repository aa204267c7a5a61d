// Every top-level window whole on a 1024 x 768 screen under a window manager: its frame on the
// screen, its buttons uncut, no tool in a toolbar's overflow, no tab behind the tab bar's arrows,
// no column past a table's edge. The windows are opened as a teacher opens them, over the demo
// class, subject, teacher, question file, sessions and gradebook settings. The test starts itself
// again on a private Xvfb server with openbox; with POLLIX_SHOT_DIR set, the screen is saved
// there as each window is looked at.
#include "DemoData.h"

#include "core/keypad/DeviceController.h"
#include "support/DialogAnswers.h"
#include "support/ModalDriver.h"
#include "support/PollixTest.h"
#include "support/WindowOnScreen.h"
#include "support/XvfbRun.h"
#include "ui/app/LoginController.h"
#include "ui/app/PollixProgram.h"
#include "ui/app/TabController.h"
#include "ui/controls/ScreenFit.h"
#include "ui/authoring/QuestionInfoWindowController.h"
#include "ui/authoring/QuestionsSettingWindowController.h"
#include "ui/authoring/TextFormatPanels.h"
#include "ui/keypad/DeviceSettingCtrl.h"
#include "ui/keypad/HardwareTestCtrl.h"
#include "ui/roster/AddStudentModeController.h"
#include "ui/roster/ClassSetController.h"
#include "ui/roster/GroupManageController.h"
#include "ui/roster/ImportPreviewController.h"

#include <QApplication>
#include <QComboBox>
#include <QPointer>
#include <QTableWidget>
#include <QToolButton>
#include <QDialog>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

namespace {

class SmallScreenTest : public PollixTest
{
protected:
    void SetUp() override
    {
        PollixTest::SetUp();
        if (!XvfbRun::onX11())
            return;
        QString why;
        questionFile = DemoData::ensure(home(), QString(), &why);
        ASSERT_FALSE(questionFile.isEmpty()) << why.toStdString();
        ASSERT_TRUE(DemoData::ensureSessions(&why)) << why.toStdString();
        ASSERT_TRUE(DemoData::ensureGradebook(&why)) << why.toStdString();
        ScreenFit::keepWindowsOnScreen();
        PollixProgram::installServices();
        auto &h = TabController::hooks();
        h.runSplash = [](QWidget *) {};
        h.runSystemChoice = [](QWidget *) {};
        app()->setIsLogin(true);
        modals.otherwise([this](QWidget *w) {
            look(w);
            close(w);
        });
        // The administration login, wherever it is asked for, is given.
        modals.on(QStringLiteral("Login"), [this](QWidget *w) {
            look(w);
            LoginController::setIsLogin(true);
            static_cast<QDialog *>(w)->accept();
        });
    }
    void TearDown() override
    {
        TabController::resetHooks();
        PollixTest::TearDown();
    }

    // Looks at a shown window once the window manager has framed it; every failure names it.
    void look(QWidget *w, const QStringList &mainActions = {})
    {
        const QString name = w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
        looked << name;
        ASSERT_TRUE(WindowOnScreen::settled(w)) << WindowOnScreen::describe(w);
        WindowOnScreen::shot(QStringLiteral("%1-%2").arg(looked.size(), 2, 10, QLatin1Char('0')).arg(name));
        const QStringList problems = WindowOnScreen::problems(w, mainActions);
        EXPECT_TRUE(problems.isEmpty()) << name.toStdString() << ": " << problems.join(QStringLiteral("; ")).toStdString();
    }
    static void close(QWidget *w)
    {
        if (auto *dialog = qobject_cast<QDialog *>(w))
            dialog->reject();
        else
            w->close();
    }
    static void clickTab(QTabWidget *tabs, int index)
    {
        QTabBar *bar = tabs->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }

    void mainWindowAndItsSettings();
    void rosterWindows();
    void questionEditorAndItsDialogs();

    ModalDriver modals;
    DialogAnswers answers;
    QStringList looked;
    QString questionFile;
};

void SmallScreenTest::mainWindowAndItsSettings()
{
    DeviceController::ShareDeviceController()->setCurDeviceType(3);
    TabController window;
    window.awakeFromNib();
    window.deviceChanged();
    window.show();
    for (int i = 0; i < window.tabView->count(); ++i) {
        clickTab(window.tabView, i);
        EXPECT_EQ(window.tabView->currentIndex(), i) << window.tabView->tabText(i).toStdString();
        look(&window, i == 0 ? QStringList{QStringLiteral("btnStart")} : QStringList());
    }
    // Each page of the Settings tab, as the teacher opens it.
    for (QPushButton *b : {window.btnSystem, window.btnHardware, window.btnLogin, window.btnVersion, window.btnChannelSet,
                           window.btnDatabase}) {
        const int before = looked.size();
        QTest::mouseClick(b, Qt::LeftButton);
        EXPECT_GT(looked.size(), before) << b->objectName().toStdString() << " opened no window";
    }
    // The small-family receivers' set-up and the hardware test it opens with the ID part.
    DeviceController::ShareDeviceController()->setCurDeviceType(1);
    window.deviceChanged();
    modals.on(QStringLiteral("DeviceSettingCtrl"), [this](QWidget *w) {
        look(w);
        QTest::mouseClick(static_cast<DeviceSettingCtrl *>(w)->btnTestStudentID, Qt::LeftButton);
        close(w);
    });
    QTest::mouseClick(window.btnChannelSet, Qt::LeftButton);
}

// The class set-up over the demo class and every roster window it leads to.
void SmallScreenTest::rosterWindows()
{
    DeviceController::ShareDeviceController()->setCurDeviceType(3);
    TabController window;
    window.awakeFromNib();
    window.deviceChanged();
    window.show();
    const QString csv = writeFile(QStringLiteral("students.csv"),
                                  "Device NO.,Student ID,First Name,Last Name\r\n1,T001,Ann,Ames\r\n2,T002,Bo,Bell\r\n");
    modals.on(QStringLiteral("ClassSet"), [&](QWidget *w) {
        auto *setUp = static_cast<ClassSetController *>(w);
        const int demo = setUp->comboClass->findText(DemoData::className());
        EXPECT_GE(demo, 0);
        setUp->comboClass->setCurrentIndex(demo);
        emit setUp->comboClass->activated(demo);
        look(w, {QStringLiteral("buttonOk"), QStringLiteral("buttonCancel")});
        for (QPushButton *b : {setUp->buttonEditClass, setUp->buttonEditSubject, setUp->buttonEditTeacher,
                               setUp->buttonStudentManager, setUp->buttonStudentGrouping})
            QTest::mouseClick(b, Qt::LeftButton);
        answers.answerFile(csv);
        QTest::mouseClick(setUp->buttonStudentImport, Qt::LeftButton);
        // The student editor, by a double click on a student.
        QTableWidget *table = setUp->tblStudents;
        const QPoint cell = table->visualRect(table->model()->index(0, 1)).center();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell);
        setUp->reject();
    });
    modals.on(QStringLiteral("GroupManage"), [this](QWidget *w) {
        look(w);
        QTest::mouseClick(static_cast<GroupManageController *>(w)->btnManual, Qt::LeftButton);
        close(w);
    });
    modals.on(QStringLiteral("ImportPreview"), [this](QWidget *w) {
        look(w, {QStringLiteral("btnImport"), QStringLiteral("btnCancel")});
        QTest::mouseClick(static_cast<ImportPreviewController *>(w)->btnImport, Qt::LeftButton);
    });
    QTest::mouseClick(window.btnClassSet, Qt::LeftButton);
    const QStringList expected{"ClassSet", "ClassEdit", "SubjectEdit", "TeacherEdit", "ClassManage", "GroupManage",
                               "GroupStudentManual", "ImportPreview", "ImportToDatabase", "StudentManage"};
    for (const QString &name : expected)
        EXPECT_TRUE(looked.contains(name)) << name.toStdString() << " was not opened";

    // What a new class asks first.
    AddStudentModeController mode(&window);
    mode.show();
    look(&mode, {QStringLiteral("btnOK"), QStringLiteral("btnCancel")});
}

// The question editor, as the Question Editor tab opens it, and the windows its tools open; the
// title set-up of a loaded question file.
void SmallScreenTest::questionEditorAndItsDialogs()
{
    DeviceController::ShareDeviceController()->setCurDeviceType(3);
    TabController window;
    window.awakeFromNib();
    window.deviceChanged();
    window.show();
    answers.answerFile(questionFile);
    QTest::mouseClick(window.btnLoad, Qt::LeftButton);
    ASSERT_TRUE(window.btnTitleSet->isEnabled());
    QTest::mouseClick(window.btnTitleSet, Qt::LeftButton);
    EXPECT_TRUE(looked.contains(QStringLiteral("TitleSet")));

    clickTab(window.tabView, 1);
    QTest::mouseClick(window.btnPXNew, Qt::LeftButton);
    QPointer<QuestionsSettingWindowController> editor;
    for (QWidget *top : QApplication::topLevelWidgets())
        if (auto *e = qobject_cast<QuestionsSettingWindowController *>(top); e && e->isVisible())
            editor = e;
    ASSERT_TRUE(editor);
    look(editor, {QStringLiteral("tbiSave"), QStringLiteral("tbiSaveAs"), QStringLiteral("tbiAddNew")});

    // Add Page's chooser of templates; a page of four options to work on.
    QTest::mouseClick(editor->findChild<QToolButton *>(QStringLiteral("tbiAddNewButton")), Qt::LeftButton);
    EXPECT_TRUE(looked.contains(QStringLiteral("AddSlides")));
    editor->AddTemplate(4);
    QTest::mouseClick(editor->findChild<QToolButton *>(QStringLiteral("btnQuestionInfo")), Qt::LeftButton);
    QuestionInfoWindowController *info = editor->questionInfoWindow();
    ASSERT_TRUE(info);
    look(info);
    info->close();

    modals.on(QStringLiteral("Standard"), [this](QWidget *w) {
        look(w, {QStringLiteral("btnOK"), QStringLiteral("btnClose")});
        QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("btnAdd")), Qt::LeftButton);
        QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("btnImport")), Qt::LeftButton);
        close(w);
    });
    QTest::mouseClick(editor->findChild<QToolButton *>(QStringLiteral("btnStandard")), Qt::LeftButton);
    for (const char *name : {"Standard", "StandardSetting", "StandardImport"})
        EXPECT_TRUE(looked.contains(QLatin1String(name))) << name << " was not opened";

    // The text panels beside the editor.
    editor->onFontPanel();
    editor->onColorPanel();
    for (QWidget *panel : {static_cast<QWidget *>(editor->panels()->fontPanel()),
                           static_cast<QWidget *>(editor->panels()->colorPanel())}) {
        ASSERT_TRUE(panel);
        look(panel);
        panel->close();
    }
    editor->close();
    delete editor.data();
}

} // namespace

TEST_F(SmallScreenTest, EveryWindowIsWholeOnA1024By768ScreenUnderAWindowManager)
{
    if (!XvfbRun::onX11()) {
        EXPECT_EQ(XvfbRun::run(QStringLiteral("SmallScreenTest.*"), {QSize(1024, 768), true}), 0);
        return;
    }
    mainWindowAndItsSettings();
    rosterWindows();
    questionEditorAndItsDialogs();
    std::cout << "looked at: " << looked.join(QStringLiteral(", ")).toStdString() << std::endl;
}
