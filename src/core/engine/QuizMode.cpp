#include "QuizMode.h"

#include "core/app/CommonFunc.h"
#include "core/app/Orvenda_AppDelegate.h"
#include "core/engine/ActivityCodes.h"
#include "core/engine/ActivityFrames.h"
#include "core/engine/ActivityRules.h"
#include "core/engine/KeypadCommands.h"
#include "core/engine/QuestionText.h"
#include "core/engine/QuizData.h"
#include "core/engine/QuizQuestions.h"
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

std::function<std::unique_ptr<RequestQuesStusWindow>()> &requestWindowFactory()
{
    static std::function<std::unique_ptr<RequestQuesStusWindow>()> factory;
    return factory;
}

using Step = PacedSequencer::Step;
} // namespace

QuizMode::QuizMode(QObject *parent)
    : QObject(parent),
      appDelegate(Orvenda_AppDelegate::getAppDelegate()),
      qdObject(QuizData::shareManager()),
      qpdObject(QuizParticipantData::shareManager()),
      qqObject(QuizQuestions::shareManager()),
      m_broadcast([this](const QByteArray &frame) { return sendFrame(frame); })
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
    if (m_broadcast.isRunning())
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
        m_paced.append({{100, [this] { startSendQuestionThread(); }}});
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
        steps.append(Step{0, [this] { sendPCState(2); }});
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
        const bool ownQuestionActivity = m_quizMode == 1 || m_quizMode == 2 || m_quizMode == 3 || m_quizMode == 8;
        const bool freeStyle = ActivityRules::isFreeStyle(m_qFreeMode);
        const bool rushStep = m_quizMode == 5 && qqObject->actionMode(m_nQuestionNo) == 3;
        if (!ownQuestionActivity && getSendQueState() && !freeStyle && !rushStep && m_deviceType == DeviceType::Dravel) {
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
    PollixFrameLogf("mouse control 0x%02x", f.at(0));
    KeypadMouse::pass(f.bytes());
}

void QuizMode::RX_Login()
{
    const ReceivedFrame &f = m_frameToHandle;
    if (f.isTeacherCommand()) {
        sendQuizMsgToTeacher();
        return;
    }
    if (m_deviceType != DeviceType::Dravel)
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
    const auto login = KeypadCommands::login(m_frameToHandle.bytes(), idStart);
    if (!login) {
        PollixLog(QStringLiteral("login frame without a student ID: ignored."));
        return;
    }
    loginStudent(login->studentID, login->name);
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
    if (m_quizMode == 1 || m_quizMode == 2)
        m_paced.append({{5, [this, d] { sendStdExamInfoToStudent(d); }}});
    NotificationCenter::defaultCenter()->postNotification(
        Notify::StudentLogin,
        {{Notify::Key::StudentInClass, QVariant::fromValue(qpdObject->getStudentInfoFromClassUseStudentID(studentID))}});
}

// ---------------------------------------------------------------- teacher keypad queries

void QuizMode::RX_TeacherGetPCData()
{
    struct Query
    {
        int code;
        const char *line;
        void (QuizMode::*handler)();
    };
    static const Query queries[] = {
        {1, "get student id and name.", &QuizMode::RX_GetStudentIDAndName},
        {3, "get student name of questioned.", &QuizMode::RX_GetStudentNameOfQuestioned},
        {4, "get first naswer of student.", &QuizMode::RX_GetFirstAnswer},
        {5, "get student answer.", &QuizMode::RX_GetAnswer},
        {6, "get histogram.", &QuizMode::RX_GetHistogram},
        {7, "get student logined.", &QuizMode::RX_GetStudentLogined},
        {8, "get correct answer.", &QuizMode::RX_GetTeacherQuestionInfo},
        {15, "get sum of students in class.", &QuizMode::RX_GetSumOfStudentsInClass},
        {17, "get question content.", &QuizMode::RX_TeacherGetQueContent},
    };
    if (m_frameToHandle.dataLen() < 1)
        return;
    for (const Query &query : queries) {
        if (query.code == m_frameToHandle.teacherCommand()) {
            PollixFrameLog(QString::fromLatin1(query.line));
            (this->*query.handler)();
            return;
        }
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
    const QString id = KeypadCommands::text(f.bytes().mid(1, f.dataLen() - 2));
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
    const QStringList texts = cutQuestion(q, false);
    const uint16_t have = uint16_t(f.at(3) | (f.at(4) << 8));
    const auto teacher = ActivityFrames::KeypadAddress::of(f);
    QList<Step> steps;
    for (int frameNo = 1; frameNo <= 16 && frameNo <= texts.size(); ++frameNo) {
        if (have & (1u << (frameNo - 1)))
            continue;
        steps.append(Step{steps.isEmpty() ? 0 : 10, [this, teacher, texts, q, frameNo] {
                          sendFrame(ActivityFrames::questionFrameToTeacher(teacher, texts, frameNo, q,
                                                                           qpdObject->randomQuestionID()));
                      }});
    }
    m_paced.append(steps);
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
    pass.atEnd = [this] {
        // A vote wakes the keypads once more unless they have reported the question's start.
        if (m_quizMode == 7 && m_nReWakeUpCount <= 0) {
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
    pass.extraRounds = m_quizMode == 7 ? 3 : 0;
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
    if (m_quizMode == 5)
        return ActivityFrames::multipleQuestionByte(qqObject->actionMode(m_nQuestionNo));
    return uint8_t(actModeTransToStudentDeviceMode(m_quizMode));
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

QString QuizMode::testName() const
{
    return SetQuestionsTitle(qqObject->strTestTitle());
}

void QuizMode::sendWakeFrame()
{
    sendFrame(ActivityFrames::wake());
}

void QuizMode::sendStudentLogoutClass()
{
    sendFrame(ActivityFrames::studentLogoutClass());
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

void QuizMode::sendQuizMsgToStudent(int d)
{
    uint8_t mode = modeByteForStudents();
    if (m_deviceType == DeviceType::Dravel) {
        // The high bit tells the keypad that the question text will come to it; free-style
        // questions are never broadcast, so the keypads must not wait for one.
        mode = uint8_t(actModeTransToStudentDeviceMode(m_quizMode));
        const bool freeStyle = ActivityRules::isFreeStyle(m_qFreeMode);
        if (!freeStyle && m_quizMode != 3 && m_quizMode != 5 && (m_quizMode == 1 || m_quizMode == 2 || getSendQueState()))
            mode |= 0x80;
    }
    sendFrame(ActivityFrames::quizMsgToStudent(m_deviceType, frameAddress(), d, mode, qpdObject->randomQuizID(),
                                               m_frameToHandle.bytes()));
}

void QuizMode::sendWrongIDToStudent()
{
    sendFrame(ActivityFrames::wrongIDToStudent(m_deviceType, frameAddress(), qpdObject->randomQuizID(),
                                               m_frameToHandle.bytes()));
}

void QuizMode::sendStdExamInfoToStudent(int d)
{
    sendFrame(ActivityFrames::stdExamInfoToStudent(d, questionSumWithoutTeachingPlan(), qqObject->nTestID(), testName()));
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
    const int mode = m_quizMode == 5 ? qqObject->actionMode(m_nQuestionNo) : actModeTransToStudentDeviceMode(m_quizMode);
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

void QuizMode::sendQuestionFrameToTeacher(int q, int f)
{
    sendFrame(ActivityFrames::questionFrameToTeacher(frameAddress(), cutQuestion(q, false), f, q,
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
    sendFrame(ActivityFrames::receiveState(teacherKeypad(), s));
}

void QuizMode::sendQuizMsgToTeacher()
{
    PollixFrameLog(QStringLiteral("sendQuizMsgToTeacher"));
    m_nTeacherDeviceID = m_frameToHandle.deviceID();
    sendFrame(ActivityFrames::quizMsgToTeacher(m_deviceType, frameAddress(), qpdObject->className(),
                                               qpdObject->teacherName(), actModeTransToDeviceMode(m_quizMode),
                                               qpdObject->getSumOfClassStudents(), qpdObject->getSumOfLoginStudents(),
                                               teacherKeypad().lo));
}

void QuizMode::sendClassMsg()
{
    PollixFrameLog(QStringLiteral("sendClassMsg"));
    sendFrame(ActivityFrames::classMsg(frameAddress(), qpdObject->className(), qpdObject->teacherName(),
                                       qpdObject->getSumOfClassStudents()));
}

void QuizMode::sendQuizInfoToTeacher()
{
    PollixFrameLog(QStringLiteral("sendQuizInfoToTeacher"));
    bool allAnswered = true;
    for (int q = 1; q <= qqObject->count(); ++q)
        if (qqObject->questionType(q) != 4 && qqObject->answer(q).isEmpty())
            allAnswered = false; // teaching-plan pages have no answer and are no questions
    sendFrame(ActivityFrames::quizInfoToTeacher(frameAddress(), questionSumWithoutTeachingPlan(), qqObject->nTestID(),
                                                allAnswered, testName()));
}

void QuizMode::sendSumOfStudentsInClass()
{
    sendFrame(ActivityFrames::sumOfStudentsInClass(frameAddress(), qpdObject->getSumOfClassStudents(),
                                                   qpdObject->getSumOfLoginStudents()));
}

void QuizMode::sendQuestionInfo(int q)
{
    sendFrame(ActivityFrames::questionInfo(frameAddress(), q, qqObject->questionType(q), qqObject->optionNum(q),
                                           actModeTransToDeviceMode(m_quizMode), qqObject->answer(q)));
}

void QuizMode::sendQuestionInfoEnd()
{
    sendFrame(ActivityFrames::questionInfoEnd(frameAddress(), qqObject->count()));
}

void QuizMode::sendStudentLogined(int p)
{
    const int logged = qpdObject->getSumOfLoginStudents();
    QList<int> entries;
    if (m_deviceType == DeviceType::Brevel) {
        for (int d = 25 * p; d <= 25 * p + 24 && d <= logged; ++d)
            entries << d;
    } else {
        for (int d = 25 * p + 1; d <= 25 * p + 25 && d <= logged; ++d)
            entries << qpdObject->getIndexWithDeviceNo(d);
    }
    sendFrame(ActivityFrames::studentLogined(teacherKeypad(), p, entries));
}

void QuizMode::sendStudentLoginedEnd()
{
    const int logged = qpdObject->getSumOfLoginStudents();
    PollixFrameLog(QStringLiteral("sendStudentLoginedEnd"));
    PollixFrameLogf("sumOfStudentLogined:%d", logged);
    sendFrame(ActivityFrames::studentLoginedEnd(teacherKeypad(), logged));
}

void QuizMode::sendResultOfStudent(int d, int k)
{
    if (k == 0) {
        sendFrame(ActivityFrames::resultOfStudent(teacherKeypad(), d, 0, QString(), QString(), 0));
        return;
    }
    const QList<int> asked = qdObject->arrayAlreadyTestQuestionNo();
    if (k < 1 || k > asked.size())
        return;
    const int q = asked[k - 1];
    sendFrame(ActivityFrames::resultOfStudent(teacherKeypad(), d, k, qdObject->getStudentAnswer(q, d),
                                              qqObject->answer(q), qqObject->point(q)));
}

void QuizMode::sendStudentQuestioned(int i)
{
    const StudentInClassPtr s = i >= 0 && i < m_studentsQuestioned.size()
                                    ? qpdObject->loginStudentWithDeviceNo(m_studentsQuestioned[i])
                                    : nullptr;
    if (!s) {
        PollixLog(QStringLiteral("Wrong index."));
        return;
    }
    sendFrame(ActivityFrames::studentQuestioned(teacherKeypad(), studentDisplayName(s)));
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
    PollixFrameLog(QStringLiteral("Stu ID:%1 Stu Name:%2").arg(s->studentID(), name));
    sendFrame(ActivityFrames::studentInClass(teacherKeypad(), i, s->studentID(), name));
}

void QuizMode::sendResultOfClass()
{
    PollixFrameLog(QStringLiteral("sendResultOfClass"));
    const int q = m_nQuestionNo;
    ActivityFrames::ClassResult result;
    result.questionType = qqObject->questionType(q);
    result.correctAnswer = qqObject->answer(q);
    result.students = m_quizMode == 4 ? qdObject->getEliminationModeJoinStudents(q) : qpdObject->getSumOfLoginStudents();
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
