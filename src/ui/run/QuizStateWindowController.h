#pragma once

#include "core/engine/QuizParticipantData.h"
#include "core/keypad/DataOfFrame.h"
#include "core/store/StudentEntity.h"
#include "ui/controls/ElidedLabel.h"
#include "ui/run/ForceLoginController.h"
#include "ui/run/RunFrameSink.h"
#include "ui/run/RunSession.h"

#include <QList>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

class ForceLoginBesideGrid;
class FreeStyleRun;
class Orvenda_AppDelegate;
class QLabel;
class QPushButton;
class QScrollArea;
class Questions;
class QuizComputeMethod;
class QuizData;
class QuizMode;
class QuizQuestions;
class SmallQuestions;
class StudentLoginView;
struct Notification;

// The activity window ("QuizState"): runs one activity with one class. It shows the question pages,
// the student grid, the count-down and the run buttons, owns the activity object for the pair
// (activity, receiver model), hands it every keypad frame, starts and stops it question by
// question, and offers to save the run when it closes. What differs between activities comes from
// ActivityRules; which buttons are live comes from RunControls, applied in applyControls(). The
// run itself (the activity object, count-down, grid events, start and stop steps, alerts, the
// leave and the save) is a RunSession, as in the slide-show run window.
//
// It stays the frame listener for its whole life: while one of its own alerts is up, the teacher
// keypad's F1/F2 press the alert's buttons and the students' frames still reach the activity
// object. The windows it opens for the run's figures (RunResultWindows: results, reports,
// hand-raise marking) take the listener role while they run and pass the frames they do not
// handle to handleLongFrame() / handleStudentFrame(); so do the windows of other areas reached
// through hooks() (question sending, reading aloud). A button whose window is not installed stays
// disabled. The end-of-run save is SaveToDataController unless the runSaveDialog hook stands in
// for it.
class QuizStateWindowController : public QWidget, public RunFrameSink
{
    Q_OBJECT
public:
    // What the end-of-run save dialog is given.
    using SaveRequest = SaveToDataController::Request;

    // Windows of other areas. Unset: the button stays disabled (the event does nothing beyond the
    // window's own steps).
    struct Hooks
    {
        std::function<void(QuizStateWindowController *, bool askForQuestion)> runSendQuestions;
        std::function<void(QuizStateWindowController *, const SaveRequest &)> runSaveDialog;
        std::function<void(QuizStateWindowController *)> openReadAloud;
    };
    static Hooks &hooks();

    explicit QuizStateWindowController(QWidget *parent = nullptr);
    ~QuizStateWindowController() override;

    // Set by the opener before showWindow(), in this order.
    void setStrPath(const QString &path);
    void setTestID(int id);
    void setNDeviceType(int type) { m_run->nDeviceType = type; }
    void setNMode(int mode) { m_run->nMode = mode; }
    void setNParticiptionMode(int mode) { m_run->nParticiptionMode = mode; }
    void setBIsFreeStyle(bool v) { m_run->bIsFreeStyle = v; }
    void setNIsGroup(int v) { m_run->nIsGroup = v; }
    void setFather(QWidget *father) { m_run->father = father; }
    // Loads the window (windowDidLoad) and shows it over the main screen.
    void showWindow();
    // Tells the activity object the wake mode (0 login, 1 question, 2 logout) and sends the wake frame.
    void SendWakeUpMessage(int wakeMode);

    QString strPath() const { return m_run->strPath; }
    int nDeviceType() const { return m_run->nDeviceType; }
    int nMode() const { return m_run->nMode; }
    int nParticiptionMode() const { return m_run->nParticiptionMode; }
    bool bIsFreeStyle() const { return m_run->bIsFreeStyle; }
    int nIsGroup() const { return m_run->nIsGroup; }
    bool bPaperEditable() const { return m_bPaperEditable; }
    bool bStartFlag() const { return m_run->bStartFlag; }
    int nCurrentQuestionNo() const { return m_nCurrentQuestionNo; }
    int nExcludeTeachingPlan() const { return m_run->nExcludeTeachingPlan; }
    int nAnswerTime() const { return m_run->nAnswerTime; }
    int nTimeElapsed() const { return m_run->nTimeElapsed; }
    int nPlaySoundtype() const;
    bool bCloseTimerisValid() const;
    int nLoginStudentSum() const;
    int nMoveHeight() const;
    bool isStatusLevel() const { return m_statusLevel; }
    QuizMode *modeObject() const { return m_run->modeObject.get(); }
    StudentLoginView *studentLoginView() const { return m_loginView; }
    const QList<StudentEntity> &arrStuLoginContentTime() const;
    QList<int> arryAlreadTestQuetionNum() const { return m_arryAlreadTestQuetionNum; }
    // The alert up on the window (Start refusal, exit question), or null.
    PollixAlert *currentAlert() const { return m_run->alert; }
    RunControls::Phase phase() const { return m_run->phase; }
    // The run's receiver is gone: the window says so until it is back.
    bool receiverLost() const { return m_run->receiverLost(); }

    // Button actions; each does nothing while its button is disabled.
    void OnStart();
    void OnStop();
    void OnExit();
    void OnNext();
    void OnPrevious();
    void OnResult();
    void OnReport();
    void OnSendQuestions();
    void OnTimeUp();
    void OnTimeDown();
    void OnSpeech();
    // Free style: the answer dialog, the question pane's toggle, a screen capture onto the page.
    void OnAnswerSetting();
    void OnToggle();
    void onCapture();
    // Free style: page n's texts and settings into the run's question n.
    void reloadQuestionInfo(int n);
    FreeStyleRun *freeStyle() const { return m_freeStyle; }

    // Keypad input (the window is the frame listener).
    Q_INVOKABLE void handleMachMessage();
    void handleDataReceive();
    // A long frame for the activity object; signals the frame handled afterwards. Child windows
    // call it for the long frames they pass on.
    void handleLongFrame(const DataOfFrame &frame) override;
    // A three-byte student frame for the activity object (does not signal).
    void handleStudentFrame(const DataOfFrame &frame) override;
    // True while one of the window's child windows (result, report, question sending, hand-raise
    // marking, save) runs.
    bool childWindowUp() const { return m_run->childDepth > 0; }
    // The window of students whose keypads logged in with an ID the class lacks; null until one did.
    ForceLoginController *forceLoginController() const { return m_run->forceLoginCtrl; }

    // The text the read-aloud window speaks for the page view's current question.
    QString setMessageToPlayMusic() const;

    // Count-down steps (one second each).
    void startQuizTimeCountDown();
    void adjustQuizTimeCountDown(int delay);
    void pauseQuizTimeCountDown();
    void stopQuizTimeCountDown();
    void updateQuizTime();
    int quizTimeValue() const;

    // Window levels: the status level floats over the presentation program.
    void raiseToStatusLevel();
    void lowerToNormalLevel();

    // Closing: refused while a question runs; otherwise offers the save and gives the screen back.
    bool windowShouldClose();

    // Outlets.
    Questions *bigQuestions = nullptr;
    SmallQuestions *smallQuestions = nullptr;
    QScrollArea *smallQuestionsSV = nullptr;
    QScrollArea *loginViewSV = nullptr;
    // Under the grid, the room of the students not in the class while they stand there.
    QWidget *forceLoginRoom = nullptr;
    QPushButton *btnStart = nullptr, *btnStop = nullptr, *btnNext = nullptr, *btnPrevious = nullptr,
                *btnResult = nullptr, *btnReport = nullptr, *btnExit = nullptr, *btnSendQuestions = nullptr,
                *btnTimeUp = nullptr, *btnTimeDown = nullptr, *btnRead = nullptr, *btnAnswerSetting = nullptr,
                *btnToggle = nullptr;
    QLabel *txtQuizTime = nullptr, *txtMultipleModeString = nullptr, *txtQuNoTitle = nullptr, *txtQuNo = nullptr,
           *txtPageAndTotalPageTitle = nullptr, *txtPageAndTotalPage = nullptr, *txtLoginAndAnswered = nullptr,
           *txtDone = nullptr, *txtHandRaiseTitle = nullptr, *txtHandRaise = nullptr, *txtMessage = nullptr,
           *txtReceiverState = nullptr;
    ElidedLabel *txtClassName = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;

private:
    friend class FreeStyleRun;
    void windowDidLoad();
    // The page view takes the thumbnail strip's place while a question runs.
    void startQuestionsFrame();
    void stopQuestionsFrame();
    void setModeObject();
    void loadQuestionsInfo();
    void observeNotifications();

    const ActivityRule &rule() const;
    // The run controls: which are live now (RunControls) and which have their window installed.
    RunControls::Situation situation() const;
    bool isBuilt(RunControls::Control control) const;
    void applyControls();
    bool questionRun(int q) const;

    void start();
    void stop();
    void closeSelf();

    void playSound(int type);
    void setViewMove(bool on);

    void updateView_ModeDescription();
    void updateMultipleModeLabel(int q);
    void canQuNoBeVisible();
    void canPageAndTotalPageBeVisible();
    void updateDoneField(bool forceRun);
    void afterNavigation(int n);
    void selectChangeQuestion(int n);
    int thumbnailCount() const;
    int stripCurrent() const;

    // The run's windows as WindowOwner stands them: this one, the students not in the class.
    void standRun();

    // Run events.
    void studentLogin(const Notification &n);
    void forceLogin(const Notification &n);
    void setStudentLogout(const Notification &n);
    void studentAnswerNotification(const Notification &n);
    void studentRushNotification(const Notification &n);
    void studentEliminationNotification(const Notification &n);
    void studentPaperQuizPgupPgdn(const Notification &n);
    void studentQuickGroupingNotification(const Notification &n);
    void studentHandRaise(const Notification &n);
    void handRaiseSelectedToAnswer(const Notification &n);
    void handleDeviceChanged();
    void sendQuestionsReady();
    void getContent(const Notification &n);
    void stopReading();

    Orvenda_AppDelegate *appDelegate = nullptr;
    QuizParticipantData *qpdObject = nullptr;
    QuizQuestions *quizQuestionsInfo = nullptr;
    QuizData *qdObject = nullptr;
    std::unique_ptr<QuizComputeMethod> qcmObject;
    StudentLoginView *m_loginView = nullptr;
    RunSession *m_run = nullptr;
    FreeStyleRun *m_freeStyle = nullptr;
    ForceLoginBesideGrid *m_forceLoginPlace = nullptr;

    QList<int> m_arryAlreadTestQuetionNum;
    QList<int> m_arrQueAddByTeacher;
    bool m_loaded = false;

    int m_nCurrentQuestionNo = 0;
    QRect NormalQuestionsRect;
    bool m_bPaperEditable = false;
    int _nPrevQuActionMode = 0;
    bool _bPrevQuTested = false;
    bool _bShowAnswerSetting = false;
    bool m_statusLevel = false;
};
