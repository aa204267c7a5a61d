#include "QuizMode.h"

#include "core/base/ActivityCodes.h"
#include "core/base/AppDelegateBase.h"
#include "core/base/CommonFunc.h"
#include "core/engine/ActivityFrames.h"
#include "core/engine/ActivityRules.h"
#include "core/engine/ClassLogout.h"
#include "core/engine/KeypadCommands.h"
#include "core/engine/QuestionText.h"
#include "core/engine/QuizData.h"
#include "core/engine/QuizQuestions.h"
#include "core/keypad/DeviceController.h"
#include "core/keypad/KeypadMouse.h"
#include "core/keypad/TovDevice.h"
#include "core/store/TovConfigXmlDatabase.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"

#include <cstdlib>
#include <ctime>

namespace {

std::mutex &sendMutex()
{
    static std::mutex m;
    return m;
}

std::function<bool(const QByteArray &)> &frameSink()
{
    static std::function<bool(const QByteArray &)> sink;
    return sink;
}

std::function<bool()> &sendQueStateProvider()
{
    static std::function<bool()> provider;
    return provider;
}

using Step = PacedSequencer::Step;
} // namespace

QuizMode::QuizMode(QObject *parent)
    : QObject(parent),
      appDelegate(AppDelegateBase::getAppDelegate()),
      qdObject(QuizData::shareManager()),
      qpdObject(QuizParticipantData::shareManager()),
      qqObject(QuizQuestions::shareManager()),
      m_broadcast(frameSender()),
      m_replies(*this, frameSender(), m_paced, [this] { sendResultOfClass(); }),
      m_login(*this, frameSender(), m_paced)
{
    m_deviceType = appDelegate ? appDelegate->currentDeviceType() : -1;
    getNewDevice();
}

QuizMode::~QuizMode()
{
    stopSendQuestionThread();
    NotificationCenter::defaultCenter()->removeObserver(this);
}

QStringList QuizMode::arrQueContent() const
{
    return m_arrQueContent;
}

void QuizMode::setFrameSink(std::function<bool(const QByteArray &)> sink)
{
    std::lock_guard lock(sendMutex());
    frameSink() = std::move(sink);
}

void QuizMode::setSendQueStateProvider(std::function<bool()> provider)
{
    sendQueStateProvider() = std::move(provider);
}

void QuizMode::setRequestQuesStusWindowFactory(std::function<std::unique_ptr<RequestQuesStusWindow>()> factory)
{
    QuestionSetRequests::setWindowFactory(std::move(factory));
}

bool QuizMode::getSendQueState() const
{
    if (sendQueStateProvider())
        return sendQueStateProvider()();
    return TovConfigXmlDatabase::sharedConfigUI()->getSendQuestionState() != 0;
}

// ---------------------------------------------------------------- question lifecycle

void QuizMode::modeStart(int n)
{
    m_quizStateScreenTimer = qqObject->quizTime(n);
}

void QuizMode::modeStop()
{
    m_isQuizStart = false;
}

void QuizMode::applyAskedRule(AskedRule rule, int q)
{
    switch (rule) {
    case AskedRule::KeepPlace: askedListKeepPlace(q); break;
    case AskedRule::MoveToEnd: askedListMoveToEnd(q); break;
    case AskedRule::Append: askedListAppend(q); break;
    }
}

void QuizMode::askedListKeepPlace(int q)
{
    QList<int> asked = qdObject->arrayAlreadyTestQuestionNo();
    if (!asked.contains(q))
        asked.append(q);
    qdObject->setArrayAlreadyTestQuestionNo(asked);
}

void QuizMode::askedListMoveToEnd(int q)
{
    QList<int> asked = qdObject->arrayAlreadyTestQuestionNo();
    asked.removeOne(q);
    asked.append(q);
    qdObject->setArrayAlreadyTestQuestionNo(asked);
}

void QuizMode::askedListAppend(int q)
{
    QList<int> asked = qdObject->arrayAlreadyTestQuestionNo();
    asked.append(q);
    qdObject->setArrayAlreadyTestQuestionNo(asked);
}

void QuizMode::askedListWholeSet(int n)
{
    QList<int> asked;
    for (int i = 1; i <= n; ++i)
        asked.append(i);
    qdObject->setArrayAlreadyTestQuestionNo(asked);
}

// ---------------------------------------------------------------- notifications

void QuizMode::PostStudentAnswerState(int deviceNo)
{
    NotificationCenter::defaultCenter()->postNotification(
        Notify::StudentAnswer, {{Notify::Key::DeviceNo, deviceNo}, {Notify::Key::AnsNum, m_nAnsweredNum}});
}

// ---------------------------------------------------------------- answers

QString QuizMode::normaliseAnswer(const QString &text, bool upperCase) const
{
    return KeypadCommands::answerForType(text, qqObject->questionType(m_nQuestionNo), upperCase);
}

bool QuizMode::storeAnswer(int d, const QString &answer)
{
    const int q = m_nQuestionNo;
    if (QuestionRepondData::deviceNoToBtnNo(d) < 1) {
        PollixLogf("answer from keypad %d, which no logged-in student carries: ignored.", d);
        return false;
    }
    if (q > qdObject->recordCount()) {
        // No question has started yet: there is nowhere to keep the answer, so it is not counted.
        PollixLogf("answer from keypad %d before question %d started: ignored.", d, q);
        return false;
    }
    if (qdObject->getStudentAnswer(q, d).isEmpty())
        ++m_nAnsweredNum;
    qdObject->setStudentAnswer(q, d, answer);
    qdObject->setStudentAnswerTime(q, d, m_quizStateScreenTimer);
    PostStudentAnswerState(d);
    return true;
}

void QuizMode::markPresent(int d)
{
    const int q = m_nQuestionNo;
    if (QuestionRepondData::deviceNoToBtnNo(d) < 1 || q > qdObject->recordCount()) {
        PollixLogf("roll-call key from keypad %d with no student or before the roll call: ignored.", d);
        return;
    }
    if (qdObject->getStudentAnswer(q, d).isEmpty())
        ++m_nAnsweredNum;
    qdObject->setStudentAnswer(q, d, QStringLiteral("1"));
    PostStudentAnswerState(d);
}

// ---------------------------------------------------------------- dispatch

void QuizMode::handleDataReceiveCorvel_Dravel()
{
    const ReceivedFrame &f = m_frameToHandle;
    if (f.type() != 1)
        return;
    PollixFrameLogf("0x%02x", f.cmd());
    switch (f.cmd()) {
    case 0xF5: RX_CommandOfF5(); break;
    case 0xF6: RX_Logout(); break;
    case 0xF7: RX_CommandOfF7(); break;
    case 0xF8: RX_CommandOfF8(); break;
    case 0xF9: m_replies.RX_CommandOfF9(m_frameToHandle); break;
    case 0xFA: RX_StudentStdExamAnswer(); break;
    case 0xFB: RX_StudentSignal(); break;
    case 0xFC: RX_MouseControl(); break;
    case 0xFE: RX_Login(); break;
    default: break; // short frames are the window's
    }
}

void QuizMode::RX_CommandOfF5()
{
    const ReceivedFrame &f = m_frameToHandle;
    if (f.dataLen() == 1) {
        if (f.at(0) == 0xE0) {
            RX_ExamStart();
            m_nReWakeUpCount = 1;
        } else if (f.at(0) == 0xE3) {
            RX_WakeUp();
        }
        return;
    }
    if (f.dataLen() < 3)
        return;
    const uint8_t sub = f.at(2);
    if (sub == 0x0A && f.isStudentCommand())
        m_replies.RX_StudentHaveQuestion(f.deviceID());
    else if (sub == 0x0B)
        RX_AskForQuestion();
    else if (sub == 0x0E)
        RX_GetCurrentState();
}

void QuizMode::RX_GetCurrentState()
{
    sendPCState(m_isQuizStart ? 3 : 2);
}

void QuizMode::RX_AskForQuestion()
{
    if (m_broadcast.isRunning())
        return;
    const int d = m_frameToHandle.deviceID();
    if (ActivityRules::rule(m_quizMode).questionSetOnKeypads) {
        sendAgreeToSend();
        m_requests.add(d);
        return;
    }
    if (m_bStartFlag) {
        m_bAskForQuestion = true;
        sendAgreeToSend();
        m_paced.append({{100, [this] { startSendQuestionThread(); }}});
    } else {
        sendStuToWaitForStart();
    }
}

void QuizMode::RX_WakeUp()
{
    PollixFrameLog(QStringLiteral("RX_WakeUp"));
    switch (m_nWakUpMode) {
    case 0: {
        QList<Step> steps;
        if (m_deviceType == DeviceType::Corvel || m_deviceType == DeviceType::Dravel) {
            for (int i = 0; i < 20; ++i) {
                steps.append(Step{0, [this] { sendStudentLoginClass(); }});
                steps.append(Step{20, {}});
            }
        }
        // The keypads in are told the run's state as it stands when this goes out: the teacher
        // may have started a question while the class was called.
        steps.append(Step{0, [this] { sendPCState(runAnswering() ? 3 : 2); }});
        m_paced.append(steps);
        break;
    }
    case 1: {
        // A pass of an earlier question still going out gives way, or the new question would never
        // be sent; it stops before the new state goes out, so none of its frames follows that.
        if (m_broadcast.isRunning() && m_broadcast.questionNo() != m_nQuestionNo)
            stopSendQuestionThread();
        sendPCState(3);
        if (m_broadcast.isRunning())
            return; // every keypad answers the wake frame: one pass per question is enough
        if (m_deviceType == DeviceType::Brevel) {
            QList<Step> steps;
            steps.append(Step{200, {}});
            for (int i = 0; i < 10; ++i)
                steps.append(Step{10, [this] { sendQuestionType(); }});
            steps.append(Step{0, [this] {
                              ++m_nRxWakeUpTime;
                              if (m_nRxWakeUpTime == 1) {
                                  m_bStartFlag = true;
                                  sendWakeFrame();
                              } else if (m_nRxWakeUpTime >= 2) {
                                  sendPermitStuAns();
                                  m_nRxWakeUpTime = 0;
                              }
                          }});
            m_paced.append(steps);
            return;
        }
        if (m_deviceType != DeviceType::Corvel && m_deviceType != DeviceType::Dravel)
            return;
        m_bStartFlag = true;
        const bool pcStateOnly = ActivityRules::rule(m_quizMode).questionPcStateAlways;
        const bool freeStyle = ActivityRules::isFreeStyle(m_qFreeMode);
        const bool rushStep = m_quizMode == Activity::MultipleMode && qqObject->actionMode(m_nQuestionNo) == ActionMode::Rush;
        if (!pcStateOnly && getSendQueState() && !freeStyle && !rushStep && m_deviceType == DeviceType::Dravel) {
            m_isQuizStart = true;
            m_bAskForQuestion = false;
            startSendQuestionThread();
        }
        break;
    }
    case 2:
        ClassLogout::shareManager()->send(frameSender());
        m_classLoggedOut = true;
        break;
    default:
        break;
    }
}

void QuizMode::RX_Logout()
{
    const ReceivedFrame &f = m_frameToHandle;
    if (f.dataLen() < 3 || f.at(2) != 0xEF)
        return;
    NotificationCenter::defaultCenter()->postNotification(Notify::StudentLogout,
                                                          {{Notify::Key::StudentDevice, f.deviceID()}});
}

void QuizMode::RX_CommandOfF7()
{
    if (m_frameToHandle.isTeacherCommand())
        RX_TeacherSetQuestion();
    else
        RX_StudentNormalAnswer();
}

void QuizMode::RX_StudentNormalAnswer()
{
    const ReceivedFrame &f = m_frameToHandle;
    if (f.dataLen() < 2) {
        PollixLog(QStringLiteral("answer frame too short: ignored."));
        return;
    }
    const QString text = KeypadCommands::text(f.bytes().mid(2));
    if (text.isNull()) {
        PollixLog(QStringLiteral("answer is not valid UTF-8: ignored."));
        return;
    }
    storeAnswer(f.deviceID(), normaliseAnswer(text, true));
}

void QuizMode::RX_TeacherSetQuestion()
{
    if (m_bStartFlag)
        return;
    const ReceivedFrame &f = m_frameToHandle;
    const auto q = KeypadCommands::freeStyleQuestion(f.bytes(), m_deviceType);
    if (!q)
        return;
    NotificationCenter::defaultCenter()->postNotification(
        Notify::FreeStyleTeacherQuestion,
        {{Notify::Key::QueType, q->questionType}, {Notify::Key::OptSum, q->optionCount}, {Notify::Key::QueAns, q->answer}});
    sendAgreeToSend();
}

void QuizMode::RX_CommandOfF8()
{
    const ReceivedFrame &f = m_frameToHandle;
    if (f.isTeacherCommand()) {
        m_replies.RX_TeacherGetPCData(f);
        return;
    }
    if (f.dataLen() < 1)
        return;
    switch (f.at(0)) {
    case 0xF5: RX_StudentNormalAnswer(); break;
    case 0xE0: RX_StudentLostFrame(); break;
    case 0xF7: RX_StudentLogin(); break;
    default: break;
    }
}

void QuizMode::RX_StudentLostFrame()
{
    // Recorded for the broadcast's bookkeeping only; nothing is resent.
    const int d = m_frameToHandle.deviceID();
    if (!m_arrLostFrame.contains(d))
        m_arrLostFrame.append(d);
}

void QuizMode::RX_MouseControl()
{
    // The keypad mouse belongs to the presentation tools; without them the request is only noted.
    const ReceivedFrame &f = m_frameToHandle;
    if (!f.isTeacherCommand() || f.dataLen() < 1)
        return;
    PollixFrameLogf("mouse control 0x%02x", f.at(0));
    KeypadMouse::pass(f.bytes());
}

void QuizMode::RX_Login()
{
    const ReceivedFrame &f = m_frameToHandle;
    if (f.isTeacherCommand()) {
        m_replies.sendQuizMsgToTeacher(f);
        return;
    }
    if (m_deviceType != DeviceType::Dravel)
        return;
    m_login.loginFromFrame(f, 0);
}

void QuizMode::RX_StudentLogin()
{
    m_login.loginFromFrame(m_frameToHandle, 1);
}

// ---------------------------------------------------------------- question broadcast

bool QuizMode::hasPendingSends() const
{
    return m_paced.isRunning() || m_broadcast.isRunning();
}

void QuizMode::startSendQuestionThread()
{
    if (m_broadcast.isRunning())
        return;
    m_arrLostFrame.clear();
    // One pass carries the question that was current when it began, also when the next one
    // starts while its frames are still going out.
    QuestionBroadcast::Pass pass;
    if (getSendQueState())
        pass = startSendQuetion(m_nQuestionNo);
    pass.questionNo = m_nQuestionNo;
    const bool repeated = ActivityRules::rule(m_quizMode).questionBroadcastRepeated;
    pass.atEnd = [this, repeated] {
        // A vote wakes the keypads once more unless they have reported the question's start.
        if (repeated && m_nReWakeUpCount <= 0) {
            sendWakeFrame();
            ++m_nReWakeUpCount;
        }
    };
    m_broadcast.start(std::move(pass));
}

void QuizMode::stopSendQuestionThread()
{
    m_broadcast.stop();
}

QuestionBroadcast::Pass QuizMode::startSendQuetion(int q)
{
    QuestionBroadcast::Pass pass;
    pass.texts = cutQuestion(q, true);
    m_nQueTotalFrame = keepQueContent(pass.texts);
    const int number = q - qqObject->teachingPlanCountUpTo(q);
    const int questionID = qpdObject->randomQuestionID();
    for (int n = 1; n <= pass.texts.size(); ++n)
        pass.frames << ActivityFrames::questionFrame(pass.texts, n, number, questionID);
    pass.extraRounds = ActivityRules::rule(m_quizMode).questionBroadcastRepeated ? 3 : 0;
    return pass;
}

// ---------------------------------------------------------------- texts and maps

int QuizMode::actModeTransToStudentDeviceMode(int activity)
{
    return ActivityFrames::studentMode(activity);
}

int QuizMode::actModeTransToDeviceMode(int activity) const
{
    return ActivityFrames::teacherMode(activity, m_participationMode, m_qFreeMode);
}

bool QuizMode::IsSeparateChar(QChar c)
{
    return QuestionText::isSeparateChar(c);
}

QStringList QuizMode::DisMemberStringSour(const QString &text)
{
    return QuestionText::splitIntoLines(text);
}

QString QuizMode::SetQuestionsTitle(const QString &path)
{
    return QuestionText::titleFromPath(path);
}

int QuizMode::DismemeberQuestion()
{
    return keepQueContent(cutQuestion(m_nQuestionNo, true));
}

int QuizMode::keepQueContent(const QStringList &texts)
{
    m_arrQueContent = texts;
    return int(texts.size());
}

QStringList QuizMode::cutQuestion(int q, bool newQuestionID) const
{
    const int type = qqObject->questionType(q);
    QStringList options;
    if (!QuestionText::isTextOnlyType(type)) {
        const int optionCount = qBound(0, qqObject->optionNum(q), 10);
        for (int k = 0; k < optionCount; ++k)
            options << qqObject->option(k, q);
        if (newQuestionID)
            qpdObject->resetRandomQuestionID(); // text questions keep the current question ID
    }
    return QuestionText::frameTexts(qqObject->questionTitle(q), type, options);
}

// ---------------------------------------------------------------- frames out

std::function<bool(const QByteArray &)> QuizMode::frameSender()
{
    return [this](const QByteArray &frame) { return sendFrame(frame); };
}

bool QuizMode::sendFrame(const QByteArray &frame)
{
    if (frame.isEmpty())
        return false; // refused by the builder, already logged
    // One frame at a time, whichever thread sends: the bytes of two frames never interleave.
    std::lock_guard lock(sendMutex());
    if (frameSink())
        return frameSink()(frame);
    if (!device || !device->isOpen()) {
        PollixLog(QStringLiteral("no device."));
        return false;
    }
    return device->sendData(frame);
}

void QuizMode::getNewDevice()
{
    std::lock_guard lock(sendMutex());
    // No delegate, no receiver: asking the device controller would create it and start discovery.
    device = appDelegate ? DeviceController::ShareDeviceController()->currentDevice() : nullptr;
}

ActivityFrames::KeypadAddress QuizMode::frameAddress() const
{
    return ActivityFrames::KeypadAddress::of(m_frameToHandle);
}

ActivityFrames::KeypadAddress QuizMode::teacherKeypad() const
{
    return ActivityFrames::KeypadAddress::teacher(qpdObject->randomTeacherID());
}

uint8_t QuizMode::modeByteForStudents() const
{
    if (m_quizMode == Activity::MultipleMode)
        return ActivityFrames::multipleQuestionByte(qqObject->actionMode(m_nQuestionNo));
    return uint8_t(actModeTransToStudentDeviceMode(m_quizMode));
}

QString QuizMode::studentDisplayName(const StudentInClassPtr &s)
{
    if (!s)
        return QString();
    if (!s->studentFullName().isEmpty())
        return s->studentFullName();
    return mergeFirstLastString(s->studentFirstName(), s->studentLastName());
}

QString QuizMode::testName()
{
    return SetQuestionsTitle(QuizQuestions::shareManager()->strTestTitle());
}

void QuizMode::sendWakeFrame(bool leadingNull)
{
    QByteArray frame = ActivityFrames::wake();
    if (leadingNull)
        frame.prepend('\0');
    sendFrame(frame);
    // Whatever became of the frame, the keypads stay in until a logout frame goes out. The
    // three-byte keypads answer no wake: the frame itself tells them.
    if (m_nWakUpMode == 2 && DeviceType::isLargeFamily(m_deviceType))
        ClassLogout::shareManager()->called();
}

void QuizMode::settleClassLogout()
{
    ClassLogout *logout = ClassLogout::shareManager();
    if (!DeviceType::isLargeFamily(m_deviceType) || !logout->owed())
        return;
    PollixLog(QStringLiteral("A class logout still owed (the last run's, or this Pollix's first) goes out before the keypads are called to log in."));
    logout->send(frameSender());
}

void QuizMode::sendStudentLoginClass()
{
    PollixFrameLog(QStringLiteral("sendStudentLoginClass"));
    sendFrame(ActivityFrames::studentLoginClass(m_deviceType, qpdObject->className(), qpdObject->teacherName(),
                                                qpdObject->getSumOfClassStudents()));
}

void QuizMode::sendAgreeToSend()
{
    sendFrame(ActivityFrames::agreeToSend(frameAddress()));
}

void QuizMode::sendStuToWaitForStart()
{
    sendFrame(ActivityFrames::stuToWaitForStart(frameAddress()));
}

void QuizMode::sendPCState(int s)
{
    ActivityFrames::AnnouncedQuestion question;
    if (s == 2) {
        m_bStartFlag = false;
        m_isQuizStart = false;
    } else if (s == 3) {
        const int q = m_nQuestionNo;
        question.questionNo = q;
        question.type = qqObject->questionType(q);
        question.optionCount = qqObject->optionNum(q);
        if (m_participationMode == 2 && !m_setByTeacherDeivce) {
            // A free-style question set on the screen: any answer of ten options.
            question.type = 1;
            question.optionCount = 10;
        }
        question.modeByte = modeByteForStudents();
        question.answer = qqObject->answer(q);
    }
    sendFrame(ActivityFrames::pcState(m_deviceType, qpdObject->randomQuizID(), s, question));
}

namespace {
struct RandomPair
{
    uint8_t r0;
    uint8_t r1;
};

RandomPair brevelRandomPair()
{
    // The keypads tell one question's frames apart by this pair; reseeding with the second
    // keeps it the same across the repeats sent within one second.
    std::srand(unsigned(time(nullptr)));
    const int r = std::rand();
    return {uint8_t(r & 0xFF), uint8_t((r >> 8) & 0xFF)};
}
} // namespace

ActivityFrames::BrevelQuestion QuizMode::brevelQuestion(int mode) const
{
    const int q = m_nQuestionNo;
    return {m_nQuestionNoExceptTeachingPlane, qqObject->questionType(q), qqObject->optionNum(q), mode,
            qqObject->answer(q)};
}

void QuizMode::sendQuestionType()
{
    const RandomPair r = brevelRandomPair();
    sendFrame(ActivityFrames::questionType(r.r0, r.r1, brevelQuestion(actModeTransToStudentDeviceMode(m_quizMode))));
}

void QuizMode::sendPermitStuAns()
{
    const RandomPair r = brevelRandomPair();
    const int mode = m_quizMode == Activity::MultipleMode ? qqObject->actionMode(m_nQuestionNo) : actModeTransToStudentDeviceMode(m_quizMode);
    sendFrame(ActivityFrames::permitStuAns(r.r0, r.r1, brevelQuestion(mode)));
}

void QuizMode::sendQuestionFrame(int n)
{
    const QStringList texts = arrQueContent();
    if (n >= 1 && n <= texts.size())
        PollixFrameLog(QStringLiteral("strContent:%1").arg(texts[n - 1]));
    const int q = m_nQuestionNo;
    sendFrame(ActivityFrames::questionFrame(texts, n, q - qqObject->teachingPlanCountUpTo(q),
                                            qpdObject->randomQuestionID()));
}

void QuizMode::openReceiveArvel()
{
    sendFrame(ActivityFrames::openReceiveArvel());
}

void QuizMode::closeReceiveArvel()
{
    sendFrame(ActivityFrames::closeReceiveArvel());
}

void QuizMode::sendReceiveState(int s)
{
    m_replies.sendReceiveState(s);
}

void QuizMode::sendResultOfClass()
{
    PollixFrameLog(QStringLiteral("sendResultOfClass"));
    const int q = m_nQuestionNo;
    ActivityFrames::ClassResult result;
    result.questionType = qqObject->questionType(q);
    result.correctAnswer = qqObject->answer(q);
    result.students = m_quizMode == Activity::Elimination ? qdObject->getEliminationModeJoinStudents(q) : qpdObject->getSumOfLoginStudents();
    const int t = result.questionType;
    if (t == 1 || t == 2 || t == 3) {
        result.rightAnswers = qcmObject.getNumOfAnswerCorrect(q);
    } else if (t == 0 || t == 5) {
        const int options = qBound(0, qqObject->optionNum(q), 10);
        for (int k = 1; k <= options; ++k)
            result.options.append({qcmObject.getNumOfOption(k, q), qcmObject.getRateOption(k, q)});
        result.noAnswer = {qcmObject.getNumOfNoAnswer(q), qcmObject.getRateOfNoAnswer(q)};
    }
    sendFrame(ActivityFrames::resultOfClass(teacherKeypad(), result));
}
