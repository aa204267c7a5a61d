#include "QuizStateWindowController.h"

#include "FreeStyleRun.h"
#include "GridAutoScroll.h"
#include "PlayMusic.h"
#include "QuizStateInterface.h"
#include "RunFrameRouter.h"
#include "RunReceiver.h"
#include "RunStudentGrid.h"
#include "RunCountDown.h"
#include "RunSounds.h"
#include "RunTimer.h"
#include "ForceLoginController.h"
#include "RunResultWindows.h"
#include "StudentLoginView.h"

#include "core/app/CommonFunc.h"
#include "core/app/Orvenda_AppDelegate.h"
#include "core/authoring/ExamPaperInfo.h"
#include "core/authoring/QuestionSetView.h"
#include "core/engine/FreeStyleRules.h"
#include "core/engine/QuizComputeMethod.h"
#include "core/engine/QuizData.h"
#include "core/engine/QuizMode.h"
#include "core/engine/QuizModeFactory.h"
#include "core/engine/QuizQuestions.h"
#include "core/engine/RunQuestionRecord.h"
#include "core/keypad/TovDevice.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "ui/authoring/Questions.h"
#include "ui/authoring/SmallQuestions.h"
#include "ui/run/SaveToDataController.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>

using Control = RunControls::Control;
using Phase = RunControls::Phase;
using KeyAction = TeacherKeyMap::Action;

namespace {

const QString kOkF1 = QStringLiteral("  \"F1\" OK  ");
const QString kCancelF2 = QStringLiteral("\"F2\" Cancel");
constexpr QSize kPageSize = QuizStateInterface::kPageSize;

} // namespace

QuizStateWindowController::Hooks &QuizStateWindowController::hooks()
{
    static Hooks h;
    return h;
}

// ---- creation ----

QuizStateWindowController::QuizStateWindowController(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("QuizState"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Pollix"));
    appDelegate = Orvenda_AppDelegate::getAppDelegate();
    qcmObject = std::make_unique<QuizComputeMethod>();
    if (appDelegate)
        m_nDeviceType = appDelegate->currentDeviceType();

    m_loginView = QuizStateInterface::build(this);
    m_countDown = new RunCountDown(txtQuizTime, this);
    m_countDown->onTick = [this] {
        ++m_nAnswerTime;
        if (m_modeObject)
            m_modeObject->setQuizStateScreenTimer(m_nAnswerTime);
        ++m_nTimeElapsed;
    };
    m_countDown->onTimeUp = [this] { OnStop(); };
    m_sounds = new RunSounds(this);
    m_frames = std::make_unique<RunFrameRouter>(RunFrameRouter::Window{
        [this] { return m_modeObject.get(); },
        [this] { return m_alert.data(); },
        [this] { return m_childDepth > 0; },
        [this](KeyAction action) {
            // The key presses its button: a disabled button makes the key do nothing.
            for (const QuizStateInterface::RunButton &row : QuizStateInterface::runButtons())
                if (row.key == action)
                    (this->*row.outlet)->click();
        },
        {}});
    m_students = new RunStudentGrid(m_loginView, loginViewSV, txtLoginAndAnswered, this);
    m_students->modeObject = [this] { return m_modeObject.get(); };
    m_wakeUpWatch = new RunTimer(this);
    m_receiver = new RunReceiver([this] { return m_modeObject.get(); }, this);
    observeNotifications();

    quizQuestionsInfo = QuizQuestions::shareManager();
    quizQuestionsInfo->setStrTestTitle(QString());
    quizQuestionsInfo->setNTestID(0);
    qpdObject = QuizParticipantData::shareManager();
    qdObject = QuizData::shareManager();

    strTimeStart = GetDateTimeNow();
}

QuizStateWindowController::~QuizStateWindowController()
{
    NotificationCenter::defaultCenter()->removeObserver(this);
    if (appDelegate && appDelegate->objectToReceiveCommData() == this)
        appDelegate->setObjectToReceiveCommData(m_father);
    m_modeObject.reset();
}

void QuizStateWindowController::observeNotifications()
{
    NotificationCenter *nc = NotificationCenter::defaultCenter();
    const auto on = [this, nc](QLatin1String name, void (QuizStateWindowController::*handler)(const Notification &)) {
        nc->addObserver(this, name, [this, handler](const Notification &n) { (this->*handler)(n); });
    };
    nc->addObserver(this, Notify::DeviceChanged, [this](const Notification &) { handleDeviceChanged(); });
    on(Notify::StudentAnswer, &QuizStateWindowController::studentAnswerNotification);
    on(Notify::StudentRush, &QuizStateWindowController::studentRushNotification);
    on(Notify::StudentElimination, &QuizStateWindowController::studentEliminationNotification);
    on(Notify::StudentNextPrevious, &QuizStateWindowController::studentPaperQuizPgupPgdn);
    on(Notify::StudentQuickGrouping, &QuizStateWindowController::studentQuickGroupingNotification);
    on(Notify::StudentLogin, &QuizStateWindowController::studentLogin);
    on(Notify::StudentForceLogin, &QuizStateWindowController::forceLogin);
    on(Notify::StudentLogout, &QuizStateWindowController::setStudentLogout);
    on(Notify::StudentHaveQuestion, &QuizStateWindowController::studentHandRaise);
    nc->addObserver(this, Notify::HandRaiseDeviceNo, [this](const Notification &n) {
        if (n.object == m_loginView)
            handRaiseSelectedToAnswer(n);
    });
    nc->addObserver(this, Notify::BigQuestionBeginDoModal, [this](const Notification &) { lowerToNormalLevel(); });
    nc->addObserver(this, Notify::BigQuestionEndDoModal, [this](const Notification &) {
        if (!_bShowAnswerSetting)
            raiseToStatusLevel();
    });
    // Only this window's strip: the question editor's strip posts the same name.
    nc->addObserver(this, Notify::ChangeQuestionDisplay, [this](const Notification &n) {
        if (n.object == smallQuestions)
            selectChangeQuestion(n.userInfo.value(Notify::Key::PageQuestionNo).toInt());
    });
    on(Notify::GetReadContent, &QuizStateWindowController::getContent);
    nc->addObserver(this, Notify::SendQuestionReady, [this](const Notification &) { sendQuestionsReady(); });
    nc->addObserver(this, Notify::SendQuestionOverSetFocus, [this](const Notification &) {
        activateWindow();
        raise();
    });
}

void QuizStateWindowController::setStrPath(const QString &path)
{
    m_strPath = path;
    QuizQuestions::shareManager()->setStrTestTitle(path);
}

void QuizStateWindowController::setTestID(int id)
{
    QuizQuestions::shareManager()->setNTestID(id);
}

void QuizStateWindowController::showWindow()
{
    if (!m_loaded) {
        m_loaded = true;
        windowDidLoad();
    }
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        QuizStateInterface::fitButtonBand(this, screen->availableGeometry().width());
        setGeometry(screen->availableGeometry());
    }
    show();
    raise();
    activateWindow();
    if (m_freeStyle)
        m_freeStyle->toNewFreeStylePaneLayout(true);
}

const ActivityRule &QuizStateWindowController::rule() const
{
    return ActivityRules::rule(m_nMode);
}

void QuizStateWindowController::windowDidLoad()
{
    if (m_nDeviceType == DeviceType::Arvel && appDelegate) {
        // An Arvel receiver wants one null byte before the run's frames.
        if (auto device = appDelegate->currentDevice()) {
            const char nul = 0;
            device->sendData(reinterpret_cast<const uint8_t *>(&nul), 1);
        }
    }
    const RunControls::Controls shown = RunControls::shown(m_nMode, m_nDeviceType);
    for (const QuizStateInterface::RunButton &row : QuizStateInterface::runButtons())
        (this->*row.outlet)->setVisible(shown.testFlag(row.control));
    if (m_bIsFreeStyle)
        smallQuestions->setBIsFreeStyle(true);
    NormalQuestionsRect = bigQuestions->geometry();
    bigQuestions->setOrginalBound(QRectF(QPointF(0, 0), QSizeF(kPageSize)));
    if (rule().freeStyle) {
        m_freeStyle = new FreeStyleRun(this);
        m_freeStyle->windowDidLoad();
    }

    setModeObject();
    smallQuestions->setBDelete(false);
    updateView_ModeDescription();
    canQuNoBeVisible();
    canPageAndTotalPageBeVisible();

    if (shown.testFlag(Control::SendQuestions)) {
        QString name = QFileInfo(m_strPath).fileName().section(QLatin1Char('.'), 0, 0);
        if (name.size() > 20)
            name = name.left(20) + QStringLiteral("...");
        txtMessage->setText(QStringLiteral("ID:%1     Title:%2").arg(QString::number(quizQuestionsInfo->nTestID()), name));
    }
    txtMessage->setVisible(!txtMessage->text().isEmpty());
    m_receiver->setIdleAtOpening(m_nDeviceType);
    const bool handRaiseCount = (m_nDeviceType == DeviceType::Corvel || m_nDeviceType == DeviceType::Dravel);
    txtHandRaiseTitle->setVisible(handRaiseCount && m_nMode != Activity::Attendance);
    txtHandRaise->setVisible(handRaiseCount && m_nMode != Activity::Attendance);
    if (handRaiseCount)
        qpdObject->setNullInLoginStudent();
    if (m_nMode == Activity::MultipleMode) {
        updateMultipleModeLabel(1);
        _nPrevQuActionMode = quizQuestionsInfo->actionMode(1);
        _bPrevQuTested = false;
    }
    m_nCurrentQuestionNo = bigQuestions->nCurrentQuestionIndex();
    txtClassName->setText(qpdObject->className());
    txtClassName->setToolTip(qpdObject->className());
    m_sounds->cue(RunSounds::Enter);
    m_phase = Phase::Opened;
    applyControls();
    raiseToStatusLevel();
}

void QuizStateWindowController::setModeObject()
{
    const int mode = m_nMode;
    const ActivityRule &r = rule();
    const int model = ActivityRules::modeObjectDeviceType(mode, m_nDeviceType);
    // Without a model (infrared or no receiver) the activity has no object: keypad answers are not taken.
    if (model != DeviceType::None)
        m_modeObject = QuizModeFactory::create(mode, model);
    if (mode != Activity::Survey && (m_modeObject || mode != Activity::PaperQuiz))
        m_loginView->setLoginViewStyle(int(ActivityRules::grid(mode, m_nDeviceType)));

    if (!r.showsPages) {
        smallQuestionsSV->hide();
        bigQuestions->parentWidget()->parentWidget()->hide();
        loginViewSV->setMinimumWidth(0);
        loginViewSV->setMaximumWidth(QWIDGETSIZE_MAX);
    }
    switch (r.pages) {
    case ActivityRule::Pages::QuestionFile:
        loadQuestionsInfo();
        break;
    case ActivityRule::Pages::QuestionFileNoPlans:
        loadQuestionsInfo();
        quizQuestionsInfo->removeTeachingPlan();
        break;
    case ActivityRule::Pages::Editable:
        m_bPaperEditable = true;
        break;
    case ActivityRule::Pages::None:
        break;
    }
    updateMultipleModeLabel(1);

    m_students->setPaperQuizGrid(ActivityRules::grid(mode, m_nDeviceType) == ActivityRule::Grid::PaperQuiz);
    m_students->addLoggedInBefore();
    updateQuizTime();
    m_nExcludeTeachingPlan = 0;
    for (const QuizQuestionsElement &e : quizQuestionsInfo->arrayQuestions())
        if (e.nQuestionType() != QuestionType::TeachingPlan)
            ++m_nExcludeTeachingPlan;
    if (m_modeObject)
        m_modeObject->setParticipationMode(r.freeStyle ? 2 : m_nParticiptionMode);
}

void QuizStateWindowController::loadQuestionsInfo()
{
    if (m_strPath.isEmpty())
        return;
    if (!bigQuestions->openFile(m_strPath)) {
        PollixLog(QStringLiteral("question file not read: %1").arg(m_strPath));
        return;
    }
    quizQuestionsInfo->setNTestID(bigQuestions->epi() ? bigQuestions->epi()->nExamPaperID() : 0);
    quizQuestionsInfo->removeAllQuestionsInfo();
    smallQuestions->setBDelete(false);
    if (const int limit = ActivityRules::keypadQuestionLimit(m_nMode, m_nDeviceType)) {
        while (bigQuestions->questions().size() > limit)
            bigQuestions->deleteQuestion(int(bigQuestions->questions().size()));
    }
    const QList<QuestionSetViewPtr> pages = bigQuestions->questions();
    for (int i = 0; i < pages.size(); ++i) {
        if (i < smallQuestions->array().size())
            smallQuestions->array()[i]->setBDelete(false);
        pages[i]->setBFreeStyle(m_bIsFreeStyle);
        pages[i]->setNQuNo(i + 1);
        pages[i]->setInQuiz(!m_bPaperEditable);
    }
    quizQuestionsInfo->setArrayQuestions(RunQuestionRecord::fromPages(pages, m_nMode));
}

void QuizStateWindowController::SendWakeUpMessage(int wakeMode)
{
    m_receiver->SendWakeUpMessage(wakeMode, rule().freeStyle ? m_nMode : -1);
}

const QList<StudentEntity> &QuizStateWindowController::arrStuLoginContentTime() const
{
    return m_students->arrStuLoginContentTime();
}

// ---- run controls ----

bool QuizStateWindowController::questionRun(int q) const
{
    return m_arryAlreadTestQuetionNum.contains(q) || qcmObject->getQuestionIsTest(q);
}

RunControls::Situation QuizStateWindowController::situation() const
{
    RunControls::Situation s;
    s.activity = m_nMode;
    s.deviceType = m_nDeviceType;
    s.phase = m_phase;
    s.questionRun = questionRun(m_nCurrentQuestionNo);
    s.questionNo = rule().showsPages ? stripCurrent() : m_nCurrentQuestionNo;
    s.questionCount = rule().showsPages ? thumbnailCount() : quizQuestionsInfo->count();
    s.actionMode = quizQuestionsInfo->actionMode(m_nCurrentQuestionNo);
    if (m_freeStyle) {
        s.answerEmpty = m_nCurrentQuestionNo < 1 || quizQuestionsInfo->answer(m_nCurrentQuestionNo).isEmpty();
        s.setFromKeypad = m_freeStyle->setFromKeypad(m_nCurrentQuestionNo);
    }
    return s;
}

bool QuizStateWindowController::isBuilt(Control control) const
{
    switch (control) {
    case Control::SendQuestions: return bool(hooks().runSendQuestions);
    case Control::Read: return bool(hooks().openReadAloud);
    case Control::AnswerSetting:
    case Control::Toggle: return m_freeStyle != nullptr;
    default: return true;
    }
}

void QuizStateWindowController::applyControls()
{
    const RunControls::Controls live = RunControls::enabled(situation());
    for (const QuizStateInterface::RunButton &row : QuizStateInterface::runButtons())
        (this->*row.outlet)->setEnabled(live.testFlag(row.control) && isBuilt(row.control));
}

// ---- start, pause, stop ----

int QuizStateWindowController::runAlert(const QString &text, const QStringList &buttons)
{
    releaseFrameInHand();
    PollixAlert alert(QStringLiteral("Warning"), QStringLiteral("Warning"), buttons, text, this);
    m_alert = &alert;
    lowerToNormalLevel();
    const int result = alert.runModal();
    m_alert = nullptr;
    raiseToStatusLevel();
    return result;
}

void QuizStateWindowController::showStartRefusal()
{
    runAlert(QStringLiteral("Currently in the teaching plan mode, cannot start testing"), {kOkF1});
    btnStart->setChecked(false);
}

void QuizStateWindowController::setStartShowsPause(bool pause)
{
    btnStart->setText(pause ? tr("Pause") : tr("Start"));
    btnStart->setIcon(style()->standardIcon(pause ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    btnStart->setProperty("imageName", pause ? QStringLiteral("pause_normal.png") : QStringLiteral("start_normal.png"));
}

void QuizStateWindowController::OnStart()
{
    if (!btnStart->isEnabled())
        return;
    const ActivityRule &r = rule();
    if (r.freeStyle && r.start == ActivityRule::Start::Rush && m_modeObject)
        m_modeObject->setNRushStuDeviceNo(-1);
    if (r.checksQuestionAtStart) {
        m_nCurrentQuestionNo = bigQuestions->nCurrentQuestionIndex();
        const int q = m_nCurrentQuestionNo;
        if (!m_bStartFlag
            && !RunControls::canStartQuestion(m_nMode, m_nDeviceType, quizQuestionsInfo->questionType(q), quizQuestionsInfo->answer(q))) {
            showStartRefusal();
            return;
        }
    }
    if (btnStart->isChecked()) {
        m_sounds->cue(RunSounds::Start);
        if (m_bStartFlag) {
            // Homework counts nothing down: its field reads "Receiving...", which a count-down
            // would take for zero and stop the collection two seconds after the resume.
            if (r.time == ActivityRule::Time::Assigning)
                m_countDown->showReceiving();
            else
                startQuizTimeCountDown();
        } else {
            start();
            canQuNoBeVisible();
        }
        setStartShowsPause(true);
    } else {
        pauseQuizTimeCountDown();
        setStartShowsPause(false);
    }
    applyControls();
}

void QuizStateWindowController::start()
{
    setViewMove(true);
    // The running question stays selected: a thumbnail click would run the stop on another question.
    smallQuestions->setEnabled(false);
    m_nAnswerTime = 0;
    const ActivityRule &r = rule();
    if (m_nMode == Activity::Attendance) {
        m_nCurrentQuestionNo = 1;
    } else {
        if (r.locksLoginsAtStart) {
            m_students->lockLogins();
            if (m_modeObject)
                m_modeObject->setAlreadStartInElimination(true);
        }
        if (r.freeStyle && m_modeObject) {
            const int i = m_nCurrentQuestionNo - 1;
            m_modeObject->setSetByTeacherDeivce(i >= 0 && i < m_arrQueAddByTeacher.size() && m_arrQueAddByTeacher[i] == 1);
        }
    }
    if (m_freeStyle)
        m_freeStyle->questionStarted();
    if (r.showsPages)
        startQuestionsFrame();
    if (m_modeObject) {
        m_modeObject->modeStart(m_nCurrentQuestionNo);
        const bool pcState = m_nDeviceType != DeviceType::Brevel
                             && (r.questionPcStateAlways || !m_modeObject->getSendQueState());
        if (DeviceType::isLargeFamily(m_nDeviceType) && pcState) {
            m_modeObject->sendPCState(3);
        } else if (DeviceType::isLargeFamily(m_nDeviceType)) {
            SendWakeUpMessage(1);
            m_wakeUpTries = 0;
            m_wakeUpWatch->start([this] { watchWakeUpReply(); });
        } else if (DeviceType::isSmallFamily(m_nDeviceType)) {
            m_modeObject->openReceiveArvel();
        }
    }
    const int actionMode = quizQuestionsInfo->actionMode(m_nCurrentQuestionNo);
    m_phase = Phase::Running;
    switch (ActivityRules::startStep(m_nMode, actionMode)) {
    case ActivityRule::Start::Rush:
        // No count-down until a student wins the rush.
        m_phase = Phase::AwaitingRush;
        m_countDown->showWaiting();
        m_loginView->setStudentsNormal();
        if (m_modeObject)
            m_modeObject->setQuizStateScreenTimer(0);
        break;
    case ActivityRule::Start::Elimination:
        startQuizTimeCountDown();
        break;
    case ActivityRule::Start::PaperQuiz:
        m_loginView->setStudentsNormal();
        startQuizTimeCountDown();
        if (ActivityRules::grid(m_nMode, m_nDeviceType) == ActivityRule::Grid::PaperQuiz)
            for (int d : qpdObject->loginDeviceNos())
                m_loginView->setStudentPaperQuiz(d, 1, false);
        if (m_modeObject)
            m_modeObject->clearArrAnswerStu();
        break;
    case ActivityRule::Start::HomeWork:
        m_loginView->setStudentsNormal();
        m_countDown->showReceiving();
        if (m_modeObject)
            m_modeObject->clearArrAnswerStu();
        break;
    case ActivityRule::Start::RollCall:
        m_loginView->setStudentsNormal();
        startQuizTimeCountDown();
        m_nCurrentQuestionNo = 1;
        break;
    case ActivityRule::Start::CountDown:
        startQuizTimeCountDown();
        m_loginView->setStudentsNormal();
        break;
    case ActivityRule::Start::ByActionMode:
    case ActivityRule::Start::Nothing:
        break;
    }
    if (ActivityRules::clearsEliminatedAtStart(m_nMode, actionMode))
        qdObject->setArrayEliminationStudentsDeviceNo({});
    if (m_modeObject)
        m_modeObject->setNAnsweredNum(0);
    m_students->showAnsweredCount();
    m_bStartFlag = true;
    if (m_modeObject)
        m_modeObject->setQuizStateScreenTimer(0);
}

void QuizStateWindowController::OnStop()
{
    if (!btnStop->isEnabled())
        return;
    m_sounds->cue(RunSounds::Stop);
    stop();
    if (ActivityRules::grid(m_nMode, m_nDeviceType) == ActivityRule::Grid::PaperQuiz)
        m_loginView->clearStudentsAnswerCount();
    setStartShowsPause(false);
    const ActivityRule &r = rule();
    const int q = m_nCurrentQuestionNo;
    const bool stoppedBefore = m_arryAlreadTestQuetionNum.contains(q);
    if (r.stop != ActivityRule::Stop::RollCall) {
        if (!m_arryAlreadTestQuetionNum.contains(m_nCurrentQuestionNo))
            m_arryAlreadTestQuetionNum.append(m_nCurrentQuestionNo);
        if (r.freeStyle && r.start == ActivityRule::Start::Rush && m_modeObject) {
            const int d = m_modeObject->nRushStuDeviceNo();
            if (d > 0) {
                const QString a = qdObject->getStudentAnswer(m_nCurrentQuestionNo, d);
                if (a == QLatin1String("__N") || a != quizQuestionsInfo->answer(m_nCurrentQuestionNo))
                    m_loginView->setStudentRushAnswered(d, false);
            }
        }
    }
    applyControls();
    if (m_freeStyle)
        m_freeStyle->afterStop(q, stoppedBefore);
}

void QuizStateWindowController::watchWakeUpReply()
{
    // The question is announced to the keypads when one of them answers its wake frame. That
    // answer may be lost or damaged on the line: the wake frame goes out again, and at last the
    // question is announced without it, so that no question stays unsent.
    if (!m_bStartFlag || !m_modeObject || m_modeObject->startFlag()) {
        m_wakeUpWatch->stop();
        return;
    }
    if (++m_wakeUpTries < 3) {
        PollixLog(QStringLiteral("no keypad answered the question's wake frame: sent again"));
        SendWakeUpMessage(1);
        return;
    }
    PollixLog(QStringLiteral("no keypad answered the question's wake frame: the question is announced without it"));
    m_wakeUpWatch->stop();
    m_modeObject->sendPCState(3);
}

void QuizStateWindowController::stop()
{
    setViewMove(false);
    m_wakeUpWatch->stop();
    smallQuestions->setEnabled(true);
    const int q = m_nCurrentQuestionNo;
    if (m_freeStyle)
        m_freeStyle->questionStopped();
    if (rule().showsPages)
        stopQuestionsFrame();
    if (m_modeObject) {
        // Free-style elimination judges a question written on the toolbar once its answer is set.
        if (!m_freeStyle || FreeStyleRules::evaluatesAtStop(m_nMode, m_freeStyle->setFromKeypad(q)))
            m_modeObject->modeStop();
        m_receiver->stopAnswering(m_nDeviceType);
    }
    m_bStartFlag = false;
    m_phase = Phase::Stopped;
    btnStart->setChecked(false);
    const ActivityRule &r = rule();
    if (r.stop == ActivityRule::Stop::Survey) {
        // The page returns to its place; the count-down is left as it stands.
        m_countDown->stop();
        return;
    }
    if (r.stop == ActivityRule::Stop::Question) {
        if (m_nMode == Activity::MultipleMode || r.freeStyle) {
            _nPrevQuActionMode = quizQuestionsInfo->actionMode(q);
            _bPrevQuTested = true;
        }
        m_students->markFirstRushNotTaken(q);
    }
    stopQuizTimeCountDown();
    if (r.navigates)
        updateDoneField(true);
}

// ---- exit and closing ----

void QuizStateWindowController::OnExit()
{
    if (!btnExit->isEnabled() || m_closing)
        return;
    if (m_freeStyle)
        m_freeStyle->exiting();
    if (appDelegate)
        appDelegate->setBTeacherExit(true);
    const int result = runAlert(QStringLiteral("Are you sure to exit this Activity?"), {kOkF1, kCancelF2});
    if (result != PollixAlert::AlertFirstButtonReturn) {
        // The teacher stays: no later reader may take the flag for a leave.
        if (appDelegate)
            appDelegate->setBTeacherExit(false);
        return;
    }
    exitAfterAlert();
}

void QuizStateWindowController::exitAfterAlert()
{
    m_closing = true;
    if (m_modeObject && appDelegate && appDelegate->bTeacherExit())
        m_modeObject->sendReceiveState(0xE3);
    RunTimer::after(100, this, [this] {
        if (m_modeObject) {
            m_modeObject->setWakeUpMode(2);
            m_modeObject->sendWakeFrame();
        }
        closeSelf();
    });
}

void QuizStateWindowController::closeSelf()
{
    if (windowShouldClose()) {
        m_closing = true;
        hide();
        deleteLater();
    } else {
        m_closing = false;
    }
}

void QuizStateWindowController::closeEvent(QCloseEvent *event)
{
    if (m_closing && !isVisible()) {
        event->accept();
        return;
    }
    if (windowShouldClose()) {
        m_closing = true;
        event->accept();
    } else {
        event->ignore();
    }
}

bool QuizStateWindowController::windowShouldClose()
{
    if (m_bStartFlag)
        return false;
    if (m_saveOffered)
        return true;
    m_saveOffered = true;
    // The pages written during a free-style run are what the session keeps.
    if (m_freeStyle)
        m_freeStyle->reloadAllQuestions();
    m_countDown->stop();
    setViewMove(false);
    if (!qdObject->arrayAlreadyTestQuestionNo().isEmpty()) {
        QStringList arrQuizTime{strTimeStart, GetDateTimeNow(), QString::number(m_nTimeElapsed)};
        SaveRequest r;
        r.strFileName = m_strPath.isEmpty() ? QString() : QFileInfo(m_strPath).fileName();
        r.curDeviceType = m_nDeviceType;
        r.curParticipationMode = m_nParticiptionMode;
        r.curActivityMode = m_nMode;
        r.bIsFreeStyle = m_bIsFreeStyle;
        r.nIsGroup = m_nIsGroup;
        r.arrStuLoginContentTime = &m_students->arrStuLoginContentTime();
        r.arrQuizTime = &arrQuizTime;
        runChildWindow([&] {
            if (hooks().runSaveDialog) {
                hooks().runSaveDialog(this, r);
                return;
            }
            SaveToDataController::runForRun(this, r);
        });
    }
    qpdObject->removeActivityRecord();
    quizQuestionsInfo->removeAllQuestionsInfo();
    if (appDelegate)
        appDelegate->setObjectToReceiveCommData(m_father);
    if (m_father) {
        if (m_bIsFreeStyle)
            m_father->resize(810, 170);
        m_father->show();
        m_father->raise();
        m_father->activateWindow();
    }
    return true;
}

void QuizStateWindowController::runChildWindow(const std::function<void()> &run)
{
    releaseFrameInHand();
    lowerToNormalLevel();
    ++m_childDepth;
    run();
    --m_childDepth;
    // The child may have taken the listener role for its own run.
    if (appDelegate && !m_closing)
        appDelegate->setObjectToReceiveCommData(this);
    raiseToStatusLevel();
}

// ---- keypad input ----

void QuizStateWindowController::handleMachMessage()
{
    handleDataReceive();
}

void QuizStateWindowController::handleDataReceive()
{
    m_frames->handleDataReceive();
}

void QuizStateWindowController::handleLongFrame(const DataOfFrame &frame)
{
    m_frames->handleLongFrame(frame);
}

void QuizStateWindowController::handleStudentFrame(const DataOfFrame &frame)
{
    m_frames->handleStudentFrame(frame);
}

void QuizStateWindowController::releaseFrameInHand()
{
    m_frames->releaseFrameInHand();
}

// ---- run events ----

void QuizStateWindowController::studentLogin(const Notification &n)
{
    m_students->studentLogin(n);
}

void QuizStateWindowController::forceLogin(const Notification &n)
{
    if (!m_students->loginsLocked())
        ForceLoginController::offer(forceLoginCtrl, this, n);
}

void QuizStateWindowController::setStudentLogout(const Notification &n)
{
    m_students->setStudentLogout(n);
}

void QuizStateWindowController::studentAnswerNotification(const Notification &n)
{
    m_students->studentAnswerNotification(n);
}

void QuizStateWindowController::studentRushNotification(const Notification &n)
{
    const int d = n.userInfo.value(Notify::Key::DeviceNo).toInt();
    if (n.userInfo.value(Notify::Key::Type).toInt() != 1) {
        m_loginView->setStudentRushed(d);
        startQuizTimeCountDown();
        if (m_phase == Phase::AwaitingRush)
            m_phase = Phase::Running;
        applyControls();
    } else {
        OnStop();
        const bool right = n.userInfo.value(Notify::Key::Ans).toString() == quizQuestionsInfo->answer(m_nCurrentQuestionNo);
        m_loginView->setStudentRushAnswered(d, right);
    }
    m_students->showAnswered(1);
}

void QuizStateWindowController::studentEliminationNotification(const Notification &n)
{
    m_students->studentEliminationNotification(n);
}

void QuizStateWindowController::studentPaperQuizPgupPgdn(const Notification &n)
{
    m_students->studentPaperQuizPgupPgdn(n);
}

void QuizStateWindowController::studentQuickGroupingNotification(const Notification &n)
{
    m_students->studentQuickGroupingNotification(n);
}

void QuizStateWindowController::studentHandRaise(const Notification &n)
{
    txtHandRaise->setText(QString::number(n.userInfo.value(Notify::Key::Count).toInt()));
}

void QuizStateWindowController::handRaiseSelectedToAnswer(const Notification &n)
{
    const int d = n.userInfo.value(Notify::Key::DeviceNo).toInt();
    OnStop();
    int points = 0;
    runChildWindow([&] { points = RunResultWindows::runHandRaiseMarking(this, this); });
    // The points stay in the run's data: a hand-raise session keeps only who was there.
    qdObject->setStudentPoint(m_nCurrentQuestionNo, d, points);
    qdObject->setStudentAnswer(m_nCurrentQuestionNo, d, QStringLiteral("A"));
}

void QuizStateWindowController::handleDeviceChanged()
{
    m_receiver->handleDeviceChanged(appDelegate ? appDelegate->currentDeviceType() : DeviceType::None, m_bStartFlag);
}

void QuizStateWindowController::OnSendQuestions()
{
    if (!btnSendQuestions->isEnabled())
        return;
    runChildWindow([this] { hooks().runSendQuestions(this, false); });
    if (btnStart->isChecked() && m_modeObject)
        m_modeObject->sendPCState(3);
}

void QuizStateWindowController::sendQuestionsReady()
{
    if (hooks().runSendQuestions)
        runChildWindow([this] { hooks().runSendQuestions(this, true); });
}

// ---- count-down, sounds, grid scroll ----

void QuizStateWindowController::updateQuizTime()
{
    // Free-style pages come and go during the run: their time is that of the question in hand.
    const int q = rule().freeStyle ? m_nCurrentQuestionNo : bigQuestions->nCurrentQuestionIndex();
    m_countDown->showQuestionTime(m_nMode, q, int(bigQuestions->questions().size()));
}

int QuizStateWindowController::quizTimeValue() const
{
    return m_countDown->value();
}

void QuizStateWindowController::startQuizTimeCountDown()
{
    adjustQuizTimeCountDown(0);
}

void QuizStateWindowController::adjustQuizTimeCountDown(int delay)
{
    m_countDown->adjustQuizTimeCountDown(delay);
}

void QuizStateWindowController::pauseQuizTimeCountDown()
{
    m_countDown->pause();
}

void QuizStateWindowController::stopQuizTimeCountDown()
{
    m_countDown->stop();
    updateQuizTime();
}

void QuizStateWindowController::OnTimeUp()
{
    m_countDown->OnTimeUp();
}

void QuizStateWindowController::OnTimeDown()
{
    m_countDown->OnTimeDown();
}

void QuizStateWindowController::playSound(int type)
{
    m_sounds->playSound(type);
}

int QuizStateWindowController::nPlaySoundtype() const
{
    return m_sounds->nPlaySoundtype();
}

bool QuizStateWindowController::bCloseTimerisValid() const
{
    return m_sounds->bCloseTimerisValid();
}

void QuizStateWindowController::setViewMove(bool on)
{
    m_students->scroll()->setViewMove(on);
}

int QuizStateWindowController::nLoginStudentSum() const
{
    return m_students->scroll()->nLoginStudentSum();
}

int QuizStateWindowController::nMoveHeight() const
{
    return m_students->scroll()->nMoveHeight();
}

// ---- display fields and navigation ----

void QuizStateWindowController::updateView_ModeDescription()
{
    txtMultipleModeString->setStyleSheet(QStringLiteral("color: %1;").arg(QColor::fromRgbF(0.376f, 0.49f, 0.996f).name()));
    txtMultipleModeString->setText(ActivityRules::name(m_nMode));
}

void QuizStateWindowController::updateMultipleModeLabel(int q)
{
    if (m_nMode != Activity::MultipleMode)
        return;
    txtMultipleModeString->setText(QStringLiteral("%1: %2").arg(ActivityRules::name(Activity::MultipleMode),
                                                                  ActivityRules::actionModeName(quizQuestionsInfo->actionMode(q))));
}

void QuizStateWindowController::canQuNoBeVisible()
{
    txtQuNoTitle->setVisible(rule().showsPages);
    txtQuNo->setVisible(rule().showsPages);
    const int pos = qdObject->getPageQuestionNo(m_nCurrentQuestionNo);
    if (pos == -1) {
        txtQuNo->setText(QString());
    } else {
        txtQuNo->setText(QString::number(pos));
        if (m_modeObject)
            m_modeObject->setNQuestionNoExceptTeachingPlane(pos);
    }
}

void QuizStateWindowController::canPageAndTotalPageBeVisible()
{
    txtPageAndTotalPageTitle->setVisible(rule().showsPages);
    txtPageAndTotalPage->setVisible(rule().showsPages);
    const int total = quizQuestionsInfo->count();
    const int current = qMin(m_nCurrentQuestionNo, total);
    txtPageAndTotalPage->setText(QStringLiteral("%1/%2").arg(current).arg(total));
}

void QuizStateWindowController::updateDoneField(bool forceRun)
{
    if (!forceRun && !qcmObject->getQuestionIsTest(m_nCurrentQuestionNo)) {
        txtDone->setText(QString());
        return;
    }
    txtDone->setText(tr(qPrintable(RunControls::doneText(int(qdObject->arrayAlreadyTestQuestionNo().size()), m_nExcludeTeachingPlan))));
}

int QuizStateWindowController::thumbnailCount() const
{
    return int(smallQuestions->array().size());
}

int QuizStateWindowController::stripCurrent() const
{
    return smallQuestions->nCurrentQuNo();
}

void QuizStateWindowController::afterNavigation(int n)
{
    updateDoneField(false);
    updateMultipleModeLabel(n);
    updateQuizTime();
    canQuNoBeVisible();
    canPageAndTotalPageBeVisible();
    applyControls();
}

void QuizStateWindowController::OnNext()
{
    if (!btnNext->isEnabled())
        return;
    stopReading();
    if (m_modeObject)
        m_modeObject->setNAnsweredNum(0);
    m_students->showAnsweredCount();
    if (stripCurrent() >= thumbnailCount()) {
        applyControls();
        return;
    }
    const int n = stripCurrent() + 1;
    smallQuestions->selectedQuestionNo(n);
    afterNavigation(n);
    switch (ActivityRules::gridAfterNext(m_nMode, quizQuestionsInfo->actionMode(n))) {
    case ActivityRule::NextGrid::RightOnThisQuestion:
        m_students->restoreRightAnswers(n);
        break;
    case ActivityRule::NextGrid::RightOnPreviousQuestion:
        m_students->restoreRightAnswers(n - 1);
        break;
    case ActivityRule::NextGrid::AllNormal:
        m_loginView->setStudentsNormal();
        break;
    }
}

void QuizStateWindowController::OnPrevious()
{
    if (!btnPrevious->isEnabled())
        return;
    stopReading();
    if (stripCurrent() <= 1) {
        applyControls();
        return;
    }
    const int n = stripCurrent() - 1;
    smallQuestions->selectedQuestionNo(n);
    afterNavigation(n);
    m_loginView->setStudentEliminated();
}

void QuizStateWindowController::selectChangeQuestion(int n)
{
    m_nCurrentQuestionNo = n;
    updateQuizTime();
    if (m_bStartFlag)
        return; // a running question keeps its buttons
    applyControls();
    updateDoneField(false);
    updateMultipleModeLabel(n);
    m_students->showAnswered(0);
    const ActivityRule &r = rule();
    if (r.start == ActivityRule::Start::ByActionMode && _nPrevQuActionMode == ActionMode::Elimination && _bPrevQuTested) {
        if (quizQuestionsInfo->actionMode(n) != ActionMode::Elimination)
            m_loginView->setStudentsNormalInMultipleMode();
        else
            m_loginView->setStudentEliminated();
    } else if (r.start != ActivityRule::Start::Elimination) {
        // Elimination keeps its marks between questions; everyone else starts afresh.
        m_loginView->setStudentsNormal();
    }
    if (m_nMode == Activity::MultipleMode) {
        _nPrevQuActionMode = quizQuestionsInfo->actionMode(n);
        _bPrevQuTested = qcmObject->getQuestionIsTest(n);
    }
    canPageAndTotalPageBeVisible();
}

void QuizStateWindowController::OnResult()
{
    if (!btnResult->isEnabled())
        return;
    if (m_freeStyle) {
        reloadQuestionInfo(m_nCurrentQuestionNo);
        m_freeStyle->beforeResultWindow();
    }
    runChildWindow([this] { RunResultWindows::openResult(this, this, m_nMode, m_nCurrentQuestionNo); });
}

void QuizStateWindowController::OnReport()
{
    if (!btnReport->isEnabled())
        return;
    if (m_nParticiptionMode != 0 && m_nParticiptionMode != 1)
        return;
    if (m_freeStyle) {
        reloadQuestionInfo(m_nCurrentQuestionNo);
        m_freeStyle->beforeResultWindow();
    }
    runChildWindow([this] { RunResultWindows::openReport(this, this, m_nParticiptionMode, m_nMode, m_nCurrentQuestionNo); });
}

void QuizStateWindowController::OnSpeech()
{
    if (!btnRead->isEnabled())
        return;
    if (rule().freeStyle && m_nCurrentQuestionNo < 1)
        return;
    reloadQuestionInfo(m_nCurrentQuestionNo);
    hooks().openReadAloud(this);
}

void QuizStateWindowController::stopReading()
{
    // The question being read is no longer the one shown.
    if (auto *reader = findChild<PlayMusic *>())
        reader->onStop();
}

void QuizStateWindowController::getContent(const Notification &n)
{
    // The read-aloud window asks for its text before it speaks; it takes it with setStrContent().
    reloadQuestionInfo(bigQuestions->nCurrentQuestionIndex());
    if (n.object)
        QMetaObject::invokeMethod(n.object, "setStrContent", Qt::DirectConnection, Q_ARG(QString, setMessageToPlayMusic()));
}

QString QuizStateWindowController::setMessageToPlayMusic() const
{
    return RunQuestionRecord::readAloudText(quizQuestionsInfo->element(bigQuestions->nCurrentQuestionIndex()));
}

// ---- free style and the page view ----

void QuizStateWindowController::OnAnswerSetting()
{
    if (m_freeStyle && btnAnswerSetting->isEnabled())
        m_freeStyle->OnAnswerSetting();
}

void QuizStateWindowController::OnToggle()
{
    if (m_freeStyle && btnToggle->isEnabled())
        m_freeStyle->OnToggle();
}

void QuizStateWindowController::onCapture()
{
    if (m_freeStyle)
        m_freeStyle->onCapture();
}

void QuizStateWindowController::reloadQuestionInfo(int n)
{
    if (m_freeStyle)
        m_freeStyle->reloadQuestionInfo(n);
}

void QuizStateWindowController::startQuestionsFrame()
{
    const bool paneHidden = m_freeStyle && !m_freeStyle->bShowQuestionPane();
    if (!paneHidden)
        smallQuestionsSV->hide();
    if (!m_bStartFlag)
        bigQuestions->resizeContent(m_nCurrentQuestionNo);
}

void QuizStateWindowController::stopQuestionsFrame()
{
    if (m_freeStyle && !m_freeStyle->bShowQuestionPane())
        return;
    smallQuestionsSV->show();
    bigQuestions->resizeContent(m_nCurrentQuestionNo);
}

// ---- window levels ----

void QuizStateWindowController::raiseToStatusLevel()
{
    if (m_statusLevel)
        return;
    m_statusLevel = true;
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    if (visible)
        show();
}

void QuizStateWindowController::lowerToNormalLevel()
{
    if (!m_statusLevel)
        return;
    m_statusLevel = false;
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, false);
    if (visible)
        show();
}

void QuizStateWindowController::keyPressEvent(QKeyEvent *event)
{
    // Escape must not close a run behind the teacher's back; Exit asks first.
    if (event->key() == Qt::Key_Escape) {
        OnExit();
        return;
    }
    QWidget::keyPressEvent(event);
}
