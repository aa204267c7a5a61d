// Every top-level window whole on a 1024 x 768 screen under a window manager: its frame on the
// screen, its buttons uncut, no tool in a toolbar's overflow, no tab behind the tab bar's arrows,
// no column past a table's edge. The windows are opened as a teacher opens them, over the demo
// class, subject, teacher, question file, sessions and gradebook settings. The test starts itself
// again on a private Xvfb server with openbox; with POLLIX_SHOT_DIR set, the screen is saved
// there as each window is looked at.
#include "DemoData.h"

#include "core/base/ActivityCodes.h"
#include "core/engine/QuizData.h"
#include "core/engine/QuizParticipantData.h"
#include "core/keypad/DeviceController.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "platform/PPTEditorMSO.h"
#include "support/DialogAnswers.h"
#include "support/EventWait.h"
#include "support/ModalDriver.h"
#include "support/PollixTest.h"
#include "support/SlideDecks.h"
#include "support/WindowOnScreen.h"
#include "support/XvfbRun.h"
#include "ui/app/ActivityWindowOpener.h"
#include "ui/app/PollixProgram.h"
#include "ui/app/TabController.h"
#include "ui/authoring/AddSLides.h"
#include "ui/authoring/Controller.h"
#include "ui/authoring/QuestionInfoWindowController.h"
#include "ui/authoring/QuestionsSettingWindowController.h"
#include "ui/authoring/TextFormatPanels.h"
#include "ui/controls/FileDialogs.h"
#include "ui/controls/LoginController.h"
#include "ui/controls/MyComboBox.h"
#include "ui/controls/PollixAlert.h"
#include "ui/controls/ScreenFit.h"
#include "ui/controls/TovTableView.h"
#include "ui/gradebook/CreateSubjectGradeReportController.h"
#include "ui/gradebook/ReportCourseGradeListTab.h"
#include "ui/gradebook/ReportCourseGradeTab.h"
#include "ui/gradebook/SessionSelectController.h"
#include "ui/keypad/DeviceSettingCtrl.h"
#include "ui/keypad/GetRequestQuesStus.h"
#include "ui/presentation/PPTQuestionInfoWindowController.h"
#include "ui/reports/CreateReportController.h"
#include "ui/reports/ReportController.h"
#include "ui/reports/ReportFrame.h"
#include "ui/roster/AddStudentModeController.h"
#include "ui/roster/ClassSetController.h"
#include "ui/roster/GroupManageController.h"
#include "ui/roster/ImportPreviewController.h"
#include "ui/run/ForceLoginController.h"
#include "ui/run/FreeStyleRun.h"
#include "ui/run/PlayMusic.h"
#include "ui/run/QuizReportController.h"
#include "ui/run/QuizStateWindowController.h"
#include "ui/run/RushInfoShowController.h"
#include "ui/run/StudentLoginView.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QHeaderView>
#include <QListWidget>
#include <QMainWindow>
#include <QScrollArea>
#include <QToolBar>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

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
    }
    void TearDown() override
    {
        TabController::resetHooks();
        PollixTest::TearDown();
    }

    // A fresh driver of the windows run modally, for each set of windows: every window that comes
    // up is looked at and closed, the administration login is given, report windows are looked
    // at with their own buttons.
    void newModalDriver()
    {
        modals = std::make_unique<ModalDriver>();
        modals->otherwise([this](QWidget *w) {
            if (auto *report = qobject_cast<ReportFrame *>(w))
                lookAtReport(report);
            else
                look(w);
            close(w);
        });
        // A progress panel (a bar, 360 points wide) goes on its own when its work is done, often
        // before the window manager has framed it.
        modals->on(QStringLiteral("ProgressControl"), [](QWidget *) {});
        // The administration login, wherever it is asked for, is given.
        modals->on(QStringLiteral("Login"), [this](QWidget *w) {
            look(w);
            LoginController::setIsLogin(true);
            static_cast<QDialog *>(w)->accept();
        });
    }

    // Looks at a shown window once the window manager has framed it; every failure names it.
    void look(QWidget *w, const QStringList &mainActions = {})
    {
        const QString name = w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
        looked << name;
        ASSERT_TRUE(WindowOnScreen::settled(w)) << WindowOnScreen::describe(w);
        const QString shot = QStringLiteral("%1-%2").arg(looked.size(), 2, 10, QLatin1Char('0')).arg(name);
        WindowOnScreen::shot(shot);
        const QStringList problems = WindowOnScreen::problems(w, mainActions, shot);
        EXPECT_TRUE(problems.isEmpty()) << name.toStdString() << ": " << problems.join(QStringLiteral("; ")).toStdString();
    }
    // A report window with its paging and PDF buttons; the first one's Go to page dialog too.
    void lookAtReport(ReportFrame *w)
    {
        look(w, {QStringLiteral("btnFirst"), QStringLiteral("btnPrevious"), QStringLiteral("btnNext"),
                 QStringLiteral("btnLast"), QStringLiteral("btnGoToPage"), QStringLiteral("btnSaveToPDF")});
        if (!goToPageSeen && w->btnGoToPage->isEnabled()) {
            goToPageSeen = true;
            QTest::mouseClick(w->btnGoToPage, Qt::LeftButton);
        }
    }
    static void close(QWidget *w)
    {
        if (auto *dialog = qobject_cast<QDialog *>(w))
            dialog->reject();
        else
            w->close();
    }
    // On the box itself: a check box laid out wider than its words takes no click beside them.
    static void clickBox(QCheckBox *box)
    {
        ASSERT_TRUE(box);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->height() / 2, box->height() / 2));
        EXPECT_TRUE(box->isChecked()) << box->objectName().toStdString();
    }
    // The shown top-level window of that kind, opened by what the test did last.
    template <typename Window>
    static Window *shown()
    {
        for (QWidget *top : QApplication::topLevelWidgets())
            if (auto *w = qobject_cast<Window *>(top); w && w->isVisible())
                return w;
        return nullptr;
    }
    // The main window on a receiver model, shown.
    static std::unique_ptr<TabController> mainWindow(int deviceType)
    {
        DeviceController::ShareDeviceController()->setCurDeviceType(deviceType);
        auto window = std::make_unique<TabController>();
        window->awakeFromNib();
        window->deviceChanged();
        window->show();
        return window;
    }
    static void clickTab(QTabWidget *tabs, int index)
    {
        QTabBar *bar = tabs->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }

    void mainWindowAndItsSettings();
    void rosterWindows();
    void questionEditorAndItsDialogs();
    void reportAndGradebookWindows();
    void runWindows();
    void slideShowQuestionEditor();
    void sharedPanels();

    std::unique_ptr<ModalDriver> modals;
    DialogAnswers answers;
    QStringList looked;
    QString questionFile;
    bool goToPageSeen = false;
};

void SmallScreenTest::mainWindowAndItsSettings()
{
    newModalDriver();
    // As the program starts with no receiver: the welcome splash, then the system choice over
    // the main window.
    DeviceController::ShareDeviceController()->setCurDeviceType(-1);
    auto &h = TabController::hooks();
    h.runSplash = {};
    h.runSystemChoice = {};
    TabController window;
    window.awakeFromNib();
    window.show();
    EXPECT_TRUE(QTest::qWaitFor([this] { return looked.contains(QStringLiteral("SelectASystem")); }, kEventWaitMs));
    EXPECT_TRUE(looked.contains(QStringLiteral("WelcomeWindow")));
    h.runSplash = [](QWidget *) {};
    h.runSystemChoice = [](QWidget *) {};
    DeviceController::ShareDeviceController()->setCurDeviceType(3);
    window.deviceChanged();
    for (int i = window.tabView->count() - 1; i >= 0; --i) {
        clickTab(window.tabView, i);
        EXPECT_EQ(window.tabView->currentIndex(), i) << window.tabView->tabText(i).toStdString();
    }
    look(&window, {QStringLiteral("btnClassSet"), QStringLiteral("btnLoad"), QStringLiteral("btnStart")});
    // The session from the teacher keypad, on the Reports tab.
    clickTab(window.tabView, 2);
    QTest::mouseClick(window.btnSession, Qt::LeftButton);
    EXPECT_TRUE(looked.contains(QStringLiteral("ReceiveReport")));
    // Each page of the Settings tab, as the teacher opens it; the system page's question sending.
    clickTab(window.tabView, 3);
    modals->on(QStringLiteral("SystemSetting"), [this](QWidget *w) {
        look(w, {QStringLiteral("browseSendQuestion")});
        QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("browseSendQuestion")), Qt::LeftButton);
        close(w);
    });
    for (QPushButton *b : {window.btnSystem, window.btnHardware, window.btnLogin, window.btnVersion, window.btnChannelSet,
                           window.btnDatabase}) {
        const int before = looked.size();
        QTest::mouseClick(b, Qt::LeftButton);
        EXPECT_GT(looked.size(), before) << b->objectName().toStdString() << " opened no window";
    }
    // The small-family receivers' set-up and the hardware test it opens with the ID part.
    DeviceController::ShareDeviceController()->setCurDeviceType(1);
    window.deviceChanged();
    modals->on(QStringLiteral("DeviceSettingCtrl"), [this](QWidget *w) {
        look(w);
        QTest::mouseClick(static_cast<DeviceSettingCtrl *>(w)->btnTestStudentID, Qt::LeftButton);
        close(w);
    });
    QTest::mouseClick(window.btnChannelSet, Qt::LeftButton);
    EXPECT_TRUE(looked.contains(QStringLiteral("SendQueCtrl")));
}

// The class set-up over the demo class and every roster window it leads to.
void SmallScreenTest::rosterWindows()
{
    newModalDriver();
    const std::unique_ptr<TabController> main = mainWindow(3);
    TabController &window = *main;
    const QString csv = writeFile(QStringLiteral("students.csv"),
                                  "Device NO.,Student ID,First Name,Last Name\r\n1,T001,Ann,Ames\r\n2,T002,Bo,Bell\r\n");
    modals->on(QStringLiteral("ClassSet"), [&](QWidget *w) {
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
    modals->on(QStringLiteral("GroupManage"), [this](QWidget *w) {
        look(w);
        QTest::mouseClick(static_cast<GroupManageController *>(w)->btnManual, Qt::LeftButton);
        close(w);
    });
    modals->on(QStringLiteral("ImportPreview"), [this](QWidget *w) {
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
    newModalDriver();
    const std::unique_ptr<TabController> main = mainWindow(3);
    TabController &window = *main;
    answers.answerFile(questionFile);
    QTest::mouseClick(window.btnLoad, Qt::LeftButton);
    ASSERT_TRUE(window.btnTitleSet->isEnabled());
    QTest::mouseClick(window.btnTitleSet, Qt::LeftButton);
    EXPECT_TRUE(looked.contains(QStringLiteral("TitleSet")));

    clickTab(window.tabView, 1);
    QTest::mouseClick(window.btnPXNew, Qt::LeftButton);
    QPointer<QuestionsSettingWindowController> editor = shown<QuestionsSettingWindowController>();
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

    modals->on(QStringLiteral("Standard"), [this](QWidget *w) {
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

// The Report window on each of its tabs and every window it opens: the session windows, the
// report chooser and each report of a quiz session, a points-only session's list, the gradebook
// settings, the course grade's session choice, its four reports, and the report cards.
void SmallScreenTest::reportAndGradebookWindows()
{
    newModalDriver();
    const std::unique_ptr<TabController> main = mainWindow(3);
    TabController &window = *main;
    // Files from another computer: a quiz session and a points-only session.
    const auto copyOf = [this](const QString &folder, const QString &name) {
        const QDir dir(folder);
        const QString from = dir.filePath(dir.entryList({QStringLiteral("*.xml")}, QDir::Files).value(0));
        const QString to = home() + name;
        EXPECT_TRUE(QFile::copy(from, to)) << from.toStdString();
        return to;
    };
    const QString sessionFile = copyOf(app()->strQuizXmlDataFilePath(), QStringLiteral("session.xml"));
    const QString pointsFile = copyOf(app()->strCourseGradeFilePath(), QStringLiteral("points.xml"));

    modals->on(QStringLiteral("Report"), [&](QWidget *w) {
        auto *report = static_cast<ReportController *>(w);
        look(w, {QStringLiteral("btnReport1"), QStringLiteral("btnNew1"), QStringLiteral("btnImport")});
        const auto select = [report](bool pointsOnly, int count) {
            report->table1->clearSelection();
            for (int i = 0; i < report->table1Array().size() && count > 0; ++i)
                if ((report->table1Array()[i].flag() != 1) == pointsOnly) {
                    report->table1->selectionModel()->select(report->table1->model()->index(i, 0),
                                                             QItemSelectionModel::Select | QItemSelectionModel::Rows);
                    --count;
                }
        };
        QTest::mouseClick(report->btnNew1, Qt::LeftButton);
        select(false, 1);
        QTest::mouseClick(report->btnEdit1, Qt::LeftButton);
        select(false, 2);
        QTest::mouseClick(report->btnMerge1, Qt::LeftButton);
        answers.answerFile(sessionFile);
        QTest::mouseClick(report->btnImport, Qt::LeftButton);
        answers.answerFile(pointsFile);
        QTest::mouseClick(report->btnImport, Qt::LeftButton);
        select(true, 1);
        QTest::mouseClick(report->btnEdit1, Qt::LeftButton);
        QTest::mouseClick(report->btnReport1, Qt::LeftButton);
        select(false, 1);
        QTest::mouseClick(report->btnReport1, Qt::LeftButton);

        // The course grade of the demo class over the fall.
        report->tabView->setCurrentIndex(1);
        auto *grade = report->findChild<ReportCourseGradeTab *>();
        ASSERT_TRUE(grade);
        QTest::mouseClick(grade->btnPeriod2, Qt::LeftButton);
        QTest::mouseClick(grade->btnNew2, Qt::LeftButton);
        const auto choose = [](QComboBox *box, const QString &text) {
            const int i = box->findText(text, Qt::MatchContains);
            QStringList items;
            for (int k = 0; k < box->count(); ++k)
                items << box->itemText(k);
            EXPECT_GE(i, 0) << text.toStdString() << " not in " << items.join(QStringLiteral(", ")).toStdString();
            box->setCurrentIndex(i);
        };
        choose(grade->cboGradingPeriod2, QStringLiteral("Fall 2024"));
        choose(grade->cboClass2, DemoData::className());
        choose(grade->cboSubject2, QStringLiteral("Science"));
        choose(grade->cboTeacher2, QStringLiteral("Ada Park"));
        grade->weightListTable2->selectRow(0);
        grade->conversionListTable2->selectRow(0);
        grade->textSubjectGrade2->setText(QStringLiteral("Science fall"));
        QTest::mouseClick(grade->btnCreate2, Qt::LeftButton);

        // The course grade saved there, in the list of stored ones, and its report cards.
        report->tabView->setCurrentIndex(2);
        auto *list = report->findChild<ReportCourseGradeListTab *>();
        ASSERT_TRUE(list);
        choose(list->cboGradingPeriod3, QStringLiteral("Fall 2024"));
        clickBox(list->btnSelectAll);
        QTest::mouseClick(list->btnPreview3, Qt::LeftButton);
        QTest::mouseClick(list->btnSaveAs3, Qt::LeftButton);
        look(w, {QStringLiteral("btnExportDelete3"), QStringLiteral("btnCancel3")});
        QTest::mouseClick(list->btnCancel3, Qt::LeftButton);
        close(w);
    });
    modals->on(QStringLiteral("CreateReport"), [this](QWidget *w) {
        auto *chooser = static_cast<CreateReportController *>(w);
        clickBox(w->findChild<QCheckBox *>(QStringLiteral("btnSelectAll")));
        look(w, {QStringLiteral("btnPreview")});
        const int reports = chooser->tableReportFormat->rowCount();
        EXPECT_GT(reports, 3);
        for (int r = 0; r < reports; ++r) {
            chooser->tableReportFormat->selectRow(r);
            QTest::mouseClick(chooser->btnPreview, Qt::LeftButton);
        }
        close(w);
    });
    modals->on(QStringLiteral("SessionSelect"), [this](QWidget *w) {
        auto *selection = static_cast<SessionSelectController *>(w);
        for (int r = 0; r < selection->tableSession->rowCount(); ++r)
            selection->setTicked(r, true);
        look(w, {QStringLiteral("btnPreview"), QStringLiteral("btnClose")});
        QTest::mouseClick(selection->btnPreview, Qt::LeftButton);
        close(w);
    });
    modals->on(QStringLiteral("CreateSubjectGradeReport"), [this](QWidget *w) {
        auto *grade = static_cast<CreateSubjectGradeReportController *>(w);
        grade->tableLeft->selectAll();
        look(w, {QStringLiteral("btnSave"), QStringLiteral("btnPreview"), QStringLiteral("btnClose")});
        for (int r = 0; r < grade->tableRight->count(); ++r) {
            grade->tableRight->setCurrentRow(r);
            QTest::mouseClick(grade->btnPreview, Qt::LeftButton);
        }
        QTest::mouseClick(grade->btnSave, Qt::LeftButton);
        close(w);
    });
    clickTab(window.tabView, 2);
    QTest::mouseClick(window.btnReport, Qt::LeftButton);
    for (const char *name : {"Report", "CreateNewSession", "EditSession", "Merge", "ImportSession", "ImportCourseGrade",
                             "NewSubjectGrade", "CreateReport", "SubjectGradeSetting", "SessionSelect",
                             "CreateSubjectGradeReport"})
        EXPECT_TRUE(looked.contains(QLatin1String(name))) << name << " was not opened";
}

// The activity window of each kind of run and the windows it opens: a normal quiz started from
// the main window over the demo class, with its result, details, report, answers and histogram
// and the save at its end; then a group quiz, an elimination, a roll call, quick grouping, a
// hand-raise run and a free-style run, each straight from the opener; the windows that float
// beside a run.
void SmallScreenTest::runWindows()
{
    newModalDriver();
    const std::unique_ptr<TabController> main = mainWindow(4);
    TabController &window = *main;
    modals->on(QStringLiteral("ClassSet"), [](QWidget *w) {
        auto *setUp = static_cast<ClassSetController *>(w);
        setUp->comboClass->setCurrentIndex(setUp->comboClass->findText(DemoData::className()));
        emit setUp->comboClass->activated(setUp->comboClass->currentIndex());
        QTest::mouseClick(setUp->buttonOk, Qt::LeftButton);
    });
    QTest::mouseClick(window.btnClassSet, Qt::LeftButton);
    answers.answerFile(questionFile);
    QTest::mouseClick(window.btnLoad, Qt::LeftButton);
    ASSERT_TRUE(window.btnStart->isEnabled());
    QTest::mouseClick(window.btnStart, Qt::LeftButton);
    QPointer<QuizStateWindowController> run = shown<QuizStateWindowController>();
    ASSERT_TRUE(run);
    const QStringList bar{QStringLiteral("btnStart"), QStringLiteral("btnStop"), QStringLiteral("btnNext"),
                          QStringLiteral("btnResult"), QStringLiteral("btnReport"), QStringLiteral("btnExit")};
    look(run, bar);

    // The class logged in, most answering the first question.
    auto *qpd = QuizParticipantData::shareManager();
    const auto answerAll = [qpd](int question) {
        qpd->setArrayLoginStudents(qpd->arrayClassStudents());
        for (const StudentInClassPtr &s : qpd->arrayClassStudents())
            if (s->deviceNo() % 5 != 0)
                QuizData::shareManager()->setStudentAnswer(question, s->deviceNo(), s->deviceNo() % 3 ? "B" : "A");
    };
    const auto button = [](QWidget *w, const char *name) { return w->findChild<QPushButton *>(QLatin1String(name)); };
    QTest::mouseClick(button(run, "btnStart"), Qt::LeftButton);
    answerAll(1);
    QTest::mouseClick(button(run, "btnStop"), Qt::LeftButton);
    modals->on(QStringLiteral("QuizResult"), [this, button](QWidget *w) {
        look(w);
        QTest::mouseClick(button(w, "btnDetails"), Qt::LeftButton);
        close(w);
    });
    modals->on(QStringLiteral("QuizReport"), [this, button](QWidget *w) {
        look(w);
        static_cast<QuizReportController *>(w)->tableViewDoubleClick(1);
        QTest::mouseClick(button(w, "btnHistogram"), Qt::LeftButton);
        close(w);
    });
    QTest::mouseClick(button(run, "btnResult"), Qt::LeftButton);
    QTest::mouseClick(button(run, "btnReport"), Qt::LeftButton);
    modals->on(QStringLiteral("SaveToData"), [this](QWidget *w) {
        look(w);
        QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("buttonOK")), Qt::LeftButton);
    });
    QTest::mouseClick(button(run, "btnExit"), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return run.isNull(); }, kEventWaitMs));
    for (const char *name : {"QuizState", "QuizResult", "ResultDetails", "QuizReport", "AnswerDetails",
                             "QuizReportHistogram", "SaveToData"})
        EXPECT_TRUE(looked.contains(QLatin1String(name))) << name << " was not opened";

    // The other runs, each with the window its Result or Report opens.
    struct Kind
    {
        int mode, participation;
        const char *opens;
    };
    for (const Kind &k : {Kind{Activity::NormalQuiz, 1, "btnReport"}, Kind{Activity::Elimination, 0, "btnResult"},
                          Kind{Activity::Attendance, 0, "btnResult"}, Kind{Activity::QuickGrouping, 0, "btnResult"},
                          Kind{Activity::HandRaise, 0, nullptr}}) {
        const int id = 1;
        const bool file = k.mode != Activity::Attendance && k.mode != Activity::QuickGrouping;
        run = ActivityWindowOpener::open(&window, 4, k.mode, k.participation, false, 0, file ? questionFile : QString(), &id);
        ASSERT_TRUE(run);
        look(run, {QStringLiteral("btnStart"), QStringLiteral("btnExit")});
        QTest::mouseClick(button(run, "btnStart"), Qt::LeftButton);
        answerAll(1);
        if (k.mode == Activity::HandRaise)
            QTest::mouseClick(run->studentLoginView()->button(0), Qt::LeftButton);
        else
            QTest::mouseClick(button(run, "btnStop"), Qt::LeftButton);
        if (k.opens)
            QTest::mouseClick(button(run, k.opens), Qt::LeftButton);
        delete run.data();
    }

    // Free style on a Dravel receiver: the page tools in the activity window, with the question
    // pane shown and hidden, and the correct answer asked after the first stop.
    DeviceController::ShareDeviceController()->setCurDeviceType(3);
    const int id = 0;
    run = ActivityWindowOpener::open(&window, 3, Activity::FreeNormalQuiz, 0, true, 0, QString(), &id);
    ASSERT_TRUE(run && run->freeStyle());
    const QStringList tools{QStringLiteral("tbiAddNew"), QStringLiteral("tbiDel"), QStringLiteral("btnStandard"),
                            QStringLiteral("tbiCutPicture")};
    look(run, tools + QStringList{QStringLiteral("btnStart"), QStringLiteral("btnExit")});
    run->freeStyle()->toolbar()->tbiAddNew->trigger();
    QTest::mouseClick(button(run, "btnToggle"), Qt::LeftButton);
    look(run, tools + QStringList{QStringLiteral("btnToggle")});
    QTest::mouseClick(button(run, "btnStart"), Qt::LeftButton);
    QTest::mouseClick(button(run, "btnStop"), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([this] { return looked.contains(QStringLiteral("AnswerSetting")); }, kEventWaitMs));
    delete run.data();
    // A Dravel run's question sending, its read-aloud window, a keypad asking to join, and the
    // rush winner's box; the list of keypads asking for the questions.
    run = ActivityWindowOpener::open(&window, 3, Activity::NormalQuiz, 0, false, 0, questionFile, &id);
    ASSERT_TRUE(run);
    QTest::mouseClick(button(run, "btnRead"), Qt::LeftButton);
    if (auto *reader = run->findChild<PlayMusic *>(); reader && reader->isWindow())
        look(reader);
    else
        ADD_FAILURE() << "Read opened no window";
    if (button(run, "btnSendQuestions")->isEnabled())
        QTest::mouseClick(button(run, "btnSendQuestions"), Qt::LeftButton);
    else
        QuizStateWindowController::hooks().runSendQuestions(run, false);
    auto visitor = std::make_shared<StudentInClass>();
    visitor->setStudentID(QStringLiteral("X900"));
    visitor->setStudentFullName(QStringLiteral("Visiting Student"));
    visitor->setDeviceNo(31);
    NotificationCenter::defaultCenter()->postNotification(Notify::StudentForceLogin,
                                                          {{QStringLiteral("studentInfo"), QVariant::fromValue(visitor)}});
    if (ForceLoginController *joining = run->forceLoginController())
        look(joining);
    else
        ADD_FAILURE() << "no window for a keypad asking to join";
    delete run.data();
    RushInfoShowController winner;
    winner.setStrStudentID(QStringLiteral("S007"));
    winner.setStrStudentName(QStringLiteral("Gus Garcia"));
    winner.showWindow();
    look(&winner);
    winner.closeWindow();
    GetRequestQuesStus asking;
    for (int i = 0; i < 3; ++i)
        asking.addRequestQuesStudents(qpd->arrayClassStudents().value(i), i + 1);
    asking.showWindow();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !asking.isVisible(); }, kEventWaitMs));

    for (const char *name : {"GroupReport", "RollCallResults", "QuickGroupingResult", "HandRaiseMarking", "AnswerSetting",
                             "SendQuestions", "GetRequestQuesStus"})
        EXPECT_TRUE(looked.contains(QLatin1String(name))) << name << " was not opened";
}

// The question editor over the slides of a deck opened in the main window, and the picker of
// template slides.
void SmallScreenTest::slideShowQuestionEditor()
{
    newModalDriver();
    PPTEditorMSO *ppt = PPTEditorMSO::shareManager();
    ppt->setTemplatePath(SlideDecks::shippedTemplate());
    // The deck opens on a slide of the teacher's own design, which holds no question.
    QList<QList<SlideDecks::ShapeSpec>> slides{{{"Title 1", "Photosynthesis"}, {"Content Placeholder 2", "Light into sugar"}}};
    for (const char *answer : {"A", "C"})
        slides << QList<SlideDecks::ShapeSpec>{{"Qu_Title", "Which is it?"}, {"OptionA", "a"}, {"OptionB", "b"},
                                               {"OptionC", "c"}, {"OptionD", "d"}, {"mode", "Single Answer"},
                                               {"answer", answer}, {"mark", "10"}, {"time", "30"},
                                               {"activity_mode", "Testing ---> Normal Quiz"}, {"ID", ""}};
    const QString deck = home() + QStringLiteral("deck.pptx");
    ASSERT_TRUE(SlideDecks::writeDeck(slides, deck));
    const std::unique_ptr<TabController> main = mainWindow(1);
    TabController &window = *main;
    answers.answerFile(deck);
    QTest::mouseClick(window.btnPPTOpen, Qt::LeftButton);
    ASSERT_TRUE(window.btnPPTSetup->isEnabled());
    modals->on(QStringLiteral("PPTQuestionInfo"), [this](QWidget *w) {
        auto *editor = static_cast<PPTQuestionInfoWindowController *>(w);
        const QStringList actions{QStringLiteral("btnSave"), QStringLiteral("btnPrevious"), QStringLiteral("btnNext")};
        look(w, actions);
        EXPECT_TRUE(editor->noQuestionMessage->isVisible());
        QTest::mouseClick(editor->btnNext, Qt::LeftButton);
        look(w, actions);
        close(w);
    });
    QTest::mouseClick(window.btnPPTSetup, Qt::LeftButton);
    EXPECT_TRUE(looked.contains(QStringLiteral("PPTQuestionInfo")));
    QTest::mouseClick(window.btnPPTAdd, Qt::LeftButton);
    QPointer<AddSLides> picker = window.findChild<AddSLides *>();
    ASSERT_TRUE(picker);
    look(picker);
    picker->close();
    ppt->quitPPT();
}

// The panels every window shares: an alert that names a file deep in the folders, and the file
// panel as the program sizes it.
void SmallScreenTest::sharedPanels()
{
    newModalDriver();
    PollixAlert alert(QStringLiteral("Pollix"), QStringLiteral("Exported successfully."), {QStringLiteral("OK")},
                      home() + QStringLiteral("Documents/Reports of the school year/Science/Demo Class/"
                                              "Class Response Report of the second week.pdf"));
    alert.QMessageBox::show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !alert.isVisible(); }, kEventWaitMs));
    EXPECT_TRUE(looked.contains(QStringLiteral("PollixAlert")));
    DialogHooks::setFileResponder({});
    EXPECT_TRUE(FileDialogs::getSaveFileName(nullptr, QStringLiteral("Export"), FileDialogs::Kind::Sessions,
                                              QStringLiteral("XML (*.xml)"), home())
                    .isEmpty());
    EXPECT_TRUE(looked.contains(QStringLiteral("FileDialog")));
}

} // namespace

// What the look at each window finds, on a window made to hide things: a button past the
// window's edge, a button cut by its box, tools in a toolbar's overflow, tabs behind the tab bar's
// arrows, columns past a table's edge with no scroll bar; and what it leaves alone: a button
// scrolled out of view in a scroll area, a table whose head scrolls with its rows.
TEST_F(SmallScreenTest, TheLookFindsWhatACrampedWindowHides)
{
    QMainWindow window;
    window.setObjectName(QStringLiteral("cramped"));
    auto *bar = window.addToolBar(QStringLiteral("tools"));
    bar->setObjectName(QStringLiteral("tools"));
    for (const char *name : {"tbiNew", "tbiOpen", "tbiPrint", "tbiSave", "tbiSaveAs", "tbiClose"})
        bar->addAction(QString::fromLatin1(name) + QStringLiteral(" with a long title"))->setObjectName(QLatin1String(name));
    auto *inside = new QWidget;
    window.setCentralWidget(inside);
    auto *past = new QPushButton(QStringLiteral("Past the edge"), inside);
    past->setObjectName(QStringLiteral("btnPast"));
    past->setGeometry(330, 10, 120, 30);
    auto *box = new QWidget(inside);
    box->setGeometry(10, 50, 100, 30);
    auto *cut = new QPushButton(QStringLiteral("Cut by its box"), box);
    cut->setObjectName(QStringLiteral("btnCut"));
    cut->setGeometry(40, 0, 100, 30);
    auto *tabs = new QTabBar(inside);
    tabs->setGeometry(10, 90, 120, 30);
    for (const char *tab : {"Questions", "Students", "Standards", "Settings"})
        tabs->addTab(QLatin1String(tab));
    auto *head = new QTableWidget(1, 4, inside);
    head->setObjectName(QStringLiteral("head"));
    auto *rows = new QTableWidget(3, 4, inside);
    rows->setObjectName(QStringLiteral("rows"));
    auto *clipped = new QTableWidget(3, 4, inside);
    clipped->setObjectName(QStringLiteral("clipped"));
    for (QTableWidget *t : {head, rows, clipped}) {
        t->setHorizontalScrollBarPolicy(t == rows ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        t->horizontalHeader()->setDefaultSectionSize(120);
    }
    head->setGeometry(10, 130, 200, 60);
    rows->setGeometry(10, 190, 200, 80);
    clipped->setGeometry(220, 130, 150, 140);
    auto *scroll = new QScrollArea(inside);
    scroll->setGeometry(10, 280, 150, 60);
    auto *tall = new QWidget;
    tall->resize(150, 300);
    (new QPushButton(QStringLiteral("Far down"), tall))->setGeometry(10, 250, 100, 30);
    scroll->setWidget(tall);
    window.resize(400, 400);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    const QStringList found = WindowOnScreen::problems(&window, {QStringLiteral("tbiSave"), QStringLiteral("btnGone")});
    const QString all = found.join(QLatin1Char('\n'));
    EXPECT_TRUE(all.contains(QStringLiteral("btnPast is cut"))) << all.toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("btnCut is cut: 60 x 30 of 100 x 30 shown"))) << all.toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("tools keeps")) && all.contains(QStringLiteral("tbiSaveAs"))) << all.toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("tbiSave is not shown"))) << all.toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("btnGone is not there"))) << all.toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("the tab \"Settings\""))) << all.toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("clipped's columns take 480"))) << all.toStdString();
    EXPECT_FALSE(all.contains(QStringLiteral("head's columns"))) << all.toStdString();
    EXPECT_FALSE(all.contains(QStringLiteral("Far down"))) << all.toStdString();
    EXPECT_FALSE(all.contains(QStringLiteral("off the screen"))) << all.toStdString();
}

TEST_F(SmallScreenTest, EveryWindowIsWholeOnA1024By768ScreenUnderAWindowManager)
{
    if (!XvfbRun::onX11()) {
        EXPECT_EQ(XvfbRun::run(QStringLiteral("SmallScreenTest.EveryWindowIsWhole*"), {QSize(1024, 768), true}), 0);
        return;
    }
    mainWindowAndItsSettings();
    rosterWindows();
    questionEditorAndItsDialogs();
    reportAndGradebookWindows();
    runWindows();
    slideShowQuestionEditor();
    sharedPanels();
}

