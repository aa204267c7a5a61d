#pragma once

#include "core/engine/ActivityRules.h"
#include "core/engine/RunControls.h"
#include "core/keypad/TeacherKeyMap.h"
#include "ui/controls/PollixAlert.h"
#include "ui/run/SaveToDataController.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class DataOfFrame;
class ForceLoginController;
class Orvenda_AppDelegate;
class QCloseEvent;
class QKeyEvent;
class QLabel;
class QPushButton;
class QScrollArea;
class QWidget;
class QuizData;
class QuizMode;
class QuizParticipantData;
class QuizQuestions;
class RunCountDown;
class RunFrameRouter;
class RunFrameSink;
class RunReceiver;
class RunSounds;
class RunStudentGrid;
class RunTimer;
class StudentLoginView;
struct Notification;

// One run of an activity with one class, as every run window holds it: the run's settings, the
// activity object for the pair (activity, receiver model), the count-down, the sounds, the student
// grid's run events, the receiver's state and the frames' routing; the steps of a question's start
// and stop that do not depend on the window; the alerts and child windows that step in front of
// the window; the leave and the end-of-run save. The window keeps what is its own: its buttons,
// which question is current and how the teacher moves between questions.
//
// The settings and the run's state are the window's to read and set: it shows them under the
// names its callers know.
class RunSession : public QObject
{
    Q_OBJECT
public:
    using SaveRequest = SaveToDataController::Request;

    // What the session asks of its window.
    struct Window
    {
        QWidget *widget = nullptr;
        RunFrameSink *sink = nullptr; // the window, to the child windows that pass frames on
        QLabel *txtQuizTime = nullptr;
        StudentLoginView *grid = nullptr;
        QScrollArea *gridArea = nullptr;
        QLabel *txtLoginAndAnswered = nullptr;
        // Shown while the run's receiver is lost (the window gives it its text); unset: nothing shown.
        QLabel *txtReceiverState = nullptr;
        // A teacher key presses the window's button; keyAction unset: keys as in the activity window.
        std::function<void(TeacherKeyMap::Action)> press;
        std::function<TeacherKeyMap::Action(const DataOfFrame &)> keyAction;
        // The count-down ran out: the window's Stop.
        std::function<void()> timeUp;
        // The window's own closing check (windowShouldClose).
        std::function<bool()> shouldClose;
        // The window's Exit (its question, then leave()): where the close box leads.
        std::function<void()> exit;
        // The grid pages by itself while a question runs; unset: the grid's own auto-scroll.
        std::function<void(bool on)> viewMove;
        // An alert or a child window comes in front (true) or has gone (false); unset: nothing.
        std::function<void(bool inFront)> stepAside;
        // The alert before it runs (placement); unset: nothing.
        std::function<void(PollixAlert *)> prepareAlert;
        // Seconds before the count-down starts counting; unset: none.
        std::function<int()> countDownLeadIn;
        // The window's own save dialog hook: true when it ran instead of SaveToDataController.
        std::function<bool(const SaveRequest &)> saveDialog;
        // The window's own steps at the end of the run: before the save is offered, after the
        // run's data is dropped, and on the father before it is shown again.
        std::function<void()> beforeSave;
        std::function<void()> afterRun;
        std::function<void(QWidget *father)> toFather;
        // The run's receiver was lost (true) or is back (false), after the notice changed; unset: nothing.
        std::function<void(bool lost)> receiverLost;
    };

    explicit RunSession(Window window);
    ~RunSession() override;

    // Settings from the opener.
    QString strPath;
    int nDeviceType = -1;
    int nMode = 0;
    int nParticiptionMode = 0;
    bool bIsFreeStyle = false;
    int nIsGroup = 0;
    QPointer<QWidget> father;

    // The run's state.
    bool bStartFlag = false;
    RunControls::Phase phase = RunControls::Phase::Opened;
    int nExcludeTeachingPlan = 0;
    int nAnswerTime = 0;
    int nTimeElapsed = 0;
    QString strTimeStart;
    bool closing = false;
    bool saveOffered = false;
    int childDepth = 0;

    std::unique_ptr<QuizMode> modeObject;
    QPointer<PollixAlert> alert;
    // The close box's notice that the question runs; it goes when the question stops.
    QPointer<PollixAlert> closeRefusal;
    QPointer<ForceLoginController> forceLoginCtrl;
    RunCountDown *countDown = nullptr;
    RunSounds *sounds = nullptr;
    RunStudentGrid *students = nullptr;
    RunReceiver *receiver = nullptr;
    std::unique_ptr<RunFrameRouter> frames;

    const ActivityRule &rule() const;

    // ---- opening ----
    // The run's activity object (none: keypad answers are not taken); it reads from the run
    // whether a question runs.
    void setModeObject(std::unique_ptr<QuizMode> mode);
    // An Arvel receiver wants one null byte before the run's frames: it leaves with the opening
    // wake frame (RunReceiver::sendNullWithNextWake). The run notes whether its receiver is there.
    void greetReceiver();
    // Corvel and Dravel keypads raise hands: the count is shown and the class's records start empty.
    bool countsHandRaises();
    // The activity object learns the participation (free style: 2).
    void setParticipation();
    // Questions of the run that are not teaching plans (the Done field's whole).
    void countQuestions();

    // ---- controls ----
    // The run's part of the controls' situation; the window fills in its questions.
    RunControls::Situation situation() const;
    static void setStartShowsPause(QPushButton *btnStart, bool pause);
    // "Done" / "All Done" between questions when the question in hand has run, else nothing.
    void updateDoneField(QLabel *txtDone, bool questionRun);
    // A multiple-mode run names the action mode of the question in hand.
    void updateMultipleModeLabel(QLabel *txtMultipleModeString, int actionMode);
    void updateView_ModeDescription(QLabel *txtMultipleModeString);

    // ---- start, pause, stop ----
    // Start pressed (after the window's checks): a first press starts the question (startQuestion),
    // a later one resumes the count-down; unpressed, the count-down pauses.
    void pressStart(QPushButton *btnStart, const std::function<void()> &startQuestion);
    void startQuizTimeCountDown();
    // The grid and the count-down as the activity starts question q; the window does what the
    // returned step leaves to it.
    ActivityRule::Start startStep(int q);
    // Tells the activity object the wake mode (0 login, 1 question, 2 logout) and sends the wake frame.
    void SendWakeUpMessage(int wakeMode);
    // The activity object starts question q and the keypads are told: the large family by the PC
    // state, or by a wake frame where the keypads ask for the question first (Brevel always); the
    // small family's receiver opens. A wake frame no keypad answered goes out again, and at last
    // the question is announced without it, so that no question stays unsent.
    void announceQuestion(int q);
    // The question runs: the answered field counts from zero.
    void markStarted();
    // Stop pressed: the stop (stopQuestion) and what every window shows after it.
    void pressStop(QPushButton *btnStart, const std::function<void()> &stopQuestion);
    // The activity object has stopped question q: the run's state after it. False for a survey,
    // whose count-down stays as it stands; else the count-down has stopped.
    bool questionStopped(QPushButton *btnStart, int q);

    // ---- alerts, child windows, leaving ----
    int runAlert(const QString &text, const QStringList &buttons);
    // Runs an alert over the window, answered by its buttons or the teacher keypad's F1 and F2.
    int showAlert(PollixAlert &box);
    // A question that cannot run (a teaching plan, no answer) refuses the Start.
    void showStartRefusal(QPushButton *btnStart);
    void runChildWindow(const std::function<void()> &run);
    // The exit question; true when the teacher leaves.
    bool confirmExit();
    // After the exit question: the receiver and the keypads are told, then the window closes.
    void leave();
    // What every way out of the run tells the receiver and the keypads, once: the teacher has
    // left (receive state 0xE3) and, a moment later, the logout wake frame, after which `then`
    // runs. The keypads log out when the receiver answers that frame.
    void farewell(const std::function<void()> &then = {});
    // The farewell went out and the keypads were sent their logout (or the run had no activity
    // object to send it).
    bool loggedOut() const;
    void closeSelf();
    // The window's close box: while a question runs the window stays and says why; otherwise it
    // is the window's Exit.
    void closeEvent(QCloseEvent *event);
    // While a question runs, the close box and Escape: the window stays, and an alert says to
    // stop the question first (runningNotice).
    void refuseClosing();
    // That alert's text: it names what runs by the activity's word (ActivityRule::runs): a
    // question, a question set, a roll call or a grouping.
    QString runningNotice() const;
    // Escape asks as Exit does: a run never closes behind the teacher's back; while a question
    // runs it answers as the close box does.
    bool escapeExits(QKeyEvent *event, const std::function<void()> &onExit);
    // Closing: refused while a question runs; otherwise the save is offered once and the listener
    // role and the screen go back to the father, which is told where a saved session went
    // (RunFather).
    bool windowShouldClose();
    // The program is ending (a logout, a shutdown): a run that asked questions is saved now as the
    // end-of-run save would save it, every answer received so far included, with no dialog and no
    // question (under the name typed in the save dialog when it is open); nothing is offered
    // afterwards. False when there was nothing to save or (with why) the file could not be written.
    bool saveUnasked(QString *savedPath, QString *errorText);

    // ---- run events ----
    // A rush: the first buzz starts the count-down for its winner; the winner's answer stops the
    // question (stop) and marks the winner right or wrong on question q. True for the answer.
    bool studentRushNotification(const Notification &n, int q, const std::function<void()> &stop);
    // The grid after a step forward to question n, as the activity's rule has it.
    void gridAfterNext(int n);
    void forceLogin(const Notification &n);
    // A receiver came, went or changed. When the run's receiver (one of the run's model) is gone,
    // the window says so until it is back and a running count-down waits; when it is back, it is
    // greeted again and the count-down goes on.
    void handleDeviceChanged();

    // ---- the receiver ----
    // The run had its receiver (at the opening or since) and has none of its model now: nothing
    // reaches the keypads until one is back. A run opened without a receiver is never "lost".
    bool receiverLost() const { return m_receiverLost; }
    enum class Refused { Start, Next };
    // While the receiver is lost no question can reach the keypads: Start (a question or its
    // resume; a pause sends nothing and goes on) and Next tell the teacher why and go no further;
    // true then, with Start's button set back.
    bool refusedWhileReceiverLost(Refused what, QPushButton *btnStart);
    static QString receiverLostNotice();
    static QString receiverLostRefusal(Refused what);
    // A fresh Start while nobody has logged in to the run, its class having students and its
    // receiver there: whatever the keypads answered would be kept for nobody. Keypads still in
    // under a number the run never gave (a logout lost on the way) do not log in by themselves:
    // the class is logged out and called to log in again, and the teacher is told why the
    // question did not start; true then, with Start's button set back.
    bool refusedWithNobodyLoggedIn(QPushButton *btnStart);
    static QString nobodyLoggedInRefusal();
    // A raised hand was picked: the question stops (stop) and the marking window's points go to
    // the student on question q.
    void handRaiseSelectedToAnswer(const Notification &n, int q, const std::function<void()> &stop);

private:
    // What the end-of-run save is handed; times holds the run's start, end and counted seconds.
    SaveRequest saveRequest(QStringList *times);
    void watchWakeUpReply();
    // A receiver of the run's model is current and open.
    bool receiverServesRun() const;
    void showReceiverLost(bool lost);
    // The window has closed for good: the run stops observing and sending.
    void endRun();

    Window m_window;
    bool m_farewellSent = false;
    bool m_logoutCalled = false;
    bool m_ended = false;
    RunTimer *m_wakeUpWatch = nullptr;
    int m_wakeUpTries = 0;
    bool m_receiverSeen = false;
    bool m_receiverLost = false;
    bool m_heldByLoss = false; // the count-down waits for the receiver, not for the teacher
    Orvenda_AppDelegate *appDelegate = nullptr;
    QuizParticipantData *qpdObject = nullptr;
    QuizQuestions *qqObject = nullptr;
    QuizData *qdObject = nullptr;
};
