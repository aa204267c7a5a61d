#include "QuizMode.h"

#include "core/app/CommonFunc.h"
#include "core/app/Orvenda_AppDelegate.h"
#include "core/engine/ActivityRules.h"
#include "core/engine/FrameBuilder.h"
#include "core/engine/QuizData.h"
#include "core/engine/QuizQuestions.h"
#include "core/keypad/KeypadMouse.h"
#include "core/keypad/TovDevice.h"
#include "core/store/TovConfigXmlDatabase.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"

#include <QStringDecoder>
#include <QTimer>

namespace {
constexpr int kCorvel = 2;
constexpr int kDravel = 3;
constexpr int kBrevel = 4;

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

std::function<std::unique_ptr<RequestQuesStusWindow>()> &requestWindowFactory()
{
    static std::function<std::unique_ptr<RequestQuesStusWindow>()> factory;
    return factory;
}

// Data bytes from index from up to the first zero byte (or the end).
QByteArray bytesUpToZero(const QByteArray &data, int from)
{
    if (from >= data.size())
        return QByteArray();
    const qsizetype zero = data.indexOf('\0', from);
    return data.mid(from, (zero < 0 ? data.size() : zero) - from);
}

} // namespace

QuizMode::QuizMode(QObject *parent)
    : QObject(parent),
      appDelegate(Orvenda_AppDelegate::getAppDelegate()),
      qdObject(QuizData::shareManager()),
      qpdObject(QuizParticipantData::shareManager()),
      qqObject(QuizQuestions::shareManager())
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
    std::lock_guard lock(m_contentMutex);
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
    requestWindowFactory() = std::move(factory);
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

void QuizMode::postForceLoginMessage(const QString &studentID, const QString &studentName, int deviceNo)
{
    StudentInClassPtr s = QuizParticipantData::getStudentInfoFromDataBaseUseStudentID(studentID, studentName);
    s->setDeviceNo(deviceNo);
    s->setStudentFirstName(studentName);
    s->setStudentLastName(QString());
    NotificationCenter::defaultCenter()->postNotification(Notify::StudentForceLogin,
                                                          {{Notify::Key::StudentInfo, QVariant::fromValue(s)}});
}

// ---------------------------------------------------------------- answers

QString QuizMode::decodeKeypadText(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return QString();
    return text.isNull() ? QString(QLatin1String("")) : text;
}

QString QuizMode::normaliseAnswer(const QString &text, bool upperCase) const
{
    const int type = qqObject->questionType(m_nQuestionNo);
    QString answer = text;
    if (upperCase && (type == 0 || type == 1))
        answer = answer.toUpper();
    if (type == 1)
        answer = sortString(answer);
    else if (type == 5)
        answer = stringToTureFalseString(answer);
    return answer;
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

// ---------------------------------------------------------------- dispatch

void QuizMode::handleDataReceiveCorvel_Dravel()
{
    const ReceivedFrame &f = m_frameToHandle;
    if (f.type() != 1)
        return;
    PollixLogf("0x%02x", f.cmd());
    switch (f.cmd()) {
    case 0xF5: RX_CommandOfF5(); break;
    case 0xF6: RX_Logout(); break;
    case 0xF7: RX_CommandOfF7(); break;
    case 0xF8: RX_CommandOfF8(); break;
    case 0xF9: RX_CommandOfF9(); break;
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
        RX_StudentHaveQuestion();
    else if (sub == 0x0B)
        RX_AskForQuestion();
    else if (sub == 0x0E)
        RX_GetCurrentState();
}

void QuizMode::RX_StudentHaveQuestion()
{
    const int d = m_frameToHandle.deviceID();
    if (m_studentsQuestioned.contains(d) || m_studentsQuestioned.size() >= 20)
        return;
    m_studentsQuestioned.append(d);
    NotificationCenter::defaultCenter()->postNotification(Notify::StudentHaveQuestion,
                                                          {{Notify::Key::Count, int(m_studentsQuestioned.size())}});
}

void QuizMode::RX_GetCurrentState()
{
    sendPCState(m_isQuizStart ? 3 : 2);
}

void QuizMode::RX_AskForQuestion()
{
    if (m_bIsThreadSendQuestionStart)
        return;
    const int d = m_frameToHandle.deviceID();
    if (m_quizMode == 1 || m_quizMode == 2) {
        m_arrAskForQueStu.append(d);
        sendAgreeToSend();
        getQueStuWindowShow(d);
        return;
    }
    if (m_bStartFlag) {
        m_bAskForQuestion = true;
        sendAgreeToSend();
        runPaced({{100, [this] { startSendQuestionThread(); }}});
    } else {
        sendStuToWaitForStart();
    }
}

void QuizMode::getQueStuWindowShow(int d)
{
    const StudentInClassPtr student = qpdObject->loginStudentWithDeviceNo(d);
    if (!student)
        return;
    if (!getReqQueCtrl) {
        if (!requestWindowFactory())
            return;
        getReqQueCtrl = requestWindowFactory()();
        if (!getReqQueCtrl)
            return;
    }
    getReqQueCtrl->addRequestQuesStudents(student, d);
    if (!getReqQueCtrl->isVisible())
        getReqQueCtrl->showWindow();
}

void QuizMode::RX_WakeUp()
{
    PollixLog(QStringLiteral("RX_WakeUp"));
    switch (m_nWakUpMode) {
    case 0: {
        QList<PacedStep> steps;
        if (m_deviceType == kCorvel || m_deviceType == kDravel) {
            for (int i = 0; i < 20; ++i) {
                steps.append(PacedStep{0, [this] { sendStudentLoginClass(); }});
                steps.append(PacedStep{20, {}});
            }
        }
        steps.append(PacedStep{0, [this] { sendPCState(2); }});
        runPaced(steps);
        break;
    }
    case 1: {
        sendPCState(3);
        if (m_bIsThreadSendQuestionStart) {
            // Every keypad answers the wake frame: one pass per question is enough. A pass of an
            // earlier question still going out gives way, or the new question would never be sent.
            if (m_broadcastQuestionNo == m_nQuestionNo)
                return;
            stopSendQuestionThread();
        }
        if (m_deviceType == kBrevel) {
            QList<PacedStep> steps;
            steps.append(PacedStep{200, {}});
            for (int i = 0; i < 10; ++i)
                steps.append(PacedStep{10, [this] { sendQuestionType(); }});
            steps.append(PacedStep{0, [this] {
                              ++m_nRxWakeUpTime;
                              if (m_nRxWakeUpTime == 1) {
                                  m_bStartFlag = true;
                                  sendWakeFrame();
                              } else if (m_nRxWakeUpTime >= 2) {
                                  sendPermitStuAns();
                                  m_nRxWakeUpTime = 0;
                              }
                          }});
            runPaced(steps);
            return;
        }
        if (m_deviceType != kCorvel && m_deviceType != kDravel)
            return;
        m_bStartFlag = true;
        const bool ownQuestionActivity = m_quizMode == 1 || m_quizMode == 2 || m_quizMode == 3 || m_quizMode == 8;
        const bool freeStyle = ActivityRules::isFreeStyle(m_qFreeMode);
        const bool rushStep = m_quizMode == 5 && qqObject->actionMode(m_nQuestionNo) == 3;
        if (!ownQuestionActivity && getSendQueState() && !freeStyle && !rushStep && m_deviceType == kDravel) {
            m_isQuizStart = true;
            m_bAskForQuestion = false;
            startSendQuestionThread();
        }
        break;
    }
    case 2:
        for (int i = 0; i < 3; ++i)
            sendStudentLogoutClass();
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
    const QString text = decodeKeypadText(f.bytes().mid(2));
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
    if (f.dataLen() < 2)
        return;
    const int k = f.at(0);
    const int options = f.at(1);
    QString answer;
    for (int i = 2; i < f.dataLen(); ++i)
        answer.append(QChar(f.at(i)));
    int type = k;
    if (k == 2)
        type = ((m_deviceType == kCorvel || m_deviceType == kDravel) && answer.size() > 1) ? 2 : 5;
    else if (k == 4 && m_deviceType == kBrevel)
        type = 10;
    if (type == 5) {
        if (answer == QLatin1String("T"))
            answer = QStringLiteral("True");
        else if (answer == QLatin1String("F"))
            answer = QStringLiteral("False");
    }
    NotificationCenter::defaultCenter()->postNotification(
        Notify::FreeStyleTeacherQuestion,
        {{Notify::Key::QueType, type}, {Notify::Key::OptSum, options}, {Notify::Key::QueAns, answer}});
    sendAgreeToSend();
}

void QuizMode::RX_CommandOfF8()
{
    const ReceivedFrame &f = m_frameToHandle;
    if (f.isTeacherCommand()) {
        RX_TeacherGetPCData();
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

void QuizMode::RX_CommandOfF9()
{
    const ReceivedFrame &f = m_frameToHandle;
    if (f.dataLen() < 1)
        return;
    if (f.at(0) == 0xE0)
        sendClassMsg();
    else if (f.at(0) == 0xE1 && f.isTeacherCommand())
        sendQuizInfoToTeacher();
}

void QuizMode::RX_MouseControl()
{
    // The keypad mouse belongs to the presentation tools; without them the request is only noted.
    const ReceivedFrame &f = m_frameToHandle;
    if (!f.isTeacherCommand() || f.dataLen() < 1)
        return;
    PollixLogf("mouse control 0x%02x", f.at(0));
    KeypadMouse::pass(f.bytes());
}

void QuizMode::RX_Login()
{
    const ReceivedFrame &f = m_frameToHandle;
    if (f.isTeacherCommand()) {
        sendQuizMsgToTeacher();
        return;
    }
    if (m_deviceType != kDravel)
        return;
    loginFromFrame(0);
}

void QuizMode::RX_StudentLogin()
{
    loginFromFrame(1);
}

void QuizMode::loginFromFrame(int idStart)
{
    if (m_bAlreadStartInElimination)
        return;
    // ID from idStart up to the first zero byte; the name after it, without the last data byte.
    const QByteArray &data = m_frameToHandle.bytes();
    const qsizetype zero = data.indexOf('\0');
    const int z = zero < 0 ? int(data.size()) : int(zero);
    if (z < idStart) {
        PollixLog(QStringLiteral("login frame without a student ID: ignored."));
        return;
    }
    const QString id = decodeKeypadText(data.mid(idStart, z - idStart));
    QString name = QStringLiteral("Null");
    if (z < data.size())
        name = decodeKeypadText(data.mid(z + 1, qMax(0, int(data.size()) - 2 - z)));
    loginStudent(id, name);
}

void QuizMode::loginStudent(const QString &studentID, const QString &studentName)
{
    if (studentID.isEmpty()) {
        // Also covers IDs that are not valid UTF-8.
        PollixLog(QStringLiteral("login frame without a readable student ID: ignored."));
        return;
    }
    int d = qpdObject->isStudentLogin(studentID);
    if (d <= 0)
        d = qpdObject->newLoginStudent(studentID);
    if (d <= 0) {
        sendWrongIDToStudent();
        postForceLoginMessage(studentID, studentName.isNull() ? QStringLiteral("Null") : studentName, 0);
        return;
    }
    sendQuizMsgToStudent(d);
    if (m_quizMode == 1 || m_quizMode == 2) {
        const ReceivedFrame frame = m_frameToHandle;
        runPaced({{5, [this, d, frame] {
                       const ReceivedFrame current = m_frameToHandle;
                       m_frameToHandle = frame;
                       sendStdExamInfoToStudent(d);
                       m_frameToHandle = current;
                   }}});
    }
    NotificationCenter::defaultCenter()->postNotification(
        Notify::StudentLogin,
        {{Notify::Key::StudentInClass, QVariant::fromValue(qpdObject->getStudentInfoFromClassUseStudentID(studentID))}});
}

// ---------------------------------------------------------------- teacher keypad queries

void QuizMode::RX_TeacherGetPCData()
{
    const ReceivedFrame &f = m_frameToHandle;
    if (f.dataLen() < 1)
        return;
    switch (f.teacherCommand()) {
    case 1:
        PollixLog(QStringLiteral("get student id and name."));
        RX_GetStudentIDAndName();
        break;
    case 3:
        PollixLog(QStringLiteral("get student name of questioned."));
        RX_GetStudentNameOfQuestioned();
        break;
    case 4:
        PollixLog(QStringLiteral("get first naswer of student."));
        RX_GetFirstAnswer();
        break;
    case 5:
        PollixLog(QStringLiteral("get student answer."));
        RX_GetAnswer();
        break;
    case 6:
        PollixLog(QStringLiteral("get histogram."));
        RX_GetHistogram();
        break;
    case 7:
        PollixLog(QStringLiteral("get student logined."));
        RX_GetStudentLogined();
        break;
    case 8:
        PollixLog(QStringLiteral("get correct answer."));
        RX_GetTeacherQuestionInfo();
        break;
    case 15:
        PollixLog(QStringLiteral("get sum of students in class."));
        RX_GetSumOfStudentsInClass();
        break;
    case 17:
        PollixLog(QStringLiteral("get question content."));
        RX_TeacherGetQueContent();
        break;
    default:
        break;
    }
}

void QuizMode::RX_GetStudentIDAndName()
{
    const ReceivedFrame &f = m_frameToHandle;
    if (f.dataLen() < 5) {
        PollixLog(QStringLiteral("query frame too short: ignored."));
        return;
    }
    const int index = f.at(1) + 256 * f.at(2);
    const int known = f.at(3) + 256 * f.at(4);
    const int size = qpdObject->getSumOfClassStudents();
    if (known != size)
        sendReceiveState(0xEA);
    else if (index >= size)
        sendReceiveState(0xE0); // past the class list: the keypad's end of list
    else
        sendStudentInClass(index);
}

void QuizMode::RX_GetStudentNameOfQuestioned()
{
    const ReceivedFrame &f = m_frameToHandle;
    if (f.dataLen() < 2)
        return;
    const int i = f.at(1);
    if (i < m_studentsQuestioned.size()) {
        sendStudentQuestioned(i);
        return;
    }
    sendReceiveState(0xE0);
    m_studentsQuestioned.clear();
    NotificationCenter::defaultCenter()->postNotification(Notify::StudentHaveQuestion,
                                                          {{Notify::Key::Count, 0}});
}

void QuizMode::RX_GetFirstAnswer()
{
    const ReceivedFrame &f = m_frameToHandle;
    if (f.dataLen() < 2)
        return;
    const QString id = decodeKeypadText(f.bytes().mid(1, f.dataLen() - 2));
    m_studentDeviceNoWantResult = id.isEmpty() ? 0 : qpdObject->isStudentLogin(id);
    if (m_studentDeviceNoWantResult == 0) {
        sendReceiveState(0xE1);
        return;
    }
    sendResultOfStudent(m_studentDeviceNoWantResult, qdObject->arrayAlreadyTestQuestionNo().isEmpty() ? 0 : 1);
}

void QuizMode::RX_GetAnswer()
{
    const ReceivedFrame &f = m_frameToHandle;
    if (f.dataLen() < 2)
        return;
    const int k = f.at(1);
    const int asked = int(qdObject->arrayAlreadyTestQuestionNo().size());
    if (k >= 1 && k <= asked && k <= 99 && m_studentDeviceNoWantResult > 0) {
        sendResultOfStudent(m_studentDeviceNoWantResult, k);
        return;
    }
    sendReceiveState(0xE0);
    m_studentDeviceNoWantResult = 0;
}

void QuizMode::RX_GetHistogram()
{
    if (qdObject->arrayAlreadyTestQuestionNo().isEmpty() || m_isQuizStart || !qcmObject.getQuestionIsTest(m_nQuestionNo))
        return;
    sendResultOfClass();
}

void QuizMode::RX_GetStudentLogined()
{
    const ReceivedFrame &f = m_frameToHandle;
    if (f.dataLen() < 4)
        return;
    const int known = f.at(1) + 256 * f.at(2);
    const int page = f.at(3);
    const int logged = qpdObject->getSumOfLoginStudents();
    if (known == logged || 25 * page >= logged)
        sendStudentLoginedEnd();
    else
        sendStudentLogined(page);
}

void QuizMode::RX_GetTeacherQuestionInfo()
{
    const ReceivedFrame &f = m_frameToHandle;
    if (f.dataLen() < 5)
        return;
    const int q = f.at(1) + 256 * f.at(2);
    const int known = f.at(3) + 256 * f.at(4);
    const int count = qqObject->count();
    if (known != count || q < 1)
        return;
    if (q > count)
        sendQuestionInfoEnd();
    else
        sendQuestionInfo(q);
}

void QuizMode::RX_GetSumOfStudentsInClass()
{
    sendSumOfStudentsInClass();
}

void QuizMode::RX_TeacherGetQueContent()
{
    const ReceivedFrame &f = m_frameToHandle;
    if (f.dataLen() < 5)
        return;
    const int q = f.at(1);
    const int count = qqObject->count();
    if (questionSumWithoutTeachingPlan() <= 0)
        return;
    if (q < 1 || q > count) {
        PollixLogf("question %d asked by the teacher keypad is not in the set: ignored.", q);
        return;
    }
    // The teacher may look at any question while another one runs: the running question, its
    // broadcast text and its question ID stay as they are.
    const int total = int(cutQuestion(q, false).size());
    const uint16_t have = uint16_t(f.at(3) | (f.at(4) << 8));
    QList<PacedStep> steps;
    const ReceivedFrame frame = m_frameToHandle;
    for (int frameNo = 1; frameNo <= 16 && frameNo <= total; ++frameNo) {
        if (have & (1u << (frameNo - 1)))
            continue;
        steps.append(PacedStep{steps.isEmpty() ? 0 : 10, [this, q, frameNo, frame] {
                          const ReceivedFrame current = m_frameToHandle;
                          m_frameToHandle = frame;
                          sendQuestionFrameToTeacher(q, frameNo);
                          m_frameToHandle = current;
                      }});
    }
    runPaced(steps);
}

// ---------------------------------------------------------------- pacing

void QuizMode::runPaced(QList<PacedStep> steps)
{
    m_pacedSteps.append(steps);
    if (!m_pacedRunning)
        runNextPacedStep();
}

void QuizMode::runNextPacedStep()
{
    if (m_pacedSteps.isEmpty()) {
        m_pacedRunning = false;
        return;
    }
    m_pacedRunning = true;
    const PacedStep step = m_pacedSteps.takeFirst();
    auto run = [this, action = step.action] {
        if (action)
            action();
        runNextPacedStep();
    };
    if (step.delayMs <= 0)
        run();
    else
        QTimer::singleShot(step.delayMs, this, run);
}

bool QuizMode::hasPendingSends() const
{
    return m_pacedRunning || m_bIsThreadSendQuestionStart;
}

// ---------------------------------------------------------------- question broadcast

void QuizMode::startSendQuestionThread()
{
    if (m_bIsThreadSendQuestionStart)
        return;
    if (m_sendThread.joinable())
        m_sendThread.join();
    m_stopThread = false;
    m_arrLostFrame.clear();
    m_bIsThreadSendQuestionStart = true;
    const bool sendQuestions = getSendQueState();
    // One pass carries the question that was current when it began, also when the next one
    // starts while its frames are still going out.
    const int q = m_nQuestionNo;
    m_broadcastQuestionNo = q;
    m_sendThread = std::thread([this, sendQuestions, q] { threadSendQuestion(sendQuestions, q); });
}

void QuizMode::stopSendQuestionThread()
{
    {
        std::lock_guard lock(m_threadMutex);
        m_stopThread = true;
    }
    conStartReceive_mode.notify_all();
    if (m_sendThread.joinable())
        m_sendThread.join();
    m_bIsThreadSendQuestionStart = false;
}

bool QuizMode::threadWait(int ms)
{
    std::unique_lock lock(m_threadMutex);
    conStartReceive_mode.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_stopThread.load(); });
    return !m_stopThread;
}

void QuizMode::threadSendQuestion(bool sendQuestions, int q)
{
    // One pass: the question's frames, a short settle, then the vote's extra wake frame.
    if (sendQuestions)
        startSendQuetion(q);
    threadWait(200);
    if (!m_stopThread && m_quizMode == 7 && m_nReWakeUpCount <= 0) {
        sendWakeFrame();
        ++m_nReWakeUpCount;
    }
    PollixLog(QStringLiteral("thread exit."));
    m_bIsThreadSendQuestionStart = false;
}

void QuizMode::startSendQuetion(int q)
{
    const QStringList texts = cutQuestion(q, true);
    m_nQueTotalFrame = keepQueContent(texts);
    for (int i = 0; i < 5 && !m_stopThread; ++i)
        sendQuestionContent(texts, q);
    if (m_quizMode == 7 && threadWait(100))
        for (int i = 0; i < 3 && !m_stopThread; ++i)
            sendQuestionContent(texts, q);
}

void QuizMode::sendQuestionContent(const QStringList &texts, int q)
{
    for (int n = 1; n <= texts.size(); ++n) {
        const QByteArray frame = questionFrame(n, texts, false, q);
        PollixLog(QStringLiteral("strContent:%1").arg(texts[n - 1]));
        sendFrame(frame);
        if (!threadWait(50))
            return;
    }
}

// ---------------------------------------------------------------- texts and maps

int QuizMode::actModeTransToStudentDeviceMode(int activity)
{
    switch (activity) {
    case 1:
    case 2: return 2;
    case 3: return 3;
    case 4: return 4;
    case 5: return 12;
    case 7: return 9;
    case 8: return 8;
    default: return 1;
    }
}

int QuizMode::actModeTransToDeviceMode(int activity) const
{
    if (m_participationMode == 2) {
        if (m_qFreeMode >= 9 && m_qFreeMode <= 11)
            return 5;
        if (m_qFreeMode == 12)
            return 8;
    }
    switch (activity) {
    case 5: return 12;
    case 6: return 7;
    case 7: return 8;
    case 8: return 9;
    default: return activity; // 0 to 4 unchanged; others are not defined for the keypad
    }
}

bool QuizMode::IsSeparateChar(QChar c)
{
    switch (c.unicode() & 0xFF) {
    case '!':
    case ',':
    case '.':
    case '?':
    case ' ': return true;
    default: return false;
    }
}

QStringList QuizMode::DisMemberStringSour(const QString &text)
{
    QStringList lines;
    QString rest = text;
    while (rest.size() > 21) {
        const bool separated = IsSeparateChar(rest.at(21)) || IsSeparateChar(rest.at(20));
        lines << rest.left(20) + (separated ? QLatin1Char(' ') : QLatin1Char('-'));
        rest = rest.mid(20);
    }
    lines << rest;
    return lines;
}

QString QuizMode::SetQuestionsTitle(const QString &path)
{
    QString last = path.section(QLatin1Char('/'), -1);
    const qsizetype dot = last.indexOf(QLatin1Char('.'));
    return dot < 0 ? last : last.left(dot);
}

int QuizMode::DismemeberQuestion()
{
    return keepQueContent(cutQuestion(m_nQuestionNo, true));
}

int QuizMode::keepQueContent(const QStringList &texts)
{
    std::lock_guard lock(m_contentMutex);
    m_arrQueContent = texts;
    return int(texts.size());
}

QStringList QuizMode::cutQuestion(int q, bool newQuestionID) const
{
    QString title = qqObject->questionTitle(q);
    title.replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QStringList titleLines = DisMemberStringSour(title);
    const int type = qqObject->questionType(q);
    const bool textOnly = type == 2 || type == 3;

    QStringList lines = titleLines;
    if (!textOnly) {
        const int optionCount = qBound(0, qqObject->optionNum(q), 10);
        QList<QStringList> optionLines;
        int total = int(titleLines.size());
        for (int k = 0; k < optionCount; ++k) {
            QString option = qqObject->option(k, q);
            option.replace(QLatin1Char('\n'), QLatin1Char(' '));
            while (option.startsWith(QLatin1Char('\r')))
                option.remove(0, 1);
            while (option.endsWith(QLatin1Char('\r')))
                option.chop(1);
            optionLines << DisMemberStringSour(QString(QChar(u'A' + k)) + QLatin1Char('.') + option);
            total += int(optionLines.last().size());
        }
        if (total > 24 && optionCount > 0) {
            const int share = qMax(0, (24 - int(titleLines.size())) / optionCount);
            for (auto &ol : optionLines)
                ol = ol.mid(0, share);
        }
        for (const auto &ol : optionLines)
            lines << ol;
        if (newQuestionID)
            qpdObject->resetRandomQuestionID();
    }

    QStringList texts;
    for (qsizetype i = 0; i < lines.size(); i += 2) {
        QString text = lines[i] + QChar(0x7F);
        if (i + 1 < lines.size()) {
            text += lines[i + 1];
            if (i + 1 == 23)
                text = text.left(38);
        }
        texts << text;
    }
    if (!textOnly && texts.size() > 11)
        texts = texts.mid(0, 11);
    return texts;
}

// ---------------------------------------------------------------- frames out

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
    device = appDelegate ? appDelegate->currentDevice() : nullptr;
}

uint8_t QuizMode::teacherAddress() const
{
    return uint8_t(qpdObject->randomTeacherID() & 0xFF);
}

uint8_t QuizMode::multipleQuestionByte() const
{
    switch (qqObject->actionMode(m_nQuestionNo)) {
    case 3: return 0x0D;
    case 4: return 0x04;
    default: return 0x01;
    }
}

uint8_t QuizMode::modeByteForStudents() const
{
    return m_quizMode == 5 ? multipleQuestionByte() : uint8_t(actModeTransToStudentDeviceMode(m_quizMode));
}

QByteArray QuizMode::correctAnswerBytes() const
{
    const QString answer = qqObject->answer(m_nQuestionNo);
    if (answer.isEmpty() || answer == QLatin1String(" "))
        return QByteArray(1, '\0');
    return FrameBuilder::textBytes(answer);
}

QString QuizMode::studentDisplayName(const StudentInClassPtr &s) const
{
    if (!s)
        return QString();
    if (!s->studentFullName().isEmpty())
        return s->studentFullName();
    return mergeFirstLastString(s->studentFirstName(), s->studentLastName());
}

int QuizMode::questionSumWithoutTeachingPlan() const
{
    const int count = qqObject->count();
    return count - qqObject->teachingPlanCountUpTo(count);
}

void QuizMode::sendWakeFrame()
{
    sendFrame(FrameBuilder::shortFrame(0xF4, 0x00, 0xC0, 0x01));
}

void QuizMode::sendStudentLogoutClass()
{
    sendFrame(FrameBuilder::longFrame(0xF6, 0x00, 0x00, QByteArray::fromHex("01FFFF")));
}

void QuizMode::sendStudentLoginClass()
{
    PollixLog(QStringLiteral("sendStudentLoginClass"));
    QByteArray data = FrameBuilder::nameBytes(qpdObject->className()) + char(0xEE);
    data += FrameBuilder::nameBytes(qpdObject->teacherName()) + char(0xEE);
    FrameBuilder::appendWord(data, qpdObject->getSumOfClassStudents());
    sendFrame(FrameBuilder::longFrame(0xF9, 0x00, m_deviceType == kDravel ? 0xC0 : 0x00, data));
}

void QuizMode::sendAgreeToSend()
{
    sendFrame(FrameBuilder::shortFrame(0xF3, m_frameToHandle.addrLo(), m_frameToHandle.addrHi(), 0xE0));
}

void QuizMode::sendStuToWaitForStart()
{
    sendFrame(FrameBuilder::shortFrame(0xF3, m_frameToHandle.addrLo(), m_frameToHandle.addrHi(), 0xE2));
}

void QuizMode::sendQuizMsgToStudent(int d)
{
    const ReceivedFrame &f = m_frameToHandle;
    const int quizID = qpdObject->randomQuizID();
    QByteArray data;
    if (m_deviceType == kCorvel)
        data += char(0xF7);
    FrameBuilder::appendWord(data, d);
    if (m_deviceType == kCorvel) {
        data += char(modeByteForStudents());
    } else if (m_deviceType == kDravel) {
        uint8_t m = uint8_t(actModeTransToStudentDeviceMode(m_quizMode));
        // Free-style questions are never broadcast, so the keypads must not wait for one.
        const bool freeStyle = ActivityRules::isFreeStyle(m_qFreeMode);
        if (!freeStyle && m_quizMode != 3 && m_quizMode != 5 && (m_quizMode == 1 || m_quizMode == 2 || getSendQueState()))
            m |= 0x80;
        data += char(m);
    }
    FrameBuilder::appendWord(data, quizID);
    if (m_deviceType == kCorvel)
        data += bytesUpToZero(f.bytes(), 1);
    else if (m_deviceType == kDravel)
        data += bytesUpToZero(f.bytes(), 0);
    sendFrame(FrameBuilder::longFrame(0xFE, f.addrLo(), f.addrHi(), data));
}

void QuizMode::sendWrongIDToStudent()
{
    const ReceivedFrame &f = m_frameToHandle;
    QByteArray data;
    if (m_deviceType == kCorvel)
        data += char(0xF7);
    data += QByteArray::fromHex("00FFFF");
    FrameBuilder::appendWord(data, qpdObject->randomQuizID());
    data += bytesUpToZero(f.bytes(), 0);
    sendFrame(FrameBuilder::longFrame(0xFE, f.addrLo(), f.addrHi(), data));
}

void QuizMode::sendStdExamInfoToStudent(int d)
{
    const int n = qMin(questionSumWithoutTeachingPlan(), 99);
    if (n <= 0)
        return;
    const int id = qqObject->nTestID();
    QString name = SetQuestionsTitle(qqObject->strTestTitle());
    if (name.isEmpty())
        name = QStringLiteral("Null");
    QByteArray data;
    data += char(0xFE);
    data += char(n);
    data += char(id % 100);
    data += char(id / 100);
    data += FrameBuilder::nameBytes(name) + char(0xEE);
    sendFrame(FrameBuilder::longFrame(0xF7, uint8_t(d & 0xFF), uint8_t((d >> 8) & 0xFF), data));
}

void QuizMode::sendPCState(int s)
{
    const int quizID = qpdObject->randomQuizID();
    QByteArray data(1, char(s));
    if (s == 2) {
        data += QByteArray(4, '\0');
        m_bStartFlag = false;
        m_isQuizStart = false;
    } else if (s == 3) {
        const int q = m_nQuestionNo;
        int t = qqObject->questionType(q);
        if (t == 3)
            t = 2;
        int o = qqObject->optionNum(q);
        if (m_participationMode == 2 && !m_setByTeacherDeivce) {
            t = 1;
            o = 10;
        }
        if (m_deviceType != kBrevel && t == 5)
            t = 0;
        data += char(q & 0xFF);
        data += char(t);
        data += char(o);
        data += char(modeByteForStudents());
        if (m_deviceType == kBrevel)
            data += char(0xFF) + FrameBuilder::textBytes(qqObject->answer(q));
    }
    sendFrame(FrameBuilder::longFrame(0xF5, uint8_t(quizID & 0xFF), uint8_t((quizID >> 8) & 0xFF), data));
}

namespace {
QByteArray brevelRandomPair()
{
    // The keypads tell one question's frames apart by this pair; reseeding with the second
    // keeps it the same across the repeats sent within one second.
    std::srand(unsigned(time(nullptr)));
    const int r = std::rand();
    QByteArray out;
    out += char(r & 0xFF);
    out += char((r >> 8) & 0xFF);
    return out;
}
} // namespace

void QuizMode::sendQuestionType()
{
    const int q = m_nQuestionNo;
    QByteArray data(1, char(0xF5));
    data += brevelRandomPair();
    data += char(0x03);
    data += char(m_nQuestionNoExceptTeachingPlane);
    data += char(qqObject->questionType(q));
    data += char(qqObject->optionNum(q));
    data += char(actModeTransToStudentDeviceMode(m_quizMode));
    data += char(0xFF);
    data += correctAnswerBytes();
    sendFrame(FrameBuilder::longFrame(0xF7, 0x00, 0x00, data));
}

void QuizMode::sendPermitStuAns()
{
    const int q = m_nQuestionNo;
    const QByteArray r = brevelRandomPair();
    QByteArray data(1, char(0x03));
    data += char(m_nQuestionNoExceptTeachingPlane);
    data += char(qqObject->questionType(q));
    data += char(qqObject->optionNum(q));
    data += char(m_quizMode == 5 ? qqObject->actionMode(q) : actModeTransToStudentDeviceMode(m_quizMode));
    data += char(0xFF);
    data += correctAnswerBytes();
    sendFrame(FrameBuilder::longFrame(0xF5, uint8_t(r[0]), uint8_t(r[1]), data));
}

QByteArray QuizMode::questionFrame(int n, const QStringList &texts, bool forTeacher, int q) const
{
    if (n < 1 || n > texts.size())
        return QByteArray();
    QByteArray text;
    const QStringList lines = texts[n - 1].split(QChar(0x7F));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i == lines.size() - 1 && lines[i].isEmpty() && i > 0)
            break; // nothing after the last line end
        QByteArray line;
        for (QChar c : lines[i]) {
            const char16_t u = c.unicode();
            if (forTeacher)
                line += (u < 0x20 || u >= 0x80) ? '\0' : char(u);
            else if (u == 0x2018 || u == 0x2019)
                line += '\'';
            else
                line += char(u & 0xFF);
        }
        text += line.leftJustified(21, '\0', true);
    }
    const uint8_t questionID = uint8_t(qpdObject->randomQuestionID() & 0xFF);
    QByteArray data;
    if (forTeacher) {
        data += char(0xE0);
        data += char(texts.size());
        data += char(n);
        data += char(q);
        data += char(questionID);
        data += text;
        return FrameBuilder::longFrame(0xFA, m_frameToHandle.addrLo(), m_frameToHandle.addrHi(), data);
    }
    data += char(0x01);
    data += char(texts.size());
    data += char(n);
    data += char(q - qqObject->teachingPlanCountUpTo(q));
    data += char(questionID);
    data += text;
    return FrameBuilder::longFrame(0xF7, 0x00, 0xC0, data);
}

void QuizMode::sendQuestionFrame(int n)
{
    const QStringList texts = arrQueContent();
    if (n >= 1 && n <= texts.size())
        PollixLog(QStringLiteral("strContent:%1").arg(texts[n - 1]));
    sendFrame(questionFrame(n, texts, false, m_nQuestionNo));
}

void QuizMode::sendQuestionFrameToTeacher(int q, int f)
{
    sendFrame(questionFrame(f, cutQuestion(q, false), true, q));
}

void QuizMode::openReceiveArvel()
{
    sendFrame(QByteArray::fromHex("5A80DA"));
}

void QuizMode::closeReceiveArvel()
{
    sendFrame(QByteArray::fromHex("5B80DB"));
}

void QuizMode::sendReceiveState(int s)
{
    sendFrame(FrameBuilder::shortFrame(0xF3, teacherAddress(), 0xEF, uint8_t(s)));
}

void QuizMode::sendQuizMsgToTeacher()
{
    PollixLog(QStringLiteral("sendQuizMsgToTeacher"));
    const ReceivedFrame &f = m_frameToHandle;
    m_nTeacherDeviceID = f.deviceID();
    QByteArray data = FrameBuilder::nameBytes(qpdObject->className()) + char(0xEE);
    data += FrameBuilder::nameBytes(qpdObject->teacherName()) + char(0xEE);
    data += char(actModeTransToDeviceMode(m_quizMode));
    FrameBuilder::appendWord(data, qpdObject->getSumOfClassStudents());
    FrameBuilder::appendWord(data, qpdObject->getSumOfLoginStudents());
    data += char(teacherAddress());
    if (m_deviceType == kCorvel)
        data += char(0xF7);
    else if (m_deviceType == kBrevel)
        data += char(0xF5);
    sendFrame(FrameBuilder::longFrame(0xF9, f.addrLo(), f.addrHi(), data));
}

void QuizMode::sendClassMsg()
{
    PollixLog(QStringLiteral("sendClassMsg"));
    QByteArray data = FrameBuilder::nameBytes(qpdObject->className()) + char(0xEE);
    data += FrameBuilder::nameBytes(qpdObject->teacherName()) + char(0xEE);
    FrameBuilder::appendWord(data, qpdObject->getSumOfClassStudents());
    sendFrame(FrameBuilder::longFrame(0xF9, m_frameToHandle.addrLo(), m_frameToHandle.addrHi(), data));
}

void QuizMode::sendQuizInfoToTeacher()
{
    PollixLog(QStringLiteral("sendQuizInfoToTeacher"));
    const int n = qMin(questionSumWithoutTeachingPlan(), 99);
    const int id = qqObject->nTestID();
    bool allAnswered = true;
    for (int q = 1; q <= qqObject->count(); ++q)
        if (qqObject->questionType(q) != 4 && qqObject->answer(q).isEmpty())
            allAnswered = false; // teaching-plan pages have no answer and are no questions
    QString name = SetQuestionsTitle(qqObject->strTestTitle());
    if (name.isEmpty())
        name = QStringLiteral("Null");
    QByteArray data;
    data += char(n);
    data += char(id % 100);
    data += char(id / 100);
    data += char(allAnswered ? 1 : 0);
    data += FrameBuilder::nameBytes(name) + char(0xEE);
    sendFrame(FrameBuilder::longFrame(0xFA, m_frameToHandle.addrLo(), m_frameToHandle.addrHi(), data));
}

void QuizMode::sendSumOfStudentsInClass()
{
    QByteArray data = QByteArray::fromHex("FFFF");
    FrameBuilder::appendWord(data, qpdObject->getSumOfClassStudents());
    FrameBuilder::appendWord(data, qpdObject->getSumOfLoginStudents());
    sendFrame(FrameBuilder::longFrame(0xF8, m_frameToHandle.addrLo(), m_frameToHandle.addrHi(), data));
}

void QuizMode::sendQuestionInfo(int q)
{
    const int type = qqObject->questionType(q);
    QString answer = qqObject->answer(q);
    if (type == 0 || type == 5) {
        if (answer == QLatin1String("True"))
            answer = QStringLiteral("A");
        else if (answer == QLatin1String("False"))
            answer = QStringLiteral("B");
    }
    if (answer == QLatin1String("nocorrect"))
        answer = QStringLiteral("NoAnswer");
    QByteArray data;
    FrameBuilder::appendWord(data, q);
    data += char(type == 5 ? 0 : type);
    data += char(qqObject->optionNum(q));
    data += char(actModeTransToDeviceMode(m_quizMode));
    data += answer.isEmpty() ? QByteArray(1, '\x01') : FrameBuilder::textBytes(answer);
    data += char(0xEE);
    sendFrame(FrameBuilder::longFrame(0xFA, m_frameToHandle.addrLo(), m_frameToHandle.addrHi(), data));
}

void QuizMode::sendQuestionInfoEnd()
{
    QByteArray data(1, char(0xE1));
    FrameBuilder::appendWord(data, qqObject->count());
    sendFrame(FrameBuilder::longFrame(0xFF, m_frameToHandle.addrLo(), m_frameToHandle.addrHi(), data));
}

void QuizMode::sendStudentLogined(int p)
{
    const int logged = qpdObject->getSumOfLoginStudents();
    QByteArray data(1, char(p + 1));
    if (m_deviceType == kBrevel) {
        for (int d = 25 * p; d <= 25 * p + 24 && d <= logged; ++d)
            FrameBuilder::appendWord(data, d);
    } else {
        for (int d = 25 * p + 1; d <= 25 * p + 25 && d <= logged; ++d)
            FrameBuilder::appendWord(data, qpdObject->getIndexWithDeviceNo(d));
    }
    sendFrame(FrameBuilder::longFrame(0xFF, teacherAddress(), 0xEF, data));
}

void QuizMode::sendStudentLoginedEnd()
{
    const int logged = qpdObject->getSumOfLoginStudents();
    PollixLog(QStringLiteral("sendStudentLoginedEnd"));
    PollixLogf("sumOfStudentLogined:%d", logged);
    QByteArray data(1, char(0xE0));
    FrameBuilder::appendWord(data, logged);
    sendFrame(FrameBuilder::longFrame(0xFF, teacherAddress(), 0xEF, data));
}

void QuizMode::sendResultOfStudent(int d, int k)
{
    QByteArray data;
    FrameBuilder::appendWord(data, d);
    if (k == 0) {
        data += 'F';
        data += char(0);
        data += "_N";
    } else {
        const QList<int> asked = qdObject->arrayAlreadyTestQuestionNo();
        if (k < 1 || k > asked.size())
            return;
        const int q = asked[k - 1];
        const QString answer = qdObject->getStudentAnswer(q, d);
        char mark = 'F';
        if (answer == qqObject->answer(q) && qqObject->point(q) != 0 && !answer.isEmpty())
            mark = 'T';
        else if (answer.isEmpty())
            mark = 'N';
        data += mark;
        data += char(k);
        data += FrameBuilder::textBytes(answer);
    }
    sendFrame(FrameBuilder::longFrame(0xF7, teacherAddress(), 0xEF, data));
}

void QuizMode::sendStudentQuestioned(int i)
{
    if (i < 0 || i >= m_studentsQuestioned.size()) {
        PollixLog(QStringLiteral("Wrong index."));
        return;
    }
    const StudentInClassPtr s = qpdObject->loginStudentWithDeviceNo(m_studentsQuestioned[i]);
    if (!s) {
        PollixLog(QStringLiteral("Wrong index."));
        return;
    }
    const QByteArray data = FrameBuilder::nameBytes(studentDisplayName(s)) + char(0xEE);
    sendFrame(FrameBuilder::longFrame(0xFC, teacherAddress(), 0xEF, data));
}

void QuizMode::sendStudentInClass(int i)
{
    const QList<StudentInClassPtr> students = qpdObject->arrayClassStudents();
    if (i < 0 || i >= students.size()) {
        PollixLog(QStringLiteral("Wrong index."));
        return;
    }
    const StudentInClassPtr s = students[i];
    if (!s || s->studentID().isEmpty())
        return;
    const QString name = studentDisplayName(s);
    PollixLog(QStringLiteral("Stu ID:%1 Stu Name:%2").arg(s->studentID(), name));
    const QByteArray id = FrameBuilder::textBytes(s->studentID());
    QByteArray data;
    FrameBuilder::appendWord(data, i);
    data += char(id.size() & 0xFF);
    data += id;
    data += char(0xEE);
    data += char(name.size() & 0xFF);
    data += FrameBuilder::nameBytes(name);
    data += char(0xEE);
    sendFrame(FrameBuilder::longFrame(0xF8, teacherAddress(), 0xEF, data));
}

void QuizMode::sendResultOfClass()
{
    PollixLog(QStringLiteral("sendResultOfClass"));
    const int q = m_nQuestionNo;
    const int t = qqObject->questionType(q);
    const int n = m_quizMode == 4 ? qdObject->getEliminationModeJoinStudents(q) : qpdObject->getSumOfLoginStudents();
    QByteArray data;
    if (t == 1 || t == 2 || t == 3) {
        const int right = qcmObject.getNumOfAnswerCorrect(q);
        data += QByteArray(3, '\0');
        FrameBuilder::appendWord(data, n);
        FrameBuilder::appendWord(data, right);
        data += char(n == 0 ? 0 : right * 100 / n);
    } else if (t == 0 || t == 5) {
        const QString answer = qqObject->answer(q);
        if (answer.isEmpty() || answer == QLatin1String("nocorrect")) {
            data += char(2);
            data += 'X';
        } else {
            data += char(1);
            if (t == 5)
                data += answer == QLatin1String("True") ? 'A' : (answer == QLatin1String("False") ? 'B' : char(answer.at(0).unicode() & 0xFF));
            else
                data += char(answer.at(0).unicode() & 0xFF);
        }
        const int options = qBound(0, qqObject->optionNum(q), 10);
        data += char(options + 1);
        FrameBuilder::appendWord(data, n);
        for (int k = 1; k <= options; ++k) {
            FrameBuilder::appendWord(data, qcmObject.getNumOfOption(k, q));
            data += char(qcmObject.getRateOption(k, q));
        }
        FrameBuilder::appendWord(data, qcmObject.getNumOfNoAnswer(q));
        data += char(qcmObject.getRateOfNoAnswer(q));
    }
    sendFrame(FrameBuilder::longFrame(0xFD, teacherAddress(), 0xEF, data));
}
