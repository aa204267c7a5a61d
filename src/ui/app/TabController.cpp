#include "TabController.h"

#include "TabInterface.h"
#include "TabKeypadInput.h"
#include "TabPresentationButtons.h"
#include "TabSettingsDialogs.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/authoring/ExamPaperInfo.h"
#include "core/engine/RunControls.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovSubjectXmlDatabase.h"
#include "core/store/TovTeacherXmlDatabase.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "ui/controls/WindowOwner.h"
#include "platform/PPTEditorMSO.h"
#include "ui/controls/AppIcons.h"
#include "ui/controls/ElidedLabel.h"
#include "ui/controls/LoginController.h"
#include "ui/app/SelectASystem.h"
#include "ui/app/WelcomeWindowController.h"
#include "ui/controls/FileDialogs.h"
#include "ui/controls/DesktopFiles.h"
#include "ui/controls/PollixAlert.h"
#include "ui/roster/ClassSetController.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>
#include <cstdlib>

namespace {

const QStringList kTabIdentifiers{QStringLiteral("Brightpoll"), QStringLiteral("ExamEditor"), QStringLiteral("Reports"),
                                  QStringLiteral("Settings")};

QString extensionOf(const QString &path)
{
    return QFileInfo(path).suffix().toLower();
}

} // namespace

TabController::Hooks &TabController::hooks()
{
    static Hooks h;
    return h;
}

void TabController::resetHooks()
{
    hooks() = Hooks();
}

TabController::TabController(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Tabctrl"));
    setWindowTitle(QStringLiteral("Pollix"));
    appDelegate = Orvenda_AppDelegate::getAppDelegate();
    m_partiData = QuizParticipantData::shareManager();
    pptUI = PPTEditorMSO::shareManager();
    std::srand(unsigned(QDateTime::currentSecsSinceEpoch()));
    m_presentation = std::make_unique<TabPresentationButtons>(this);
    m_keypads = std::make_unique<TabKeypadInput>(this);
    m_settings = std::make_unique<TabSettingsDialogs>(this);
    TabInterface::build(this);

    auto *nc = NotificationCenter::defaultCenter();
    nc->addObserver(this, Notify::DeviceChanged, [this](const Notification &) { deviceChanged(); });
    nc->addObserver(this, Notify::GetSaveState, [this](const Notification &n) {
        m_bIsPPTChanged = n.userInfo.value(Notify::Key::SaveState).toInt() != 0;
    });
    nc->addObserver(this, Notify::PPTTabCtrlAddTemplateOver, [this](const Notification &n) {
        if (n.userInfo.value(Notify::Key::PptState).toInt() != 0)
            m_bIsPPTChanged = true;
    });
    nc->addObserver(this, Notify::AddOver, [this](const Notification &) { m_presentation->AddOver(); });
    becomeFrameListener();
}

TabController::~TabController()
{
    NotificationCenter::defaultCenter()->removeObserver(this);
    if (appDelegate && appDelegate->objectToReceiveCommData() == this)
        appDelegate->setObjectToReceiveCommData(nullptr);
}

void TabController::awakeFromNib()
{
    if (hooks().runSplash) {
        hooks().runSplash(this);
    } else {
        WelcomeWindowController splash;
        splash.runModal();
    }
    m_curDeviceType = appDelegate ? appDelegate->currentDeviceType() : -1;
    if (m_curDeviceType == -1) {
        if (hooks().runSystemChoice) {
            hooks().runSystemChoice(this);
        } else {
            // Asked over the main window once it shows, so that the teacher sees where the
            // choice leads; the choice's "DeviceChanged" then sets the window up for the model.
            QTimer::singleShot(0, this, [this] {
                if (appDelegate && appDelegate->currentDeviceType() == -1)
                    chooseSystem();
            });
        }
    }
    TabInterface::setToolTips(this);
    cboParticipationMode->clear();
    cboParticipationMode->addItems({tr("Individual"), tr("Group")});
    cboParticipationMode->setCurrentIndex(0);
    refreshActionMode(m_curDeviceType, m_curParticipationMode, m_curActivityMode);
    refreshTitle(m_curDeviceType, 0, QString());
    setButtonsState(isLogIn());
    setControlEnabled(btnStart, false);
    // Nothing is loaded yet, so there is no title to set.
    setControlEnabled(btnTitleSet, false);
    setPPTButtonState(0);
    disableWhatIsNotBuilt();
}

void TabController::chooseSystem()
{
    lowerToNormalLevel();
    if (hooks().runSystemChoice) {
        hooks().runSystemChoice(this);
    } else {
        SelectASystem choice(this);
        choice.setBRunWindow(true);
        choice.exec();
    }
    raiseToStatusLevel();
}

// ---- what this build provides ----

// The one list of where this window's controls lead in this build. A window another part of the
// program provides counts once its hook is installed (PollixProgram::installServices); the free-
// style and presentation runs once the run windows say they take them.
bool TabController::isBuilt(const QWidget *control) const
{
    const Hooks &h = hooks();
    if (control == btnStart)
        return bool(h.startActivity);
    if (control == btnTitleSet)
        return bool(h.runTitleSet);
    if (control == chkStyle)
        return h.startsFreeStyle;
    if (control == btnNew || control == btnOpen || control == btnPXNew || control == btnPXOpen)
        return bool(h.openQuestionEditor);
    if (control == btnPPTOpen || control == btnPPTNew || control == btnPPTDel || control == btnPPTSave
        || control == btnPPTClose)
        return h.editsPresentations || h.startsPresentations;
    if (control == btnPPTAdd)
        return (h.editsPresentations || h.startsPresentations) && bool(h.showTemplatePicker);
    if (control == btnPPTSetup)
        return bool(h.runSlideQuestionEditor);
    // Nothing chooses a template from the main window's list yet.
    if (control == cboPPTTemp)
        return false;
    if (control == btnReport)
        return bool(h.runReport);
    if (control == btnSession)
        return bool(h.runReceiveSession);
    // Class set-up, load, the activity lists, system, data management, channel and keypad set-up,
    // hardware test, login and version settings: this window's own.
    return true;
}

QString TabController::loadFilter()
{
    if (hooks().startsPresentations)
        return QStringLiteral("Quiz files (*.px *.ppt *.pptx *.doc *.docx *.pdf *.htm *.html *.sep)");
    if (hooks().editsPresentations)
        return QStringLiteral("Quiz files (*.px *.ppt *.pptx)");
    return QStringLiteral("Quiz files (*.px)");
}

void TabController::setControlEnabled(QWidget *control, bool on)
{
    control->setEnabled(on && isBuilt(control));
}

void TabController::disableWhatIsNotBuilt()
{
    for (QWidget *control : findChildren<QWidget *>()) {
        if (!isBuilt(control))
            control->setEnabled(false);
    }
    // A tab whose every control leads nowhere is no place to go; on the small-family models the
    // Reports tab is only a way into the report window.
    const bool smallFamily = m_curDeviceType == 0 || m_curDeviceType == 1 || m_curDeviceType == 4;
    tabView->setTabEnabled(1, isBuilt(btnPXNew) || isBuilt(btnPXOpen));
    tabView->setTabEnabled(2, isBuilt(btnReport) || (!smallFamily && isBuilt(btnSession)));
}

void TabController::closeEvent(QCloseEvent *event)
{
    // The slides live in Pollix: changes not saved now would be gone.
    if (m_bIsPPTChanged && !m_presentation->askToSavePPT()) {
        event->ignore();
        return;
    }
    event->accept();
    QApplication::quit();
}

void TabController::showEvent(QShowEvent *event)
{
    // Back from a run at the window's own size, whatever size the run window left it at.
    if (m_sizeBeforeRun.isValid()) {
        resize(m_sizeBeforeRun);
        m_sizeBeforeRun = QSize();
    }
    QMainWindow::showEvent(event);
}

// Said without a question: the teacher keypad may already be asking for the next run.
void TabController::sessionSaved(const QString &path)
{
    txtSessionSaved->setFullText(tr("Session saved to %1").arg(QDir::toNativeSeparators(path)));
}

// ---- window levels ----

bool TabController::isStatusLevel() const
{
    return windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void TabController::raiseToStatusLevel()
{
    if (!isStatusLevel())
        setKeepAbove(true);
}

void TabController::lowerToNormalLevel()
{
    if (isStatusLevel())
        setKeepAbove(false);
}

// QWidget::setWindowFlags would destroy and recreate the native window (it flashes and moves
// under a window manager); only the stacking changes here.
void TabController::setKeepAbove(bool above)
{
    WindowOwner::keepAbove(this, above);
}

// ---- indicators ----

// Green title for a done step, through the button's own palette: a style sheet here would reach
// the button's tool tip too, and a bolder font would move the title.
void TabController::setIndicatorTitle(QPushButton *button, bool on)
{
    if (on) {
        QPalette palette = button->palette();
        palette.setColor(QPalette::Active, QPalette::ButtonText, QColor(0x13, 0x8a, 0x13));
        palette.setColor(QPalette::Inactive, QPalette::ButtonText, QColor(0x13, 0x8a, 0x13));
        button->setPalette(palette);
    } else {
        button->setPalette(QPalette()); // the window's own again
    }
    button->setProperty("indicator", on);
}

void TabController::setClassSetted(bool v)
{
    setIndicatorTitle(btnClassSet, v);
    m_bIsClassSetted = v;
}

void TabController::setLoad(bool v)
{
    setIndicatorTitle(btnLoad, v);
    m_bIsLoaded = v;
}

void TabController::setButtonsState(bool loggedIn)
{
    const QList<std::pair<QPushButton *, QString>> images{{btnReport, QStringLiteral("Report.png")},
                                                          {btnChannelSet, QStringLiteral("channel.png")},
                                                          {btnDatabase, QStringLiteral("database.png")}};
    for (const auto &[button, image] : images) {
        const QString name = loggedIn ? image : QStringLiteral("lock.png");
        TabInterface::setBarIcon(button, AppIcons::icon(name));
        button->setProperty("imageName", name);
    }
}

// State 0 asks the presentation driver: no presentation, an empty one, or one with slides.
// The question editor over the slides counts only once it is there.
void TabController::setPPTButtonState(int state)
{
    bool add = state != -1, del = add, save = add, close = add, setup = add;
    if (state == 0) {
        const int slides = pptUI ? pptUI->getCountOfSlide() : -1;
        add = save = close = slides >= 0;
        del = setup = slides >= 1;
    }
    setControlEnabled(btnPPTAdd, add);
    setControlEnabled(btnPPTDel, del);
    setControlEnabled(btnPPTSave, save);
    setControlEnabled(btnPPTClose, close);
    setControlEnabled(btnPPTSetup, setup);
}

void TabController::refreshTitle(int type, int, const QString &className)
{
    static const QStringList models{QStringLiteral("TovEnvel"), QStringLiteral("TovArvel"), QStringLiteral("TovCorvel"),
                                    QStringLiteral("TovDravel"), QStringLiteral("TovBrevel")};
    const QString model = (type >= 0 && type < models.size()) ? models.at(type) : QString();
    if (type == 0 || type == 1 || type == 4)
        btnChannelSet->setText(tr("Remote ID"));
    else if (type == 2 || type == 3)
        btnChannelSet->setText(tr("Channel"));

    QString word = tr("Connected");
    if (appDelegate && appDelegate->currentDeviceType() == m_curDeviceType) {
        const int usb = appDelegate->usbDeviceType();
        if (usb == -1 || usb != m_curDeviceType)
            word = tr("No Host");
    }
    QString title = QStringLiteral("Pollix") + QStringLiteral(" (%1 %2)").arg(model, word);
    if (!className.isEmpty())
        title += QStringLiteral(" %1:%2").arg(tr("Class"), className);
    setWindowTitle(title);
}

// ---- activity list ----

QList<int> TabController::activityList(int type, int partMode, bool freeStyle)
{
    using D = Orvenda_AppDelegate;
    if (type == 0 || type == 1 || type == 4) {
        if (partMode == 0)
            return freeStyle ? D::ActivityArvelFreeStyle() : D::ActivityArvelIndividual();
        if (partMode == 1)
            return freeStyle ? D::ActivityArvelFreeStyle() : D::ActivityArvelGroup();
    } else if (type == 2 || type == 3) {
        if (partMode == 0)
            return freeStyle ? D::ActivityCorvelFreeStyle() : D::ActivityCorvelIndividual();
        if (partMode == 1)
            return freeStyle ? D::ActivityCorvelFreeStyleGroup() : D::ActivityCorvelGroup();
    }
    return {};
}

void TabController::refreshActionMode(int type, int partMode, int curActMode)
{
    chkStyle->setChecked(m_isFreeStyle);
    const QString remembered = cboActivityMode->count() == 0 ? QStringLiteral("0") : cboActivityMode->currentText();
    cboActivityMode->clear();

    const QList<int> list = activityList(type, partMode, m_isFreeStyle);
    const QStringList &names = Orvenda_AppDelegate::AllActivityMode();
    for (int no : list)
        cboActivityMode->addItem(names.value(no));
    if (list.isEmpty())
        return;

    const QString wanted = names.value(curActMode);
    int selected;
    if (!m_isFreeStyle && partMode == 0)
        selected = cboActivityMode->findText(wanted);
    else
        selected = (curActMode == 0 || curActMode == 3 || curActMode == 4) ? cboActivityMode->findText(wanted) : 0;
    if (remembered != QLatin1String("0")) {
        selected = cboActivityMode->findText(remembered);
        if (selected < 0)
            selected = remembered == names.value(2) ? 1 : 0;
    }
    selected = qBound(0, selected, int(list.size()) - 1);
    cboActivityMode->setCurrentIndex(selected);
    m_curActivityMode = list.at(selected);

    if (m_curActivityMode == 8)
        setControlEnabled(btnLoad, false);
    else if (!m_isFreeStyle && (m_nLastState == 8 || m_nLastState == 13)) {
        // Leaving Attendance through another list (participation or model change) must give the
        // Load button back, as choosing another activity does.
        setControlEnabled(btnLoad, true);
        setControlEnabled(btnTitleSet, m_bIsLoaded);
        setControlEnabled(btnStart, false);
        m_nLastState = m_curActivityMode;
    }
}

void TabController::comboBoxSelectionDidChange(QComboBox *box)
{
    const int index = box->currentIndex();
    if (index < 0)
        return;
    if (box == cboParticipationMode) {
        m_curParticipationMode = index;
        refreshActionMode(m_curDeviceType, m_curParticipationMode, m_curActivityMode);
        return;
    }
    const QList<int> list = activityList(m_curDeviceType, m_curParticipationMode, m_isFreeStyle);
    if (index >= list.size())
        return;
    m_curActivityMode = list.at(index);
    if (m_curActivityMode == 8 || m_curActivityMode == 13 || m_isFreeStyle) {
        setControlEnabled(btnLoad, false);
        setControlEnabled(btnTitleSet, false);
        setControlEnabled(btnStart, true);
    } else if (m_nLastState == 8 || m_nLastState == 13) {
        setControlEnabled(btnLoad, true);
        setControlEnabled(btnTitleSet, m_bIsLoaded);
        setControlEnabled(btnStart, false);
    }
    m_nLastState = m_curActivityMode;
}

void TabController::doCheckStyle()
{
    const bool checked = chkStyle->isChecked();
    if (checked) {
        m_isFreeStyle = true;
        setLoad(false);
    } else {
        m_isFreeStyle = false;
        m_curParticipationMode = qMax(0, cboParticipationMode->currentIndex());
    }
    setControlEnabled(btnLoad, !checked);
    setControlEnabled(btnTitleSet, !checked && m_bIsLoaded);
    setControlEnabled(btnStart, checked);
    refreshActionMode(m_curDeviceType, m_curParticipationMode, m_curActivityMode);
}

// ---- tabs ----

void TabController::tabChanged(int index)
{
    if (m_revertingTab)
        return;
    if (!tabViewShouldSelect(index)) {
        m_revertingTab = true;
        tabView->setCurrentIndex(m_lastTabIndex);
        m_revertingTab = false;
        return;
    }
    m_lastTabIndex = index;
    tabViewDidSelect(index);
}

bool TabController::tabViewShouldSelect(int index)
{
    lowerToNormalLevel();
    const QString id = tabView->widget(index)->objectName();
    if (id == QLatin1String("Reports") && (m_curDeviceType == 0 || m_curDeviceType == 1 || m_curDeviceType == 4)) {
        // Keep the tab where it was while the report window runs.
        m_revertingTab = true;
        tabView->setCurrentIndex(m_lastTabIndex);
        m_revertingTab = false;
        if (isLogIn() || login())
            doReportsWindow();
        return false;
    }
    return true;
}

void TabController::tabViewDidSelect(int index)
{
    lowerToNormalLevel();
    m_curWinState = int(kTabIdentifiers.indexOf(tabView->widget(index)->objectName()));
    becomeFrameListener();
}

// ---- login and dialogs ----

bool TabController::isLogIn() const
{
    return appDelegate && appDelegate->isLogin();
}

bool TabController::login()
{
    lowerToNormalLevel();
    bool ok;
    if (hooks().runLogin) {
        ok = hooks().runLogin(this);
    } else {
        LoginController dialog(this);
        dialog.exec();
        ok = LoginController::isLogin();
    }
    if (appDelegate)
        appDelegate->setIsLogin(ok);
    setButtonsState(ok);
    return ok;
}

void TabController::doReports()
{
    if (!isLogIn() && !login())
        return;
    doReportsWindow();
}

void TabController::doReportsWindow()
{
    lowerToNormalLevel();
    if (hooks().runReport)
        hooks().runReport(this);
}

void TabController::doSession()
{
    lowerToNormalLevel();
    if (hooks().runReceiveSession) {
        const QString saved = hooks().runReceiveSession(this);
        // The status line names the last save, whichever window made it.
        if (!saved.isEmpty())
            sessionSaved(saved);
    }
    becomeFrameListener();
}

void TabController::doVersionInfo() { m_settings->doVersionInfo(); }
void TabController::doHardwareTest() { m_settings->doHardwareTest(); }
void TabController::doChannelSet() { m_settings->doChannelSet(); }
void TabController::doSystemSet() { m_settings->doSystemSet(); }
void TabController::doLoginSet() { m_settings->doLoginSet(); }
void TabController::doDataManagement() { m_settings->doDataManagement(); }

// ---- Brightpoll actions ----

void TabController::doClassSet()
{
    lowerToNormalLevel();
    m_isRun = true;
    ClassSetup setup;
    setup.classNo = m_partiData->classNo();
    setup.subjectNo = m_partiData->subjectNo();
    setup.teacherNo = m_partiData->teacherNo();
    const int result = hooks().runClassSet ? hooks().runClassSet(this, setup) : runClassSetDialog(setup);
    m_isRun = false;
    // The dialog may have logged a teacher in or out.
    setButtonsState(isLogIn());
    if (result != 1) {
        // Cancel leaves the class set up before as it was, unless the roster windows behind
        // the dialog took that class, subject or teacher away meanwhile.
        if (m_bIsClassSetted && !chosenClassStillThere()) {
            setClassSetted(false);
            refreshTitle(m_curDeviceType, 0, QString());
        }
        return;
    }
    setClassSetted(true);
    refreshTitle(m_curDeviceType, 0, setup.className);
    m_partiData->setClassNo(setup.classNo);
    m_partiData->setClassName(setup.className);
    m_partiData->setSubjectNo(setup.subjectNo);
    m_partiData->setSubjectName(setup.subjectName);
    m_partiData->setTeacherNo(setup.teacherNo);
    m_partiData->setTeacherName(setup.teacherName);
    m_partiData->setArrayClassStudents(setup.students);
    m_partiData->setMaxGroupNo(setup.maxGroupNo);
    m_partiData->resetRandomTeacherID();
    if (m_partiData->maxGroupNo() == 1 && cboParticipationMode->currentIndex() == 1)
        setControlEnabled(btnStart, false);
    if (m_isFreeStyle || m_curActivityMode == 8)
        setControlEnabled(btnStart, true);
}

bool TabController::chosenClassStillThere() const
{
    const auto has = [](const auto &list, int no) {
        return std::any_of(list.cbegin(), list.cend(), [no](const auto &e) { return e.no() == no; });
    };
    return has(TovClassXmlDatabase::sharedClassUI()->classList(), m_partiData->classNo())
           && has(TovSubjectXmlDatabase::sharedSubjectUI()->subjectList(), m_partiData->subjectNo())
           && has(TovTeacherXmlDatabase::sharedUI()->teacherList(), m_partiData->teacherNo());
}

int TabController::runClassSetDialog(ClassSetup &setup)
{
    ClassSetController dialog(this);
    dialog.setClassNo(setup.classNo);
    dialog.setSubjectNo(setup.subjectNo);
    dialog.setTeacherNo(setup.teacherNo);
    const int result = dialog.exec();
    setup.classNo = dialog.classNo();
    setup.className = dialog.className();
    setup.subjectNo = dialog.subjectNo();
    setup.subjectName = dialog.subjectName();
    setup.teacherNo = dialog.teacherNo();
    setup.teacherName = dialog.teacherName();
    setup.maxGroupNo = dialog.maxGroupNo();
    setup.students.clear();
    for (const StudentInClass &student : dialog.students())
        setup.students << std::make_shared<StudentInClass>(student);
    return result;
}

void TabController::doLoad()
{
    m_isRun = true;
    // Loading closes the open presentation: changes to it are saved first when the teacher says so.
    if (m_bIsPPTChanged && !m_presentation->askToSavePPT()) {
        m_isRun = false;
        return;
    }
    m_bIsPPTChanged = false;
    if (pptUI)
        pptUI->quitPPT();
    setPPTButtonState(0);
    lowerToNormalLevel();
    if (openFile()) {
        setLoad(true);
        setControlEnabled(btnTitleSet, true);
        setControlEnabled(btnStart, true);
        raiseToStatusLevel();
    }
    m_isRun = false;
}

std::optional<TabController::QuestionFileInfo> TabController::readQuestionFile(const QString &path)
{
    const std::shared_ptr<ExamPaperInfo> paper = ExamPaperInfo::unarchiveObjectWithFile(path);
    if (!paper)
        return std::nullopt;
    QuestionFileInfo info;
    info.strSymbol = paper->strSymbol();
    info.nExamPaperID = paper->nExamPaperID();
    for (const QuestionSetViewPtr &q : paper->arrayQuestionsInfo())
        if (q)
            info.questionTypes << q->nQuestionType();
    return info;
}

bool TabController::acceptedQuestionFile(const QString &path, QuestionFileInfo *info) const
{
    const std::optional<QuestionFileInfo> read = hooks().readQuestionFile ? hooks().readQuestionFile(path) : readQuestionFile(path);
    if (!read || read->strSymbol != QLatin1String("Pollix"))
        return false;
    if (info)
        *info = *read;
    return true;
}

bool TabController::openFile()
{
    // The teacher keypad reaches this too, with the window still floating above the slides.
    lowerToNormalLevel();
    const QString chosen = FileDialogs::getOpenFileName(this, tr("Load Quiz File"), FileDialogs::Kind::QuestionFiles, loadFilter());
    if (chosen.isEmpty())
        return false;
    const QString ext = extensionOf(chosen);
    // A name typed past the filter is held to the same types: nothing may load that cannot run.
    const bool presentations = hooks().startsPresentations;
    const bool decks = presentations || hooks().editsPresentations;
    QString path = chosen;
    bool isPPT = false;
    bool accepted = false;
    std::optional<QuestionFileInfo> questions;
    const auto acceptQuestions = [&] {
        QuestionFileInfo info;
        if (!acceptedQuestionFile(path, &info))
            return false;
        questions = info;
        return true;
    };
    if (ext == QLatin1String("px")) {
        accepted = acceptQuestions();
    } else if (decks && (ext == QLatin1String("ppt") || ext == QLatin1String("pptx"))) {
        isPPT = true;
        QString why;
        if (pptUI && !pptUI->openPPT(path, &why)) {
            PollixAlert::show(this, QStringLiteral("Pollix"), tr("The presentation could not be opened."), {tr("OK")}, why);
            return false;
        }
        accepted = pptUI != nullptr;
    } else if (!presentations) {
        accepted = false;
    } else if (QStringList{QStringLiteral("doc"), QStringLiteral("docx"), QStringLiteral("pdf"), QStringLiteral("htm"),
                           QStringLiteral("html")}.contains(ext)) {
        path = FileDialogs::getOpenFileName(this, tr("Load Answer Sheet"), FileDialogs::Kind::QuestionFiles,
                                            QStringLiteral("Answer sheets (*.sep)"));
        if (path.isEmpty())
            return false;
        isPPT = true;
        accepted = acceptQuestions();
    } else if (ext == QLatin1String("sep")) {
        isPPT = true;
        accepted = acceptQuestions();
    }
    if (!accepted) {
        // The previous load stays as it was: a still-enabled Start must not use the rejected file.
        PollixAlert::show(this, tr("Warning"), tr("Error format!"));
        return false;
    }
    m_FilePath = path;
    m_FileSepPath = chosen;
    m_isLoadPPT = isPPT;
    if (questions)
        warnOfUnanswerableQuestions(questions->questionTypes);
    return true;
}

void TabController::warnOfUnanswerableQuestions(const QList<int> &questionTypes)
{
    const QList<int> numbers = RunControls::unanswerableQuestions(m_curActivityMode, m_curDeviceType, questionTypes);
    if (numbers.isEmpty())
        return;
    QStringList names;
    for (int n : numbers)
        names << QString::number(n);
    const QString which = numbers.size() == 1 ? tr("question %1").arg(names.first()) : tr("questions %1").arg(names.join(", "));
    PollixAlert::show(this, QStringLiteral("Pollix ARS"),
                      tr("The connected keypads cannot answer %1.").arg(which),
                      {tr("OK")},
                      tr("They answer single-answer and true-or-false questions only. In the run, %1 will be shown as "
                         "teaching pages and cannot be started.")
                          .arg(numbers.size() == 1 ? tr("this question") : tr("these questions")));
}

void TabController::doTitleSet()
{
    lowerToNormalLevel();
    const bool isPPT = m_isLoadPPT && extensionOf(m_FilePath) != QLatin1String("sep");
    // The title of a deck is the name of the deck that is open, which Start runs.
    if (hooks().runTitleSet)
        hooks().runTitleSet(this, isPPT && pptUI ? pptUI->deckName() : m_FilePath, isPPT);
    raiseToStatusLevel();
}

TabController::StartRequest TabController::baseRequest() const
{
    StartRequest r;
    r.strPath = m_FilePath;
    r.nDeviceType = m_curDeviceType;
    r.nMode = m_curActivityMode;
    r.nParticiptionMode = m_curParticipationMode;
    r.bIsFreeStyle = m_isFreeStyle;
    r.nIsGroup = qMax(0, cboParticipationMode->currentIndex());
    return r;
}

void TabController::startRun(StartRequest request)
{
    lowerToNormalLevel();
    txtSessionSaved->setFullText(QString());
    if (request.nMode != 8 || request.kind != StartRequest::Activity)
        m_partiData->resetRandomQuizID();
    if (!hooks().startActivity)
        return;
    // The run window brings the main window back when it closes.
    if (request.nMode != 8) {
        m_sizeBeforeRun = size();
        hide();
    }
    hooks().startActivity(this, request);
}

void TabController::doStart()
{
    if (!m_bIsClassSetted) {
        doClassSet();
        if (!m_bIsClassSetted)
            return;
    }
    if (m_isRun)
        return;
    m_isRun = true;
    // Every way out shows a window or an alert of its own.
    lowerToNormalLevel();

    if (m_curActivityMode == 8) {
        startRun(baseRequest());
    } else if (!m_isLoadPPT) {
        StartRequest r = baseRequest();
        QuestionFileInfo info;
        const bool readable = acceptedQuestionFile(m_FilePath, &info);
        if (!readable && !m_isFreeStyle) {
            // The file changed or went away since it was loaded.
            PollixAlert::show(this, tr("Warning"), tr("Error format!"));
            m_isRun = false;
            return;
        }
        if ((m_curActivityMode == 1 || m_curActivityMode == 2)
            && std::none_of(info.questionTypes.cbegin(), info.questionTypes.cend(), [](int t) { return t != 4; })) {
            // The teacher keypad's F1 can answer the warning from the front of the room.
            PollixAlert alert(tr("Warning"), tr("Teaching Plan"), {QStringLiteral("  \"F1\" OK  ")}, {}, this);
            if (appDelegate)
                appDelegate->setObjectToReceiveCommData(&alert);
            alert.runModal();
            becomeFrameListener();
            m_isRun = false;
            return;
        }
        r.testID = info.nExamPaperID;
        startRun(r);
    } else {
        StartRequest r = baseRequest();
        r.fileSepPath = m_FileSepPath;
        const bool answerSheet = extensionOf(m_FilePath) == QLatin1String("sep");
        if (!answerSheet && !m_isFreeStyle && m_curDeviceType >= 1 && m_curDeviceType <= 4
            && (!pptUI || pptUI->getCountOfSlide() < 1)) {
            btnStart->setEnabled(false);
            lowerToNormalLevel();
            PollixAlert::show(this, QStringLiteral("Pollix"),
                              QStringLiteral("The quiz file you loaded is empty. Please load another file."));
            m_isRun = false;
            return;
        }
        if (m_isFreeStyle) {
            startRun(r);
            setControlEnabled(btnTitleSet, false);
            m_bIsLoaded = false;
        } else {
            r.kind = answerSheet ? StartRequest::AnswerSheet : StartRequest::Presentation;
            if (answerSheet) {
                QuestionFileInfo info;
                if (acceptedQuestionFile(m_FilePath, &info))
                    r.testID = info.nExamPaperID;
            } else if (!m_presentation->preparePresentationStart(r)) {
                m_isRun = false;
                return;
            }
            startRun(r);
            setControlEnabled(btnTitleSet, false);
            setControlEnabled(btnStart, false);
            m_bIsLoaded = false;
            if (answerSheet) {
                m_isLoadPPT = false;
                // The document the sheet's questions are printed in is shown beside the run.
                if (!m_FileSepPath.isEmpty() && m_FileSepPath != m_FilePath)
                    DesktopFiles::openBesideRun(this, m_FileSepPath);
            }
            // A paper quiz or homework needs no slide show: the deck closes, unless its save did
            // not happen (it was tried before the run began), and then it stays open with its changes.
            if (!answerSheet && (m_curActivityMode == 1 || m_curActivityMode == 2) && !pptUI->isModified())
                pptUI->quitPPT();
        }
    }
    // A loaded file serves one run only.
    if (!m_isFreeStyle && m_curActivityMode != 8) {
        setControlEnabled(btnStart, false);
        m_bIsLoaded = false;
    }
    if (m_curActivityMode == 8)
        setControlEnabled(btnLoad, false);
    setLoad(false);
    m_isRun = false;
}

// ---- ExamEditor ----

void TabController::doPXNew()
{
    lowerToNormalLevel();
    if (hooks().openQuestionEditor)
        hooks().openQuestionEditor(this, QString());
}

void TabController::doPXOpen()
{
    lowerToNormalLevel();
    const QString path = FileDialogs::getOpenFileName(this, tr("Open Question File"), FileDialogs::Kind::QuestionFiles,
                                                      QStringLiteral("Question files (*.px *.sep)"));
    if (path.isEmpty())
        return;
    if (!acceptedQuestionFile(path, nullptr)) {
        PollixAlert::show(this, tr("Warning"), tr("Error format!"));
        return;
    }
    if (hooks().openQuestionEditor)
        hooks().openQuestionEditor(this, path);
}

// ---- model change ----

void TabController::deviceChanged()
{
    const int type = appDelegate ? appDelegate->currentDeviceType() : -1;
    if (type != m_curDeviceType) {
        m_curDeviceType = type;
        m_curActivityMode = 0;
        setClassSetted(false);
        setLoad(false);
        refreshTitle(m_curDeviceType, 0, QString());
        refreshActionMode(m_curDeviceType, m_curParticipationMode, 0);
        disableWhatIsNotBuilt();
    } else {
        refreshTitle(m_curDeviceType, 0, m_bIsClassSetted ? m_partiData->className() : QString());
    }
}

// ---- keypad input ----

void TabController::becomeFrameListener()
{
    if (appDelegate)
        appDelegate->setObjectToReceiveCommData(this);
}

void TabController::handleMachMessage()
{
    if (!appDelegate)
        return;
    const DataOfFrame frame = appDelegate->frameToHandle();
    appDelegate->signalConditionOfDataHandled();
    if (!frame.isNull())
        handleKeypadFrame(frame);
}

void TabController::handleKeypadFrame(const DataOfFrame &frame) { m_keypads->handleKeypadFrame(frame); }
void TabController::sendStudentLogoutClass() { m_keypads->sendStudentLogoutClass(); }
void TabController::sendWrongState(int state) { m_keypads->sendWrongState(state); }
void TabController::sendQuizMsgToTeacher() { m_keypads->sendQuizMsgToTeacher(); }
void TabController::sendClassMsgToDevice(int id) { m_keypads->sendClassMsgToDevice(id); }
