#pragma once

#include "core/engine/ActivityFrames.h"
#include "core/engine/QuestionBroadcast.h"
#include "core/engine/QuizComputeMethod.h"
#include "core/engine/QuestionSetRequests.h"
#include "core/engine/QuizParticipantData.h"
#include "core/engine/ReceivedFrame.h"
#include "core/engine/StudentKeypadLogin.h"
#include "core/engine/TeacherKeypadReplies.h"
#include "platform/PacedSequencer.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

class QuizData;
class QuizQuestions;
class AppDelegateBase;
class TovDevice;
class DataOfFrame;

// Base class of every activity object: one per run, chosen by activity number and device type
// (QuizModeFactory). The activity window hands it each received frame and starts and stops each
// question; it records answers and posts the run's notifications; student keypads log in through
// StudentKeypadLogin and the teacher keypad's queries are answered by TeacherKeypadReplies. Large-family frames are decoded here;
// small-family key frames by the subclasses.
//
// The bytes of each frame come from ActivityFrames; the question text is cut by QuestionText.
//
// Threads: everything runs on the GUI thread except the question broadcast (QuestionBroadcast),
// which is stopped and joined before the object goes away. Frames from both threads go out
// whole, one at a time. Pauses between frames sent from the GUI thread are timer continuations
// (PacedSequencer).
class QuizMode : public QObject
{
    Q_OBJECT
public:
    explicit QuizMode(QObject *parent = nullptr);
    ~QuizMode() override;

    // --- What the owner (activity window) sets and reads.
    int quizStateScreenTimer() const { return m_quizStateScreenTimer; }
    virtual void setQuizStateScreenTimer(int seconds) { m_quizStateScreenTimer = seconds; }
    int nAnsweredNum() const { return m_nAnsweredNum; }
    void setNAnsweredNum(int v) { m_nAnsweredNum = v; }
    int participationMode() const { return m_participationMode; }
    void setParticipationMode(int v) { m_participationMode = v; }
    int qFreeMode() const { return m_qFreeMode; }
    void setQFreeMode(int v) { m_qFreeMode = v; }
    int nRushStuDeviceNo() const { return m_nRushStuDeviceNo; }
    void setNRushStuDeviceNo(int v) { m_nRushStuDeviceNo = v; }
    void setWakeUpMode(int mode) { m_nWakUpMode = mode; }
    // Whether the run has a question running now, as the run has it (its Start pressed and not
    // yet stopped); unset: none. Steps that go out after others (the state that closes a call to
    // log in) read it as they go, so that a question started meanwhile is never idled.
    void setRunAnswering(std::function<bool()> answering) { m_runAnswering = std::move(answering); }
    // The receiver answered the logout wake frame and the class was logged out.
    bool classLoggedOut() const { return m_classLoggedOut; }
    void setNQuestionNoExceptTeachingPlane(int v) { m_nQuestionNoExceptTeachingPlane = v; }
    void setSetByTeacherDeivce(bool v) { m_setByTeacherDeivce = v; }
    void setAlreadStartInElimination(bool v) { m_login.setAlreadStartInElimination(v); }
    void clearArrAnswerStu() { m_arrAnswerStu.clear(); }

    int quizMode() const { return m_quizMode; }
    int deviceType() const { return m_deviceType; }
    // The receiver model; taken from the application delegate at creation.
    void setDeviceType(int type) { m_deviceType = type; }
    int nQuestionNo() const { return m_nQuestionNo; }
    bool isQuizStart() const { return m_isQuizStart; }
    bool startFlag() const { return m_bStartFlag; }
    int nTeacherDeviceID() const { return m_replies.nTeacherDeviceID(); }
    int studentDeviceNoWantResult() const { return m_replies.studentDeviceNoWantResult(); }
    QList<int> studentsQuestioned() const { return m_replies.studentsQuestioned(); }
    QList<int> arrAskForQueStu() const { return m_requests.arrAskForQueStu(); }
    QStringList arrQueContent() const;

    // --- Question lifecycle.
    virtual void modeStart(int n);
    virtual void modeStop();

    // --- Frames in: the frame being handled, then one of the two handlers.
    virtual void setFrameToHandle(const ReceivedFrame &frame) { m_frameToHandle = frame; }
    // The frame as the receiver link hands it over (Orvenda_AppDelegate::frameToHandle()).
    void setFrameToHandle(const DataOfFrame &frame) { setFrameToHandle(ReceivedFrame::fromDataOfFrame(frame)); }
    const ReceivedFrame &frameToHandle() const { return m_frameToHandle; }
    void handleDataReceiveCorvel_Dravel();
    virtual void handleStudentCommandArvel() {}

    // --- Frames out used by the owner.
    void getNewDevice();
    // With leadingNull the wake goes out behind one null byte, in one write.
    void sendWakeFrame(bool leadingNull = false);
    // A class logout that the last run still owes (its keypads have not answered its logout
    // wake, ClassLogout) goes out now. A run sends this as it opens, before it calls the keypads
    // to log in: the late answer would read as the answer to that call, and keypads left in under
    // the last run's device numbers would count for nothing.
    void settleClassLogout();
    void sendPCState(int s);
    void sendReceiveState(int s);
    void openReceiveArvel();
    void closeReceiveArvel();

    // Frames still waiting for a timed continuation or the broadcast thread.
    bool hasPendingSends() const;

    // --- Process-wide seams.
    // Where frames go instead of the receiver (tests, the simulator harness); null restores the device.
    static void setFrameSink(std::function<bool(const QByteArray &)> sink);
    // The send-question flag of config.xml (reads the configuration store by default).
    static void setSendQueStateProvider(std::function<bool()> provider);
    // The question-request window is made by the UI layer.
    static void setRequestQuesStusWindowFactory(std::function<std::unique_ptr<RequestQuesStusWindow>()> factory);

    // --- Pure helpers (shared with the subclasses and tests).
    static int actModeTransToStudentDeviceMode(int activity);
    int actModeTransToDeviceMode(int activity) const;
    static QStringList DisMemberStringSour(const QString &text);
    static bool IsSeparateChar(QChar c);
    static QString SetQuestionsTitle(const QString &path);
    // Cuts question nQuestionNo into frame texts (m_arrQueContent); returns their number.
    int DismemeberQuestion();
    // Question q cut into frame texts; a choice question draws a new question ID when asked to.
    QStringList cutQuestion(int q, bool newQuestionID) const;
    bool getSendQueState() const;
    // The name a keypad shows for a student: the full name, else first and last name joined.
    static QString studentDisplayName(const StudentInClassPtr &s);
    // The title of the loaded set as the keypads show it.
    static QString testName();
    // The mode byte a student keypad gets for the running question.
    uint8_t modeByteForStudents() const;

protected:
    // --- Large-family handlers (Part of the dispatch).
    void RX_CommandOfF5();
    void RX_Logout();
    void RX_CommandOfF7();
    void RX_CommandOfF8();
    void RX_MouseControl();
    void RX_Login();
    void RX_StudentLogin();
    virtual void RX_StudentSignal() {}
    virtual void RX_StudentStdExamAnswer() {}
    virtual void RX_ExamStart() {}
    virtual void RX_StudentNormalAnswer();
    void RX_TeacherSetQuestion();
    void RX_WakeUp();
    void RX_AskForQuestion();
    void RX_GetCurrentState();
    void RX_StudentLostFrame();

    // --- Notifications.
    void PostStudentAnswerState(int deviceNo);

    // Stores an answer of device d for question nQuestionNo with the current time; counts it once.
    // A device that no logged-in student carries is logged and ignored.
    bool storeAnswer(int d, const QString &answer);
    // A roll call heard keypad d: its answer to question nQuestionNo becomes "1" (no time) and it
    // counts once as present. A device that no logged-in student carries is ignored.
    void markPresent(int d);
    // Upper-case, sort or true/false mapping by the question's type (large-family keypads).
    QString normaliseAnswer(const QString &text, bool upperCase) const;

    // Asked-question list rules applied by modeStart of the subclasses.
    enum class AskedRule { KeepPlace, MoveToEnd, Append };
    void applyAskedRule(AskedRule rule, int q);
    void askedListKeepPlace(int q);
    void askedListMoveToEnd(int q);
    void askedListAppend(int q);
    void askedListWholeSet(int n);

    // --- Frames out.
    bool sendFrame(const QByteArray &frame);
    // sendFrame for the collaborators that send on the object's behalf.
    std::function<bool(const QByteArray &)> frameSender();

    void sendStudentLoginClass();
    void sendAgreeToSend();
    void sendStuToWaitForStart();
    void sendQuestionType();
    void sendPermitStuAns();
    void sendQuestionFrame(int n);
    virtual void sendResultOfClass();

    // Frames and pauses that go out one after another from the GUI thread (timer continuations).
    PacedSequencer &paced() { return m_paced; }

    // The question broadcast (Dravel).
    void startSendQuestionThread();
    void stopSendQuestionThread();

    // Values shared by several frames.
    ActivityFrames::KeypadAddress frameAddress() const; // the keypad of the frame being handled
    ActivityFrames::KeypadAddress teacherKeypad() const;
    ActivityFrames::BrevelQuestion brevelQuestion(int mode) const;

    AppDelegateBase *appDelegate = nullptr;
    std::shared_ptr<TovDevice> device;
    QuizData *qdObject;
    QuizParticipantData *qpdObject;
    QuizQuestions *qqObject;
    QuizComputeMethod qcmObject;

    ReceivedFrame m_frameToHandle;
    int m_quizStateScreenTimer = 0;
    std::atomic<int> m_nQuestionNo{1};
    int m_nQuestionNoExceptTeachingPlane = 0;
    std::atomic<bool> m_isQuizStart{false};
    int m_deviceType = -1;
    int m_quizMode = 0;
    int m_qFreeMode = 0;
    int m_participationMode = 0;
    int m_nAnsweredNum = 0;
    bool m_setByTeacherDeivce = false;
    int m_nWakUpMode = 0;
    bool m_classLoggedOut = false;
    QList<int> m_arrLostFrame;
    QList<int> m_arrAnswerStu;
    int m_nQueTotalFrame = 0;
    std::atomic<int> m_nReWakeUpCount{0};
    bool m_bStartFlag = false;
    bool m_bAskForQuestion = false;
    int m_nRxWakeUpTime = 0;
    int m_nRushStuDeviceNo = -1;

private:
    // Question q cut into frames for a broadcast pass (with a new question ID).
    QuestionBroadcast::Pass startSendQuetion(int q);
    // Keeps the frame texts of the question being broadcast; returns their number.
    int keepQueContent(const QStringList &texts);

    bool runAnswering() const { return m_runAnswering && m_runAnswering(); }

    std::function<bool()> m_runAnswering;
    QStringList m_arrQueContent;
    QuestionBroadcast m_broadcast;
    PacedSequencer m_paced;
    TeacherKeypadReplies m_replies;
    StudentKeypadLogin m_login;
    QuestionSetRequests m_requests;
};
