#include "RunSession.h"

#include "ForceLoginController.h"
#include "GridAutoScroll.h"
#include "RunCountDown.h"
#include "RunFather.h"
#include "RunFrameRouter.h"
#include "RunReceiver.h"
#include "RunResultWindows.h"
#include "RunSounds.h"
#include "RunStudentGrid.h"
#include "RunTimer.h"
#include "StudentLoginView.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/base/CommonFunc.h"
#include "core/engine/ClassLogout.h"
#include "core/engine/QuizData.h"
#include "core/engine/QuizMode.h"
#include "core/engine/QuizParticipantData.h"
#include "core/engine/QuizQuestions.h"
#include "core/keypad/TovDevice.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"

#include <QApplication>
#include <QCloseEvent>
#include <QColor>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTimer>

#include <utility>

using Phase = RunControls::Phase;

namespace {
const QString kOkF1 = QStringLiteral("  \"F1\" OK  ");
const QString kCancelF2 = QStringLiteral("\"F2\" Cancel");
// How soon a close held back by a question of the window's own looks again.
constexpr int kCloseRetryMs = 20;
} // namespace

RunSession::RunSession(Window window) : QObject(window.widget), m_window(std::move(window))
{
    QWidget *w = m_window.widget;
    appDelegate = Orvenda_AppDelegate::getAppDelegate();
    if (appDelegate)
        nDeviceType = appDelegate->currentDeviceType();
    qpdObject = QuizParticipantData::shareManager();
    qqObject = QuizQuestions::shareManager();
    qdObject = QuizData::shareManager();
    qqObject->setStrTestTitle(QString());
    qqObject->setNTestID(0);

    countDown = new RunCountDown(m_window.txtQuizTime, w);
    countDown->onTick = [this] {
        ++nAnswerTime;
        if (modeObject)
            modeObject->setQuizStateScreenTimer(nAnswerTime);
        ++nTimeElapsed;
    };
    countDown->onTimeUp = [this] { m_window.timeUp(); };
    sounds = new RunSounds(w);
    frames = std::make_unique<RunFrameRouter>(RunFrameRouter::Window{
        [this] { return modeObject.get(); },
        [this] { return alert.data(); },
        [this] { return childDepth > 0; },
        m_window.press,
        m_window.keyAction,
        [this] { return alert && alert == closeRefusal; }});
    students = new RunStudentGrid(m_window.grid, m_window.gridArea, m_window.txtLoginAndAnswered, w);
    students->modeObject = [this] { return modeObject.get(); };
    receiver = new RunReceiver([this] { return modeObject.get(); }, [this] { return bStartFlag; }, w);
    m_wakeUpWatch = new RunTimer(w);
    if (!m_window.viewMove)
        m_window.viewMove = [this](bool on) { students->scroll()->setViewMove(on); };
    strTimeStart = GetDateTimeNow();
}

RunSession::~RunSession() = default;

const ActivityRule &RunSession::rule() const
{
    return ActivityRules::rule(nMode);
}

// ---- opening ----

void RunSession::setModeObject(std::unique_ptr<QuizMode> mode)
{
    modeObject = std::move(mode);
    if (modeObject)
        modeObject->setRunAnswering([this] { return bStartFlag; });
}

void RunSession::greetReceiver()
{
    receiver->sendNullWithNextWake(nDeviceType);
    m_receiverSeen = receiverServesRun();
}

bool RunSession::countsHandRaises()
{
    receiver->setIdleAtOpening(nDeviceType);
    const bool handRaises = nDeviceType == DeviceType::Corvel || nDeviceType == DeviceType::Dravel;
    if (handRaises)
        qpdObject->setNullInLoginStudent();
    return handRaises;
}

void RunSession::setParticipation()
{
    if (modeObject)
        modeObject->setParticipationMode(ActivityRules::isFreeStyle(nMode) ? 2 : nParticiptionMode);
}

void RunSession::countQuestions()
{
    nExcludeTeachingPlan = 0;
    for (const QuizQuestionsElement &e : qqObject->arrayQuestions())
        if (e.nQuestionType() != QuestionType::TeachingPlan)
            ++nExcludeTeachingPlan;
}

// ---- controls ----

RunControls::Situation RunSession::situation() const
{
    RunControls::Situation s;
    s.activity = nMode;
    s.deviceType = nDeviceType;
    s.phase = phase;
    return s;
}

void RunSession::setStartShowsPause(QPushButton *btnStart, bool pause)
{
    btnStart->setText(pause ? tr("Pause") : tr("Start"));
    btnStart->setIcon(btnStart->style()->standardIcon(pause ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    btnStart->setProperty("imageName", pause ? QStringLiteral("pause_normal.png") : QStringLiteral("start_normal.png"));
}

void RunSession::updateDoneField(QLabel *txtDone, bool questionRun)
{
    if (!RunControls::doneShown(phase, questionRun)) {
        txtDone->setText(QString());
        return;
    }
    txtDone->setText(tr(qPrintable(RunControls::doneText(int(qdObject->arrayAlreadyTestQuestionNo().size()), nExcludeTeachingPlan))));
}

void RunSession::updateMultipleModeLabel(QLabel *txtMultipleModeString, int actionMode)
{
    if (nMode != Activity::MultipleMode)
        return;
    txtMultipleModeString->setText(QStringLiteral("%1: %2").arg(ActivityRules::name(Activity::MultipleMode),
                                                                  ActivityRules::actionModeName(actionMode)));
}

void RunSession::updateView_ModeDescription(QLabel *txtMultipleModeString)
{
    txtMultipleModeString->setStyleSheet(QStringLiteral("color: %1;").arg(QColor::fromRgbF(0.376f, 0.49f, 0.996f).name()));
    txtMultipleModeString->setText(ActivityRules::name(nMode));
}

// ---- start, pause, stop ----

void RunSession::pressStart(QPushButton *btnStart, const std::function<void()> &startQuestion)
{
    if (btnStart->isChecked()) {
        sounds->cue(RunSounds::Start);
        if (bStartFlag) {
            // Homework counts nothing down: its field reads "Receiving...", which a count-down
            // would take for zero and stop the collection two seconds after the resume.
            if (rule().time == ActivityRule::Time::Assigning)
                countDown->showReceiving();
            else
                startQuizTimeCountDown();
        } else {
            startQuestion();
        }
        setStartShowsPause(btnStart, true);
    } else {
        countDown->pause();
        m_heldByLoss = false; // the teacher's own pause: it lasts past the receiver's return
        setStartShowsPause(btnStart, false);
    }
}

void RunSession::startQuizTimeCountDown()
{
    countDown->adjustQuizTimeCountDown(m_window.countDownLeadIn ? m_window.countDownLeadIn() : 0);
}

ActivityRule::Start RunSession::startStep(int q)
{
    StudentLoginView *grid = m_window.grid;
    const int actionMode = qqObject->actionMode(q);
    phase = Phase::Running;
    const ActivityRule::Start step = ActivityRules::startStep(nMode, actionMode);
    switch (step) {
    case ActivityRule::Start::Rush:
        // No count-down until a student wins the rush.
        phase = Phase::AwaitingRush;
        countDown->showWaiting();
        grid->setStudentsNormal();
        break;
    case ActivityRule::Start::Elimination:
        startQuizTimeCountDown();
        break;
    case ActivityRule::Start::PaperQuiz:
        grid->setStudentsNormal();
        startQuizTimeCountDown();
        if (ActivityRules::grid(nMode, nDeviceType) == ActivityRule::Grid::PaperQuiz)
            for (int d : qpdObject->loginDeviceNos())
                grid->setStudentPaperQuiz(d, 1, false);
        if (modeObject)
            modeObject->clearArrAnswerStu();
        break;
    case ActivityRule::Start::HomeWork:
        grid->setStudentsNormal();
        countDown->showReceiving();
        if (modeObject)
            modeObject->clearArrAnswerStu();
        break;
    case ActivityRule::Start::RollCall:
    case ActivityRule::Start::CountDown:
        grid->setStudentsNormal();
        startQuizTimeCountDown();
        break;
    case ActivityRule::Start::ByActionMode:
    case ActivityRule::Start::Nothing:
        break;
    }
    if (ActivityRules::clearsEliminatedAtStart(nMode, actionMode))
        qdObject->setArrayEliminationStudentsDeviceNo({});
    return step;
}

void RunSession::SendWakeUpMessage(int wakeMode)
{
    receiver->SendWakeUpMessage(wakeMode, rule().freeStyle ? nMode : -1);
}

void RunSession::announceQuestion(int q)
{
    if (!modeObject)
        return;
    modeObject->modeStart(q);
    const bool pcState = nDeviceType != DeviceType::Brevel && (rule().questionPcStateAlways || !modeObject->getSendQueState());
    if (DeviceType::isLargeFamily(nDeviceType) && pcState) {
        modeObject->sendPCState(3);
    } else if (DeviceType::isLargeFamily(nDeviceType)) {
        SendWakeUpMessage(1);
        m_wakeUpTries = 0;
        m_wakeUpWatch->start([this] { watchWakeUpReply(); });
    } else if (DeviceType::isSmallFamily(nDeviceType)) {
        modeObject->openReceiveArvel();
    }
}

void RunSession::watchWakeUpReply()
{
    // The question is announced to the keypads when one of them answers its wake frame. That
    // answer may be lost or damaged on the line: the wake frame goes out again, and at last the
    // question is announced without it, so that no question stays unsent.
    if (!bStartFlag || !modeObject || modeObject->startFlag()) {
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
    modeObject->sendPCState(3);
}

void RunSession::markStarted()
{
    students->showAnsweredCount();
    bStartFlag = true;
    if (modeObject)
        modeObject->setQuizStateScreenTimer(0);
}

void RunSession::pressStop(QPushButton *btnStart, const std::function<void()> &stopQuestion)
{
    sounds->cue(RunSounds::Stop);
    stopQuestion();
    if (ActivityRules::grid(nMode, nDeviceType) == ActivityRule::Grid::PaperQuiz)
        m_window.grid->clearStudentsAnswerCount();
    setStartShowsPause(btnStart, false);
}

bool RunSession::questionStopped(QPushButton *btnStart, int q)
{
    m_wakeUpWatch->stop();
    m_heldByLoss = false;
    receiver->stopAnswering(nDeviceType);
    bStartFlag = false;
    phase = Phase::Stopped;
    // Stopped (by the keypad, the count-down): the close box's notice has nothing more to say.
    if (closeRefusal)
        closeRefusal->pressButton(0);
    btnStart->setChecked(false);
    const ActivityRule &r = rule();
    if (r.stop == ActivityRule::Stop::Survey) {
        // The page returns to its place; the count-down is left as it stands.
        countDown->stop();
        return false;
    }
    if (r.stop == ActivityRule::Stop::Question)
        students->markFirstRushNotTaken(q);
    countDown->stop();
    return true;
}

// ---- alerts, child windows, leaving ----

int RunSession::runAlert(const QString &text, const QStringList &buttons)
{
    frames->releaseFrameInHand();
    PollixAlert box(QStringLiteral("Warning"), QStringLiteral("Warning"), buttons, text, m_window.widget);
    return showAlert(box);
}

int RunSession::showAlert(PollixAlert &box)
{
    // The window stays the frame listener: the teacher keypad's F1 and F2 press the alert's buttons.
    if (m_window.prepareAlert)
        m_window.prepareAlert(&box);
    alert = &box;
    if (m_window.stepAside)
        m_window.stepAside(true);
    const int result = box.runModal();
    alert = nullptr;
    if (m_window.stepAside)
        m_window.stepAside(false);
    return result;
}

void RunSession::showStartRefusal(QPushButton *btnStart)
{
    runAlert(QStringLiteral("Currently in the teaching plan mode, cannot start testing"), {kOkF1});
    btnStart->setChecked(false);
}

void RunSession::runChildWindow(const std::function<void()> &run)
{
    frames->releaseFrameInHand();
    if (m_window.stepAside)
        m_window.stepAside(true);
    ++childDepth;
    run();
    --childDepth;
    // The child may have taken the listener role for its own run.
    if (appDelegate && !closing)
        appDelegate->setObjectToReceiveCommData(m_window.widget);
    if (m_window.stepAside)
        m_window.stepAside(false);
}

bool RunSession::confirmExit()
{
    if (appDelegate)
        appDelegate->setBTeacherExit(true);
    const int result = runAlert(QStringLiteral("Are you sure to exit this Activity?"), {kOkF1, kCancelF2});
    if (result == PollixAlert::AlertFirstButtonReturn)
        return true;
    // The teacher stays: no later reader may take the flag for a leave.
    if (appDelegate)
        appDelegate->setBTeacherExit(false);
    return false;
}

void RunSession::leave()
{
    closing = true;
    farewell([this] { closeSelf(); });
}

void RunSession::farewell(const std::function<void()> &then)
{
    if (std::exchange(m_farewellSent, true)) {
        if (then)
            then();
        return;
    }
    // The logout takes the receiver's answer to its wake frame (the run's, or the main window's
    // once it listens): a window over the run still listening (Send Questions, which takes that
    // answer for its own wake's, when Pollix ends with it up) hands the frames back first.
    if (appDelegate && appDelegate->objectToReceiveCommData() != m_window.widget)
        appDelegate->setObjectToReceiveCommData(m_window.widget);
    // The keypads are told that the teacher left, then called to log out.
    if (modeObject)
        modeObject->sendReceiveState(0xE3);
    RunTimer::after(100, m_window.widget, [this, then] {
        if (modeObject) {
            modeObject->setWakeUpMode(2);
            modeObject->sendWakeFrame();
        }
        m_logoutCalled = true;
        if (then)
            then();
    });
}

bool RunSession::loggedOut() const
{
    // The three-byte receivers answer no wake frame: their keypads are told with it.
    return m_logoutCalled
           && (!modeObject || !DeviceType::isLargeFamily(nDeviceType) || modeObject->classLoggedOut());
}

void RunSession::closeSelf()
{
    // A question of the window's own may still wait, opened by one of its controls between the
    // leave and now (Delete's "Are you sure", say): the window deleted inside that question's
    // loop would take the question and the control's code still running under it. The question
    // is left by its way out first, and the window closes once its loop is over.
    if (QWidget *modal = QApplication::activeModalWidget()) {
        for (QWidget *up = modal->parentWidget(); up; up = up->parentWidget()) {
            if (up != m_window.widget)
                continue;
            if (auto *dialog = qobject_cast<QDialog *>(modal))
                dialog->reject();
            else
                modal->close();
            QTimer::singleShot(kCloseRetryMs, m_window.widget, [this] { closeSelf(); });
            return;
        }
    }
    if (m_window.shouldClose()) {
        closing = true;
        endRun();
        m_window.widget->hide();
        m_window.widget->deleteLater();
    } else {
        closing = false;
    }
}

void RunSession::endRun()
{
    // The window lingers until the event loop deletes it: nothing of the run may act meanwhile
    // (a receiver plugged in, a keypad's late login or answer, the next run's events), and the
    // activity object sends nothing more.
    m_ended = true;
    NotificationCenter::defaultCenter()->removeObserverTree(m_window.widget);
    m_wakeUpWatch->stop();
    countDown->stop();
    modeObject.reset();
}

void RunSession::closeEvent(QCloseEvent *event)
{
    if (m_ended) {
        event->accept();
        return;
    }
    event->ignore();
    // Leaving already: the leave closes the window once the keypads are told.
    if (closing)
        return;
    if (bStartFlag) {
        refuseClosing();
        return;
    }
    // The close box is the window's Exit: the same question, the keypads logged out, the save.
    m_window.exit();
}

void RunSession::refuseClosing()
{
    // Only the computer's keys and close box come here, never the teacher keypad: the notice
    // waits for OK (or the keypad's F1), and goes by itself when the question stops meanwhile.
    if (alert)
        return;
    frames->releaseFrameInHand();
    PollixAlert box(QStringLiteral("Warning"), QStringLiteral("Warning"), {kOkF1}, runningNotice(), m_window.widget);
    closeRefusal = &box;
    showAlert(box);
    closeRefusal = nullptr;
}

QString RunSession::runningNotice() const
{
    // Named as the activity names what its Start began and its Stop ends.
    switch (rule().runs) {
    case ActivityRule::Runs::QuestionSet: return QStringLiteral("A question set is running. Stop it before closing this window.");
    case ActivityRule::Runs::RollCall: return QStringLiteral("A roll call is running. Stop it before closing this window.");
    case ActivityRule::Runs::Grouping: return QStringLiteral("A grouping is running. Stop it before closing this window.");
    case ActivityRule::Runs::Question: break;
    }
    return QStringLiteral("A question is running. Stop it before closing this window.");
}

bool RunSession::escapeExits(QKeyEvent *event, const std::function<void()> &onExit)
{
    if (event->key() != Qt::Key_Escape)
        return false;
    // Exit is greyed while a question runs: Escape then says why, as the close box does, rather
    // than going nowhere.
    if (bStartFlag && !closing && !m_ended)
        refuseClosing();
    else
        onExit();
    return true;
}

bool RunSession::windowShouldClose()
{
    if (bStartFlag)
        return false;
    if (saveOffered)
        return true;
    saveOffered = true;
    if (m_window.beforeSave)
        m_window.beforeSave();
    countDown->stop();
    m_window.viewMove(false);
    QString savedTo;
    if (!qdObject->arrayAlreadyTestQuestionNo().isEmpty()) {
        QStringList arrQuizTime;
        const SaveRequest r = saveRequest(&arrQuizTime);
        runChildWindow([&] {
            if (!m_window.saveDialog || !m_window.saveDialog(r))
                savedTo = SaveToDataController::runForRun(m_window.widget, r);
        });
    }
    qpdObject->removeActivityRecord();
    qqObject->removeAllQuestionsInfo();
    if (m_window.afterRun)
        m_window.afterRun();
    if (appDelegate)
        appDelegate->setObjectToReceiveCommData(father);
    if (father) {
        if (m_window.toFather)
            m_window.toFather(father);
        father->show();
        father->raise();
        father->activateWindow();
        if (auto *shows = dynamic_cast<RunFather *>(father.data()); shows && !savedTo.isEmpty())
            shows->sessionSaved(savedTo);
    }
    return true;
}

RunSession::SaveRequest RunSession::saveRequest(QStringList *times)
{
    *times = {strTimeStart, GetDateTimeNow(), QString::number(nTimeElapsed)};
    SaveRequest r;
    r.strFileName = strPath.isEmpty() ? QString() : QFileInfo(strPath).fileName();
    r.curDeviceType = nDeviceType;
    r.curParticipationMode = nParticiptionMode;
    r.curActivityMode = nMode;
    r.bIsFreeStyle = bIsFreeStyle;
    r.nIsGroup = nIsGroup;
    r.arrStuLoginContentTime = &students->arrStuLoginContentTime();
    r.arrQuizTime = times;
    return r;
}

bool RunSession::saveUnasked(QString *savedPath, QString *errorText)
{
    if (qdObject->arrayAlreadyTestQuestionNo().isEmpty())
        return false;
    if (!saveOffered && m_window.beforeSave)
        m_window.beforeSave();
    saveOffered = true;
    countDown->stop();
    // The save dialog may be open already, with a name the teacher typed.
    QString typed;
    if (const auto *dialog = m_window.widget->findChild<SaveToDataController *>())
        typed = dialog->txtSaveSession->text();
    QStringList times;
    return SaveToDataController::saveUnasked(m_window.widget, saveRequest(&times), typed, savedPath, errorText);
}

// ---- run events ----

bool RunSession::studentRushNotification(const Notification &n, int q, const std::function<void()> &stop)
{
    const int d = n.userInfo.value(Notify::Key::DeviceNo).toInt();
    const bool answer = n.userInfo.value(Notify::Key::Type).toInt() == 1;
    if (answer) {
        stop();
        const bool right = n.userInfo.value(Notify::Key::Ans).toString() == qqObject->answer(q);
        m_window.grid->setStudentRushAnswered(d, right);
    } else {
        m_window.grid->setStudentRushed(d);
        startQuizTimeCountDown();
        if (phase == Phase::AwaitingRush)
            phase = Phase::Running;
    }
    students->showAnswered(1);
    return answer;
}

void RunSession::gridAfterNext(int n)
{
    switch (ActivityRules::gridAfterNext(nMode, qqObject->actionMode(n))) {
    case ActivityRule::NextGrid::RightOnThisQuestion:
        students->restoreRightAnswers(n);
        break;
    case ActivityRule::NextGrid::RightOnPreviousQuestion:
        students->restoreRightAnswers(n - 1);
        break;
    case ActivityRule::NextGrid::AllNormal:
        m_window.grid->setStudentsNormal();
        break;
    }
}

void RunSession::forceLogin(const Notification &n)
{
    if (!students->loginsLocked())
        ForceLoginController::offer(forceLoginCtrl, m_window.widget, n);
}

void RunSession::handleDeviceChanged()
{
    const bool serves = receiverServesRun();
    if (m_receiverLost) {
        // Another model plugged in meanwhile is not the run's receiver: the run goes on waiting.
        if (!serves)
            return;
        PollixLog(QStringLiteral("the run's receiver is back"));
        showReceiverLost(false);
        receiver->greetAgain(nDeviceType, rule().freeStyle ? nMode : -1);
        if (std::exchange(m_heldByLoss, false) && bStartFlag)
            startQuizTimeCountDown();
        return;
    }
    if (m_receiverSeen && !serves) {
        PollixLog(QStringLiteral("the run's receiver is lost"));
        showReceiverLost(true);
        // Nobody can answer meanwhile: the question's time waits for the receiver.
        if (bStartFlag && countDown->isCounting()) {
            countDown->pause();
            m_heldByLoss = true;
        }
        return;
    }
    if (!m_receiverSeen && serves) {
        // The run opened before its receiver was plugged in: greeted now as at the opening, so
        // that the keypads are called to log in (the opening's call reached nobody).
        PollixLog(QStringLiteral("the run's receiver is plugged in"));
        m_receiverSeen = true;
        receiver->greetAgain(nDeviceType, rule().freeStyle ? nMode : -1);
        return;
    }
    receiver->handleDeviceChanged(appDelegate ? appDelegate->currentDeviceType() : DeviceType::None);
}

// ---- the receiver ----

bool RunSession::receiverServesRun() const
{
    if (!appDelegate || !appDelegate->getBHaveDevice())
        return false;
    const std::shared_ptr<TovDevice> device = appDelegate->currentDevice();
    return device && device->type() == nDeviceType;
}

void RunSession::showReceiverLost(bool lost)
{
    m_receiverLost = lost;
    if (m_window.txtReceiverState)
        m_window.txtReceiverState->setVisible(lost);
    if (m_window.receiverLost)
        m_window.receiverLost(lost);
}

QString RunSession::receiverLostNotice()
{
    return tr("Receiver disconnected. The answers received are kept; the run goes on when the receiver is plugged in again.");
}

QString RunSession::receiverLostRefusal(Refused what)
{
    return what == Refused::Next
               ? tr("The receiver is disconnected: no keypad can receive the next question. Plug the receiver in again; "
                    "the run goes on when it is back.")
               : tr("The receiver is disconnected: no keypad can receive the question. Plug the receiver in again; "
                    "the run goes on when it is back.");
}

bool RunSession::refusedWhileReceiverLost(Refused what, QPushButton *btnStart)
{
    if (!m_receiverLost)
        return false;
    if (what == Refused::Start && bStartFlag && !btnStart->isChecked())
        return false; // a pause
    if (what == Refused::Start)
        btnStart->setChecked(false);
    runAlert(receiverLostRefusal(what), {kOkF1});
    return true;
}

QString RunSession::nobodyLoggedInRefusal()
{
    return tr("No student has logged in to this activity yet, so no answer could be kept. The keypads have been called to "
              "log in again: start the question once their students show.");
}

bool RunSession::refusedWithNobodyLoggedIn(QPushButton *btnStart)
{
    if (bStartFlag || !modeObject || !receiverServesRun() || qpdObject->getSumOfLoginStudents() > 0
        || qpdObject->getSumOfClassStudents() == 0)
        return false;
    btnStart->setChecked(false);
    PollixLog(QStringLiteral("Start with nobody logged in: the class is logged out and called to log in again"));
    ClassLogout::shareManager()->owe();
    receiver->greetAgain(nDeviceType, rule().freeStyle ? nMode : -1);
    runAlert(nobodyLoggedInRefusal(), {kOkF1});
    return true;
}

void RunSession::handRaiseSelectedToAnswer(const Notification &n, int q, const std::function<void()> &stop)
{
    const int d = n.userInfo.value(Notify::Key::DeviceNo).toInt();
    stop();
    int points = 0;
    runChildWindow([&] { points = RunResultWindows::runHandRaiseMarking(m_window.widget, m_window.sink); });
    // The points stay in the run's data: a hand-raise session keeps only who was there.
    qdObject->setStudentPoint(q, d, points);
    qdObject->setStudentAnswer(q, d, QStringLiteral("A"));
}
