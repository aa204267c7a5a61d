#pragma once

#include "core/engine/RunControls.h"
#include "core/keypad/DataOfFrame.h"
#include "core/keypad/TeacherKeyMap.h"
#include "core/store/StudentEntity.h"
#include "ui/controls/PollixAlert.h"
#include "ui/run/QuizStateWindowController.h"
#include "ui/run/RunFrameSink.h"
#include "ui/run/RunSession.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

class ForceLoginController;
class Orvenda_AppDelegate;
class PPTBaffle;
class PPTEditorMSO;
class PPTShowStage;
class PPTStudentLoginView;
class PlayMusic;
class QBoxLayout;
class QLabel;
class QPushButton;
class QSpacerItem;
class QuizComputeMethod;
class QuizData;
class QuizMode;
class QuizParticipantData;
class QuizQuestions;
class Show;
struct Notification;

// The run over a slide show ("PPTQuizState"): a screen-wide bar at the foot of the screen that
// stays above the show, with the student strip at the head of the screen and the grey backdrop
// behind the show. The questions are on the slides (or in an answer sheet, whose path ends in
// 'p'); the slide on show is the current question. It owns the activity object of the pair
// (activity, receiver model), hands it every keypad frame and runs question by question as the
// activity window does: the same rules for the controls, the count-down, the sounds, the result
// windows and the end-of-run save, held once for both windows in a RunSession. Every action over
// a slide show ends with the show in front while it is on; a show the teacher ended comes back
// only with Start, Next or Previous.
class PPTQuizStateWindowController : public QWidget, public RunFrameSink
{
    Q_OBJECT
public:
    // Windows of other areas; unset: Send Questions stays disabled, the save is SaveToDataController.
    struct Hooks
    {
        std::function<void(PPTQuizStateWindowController *, bool askForQuestion, bool teacherControl)> runSendQuestions;
        std::function<void(PPTQuizStateWindowController *, const QuizStateWindowController::SaveRequest &)> runSaveDialog;
    };
    static Hooks &hooks();

    explicit PPTQuizStateWindowController(QWidget *parent = nullptr);
    ~PPTQuizStateWindowController() override;

    // Set by the opener before showWindow().
    void setTestID(int id);
    void setStrPath(const QString &path);
    void setNDeviceType(int type) { m_run->nDeviceType = type; }
    void setNMode(int mode) { m_run->nMode = mode; }
    void setNParticiptionMode(int mode) { m_run->nParticiptionMode = mode; }
    void setBIsFreeStyle(bool v) { m_run->bIsFreeStyle = v; }
    void setNIsGroup(int v) { m_run->nIsGroup = v; }
    void setFather(QWidget *father) { m_run->father = father; }
    // Sets the run up (windowDidLoad, once) and shows the bar, the strip and the backdrop.
    void showWindow();
    // Tells the activity object the wake mode (0 login, 1 question, 2 logout) and sends the wake
    // frame, half a second after the idle PC state at the earliest.
    void SendWakeUpMessage(int wakeMode);

    QString strPath() const { return m_run->strPath; }
    bool bIsAnsSheet() const { return m_bIsAnsSheet; }
    int nDeviceType() const { return m_run->nDeviceType; }
    int nMode() const { return m_run->nMode; }
    bool bStartFlag() const { return m_run->bStartFlag; }
    // The current question, from 0.
    int nCurrentQuestionNo() const { return m_nCurrentQuestionNo; }
    int nExcludeTeachingPlan() const { return m_run->nExcludeTeachingPlan; }
    int nLoginViewState() const { return m_nLoginViewState; }
    int nTimeElapsed() const { return m_run->nTimeElapsed; }
    RunControls::Phase phase() const { return m_run->phase; }
    // The run's receiver is gone: the bar says so until it is back.
    bool receiverLost() const { return m_run->receiverLost(); }
    QuizMode *modeObject() const { return m_run->modeObject.get(); }
    PPTStudentLoginView *studentStrip() const { return pptStudentLoginView; }
    PPTBaffle *backdrop() const { return pptBaffle; }
    const QList<StudentEntity> &arrStuLoginContentTime() const;
    PollixAlert *currentAlert() const { return m_run->alert; }
    bool childWindowUp() const { return m_run->childDepth > 0; }
    ForceLoginController *forceLoginController() const { return m_run->forceLoginCtrl; }
    // The read-aloud text of the current question.
    QString setMessageToPlayMusic() const;

    // Button actions; each does nothing while its button is disabled.
    void OnStart();
    void OnStop();
    void OnNext();
    void OnPrevious();
    void OnResult();
    void OnReport();
    void OnExit();
    void OnSendQuestions();
    void OnSpeech();
    void OnTimeUp();
    void OnTimeDown();
    // The strip: normal when small, else small. The bar: down to a line with a button to bring it back.
    void OnHideUp();
    void OnHideDown();
    void setWindowToSmall();
    void setWindowToNormal();
    // One press of the teacher's strip key.
    void cycleStripSize();

    // Keypad input (the window is the frame listener).
    Q_INVOKABLE void handleMachMessage();
    void handleLongFrame(const DataOfFrame &frame) override;
    void handleStudentFrame(const DataOfFrame &frame) override;

    // Closing: refused while a question runs; otherwise offers the save and gives the screen back.
    bool windowShouldClose();

    // Outlets.
    QPushButton *btnStart = nullptr, *btnStop = nullptr, *btnNext = nullptr, *btnPrevious = nullptr,
                *btnReport = nullptr, *btnResult = nullptr, *btnExit = nullptr, *btnSendQuestions = nullptr,
                *btnTimeUp = nullptr, *btnTimeDown = nullptr, *btnUpHide = nullptr, *btnDownHide = nullptr,
                *btnSpeed = nullptr;
    QLabel *txtQuizTime = nullptr, *txtHandRaiseTitle = nullptr, *txtHandRaise = nullptr,
           *txtLoginAndAnsweredTitle = nullptr, *txtLoginAndAnswered = nullptr, *txtDone = nullptr,
           *txtMultipleModeString = nullptr, *txtQuNoTitle = nullptr, *txtQuNo = nullptr,
           *txtPageAndTotalPageTitle = nullptr, *txtPageAndTotalPage = nullptr, *txtReceiverState = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool event(QEvent *event) override;

private:
    friend class PPTQuizStateInterface;
    friend class PPTShowStage;

    void windowDidLoad();
    void observeNotifications();
    void loadQuestionsInfo();
    void setModeObject();

    RunControls::Situation situation() const;
    void applyControls();
    bool questionRun(int q) const;
    int questionCount() const;
    // The run follows a slide show (not an answer sheet, not a set the keypads hold).
    bool overShow() const;
    // The 1-based question number of the current question.
    int questionNo() const { return m_nCurrentQuestionNo + 1; }
    void press(TeacherKeyMap::Action action);

    void start();
    void stop();
    void stopAsTeacherKey();
    void startQuizTimeCountDown();
    void updateQuizTime();
    void updateView_QuNo();
    void updateView_PageAndTotalPage();
    void updateMultipleModeLabel();
    void updateDoneField(bool run);
    void afterStep(bool forward);
    void setStripForLogins();
    void quitShow();
    void closeSelf();

    void studentLogin(const Notification &n);
    void forceLogin(const Notification &n);
    void studentAnswerNotification(const Notification &n);
    void studentRushNotification(const Notification &n);
    void handRaiseSelectedToAnswer(const Notification &n);
    void handleDeviceChanged();
    // The strip at the size the teacher chose (large for a paper quiz or homework), then the show
    // in front while it is on.
    void setLoginViewToNoraml();
    void restoreStripSize();
    void getContent(const Notification &n);
    void stopReading();

    Orvenda_AppDelegate *appDelegate = nullptr;
    PPTEditorMSO *pptUI = nullptr;
    QuizQuestions *qqObject = nullptr;
    QuizParticipantData *qpdObject = nullptr;
    QuizData *qdObject = nullptr;
    std::unique_ptr<QuizComputeMethod> qcmObject;
    RunSession *m_run = nullptr;
    PPTStudentLoginView *pptStudentLoginView = nullptr;
    PPTBaffle *pptBaffle = nullptr;
    Show *showHideWindow = nullptr;
    QPointer<PlayMusic> playMusicControl;
    std::unique_ptr<PPTShowStage> m_stage;

    bool m_bIsAnsSheet = false;
    bool m_loaded = false;
    bool m_followingShow = false;
    QBoxLayout *m_barLayout = nullptr;
    QBoxLayout *m_figuresLayout = nullptr;
    QBoxLayout *m_buttonsLayout = nullptr;
    QSpacerItem *m_buttonsLead = nullptr;
    QWidget *m_barContent = nullptr;
    int m_barArrangement = 0;
    // The bar's height before the receiver notice took room in it (0: no notice up).
    int m_barHeightBeforeLoss = 0;

    int m_nCurrentQuestionNo = 0;
    bool bIsRunForTeacherControl = false;
    int m_nLoginViewState = 0;
};
