#include "PPTQuizStateWindowController.h"

#include "PPTBaffle.h"
#include "PPTQuizStateInterface.h"
#include "PPTShowStage.h"
#include "Show.h"
#include "SlideShowFather.h"

#include "core/base/CommonFunc.h"
#include "core/app/Orvenda_AppDelegate.h"
#include "core/authoring/ExamPaperInfo.h"
#include "core/engine/ActivityRules.h"
#include "core/engine/QuizComputeMethod.h"
#include "core/engine/QuizData.h"
#include "core/engine/QuizMode.h"
#include "core/engine/QuizModeFactory.h"
#include "core/engine/QuizParticipantData.h"
#include "core/engine/QuizQuestions.h"
#include "core/engine/RunQuestionRecord.h"
#include "core/keypad/TovDevice.h"
#include "core/presentation/MouseFunction.h"
#include "core/presentation/QuestionSlideFormat.h"
#include "core/presentation/SlideShowRunRules.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "platform/PPTEditorMSO.h"
#include "platform/SlideShowWindow.h"
#include "ui/controls/DialogHooks.h"
#include "ui/controls/PollixAlert.h"
#include "ui/run/ForceLoginController.h"
#include "ui/run/PPTStudentLoginView.h"
#include "ui/run/PlayMusic.h"
#include "ui/run/RunCountDown.h"
#include "ui/run/RunFrameRouter.h"
#include "ui/run/RunReceiver.h"
#include "ui/run/RunChildWindow.h"
#include "ui/run/RunResultWindows.h"
#include "ui/run/RunSounds.h"
#include "ui/run/RunStudentGrid.h"
#include "ui/run/RunTimer.h"
#include "ui/run/SaveToDataController.h"
#include "ui/run/StudentLoginView.h"

#include <QChildEvent>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QPushButton>

#include <algorithm>
#include <utility>

using Control = RunControls::Control;
using Phase = RunControls::Phase;
using KeyAction = TeacherKeyMap::Action;

namespace {
bool setOnKeypads(int activity)
{
    return activity == Activity::PaperQuiz || activity == Activity::HomeWork;
}
} // namespace

PPTQuizStateWindowController::Hooks &PPTQuizStateWindowController::hooks()
{
    static Hooks h;
    return h;
}

// ---- creation ----

PPTQuizStateWindowController::PPTQuizStateWindowController(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_stage(std::make_unique<PPTShowStage>(this))
{
    setObjectName(QStringLiteral("PPTQuizState"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Pollix"));
    setMouseTracking(true);
    appDelegate = Orvenda_AppDelegate::getAppDelegate();
    pptUI = PPTEditorMSO::shareManager();
    qcmObject = std::make_unique<QuizComputeMethod>();
    qqObject = QuizQuestions::shareManager();
    qpdObject = QuizParticipantData::shareManager();
    qdObject = QuizData::shareManager();

    PPTQuizStateInterface::build(this);
    pptStudentLoginView = new PPTStudentLoginView(this);
    pptStudentLoginView->installEventFilter(this);
    showHideWindow = new Show(this);
    showHideWindow->installEventFilter(this);
    RunSession::Window window;
    window.widget = this;
    window.sink = this;
    window.txtQuizTime = txtQuizTime;
    window.grid = pptStudentLoginView->studentLoginView;
    window.gridArea = pptStudentLoginView->LoginSV;
    window.txtLoginAndAnswered = txtLoginAndAnswered;
    window.txtReceiverState = txtReceiverState;
    // A bar the teacher hid comes back to say that the receiver is lost.
    window.receiverLost = [this](bool lost) {
        if (!m_loaded)
            return;
        if (lost) {
            m_barHeightBeforeLoss = height() > 1 ? height() : PPTQuizStateInterface::kBarHeight;
            if (showHideWindow->isVisible()) {
                showHideWindow->hide();
                setWindowToNormal();
            }
        } else if (const int before = std::exchange(m_barHeightBeforeLoss, 0); before && height() > 1) {
            // The notice may have crowded the bar into a narrower arrangement, which a bar that
            // grows never leaves by itself: gone, the roomiest that fits is taken again.
            PPTQuizStateInterface::placeBar(this, before);
        }
    };
    window.press = [this](KeyAction action) { press(action); };
    window.keyAction = [this](const DataOfFrame &frame) {
        return TeacherKeyMap::slideShowRunAction(frame, m_run->nMode, m_run->nDeviceType);
    };
    window.timeUp = [this] { OnStop(); };
    window.shouldClose = [this] { return windowShouldClose(); };
    window.exit = [this] { OnExit(); };
    window.viewMove = [this](bool on) { pptStudentLoginView->setViewMove(on); };
    // In the middle of the screen, not over the bar at its foot.
    window.prepareAlert = [this](PollixAlert *alert) { alert->installEventFilter(this); };
    window.countDownLeadIn = [this] {
        return SlideShowRunRules::leadIn(m_run->nMode, m_run->nDeviceType, qpdObject->getSumOfLoginStudents());
    };
    window.saveDialog = [this](const QuizStateWindowController::SaveRequest &r) {
        if (hooks().runSaveDialog)
            hooks().runSaveDialog(this, r);
        return bool(hooks().runSaveDialog);
    };
    window.afterRun = [this] {
        pptStudentLoginView->hide();
        if (pptBaffle)
            pptBaffle->hide();
        showHideWindow->hide();
        if (SlideShowWindow *show = pptUI->showWindow())
            show->setReservedMargins({});
    };
    window.toFather = [this](QWidget *father) {
        // The deck was closed with the show: the presentation buttons follow.
        if (auto *tab = dynamic_cast<SlideShowFather *>(father); tab && !m_bIsAnsSheet)
            tab->setPPTButtonState(0);
    };
    m_run = new RunSession(std::move(window));
    observeNotifications();
}

PPTQuizStateWindowController::~PPTQuizStateWindowController()
{
    NotificationCenter::defaultCenter()->removeObserver(this);
    disconnect(pptUI, nullptr, this, nullptr);
    if (appDelegate && appDelegate->objectToReceiveCommData() == this)
        appDelegate->setObjectToReceiveCommData(m_run->father);
    if (playMusicControl)
        playMusicControl->closeSelf();
    m_run->modeObject.reset();
    // A show that outlives the run has the whole screen again.
    if (SlideShowWindow *show = pptUI->showWindow())
        show->setReservedMargins({});
}

void PPTQuizStateWindowController::observeNotifications()
{
    NotificationCenter *nc = NotificationCenter::defaultCenter();
    const auto on = [this, nc](QLatin1String name, const std::function<void(const Notification &)> &handler) {
        nc->addObserver(this, name, handler);
    };
    on(Notify::DeviceChanged, [this](const Notification &) { handleDeviceChanged(); });
    on(Notify::StudentAnswer, [this](const Notification &n) { studentAnswerNotification(n); });
    on(Notify::StudentRush, [this](const Notification &n) { studentRushNotification(n); });
    on(Notify::StudentElimination, [this](const Notification &n) { m_run->students->studentEliminationNotification(n); });
    on(Notify::StudentNextPrevious, [this](const Notification &n) { m_run->students->studentPaperQuizPgupPgdn(n); });
    on(Notify::StudentQuickGrouping, [this](const Notification &n) { m_run->students->studentQuickGroupingNotification(n); });
    on(Notify::HandRaiseDeviceNo, [this](const Notification &n) {
        if (n.object == pptStudentLoginView->studentLoginView)
            handRaiseSelectedToAnswer(n);
    });
    on(Notify::StudentForceLogin, [this](const Notification &n) { forceLogin(n); });
    on(Notify::StudentLogin, [this](const Notification &n) { studentLogin(n); });
    on(Notify::StudentHaveQuestion, [this](const Notification &n) {
        txtHandRaise->setText(QString::number(n.userInfo.value(Notify::Key::Count).toInt()));
    });
    on(Notify::SendQuestionOverSetFocus, [this](const Notification &) {
        activateWindow();
        raise();
    });
    on(Notify::SendQuestionReady, [this](const Notification &) {
        if (hooks().runSendQuestions)
            m_run->runChildWindow([this] { hooks().runSendQuestions(this, true, false); });
    });
    on(Notify::LoginViewToNormal, [this](const Notification &) { setLoginViewToNoraml(); });
    on(Notify::StudentLogout, [this](const Notification &n) { m_run->students->setStudentLogout(n); });
    on(Notify::ShowHideWindow, [this](const Notification &) { setWindowToNormal(); });
    on(Notify::GetReadContent, [this](const Notification &n) { getContent(n); });
    // The teacher may step the show with its own keys: between questions the bar follows it.
    connect(pptUI, &PPTEditorMSO::showPositionChanged, this, [this](int index) {
        if (!overShow() || m_run->bStartFlag || m_run->closing || !m_loaded || m_followingShow || index < 1 || index > questionCount()
            || index - 1 == m_nCurrentQuestionNo)
            return;
        const bool forward = index - 1 > m_nCurrentQuestionNo;
        m_nCurrentQuestionNo = index - 1;
        afterStep(forward);
    });
}

void PPTQuizStateWindowController::setStrPath(const QString &path)
{
    m_run->strPath = path;
    m_bIsAnsSheet = path.endsWith(QLatin1Char('p'));
    qqObject->setStrTestTitle(path);
}

void PPTQuizStateWindowController::setTestID(int id)
{
    qqObject->setNTestID(id);
}

void PPTQuizStateWindowController::showWindow()
{
    if (!m_loaded) {
        windowDidLoad();
        m_loaded = true;
    }
    show();
    m_stage->keepAboveShow();
}

const QList<StudentEntity> &PPTQuizStateWindowController::arrStuLoginContentTime() const
{
    return m_run->students->arrStuLoginContentTime();
}

// ---- set-up ----

void PPTQuizStateWindowController::windowDidLoad()
{
    m_run->greetReceiver();
    const RunControls::Controls shown = RunControls::shown(m_run->nMode, m_run->nDeviceType);
    for (const PPTQuizStateInterface::BarButton &row : PPTQuizStateInterface::barButtons())
        if (row.control)
            (this->*row.outlet)->setVisible(shown.testFlag(row.control));
    // Arvel and Brevel keypads page a paper quiz or homework themselves: no figures of questions.
    if (setOnKeypads(m_run->nMode) && (m_run->nDeviceType == DeviceType::Arvel || m_run->nDeviceType == DeviceType::Brevel)) {
        for (QWidget *w : {static_cast<QWidget *>(txtLoginAndAnsweredTitle), static_cast<QWidget *>(txtLoginAndAnswered),
                           static_cast<QWidget *>(txtDone), static_cast<QWidget *>(txtQuNoTitle), static_cast<QWidget *>(txtQuNo),
                           static_cast<QWidget *>(txtPageAndTotalPage), static_cast<QWidget *>(txtPageAndTotalPageTitle)})
            w->hide();
    }
    // A paper quiz keeps its strip large: the strip key has nothing to change.
    if (m_run->nMode == Activity::PaperQuiz)
        btnUpHide->setEnabled(false);

    PPTQuizStateInterface::placeBar(this, PPTQuizStateInterface::kBarHeight);

    if (!m_bIsAnsSheet) {
        pptBaffle = new PPTBaffle(this);
        if (m_run->nDeviceType == DeviceType::Dravel && setOnKeypads(m_run->nMode))
            pptBaffle->setMessageID(QString::number(qqObject->nTestID()), qqObject->strTestTitle());
        // Stood under the run's windows with them (keepAboveShow).
        if (m_run->nMode != Activity::HandRaise)
            pptBaffle->show();
    }
    pptStudentLoginView->setNMode(m_run->nMode);
    pptStudentLoginView->show();

    loadQuestionsInfo();
    setModeObject();
    const bool showsPages = ActivityRules::rule(m_run->nMode).showsPages;
    for (QWidget *w : {static_cast<QWidget *>(txtQuNoTitle), static_cast<QWidget *>(txtQuNo)})
        w->setVisible(w->isVisibleTo(this) && showsPages);
    for (QWidget *w : {static_cast<QWidget *>(txtPageAndTotalPageTitle), static_cast<QWidget *>(txtPageAndTotalPage)})
        w->setVisible(w->isVisibleTo(this) && showsPages);
    m_run->updateView_ModeDescription(txtMultipleModeString);
    updateMultipleModeLabel();
    updateView_QuNo();
    updateView_PageAndTotalPage();

    const bool handRaiseCount = m_run->countsHandRaises();
    txtHandRaiseTitle->setVisible(handRaiseCount);
    txtHandRaise->setVisible(handRaiseCount);
    txtHandRaise->setText(QStringLiteral("0"));
    m_run->sounds->cue(RunSounds::Enter);
    m_run->phase = Phase::Opened;
    applyControls();
    // Now with the figures and buttons this activity shows.
    PPTQuizStateInterface::placeBar(this, PPTQuizStateInterface::kBarHeight);
    if (overShow()) {
        m_stage->bringShowBack();
        m_stage->followShow();
    }
}

void PPTQuizStateWindowController::loadQuestionsInfo()
{
    QList<QuizQuestionsElement> questions;
    if (m_bIsAnsSheet) {
        QString why;
        const std::shared_ptr<ExamPaperInfo> sheet = ExamPaperInfo::unarchiveObjectWithFile(m_run->strPath, &why);
        if (sheet) {
            qqObject->setNTestID(sheet->nExamPaperID());
            questions = RunQuestionRecord::fromPages(sheet->arrayQuestionsInfo(), m_run->nMode);
        } else {
            PollixLog(QStringLiteral("answer sheet not read: %1: %2").arg(m_run->strPath, why));
        }
        if (const int limit = SlideShowRunRules::questionLimit(m_run->nMode, m_run->nDeviceType); limit > 0 && questions.size() > limit)
            questions.resize(limit);
    } else {
        questions = SlideShowRunRules::runQuestions(QuestionSlideFormat::copyQuesInfoSlideToArray(*pptUI), m_run->nMode, m_run->nDeviceType);
    }
    qqObject->setArrayQuestions(questions);
}

void PPTQuizStateWindowController::setModeObject()
{
    const int mode = m_run->nMode;
    m_run->setModeObject(QuizModeFactory::create(mode, m_run->nDeviceType, true));
    const bool styled = mode != Activity::Survey && !(mode >= Activity::FreeNormalQuiz && mode <= Activity::QuickGrouping);
    if (styled && (m_run->modeObject || mode != Activity::PaperQuiz))
        pptStudentLoginView->setLoginViewStyle(int(ActivityRules::grid(mode, m_run->nDeviceType)));
    if (mode == Activity::PaperQuiz || mode == Activity::HomeWork) {
        pptStudentLoginView->setLoginViewTitle(mode == Activity::PaperQuiz ? tr("Paper Quiz") : tr("Homework"));
        qqObject->removeTeachingPlan();
    } else if (mode == Activity::Attendance) {
        pptStudentLoginView->setLoginViewTitle(tr("Attendance"));
    }
    m_run->students->setPaperQuizGrid(ActivityRules::grid(mode, m_run->nDeviceType) == ActivityRule::Grid::PaperQuiz);
    m_run->students->addLoggedInBefore();
    if (setOnKeypads(mode))
        setLoginViewToNoraml();
    updateQuizTime();
    m_run->countQuestions();
    m_run->setParticipation();
}

void PPTQuizStateWindowController::SendWakeUpMessage(int wakeMode)
{
    m_run->SendWakeUpMessage(wakeMode);
}

// ---- controls ----

bool PPTQuizStateWindowController::overShow() const
{
    // A paper quiz or homework runs on the keypads: the main window closes its deck at the start.
    return !m_bIsAnsSheet && !setOnKeypads(m_run->nMode);
}

int PPTQuizStateWindowController::questionCount() const
{
    return qqObject->count();
}

bool PPTQuizStateWindowController::questionRun(int q) const
{
    return qcmObject->getQuestionIsTest(q);
}

RunControls::Situation PPTQuizStateWindowController::situation() const
{
    RunControls::Situation s = m_run->situation();
    s.questionRun = questionRun(questionNo());
    s.questionNo = questionNo();
    s.questionCount = questionCount();
    s.actionMode = qqObject->actionMode(questionNo());
    return s;
}

void PPTQuizStateWindowController::applyControls()
{
    const RunControls::Controls live = RunControls::enabled(situation());
    for (const PPTQuizStateInterface::BarButton &row : PPTQuizStateInterface::barButtons()) {
        if (!row.control)
            continue;
        bool on = live.testFlag(row.control);
        if (row.control == Control::SendQuestions)
            on = on && bool(hooks().runSendQuestions);
        (this->*row.outlet)->setEnabled(on);
    }
}

void PPTQuizStateWindowController::press(KeyAction action)
{
    switch (action) {
    case KeyAction::Previous: btnPrevious->click(); break;
    case KeyAction::Next: btnNext->click(); break;
    case KeyAction::Start: btnStart->click(); break;
    case KeyAction::Exit: btnExit->click(); break;
    case KeyAction::StripSize: cycleStripSize(); break;
    case KeyAction::Stop:
    case KeyAction::Result:
    case KeyAction::Report:
    case KeyAction::SendQuestions: {
        QPushButton *b = action == KeyAction::Stop     ? btnStop
                         : action == KeyAction::Result ? btnResult
                         : action == KeyAction::Report ? btnReport
                                                       : btnSendQuestions;
        // A key on a disabled button does nothing at all.
        if (!b->isEnabled())
            return;
        bIsRunForTeacherControl = true;
        b->click();
        bIsRunForTeacherControl = false;
        break;
    }
    default: break;
    }
}

// ---- the show ----

bool PPTQuizStateWindowController::eventFilter(QObject *watched, QEvent *event)
{
    m_stage->filterEvent(watched, event);
    return QWidget::eventFilter(watched, event);
}

bool PPTQuizStateWindowController::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::ChildPolished:
        // The students-not-in-the-class window is made on the first keypad that is not in the
        // class, with this window as its parent; it is polished (whole) just before it shows.
        if (auto *w = qobject_cast<ForceLoginController *>(static_cast<QChildEvent *>(event)->child())) {
            w->installEventFilter(this);
            w->setPlacement([this, w](const QMargins &frame) { return m_stage->forceLoginPlace(w, frame); });
            // Its frame now known, the slide keeps clear of it even where it stays put.
            disconnect(w, &ForceLoginController::placedInFrame, this, nullptr);
            connect(w, &ForceLoginController::placedInFrame, this, [this] { m_stage->fitShowToFreeArea(); });
        }
        break;
    case QEvent::Resize:
    case QEvent::Move:
    case QEvent::Show:
    case QEvent::Hide: {
        const bool handled = QWidget::event(event);
        m_stage->fitShowToFreeArea();
        return handled;
    }
    case QEvent::LayoutRequest: {
        // A figure grew (more students, more slides): the bar takes a narrower arrangement
        // rather than run off the screen.
        const bool handled = QWidget::event(event);
        if (m_loaded && height() > 1 && m_barArrangement != PPTQuizStateInterface::TwoRows
            && layout()->totalMinimumSize().width() > width())
            PPTQuizStateInterface::placeBar(this, height());
        return handled;
    }
    default: break;
    }
    return QWidget::event(event);
}

// ---- start, pause, stop ----



void PPTQuizStateWindowController::OnStart()
{
    if (!btnStart->isEnabled())
        return;
    // Start brings back a show the teacher ended, also when it refuses.
    m_stage->bringShowBack();
    if (m_run->refusedWhileReceiverLost(RunSession::Refused::Start, btnStart) || m_run->refusedWithNobodyLoggedIn(btnStart)) {
        applyControls();
        m_stage->showToFront();
        return;
    }
    const ActivityRule &r = ActivityRules::rule(m_run->nMode);
    // A fresh start takes the slide on show; a resume goes on with the question that runs.
    if (!m_run->bStartFlag && overShow() && r.showsPages)
        m_stage->followShow();
    if (!m_run->bStartFlag && r.checksQuestionAtStart) {
        const int q = questionNo();
        if (q > questionCount() || !RunControls::canStartQuestion(m_run->nMode, m_run->nDeviceType, qqObject->questionType(q), qqObject->answer(q))) {
            m_run->showStartRefusal(btnStart);
            m_stage->showToFront();
            return;
        }
    }
    m_run->pressStart(btnStart, [this] {
        start();
        updateView_QuNo();
    });
    applyControls();
}

void PPTQuizStateWindowController::start()
{
    pptStudentLoginView->setViewMove(true);
    m_run->nAnswerTime = 0;
    if (m_run->modeObject) {
        m_run->modeObject->setNAnsweredNum(0);
        m_run->modeObject->clearArrAnswerStu();
    }
    const ActivityRule &r = ActivityRules::rule(m_run->nMode);
    if (m_run->nMode == Activity::Attendance || m_run->nMode == Activity::QuickGrouping) {
        // The roll is taken as question 1.
        m_nCurrentQuestionNo = 0;
    } else if (r.locksLoginsAtStart) {
        m_run->students->lockLogins();
        if (m_run->modeObject)
            m_run->modeObject->setAlreadStartInElimination(true);
    }
    m_run->announceQuestion(questionNo());
    m_run->startStep(questionNo());
    m_run->markStarted();
    updateDoneField(false);
}

void PPTQuizStateWindowController::startQuizTimeCountDown()
{
    m_run->startQuizTimeCountDown();
}

void PPTQuizStateWindowController::OnStop()
{
    if (!btnStop->isEnabled())
        return;
    // The question that runs is the one stopped, whatever slide the teacher went to meanwhile.
    const bool fromKeypad = bIsRunForTeacherControl;
    bIsRunForTeacherControl = false;
    m_run->pressStop(btnStart, [this] { stop(); });
    applyControls();
    if (fromKeypad || !overShow())
        m_stage->keepAboveShow();
    else
        m_stage->showToFront();
}

void PPTQuizStateWindowController::stopAsTeacherKey()
{
    // A stop the run itself makes (a rush answered, a raised hand picked) keeps the show where it
    // is, as the teacher keypad's Stop does.
    bIsRunForTeacherControl = true;
    OnStop();
    bIsRunForTeacherControl = false;
}

void PPTQuizStateWindowController::stop()
{
    pptStudentLoginView->setViewMove(false);
    if (m_run->modeObject)
        m_run->modeObject->modeStop();
    if (!m_run->questionStopped(btnStart, questionNo()))
        return;
    updateQuizTime();
    if (m_run->rule().navigates)
        updateDoneField(true);
}

void PPTQuizStateWindowController::OnTimeUp()
{
    m_run->countDown->OnTimeDown();
    m_stage->showToFront();
}

void PPTQuizStateWindowController::OnTimeDown()
{
    m_run->countDown->OnTimeUp();
    m_stage->showToFront();
}

// ---- stepping ----

void PPTQuizStateWindowController::OnNext()
{
    if (!btnNext->isEnabled())
        return;
    // Next brings back a show the teacher ended, also when it refuses, then steps it.
    m_stage->bringShowBack();
    if (m_run->refusedWhileReceiverLost(RunSession::Refused::Next, btnStart)) {
        m_stage->showToFront();
        return;
    }
    if (overShow()) {
        // The show moves; the bar follows it (showPositionChanged).
        pptUI->setPPT(3);
        m_stage->keepAboveShow();
        applyControls();
        return;
    }
    if (m_nCurrentQuestionNo + 1 < questionCount()) {
        ++m_nCurrentQuestionNo;
        afterStep(true);
    }
}

void PPTQuizStateWindowController::OnPrevious()
{
    if (!btnPrevious->isEnabled())
        return;
    if (overShow()) {
        m_stage->bringShowBack();
        pptUI->setPPT(4);
        m_stage->keepAboveShow();
        applyControls();
        return;
    }
    if (m_nCurrentQuestionNo > 0) {
        --m_nCurrentQuestionNo;
        afterStep(false);
    }
}

void PPTQuizStateWindowController::afterStep(bool forward)
{
    stopReading();
    const int n = questionNo();
    if (m_run->modeObject)
        m_run->modeObject->setNAnsweredNum(0);
    m_run->students->showAnswered(0);
    const int actionMode = qqObject->actionMode(n);
    if (m_run->nMode == Activity::MultipleMode) {
        if (actionMode == ActionMode::Elimination)
            pptStudentLoginView->setStudentEliminated();
        else
            pptStudentLoginView->setStudentsNormalInMultipleMode();
    } else if (!forward) {
        pptStudentLoginView->setStudentEliminated();
    } else {
        m_run->gridAfterNext(n);
    }
    updateMultipleModeLabel();
    updateQuizTime();
    updateView_QuNo();
    updateView_PageAndTotalPage();
    updateDoneField(false);
    applyControls();
    m_stage->keepAboveShow();
}

// ---- fields ----

void PPTQuizStateWindowController::updateQuizTime()
{
    m_run->countDown->showQuestionTime(m_run->nMode, questionNo(), questionCount());
}

void PPTQuizStateWindowController::updateView_QuNo()
{
    if (m_nCurrentQuestionNo < 0)
        return;
    int count = 0;
    for (int i = 1; i <= questionNo() && i <= questionCount(); ++i)
        if (qqObject->questionType(i) != QuestionType::TeachingPlan)
            ++count;
    if (count > 0 && qqObject->questionType(questionNo()) != QuestionType::TeachingPlan) {
        txtQuNo->setText(QString::number(count));
        if (m_run->modeObject)
            m_run->modeObject->setNQuestionNoExceptTeachingPlane(count);
    } else {
        txtQuNo->setText(QString());
    }
}

void PPTQuizStateWindowController::updateView_PageAndTotalPage()
{
    txtPageAndTotalPage->setText(ActivityRules::rule(m_run->nMode).showsPages
                                     ? QStringLiteral("%1/%2").arg(questionNo()).arg(questionCount())
                                     : QString());
}

void PPTQuizStateWindowController::updateMultipleModeLabel()
{
    m_run->updateMultipleModeLabel(txtMultipleModeString, qqObject->actionMode(questionNo()));
}

void PPTQuizStateWindowController::updateDoneField(bool run)
{
    m_run->updateDoneField(txtDone, run || questionRun(questionNo()));
}

// ---- the strip and the bar ----

void PPTQuizStateWindowController::cycleStripSize() { m_stage->cycleStripSize(); }
void PPTQuizStateWindowController::OnHideUp() { m_stage->OnHideUp(); }
void PPTQuizStateWindowController::OnHideDown() { m_stage->OnHideDown(); }
void PPTQuizStateWindowController::setWindowToSmall() { m_stage->setWindowToSmall(); }
void PPTQuizStateWindowController::setWindowToNormal() { m_stage->setWindowToNormal(); }

void PPTQuizStateWindowController::setLoginViewToNoraml()
{
    restoreStripSize();
    if (m_loaded)
        m_stage->showToFront();
}

void PPTQuizStateWindowController::restoreStripSize()
{
    if (setOnKeypads(m_run->nMode)) {
        if (pptStudentLoginView->setWindowToLarge())
            m_nLoginViewState = SlideShowRunRules::Large;
        else if (pptStudentLoginView->setWindowToNormal())
            m_nLoginViewState = SlideShowRunRules::Normal;
    } else if (m_nLoginViewState == SlideShowRunRules::Normal) {
        pptStudentLoginView->setWindowToNormal();
    } else if (m_nLoginViewState == SlideShowRunRules::Large && !pptStudentLoginView->setWindowToLarge()) {
        pptStudentLoginView->setWindowToNormal();
        m_nLoginViewState = SlideShowRunRules::Normal;
    }
}

void PPTQuizStateWindowController::setStripForLogins()
{
    // A login shows the strip at the size the teacher chose, large for a paper quiz or homework.
    if (setOnKeypads(m_run->nMode) || m_nLoginViewState != SlideShowRunRules::Small)
        setLoginViewToNoraml();
}

void PPTQuizStateWindowController::mousePressEvent(QMouseEvent *event)
{
    m_stage->showToFront();
    QWidget::mousePressEvent(event);
}

// ---- results, reports, sending, reading ----


void PPTQuizStateWindowController::OnResult()
{
    if (!btnResult->isEnabled())
        return;
    const bool teacher = bIsRunForTeacherControl;
    bIsRunForTeacherControl = false;
    pptStudentLoginView->setWindowToSmall();
    m_run->runChildWindow([&] { RunResultWindows::openResult(this, this, m_run->nMode, questionNo(), teacher); });
    setLoginViewToNoraml();
    if (teacher)
        RunChildWindow::clickBottomLeftLater(this); // the keypad's pointer starts again from the bar's corner
}

void PPTQuizStateWindowController::OnReport()
{
    if (!btnReport->isEnabled())
        return;
    if (m_run->nParticiptionMode != 0 && m_run->nParticiptionMode != 1)
        return;
    const bool teacher = bIsRunForTeacherControl;
    bIsRunForTeacherControl = false;
    pptStudentLoginView->setWindowToSmall();
    m_run->runChildWindow([&] { RunResultWindows::openReport(this, this, m_run->nParticiptionMode, m_run->nMode, questionNo(), teacher); });
    setLoginViewToNoraml();
    if (teacher)
        RunChildWindow::clickBottomLeftLater(this); // the keypad's pointer starts again from the bar's corner
}

void PPTQuizStateWindowController::OnSendQuestions()
{
    if (!btnSendQuestions->isEnabled() || !hooks().runSendQuestions)
        return;
    const bool teacher = bIsRunForTeacherControl;
    bIsRunForTeacherControl = false;
    m_run->runChildWindow([&] { hooks().runSendQuestions(this, false, teacher); });
    if (btnStart->isChecked() && m_run->modeObject)
        m_run->modeObject->sendPCState(3);
    m_stage->showToFront();
}

QString PPTQuizStateWindowController::setMessageToPlayMusic() const
{
    if (m_nCurrentQuestionNo < 0 || m_nCurrentQuestionNo >= questionCount())
        return QStringLiteral(" ");
    return RunQuestionRecord::readAloudText(qqObject->element(questionNo()));
}

void PPTQuizStateWindowController::OnSpeech()
{
    if (!btnSpeed->isEnabled())
        return;
    if (!playMusicControl)
        playMusicControl = new PlayMusic(this);
    if (!m_run->bStartFlag)
        m_stage->followShow();
    m_stage->placeReadAloud(playMusicControl);
    playMusicControl->setStrContent(setMessageToPlayMusic());
    playMusicControl->show();
    m_stage->showToFront();
    playMusicControl->raise();
}

void PPTQuizStateWindowController::getContent(const Notification &n)
{
    // The read-aloud window asks for its text before it speaks.
    if (n.object && n.object == playMusicControl.data())
        playMusicControl->setStrContent(setMessageToPlayMusic());
}

void PPTQuizStateWindowController::stopReading()
{
    if (playMusicControl)
        playMusicControl->onStop();
}

// ---- run events ----

void PPTQuizStateWindowController::studentLogin(const Notification &n)
{
    if (m_run->students->loginsLocked())
        return;
    m_run->students->studentLogin(n);
    setStripForLogins();
}

void PPTQuizStateWindowController::forceLogin(const Notification &n)
{
    m_run->forceLogin(n);
}

void PPTQuizStateWindowController::studentAnswerNotification(const Notification &n)
{
    m_run->students->studentAnswerNotification(n);
}

void PPTQuizStateWindowController::studentRushNotification(const Notification &n)
{
    if (!m_run->studentRushNotification(n, questionNo(), [this] { stopAsTeacherKey(); })) {
        btnStart->setChecked(true);
        applyControls();
    }
}

void PPTQuizStateWindowController::handRaiseSelectedToAnswer(const Notification &n)
{
    m_run->handRaiseSelectedToAnswer(n, questionNo(), [this] { stopAsTeacherKey(); });
}

void PPTQuizStateWindowController::handleDeviceChanged()
{
    m_run->handleDeviceChanged();
}

// ---- keypad input ----

void PPTQuizStateWindowController::handleMachMessage()
{
    m_run->frames->handleDataReceive();
}

void PPTQuizStateWindowController::handleLongFrame(const DataOfFrame &frame)
{
    m_run->frames->handleLongFrame(frame);
}

void PPTQuizStateWindowController::handleStudentFrame(const DataOfFrame &frame)
{
    m_run->frames->handleStudentFrame(frame);
}

// ---- exit and the end of the run ----

void PPTQuizStateWindowController::OnExit()
{
    if (!btnExit->isEnabled() || m_run->closing)
        return;
    if (m_nLoginViewState == SlideShowRunRules::Large)
        pptStudentLoginView->setWindowToNormal();
    if (!m_run->confirmExit()) {
        // Staying brings back only what the question changed: a show the teacher ended stays
        // ended, the keys on the bar, until Start, Next or Previous brings it back.
        restoreStripSize();
        m_stage->keepAboveShow();
        return;
    }
    m_run->closing = true;
    quitShow();
    if (setOnKeypads(m_run->nMode))
        pptStudentLoginView->setWindowToSmall();
    m_run->leave();
}

void PPTQuizStateWindowController::quitShow()
{
    if (m_bIsAnsSheet || !pptUI->hasPresentation())
        return;
    // The deck may hold an exam ID drawn at the start: a deck with a file keeps it, so that its
    // next run is filed under the same test. One that cannot be written, or that has no file yet
    // (a save panel would wait for an answer on a road the teacher keypad steers), stays open,
    // its show ended, for the main window's Save (or its Close's question) to keep what the file lacks.
    if (pptUI->isModified()) {
        QString why;
        const bool saved = !pptUI->fileName().isEmpty() && pptUI->quitPPTAndSave(&why) == PPTEditor::SaveResult::Saved;
        if (!saved) {
            // With no show on (the show's own Escape ended it), closing it would close the deck.
            if (pptUI->isShowRunning())
                pptUI->changePPTToClose();
            NotificationCenter::defaultCenter()->postNotification(Notify::GetSaveState, {{Notify::Key::SaveState, 1}}, this);
            // Told once the show is off the screen, by a notice: the teacher keypad may have ended
            // the run, and nothing it steers waits for an answer at the computer.
            if (!pptUI->fileName().isEmpty())
                PollixAlert::notice(QStringLiteral("Pollix"), tr("The presentation could not be saved."), {tr("OK")},
                                    PollixAlert::sentences(why) +
                                        tr("\n\nThe presentation stays open: Save on the main window saves it."));
            return;
        }
    }
    pptUI->quitPPT();
    // Nothing of the deck is open any more: the main window has nothing left to save.
    NotificationCenter::defaultCenter()->postNotification(Notify::GetSaveState, {{Notify::Key::SaveState, 0}}, this);
}

void PPTQuizStateWindowController::closeSelf()
{
    m_run->closeSelf();
}

void PPTQuizStateWindowController::closeEvent(QCloseEvent *event)
{
    m_run->closeEvent(event);
}

void PPTQuizStateWindowController::keyPressEvent(QKeyEvent *event)
{
    // Escape must not end a run behind the teacher's back; Exit asks first.
    if (!m_run->escapeExits(event, [this] { OnExit(); }))
        QWidget::keyPressEvent(event);
}

bool PPTQuizStateWindowController::windowShouldClose()
{
    return m_run->windowShouldClose();
}
