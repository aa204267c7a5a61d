#include "QuizStateWindowController.h"

#include "ForceLoginBesideGrid.h"
#include "FreeStyleRun.h"
#include "GridAutoScroll.h"
#include "PPTStudentLoginView.h"
#include "PlayMusic.h"
#include "QuizStateInterface.h"
#include "RunFrameRouter.h"
#include "RunStudentGrid.h"
#include "RunCountDown.h"
#include "RunSounds.h"
#include "RunResultWindows.h"
#include "StudentLoginView.h"

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
#include "core/reports/ReportDrawing.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "ui/authoring/Questions.h"
#include "ui/authoring/SmallQuestions.h"
#include "ui/controls/WindowOwner.h"

#include <QChildEvent>
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

    m_loginView = QuizStateInterface::build(this);
    m_forceLoginPlace = new ForceLoginBesideGrid(this, loginViewSV, forceLoginRoom);
    RunSession::Window window;
    window.widget = this;
    window.sink = this;
    window.txtQuizTime = txtQuizTime;
    window.grid = m_loginView;
    window.gridArea = loginViewSV;
    window.txtLoginAndAnswered = txtLoginAndAnswered;
    window.txtReceiverState = txtReceiverState;
    window.press = [this](KeyAction action) {
        // The key presses its button: a disabled button makes the key do nothing.
        for (const QuizStateInterface::RunButton &row : QuizStateInterface::runButtons())
            if (row.key == action)
                (this->*row.outlet)->click();
    };
    window.timeUp = [this] { OnStop(); };
    window.shouldClose = [this] { return windowShouldClose(); };
    window.exit = [this] { OnExit(); };
    // Down to a strip, the window makes room for the receiver's notice and gives it back.
    window.receiverLost = [this](bool) {
        if (m_freeStyle && !m_freeStyle->bShowQuestionPane())
            m_freeStyle->placeWindow();
    };
    window.stepAside = [this](bool inFront) { inFront ? lowerToNormalLevel() : raiseToStatusLevel(); };
    window.saveDialog = [this](const SaveRequest &r) {
        if (hooks().runSaveDialog)
            hooks().runSaveDialog(this, r);
        return bool(hooks().runSaveDialog);
    };
    // The pages written during a free-style run are what the session keeps.
    window.beforeSave = [this] {
        if (m_freeStyle)
            m_freeStyle->reloadAllQuestions();
    };
    window.toFather = [this](QWidget *father) {
        if (m_run->bIsFreeStyle)
            father->resize(810, 170);
    };
    m_run = new RunSession(std::move(window));
    observeNotifications();

    quizQuestionsInfo = QuizQuestions::shareManager();
    qpdObject = QuizParticipantData::shareManager();
    qdObject = QuizData::shareManager();
}

QuizStateWindowController::~QuizStateWindowController()
{
    NotificationCenter::defaultCenter()->removeObserver(this);
    if (appDelegate && appDelegate->objectToReceiveCommData() == this)
        appDelegate->setObjectToReceiveCommData(m_run->father);
    m_run->modeObject.reset();
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
    m_run->strPath = path;
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
    standRun();
    if (m_freeStyle)
        m_freeStyle->toNewFreeStylePaneLayout(true);
}

void QuizStateWindowController::standRun()
{
    // The list of students not in the class is one of the run's windows, as over a slide show:
    // in front of this window, and behind whatever opens over the run. So is a free-style run's
    // strip of students: clicked, neither keeps the keys from this window.
    WindowOwner::standRun({this, m_run->forceLoginCtrl.data(), m_freeStyle ? m_freeStyle->pptStudentLoginView() : nullptr}, nullptr,
                          nullptr);
}

const ActivityRule &QuizStateWindowController::rule() const
{
    return m_run->rule();
}

void QuizStateWindowController::windowDidLoad()
{
    m_run->greetReceiver();
    const RunControls::Controls shown = RunControls::shown(m_run->nMode, m_run->nDeviceType);
    for (const QuizStateInterface::RunButton &row : QuizStateInterface::runButtons())
        (this->*row.outlet)->setVisible(shown.testFlag(row.control));
    if (m_run->bIsFreeStyle)
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
        const QString name = shortenedText(QFileInfo(m_run->strPath).fileName().section(QLatin1Char('.'), 0, 0), 20, 20);
        txtMessage->setText(QStringLiteral("ID:%1     Title:%2").arg(QString::number(quizQuestionsInfo->nTestID()), name));
    }
    txtMessage->setVisible(!txtMessage->text().isEmpty());
    const bool handRaiseCount = m_run->countsHandRaises();
    txtHandRaiseTitle->setVisible(handRaiseCount && m_run->nMode != Activity::Attendance);
    txtHandRaise->setVisible(handRaiseCount && m_run->nMode != Activity::Attendance);
    if (m_run->nMode == Activity::MultipleMode) {
        updateMultipleModeLabel(1);
        _nPrevQuActionMode = quizQuestionsInfo->actionMode(1);
        _bPrevQuTested = false;
    }
    m_nCurrentQuestionNo = bigQuestions->nCurrentQuestionIndex();
    txtClassName->setFullText(qpdObject->className());
    m_run->sounds->cue(RunSounds::Enter);
    m_run->phase = Phase::Opened;
    applyControls();
    raiseToStatusLevel();
}

void QuizStateWindowController::setModeObject()
{
    const int mode = m_run->nMode;
    const ActivityRule &r = rule();
    const int model = ActivityRules::modeObjectDeviceType(mode, m_run->nDeviceType);
    // Without a model (infrared or no receiver) the activity has no object: keypad answers are not taken.
    if (model != DeviceType::None)
        m_run->setModeObject(QuizModeFactory::create(mode, model));
    if (mode != Activity::Survey && (m_run->modeObject || mode != Activity::PaperQuiz))
        m_loginView->setLoginViewStyle(int(ActivityRules::grid(mode, m_run->nDeviceType)));

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

    m_run->students->setPaperQuizGrid(ActivityRules::grid(mode, m_run->nDeviceType) == ActivityRule::Grid::PaperQuiz);
    m_run->students->addLoggedInBefore();
    updateQuizTime();
    m_run->countQuestions();
    m_run->setParticipation();
}

void QuizStateWindowController::loadQuestionsInfo()
{
    if (m_run->strPath.isEmpty())
        return;
    if (!bigQuestions->openFile(m_run->strPath)) {
        PollixLog(QStringLiteral("question file not read: %1").arg(m_run->strPath));
        return;
    }
    quizQuestionsInfo->setNTestID(bigQuestions->epi() ? bigQuestions->epi()->nExamPaperID() : 0);
    quizQuestionsInfo->removeAllQuestionsInfo();
    smallQuestions->setBDelete(false);
    if (const int limit = ActivityRules::keypadQuestionLimit(m_run->nMode, m_run->nDeviceType)) {
        while (bigQuestions->questions().size() > limit)
            bigQuestions->deleteQuestion(int(bigQuestions->questions().size()));
    }
    const QList<QuestionSetViewPtr> pages = bigQuestions->questions();
    for (int i = 0; i < pages.size(); ++i) {
        if (i < smallQuestions->array().size())
            smallQuestions->array()[i]->setBDelete(false);
        pages[i]->setBFreeStyle(m_run->bIsFreeStyle);
        pages[i]->setNQuNo(i + 1);
        pages[i]->setInQuiz(!m_bPaperEditable);
    }
    quizQuestionsInfo->setArrayQuestions(RunQuestionRecord::fromPages(pages, m_run->nMode));
}

void QuizStateWindowController::SendWakeUpMessage(int wakeMode)
{
    m_run->SendWakeUpMessage(wakeMode);
}

const QList<StudentEntity> &QuizStateWindowController::arrStuLoginContentTime() const
{
    return m_run->students->arrStuLoginContentTime();
}

// ---- run controls ----

bool QuizStateWindowController::questionRun(int q) const
{
    return m_arryAlreadTestQuetionNum.contains(q) || qcmObject->getQuestionIsTest(q);
}

RunControls::Situation QuizStateWindowController::situation() const
{
    RunControls::Situation s = m_run->situation();
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



void QuizStateWindowController::OnStart()
{
    if (!btnStart->isEnabled())
        return;
    if (m_run->refusedWhileReceiverLost(RunSession::Refused::Start, btnStart) || m_run->refusedWithNobodyLoggedIn(btnStart)) {
        applyControls();
        return;
    }
    const ActivityRule &r = rule();
    if (r.freeStyle && r.start == ActivityRule::Start::Rush && m_run->modeObject)
        m_run->modeObject->setNRushStuDeviceNo(-1);
    if (r.checksQuestionAtStart) {
        m_nCurrentQuestionNo = bigQuestions->nCurrentQuestionIndex();
        const int q = m_nCurrentQuestionNo;
        if (!m_run->bStartFlag
            && !RunControls::canStartQuestion(m_run->nMode, m_run->nDeviceType, quizQuestionsInfo->questionType(q), quizQuestionsInfo->answer(q))) {
            m_run->showStartRefusal(btnStart);
            return;
        }
    }
    m_run->pressStart(btnStart, [this] {
        start();
        canQuNoBeVisible();
    });
    applyControls();
}

void QuizStateWindowController::start()
{
    setViewMove(true);
    // The running question stays selected: a thumbnail click would run the stop on another question.
    smallQuestions->setEnabled(false);
    m_run->nAnswerTime = 0;
    const ActivityRule &r = rule();
    if (m_run->nMode == Activity::Attendance) {
        m_nCurrentQuestionNo = 1;
    } else {
        if (r.locksLoginsAtStart) {
            m_run->students->lockLogins();
            if (m_run->modeObject)
                m_run->modeObject->setAlreadStartInElimination(true);
        }
        if (r.freeStyle && m_run->modeObject) {
            const int i = m_nCurrentQuestionNo - 1;
            m_run->modeObject->setSetByTeacherDeivce(i >= 0 && i < m_arrQueAddByTeacher.size() && m_arrQueAddByTeacher[i] == 1);
        }
    }
    if (m_freeStyle)
        m_freeStyle->questionStarted();
    if (r.showsPages)
        startQuestionsFrame();
    m_run->announceQuestion(m_nCurrentQuestionNo);
    if (m_run->startStep(m_nCurrentQuestionNo) == ActivityRule::Start::RollCall)
        m_nCurrentQuestionNo = 1;
    if (m_run->modeObject)
        m_run->modeObject->setNAnsweredNum(0);
    m_run->markStarted();
    updateDoneField(false);
}

void QuizStateWindowController::OnStop()
{
    if (!btnStop->isEnabled())
        return;
    m_run->pressStop(btnStart, [this] { stop(); });
    const ActivityRule &r = rule();
    const int q = m_nCurrentQuestionNo;
    const bool stoppedBefore = m_arryAlreadTestQuetionNum.contains(q);
    if (r.stop != ActivityRule::Stop::RollCall) {
        if (!m_arryAlreadTestQuetionNum.contains(m_nCurrentQuestionNo))
            m_arryAlreadTestQuetionNum.append(m_nCurrentQuestionNo);
        if (r.freeStyle && r.start == ActivityRule::Start::Rush && m_run->modeObject) {
            const int d = m_run->modeObject->nRushStuDeviceNo();
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

void QuizStateWindowController::stop()
{
    setViewMove(false);
    smallQuestions->setEnabled(true);
    const int q = m_nCurrentQuestionNo;
    if (m_freeStyle)
        m_freeStyle->questionStopped();
    if (rule().showsPages)
        stopQuestionsFrame();
    // Free-style elimination judges a question written on the toolbar once its answer is set.
    if (m_run->modeObject && (!m_freeStyle || FreeStyleRules::evaluatesAtStop(m_run->nMode, m_freeStyle->setFromKeypad(q))))
        m_run->modeObject->modeStop();
    if (!m_run->questionStopped(btnStart, q))
        return;
    const ActivityRule &r = rule();
    if (r.stop == ActivityRule::Stop::Question && (m_run->nMode == Activity::MultipleMode || r.freeStyle)) {
        _nPrevQuActionMode = quizQuestionsInfo->actionMode(q);
        _bPrevQuTested = true;
    }
    updateQuizTime();
    if (r.navigates)
        updateDoneField(true);
}

// ---- exit and closing ----

void QuizStateWindowController::OnExit()
{
    if (!btnExit->isEnabled() || m_run->closing)
        return;
    if (m_freeStyle)
        m_freeStyle->exiting();
    if (m_run->confirmExit())
        m_run->leave();
}


void QuizStateWindowController::closeSelf()
{
    m_run->closeSelf();
}

void QuizStateWindowController::closeEvent(QCloseEvent *event)
{
    m_run->closeEvent(event);
}

bool QuizStateWindowController::windowShouldClose()
{
    return m_run->windowShouldClose();
}


// ---- keypad input ----

void QuizStateWindowController::handleMachMessage()
{
    handleDataReceive();
}

void QuizStateWindowController::handleDataReceive()
{
    m_run->frames->handleDataReceive();
}

void QuizStateWindowController::handleLongFrame(const DataOfFrame &frame)
{
    m_run->frames->handleLongFrame(frame);
}

void QuizStateWindowController::handleStudentFrame(const DataOfFrame &frame)
{
    m_run->frames->handleStudentFrame(frame);
}


// ---- run events ----

void QuizStateWindowController::studentLogin(const Notification &n)
{
    m_run->students->studentLogin(n);
}

void QuizStateWindowController::forceLogin(const Notification &n)
{
    m_run->forceLogin(n);
    standRun();
}

void QuizStateWindowController::setStudentLogout(const Notification &n)
{
    m_run->students->setStudentLogout(n);
}

void QuizStateWindowController::studentAnswerNotification(const Notification &n)
{
    m_run->students->studentAnswerNotification(n);
}

void QuizStateWindowController::studentRushNotification(const Notification &n)
{
    if (!m_run->studentRushNotification(n, m_nCurrentQuestionNo, [this] { OnStop(); }))
        applyControls();
}

void QuizStateWindowController::studentEliminationNotification(const Notification &n)
{
    m_run->students->studentEliminationNotification(n);
}

void QuizStateWindowController::studentPaperQuizPgupPgdn(const Notification &n)
{
    m_run->students->studentPaperQuizPgupPgdn(n);
}

void QuizStateWindowController::studentQuickGroupingNotification(const Notification &n)
{
    m_run->students->studentQuickGroupingNotification(n);
}

void QuizStateWindowController::studentHandRaise(const Notification &n)
{
    txtHandRaise->setText(QString::number(n.userInfo.value(Notify::Key::Count).toInt()));
}

void QuizStateWindowController::handRaiseSelectedToAnswer(const Notification &n)
{
    m_run->handRaiseSelectedToAnswer(n, m_nCurrentQuestionNo, [this] { OnStop(); });
}

void QuizStateWindowController::handleDeviceChanged()
{
    m_run->handleDeviceChanged();
}

void QuizStateWindowController::OnSendQuestions()
{
    if (!btnSendQuestions->isEnabled())
        return;
    m_run->runChildWindow([this] { hooks().runSendQuestions(this, false); });
    if (btnStart->isChecked() && m_run->modeObject)
        m_run->modeObject->sendPCState(3);
}

void QuizStateWindowController::sendQuestionsReady()
{
    if (hooks().runSendQuestions)
        m_run->runChildWindow([this] { hooks().runSendQuestions(this, true); });
}

// ---- count-down, sounds, grid scroll ----

void QuizStateWindowController::updateQuizTime()
{
    // Free-style pages come and go during the run: their time is that of the question in hand.
    const int q = rule().freeStyle ? m_nCurrentQuestionNo : bigQuestions->nCurrentQuestionIndex();
    m_run->countDown->showQuestionTime(m_run->nMode, q, int(bigQuestions->questions().size()));
}

int QuizStateWindowController::quizTimeValue() const
{
    return m_run->countDown->value();
}

void QuizStateWindowController::startQuizTimeCountDown()
{
    m_run->startQuizTimeCountDown();
}

void QuizStateWindowController::adjustQuizTimeCountDown(int delay)
{
    m_run->countDown->adjustQuizTimeCountDown(delay);
}

void QuizStateWindowController::pauseQuizTimeCountDown()
{
    m_run->countDown->pause();
}

void QuizStateWindowController::stopQuizTimeCountDown()
{
    m_run->countDown->stop();
    updateQuizTime();
}

void QuizStateWindowController::OnTimeUp()
{
    m_run->countDown->OnTimeUp();
}

void QuizStateWindowController::OnTimeDown()
{
    m_run->countDown->OnTimeDown();
}

void QuizStateWindowController::playSound(int type)
{
    m_run->sounds->playSound(type);
}

int QuizStateWindowController::nPlaySoundtype() const
{
    return m_run->sounds->nPlaySoundtype();
}

bool QuizStateWindowController::bCloseTimerisValid() const
{
    return m_run->sounds->bCloseTimerisValid();
}

void QuizStateWindowController::setViewMove(bool on)
{
    m_run->students->scroll()->setViewMove(on);
}

int QuizStateWindowController::nLoginStudentSum() const
{
    return m_run->students->scroll()->nLoginStudentSum();
}

int QuizStateWindowController::nMoveHeight() const
{
    return m_run->students->scroll()->nMoveHeight();
}

// ---- display fields and navigation ----

void QuizStateWindowController::updateView_ModeDescription()
{
    m_run->updateView_ModeDescription(txtMultipleModeString);
}

void QuizStateWindowController::updateMultipleModeLabel(int q)
{
    m_run->updateMultipleModeLabel(txtMultipleModeString, quizQuestionsInfo->actionMode(q));
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
        if (m_run->modeObject)
            m_run->modeObject->setNQuestionNoExceptTeachingPlane(pos);
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
    m_run->updateDoneField(txtDone, forceRun || qcmObject->getQuestionIsTest(m_nCurrentQuestionNo));
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
    if (!btnNext->isEnabled() || m_run->refusedWhileReceiverLost(RunSession::Refused::Next, btnStart))
        return;
    stopReading();
    if (m_run->modeObject)
        m_run->modeObject->setNAnsweredNum(0);
    m_run->students->showAnsweredCount();
    if (stripCurrent() >= thumbnailCount()) {
        applyControls();
        return;
    }
    const int n = stripCurrent() + 1;
    smallQuestions->selectedQuestionNo(n);
    afterNavigation(n);
    m_run->gridAfterNext(n);
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
    if (m_run->bStartFlag)
        return; // a running question keeps its buttons
    applyControls();
    updateDoneField(false);
    updateMultipleModeLabel(n);
    m_run->students->showAnswered(0);
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
    if (m_run->nMode == Activity::MultipleMode) {
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
    m_run->runChildWindow([this] { RunResultWindows::openResult(this, this, m_run->nMode, m_nCurrentQuestionNo); });
}

void QuizStateWindowController::OnReport()
{
    if (!btnReport->isEnabled())
        return;
    if (m_run->nParticiptionMode != 0 && m_run->nParticiptionMode != 1)
        return;
    if (m_freeStyle) {
        reloadQuestionInfo(m_nCurrentQuestionNo);
        m_freeStyle->beforeResultWindow();
    }
    m_run->runChildWindow([this] { RunResultWindows::openReport(this, this, m_run->nParticiptionMode, m_run->nMode, m_nCurrentQuestionNo); });
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
    if (!m_run->bStartFlag)
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
    WindowOwner::keepAbove(this, true);
}

void QuizStateWindowController::lowerToNormalLevel()
{
    if (!m_statusLevel)
        return;
    m_statusLevel = false;
    WindowOwner::keepAbove(this, false);
}

bool QuizStateWindowController::event(QEvent *event)
{
    // The students-not-in-the-class window is made on the first keypad that is not in the
    // class, with this window as its parent; it is polished just before it first shows.
    if (event->type() == QEvent::ChildPolished)
        if (auto *w = qobject_cast<ForceLoginController *>(static_cast<QChildEvent *>(event)->child()))
            m_forceLoginPlace->adopt(w);
    return QWidget::event(event);
}

void QuizStateWindowController::keyPressEvent(QKeyEvent *event)
{
    // Escape must not close a run behind the teacher's back; Exit asks first.
    if (!m_run->escapeExits(event, [this] { OnExit(); }))
        QWidget::keyPressEvent(event);
}
