#include "TeacherKeypadReplies.h"

#include "core/base/ActivityCodes.h"
#include "core/engine/KeypadCommands.h"
#include "core/engine/QuizComputeMethod.h"
#include "core/engine/QuizData.h"
#include "core/engine/QuizMode.h"
#include "core/engine/QuizQuestions.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "platform/PacedSequencer.h"

namespace {
using Step = PacedSequencer::Step;
using KeypadAddress = ActivityFrames::KeypadAddress;

void postQuestionedCount(int count)
{
    NotificationCenter::defaultCenter()->postNotification(Notify::StudentHaveQuestion, {{Notify::Key::Count, count}});
}
} // namespace

TeacherKeypadReplies::TeacherKeypadReplies(const QuizMode &run, Sender send, PacedSequencer &paced,
                                           std::function<void()> resultOfClass)
    : m_run(run), m_send(std::move(send)), m_paced(paced), m_resultOfClass(std::move(resultOfClass))
{
}

KeypadAddress TeacherKeypadReplies::teacherKeypad() const
{
    return KeypadAddress::teacher(QuizParticipantData::shareManager()->randomTeacherID());
}

void TeacherKeypadReplies::sendReceiveState(int s)
{
    m_send(ActivityFrames::receiveState(teacherKeypad(), s));
}

// ---------------------------------------------------------------- login, class and set

void TeacherKeypadReplies::sendQuizMsgToTeacher(const ReceivedFrame &f)
{
    PollixFrameLog(QStringLiteral("sendQuizMsgToTeacher"));
    const auto *qpd = QuizParticipantData::shareManager();
    m_nTeacherDeviceID = f.deviceID();
    m_send(ActivityFrames::quizMsgToTeacher(m_run.deviceType(), KeypadAddress::of(f), qpd->className(),
                                            qpd->teacherName(), m_run.actModeTransToDeviceMode(m_run.quizMode()),
                                            qpd->getSumOfClassStudents(), qpd->getSumOfLoginStudents(),
                                            teacherKeypad().lo));
}

void TeacherKeypadReplies::RX_CommandOfF9(const ReceivedFrame &f)
{
    if (f.dataLen() < 1)
        return;
    if (f.at(0) == 0xE0)
        sendClassMsg(KeypadAddress::of(f));
    else if (f.at(0) == 0xE1 && f.isTeacherCommand())
        sendQuizInfoToTeacher(KeypadAddress::of(f));
}

void TeacherKeypadReplies::sendClassMsg(KeypadAddress to)
{
    PollixFrameLog(QStringLiteral("sendClassMsg"));
    const auto *qpd = QuizParticipantData::shareManager();
    m_send(ActivityFrames::classMsg(to, qpd->className(), qpd->teacherName(), qpd->getSumOfClassStudents()));
}

void TeacherKeypadReplies::sendQuizInfoToTeacher(KeypadAddress to)
{
    PollixFrameLog(QStringLiteral("sendQuizInfoToTeacher"));
    const auto *qq = QuizQuestions::shareManager();
    bool allAnswered = true;
    for (int q = 1; q <= qq->count(); ++q)
        if (qq->questionType(q) != 4 && qq->answer(q).isEmpty())
            allAnswered = false; // teaching-plan pages have no answer and are no questions
    m_send(ActivityFrames::quizInfoToTeacher(to, qq->questionSumWithoutTeachingPlan(), qq->nTestID(), allAnswered,
                                             QuizMode::testName()));
}

// ---------------------------------------------------------------- students with a question

void TeacherKeypadReplies::RX_StudentHaveQuestion(int d)
{
    if (m_studentsQuestioned.contains(d) || m_studentsQuestioned.size() >= 20)
        return;
    m_studentsQuestioned.append(d);
    postQuestionedCount(int(m_studentsQuestioned.size()));
}

void TeacherKeypadReplies::RX_GetStudentNameOfQuestioned(const ReceivedFrame &f)
{
    if (f.dataLen() < 2)
        return;
    const int i = f.at(1);
    if (i < m_studentsQuestioned.size()) {
        sendStudentQuestioned(i);
        return;
    }
    sendReceiveState(0xE0);
    m_studentsQuestioned.clear();
    postQuestionedCount(0);
}

void TeacherKeypadReplies::sendStudentQuestioned(int i)
{
    const StudentInClassPtr s = i >= 0 && i < m_studentsQuestioned.size()
                                    ? QuizParticipantData::shareManager()->loginStudentWithDeviceNo(m_studentsQuestioned[i])
                                    : nullptr;
    if (!s) {
        PollixLog(QStringLiteral("Wrong index."));
        return;
    }
    m_send(ActivityFrames::studentQuestioned(teacherKeypad(), QuizMode::studentDisplayName(s)));
}

// ---------------------------------------------------------------- queries

void TeacherKeypadReplies::RX_TeacherGetPCData(const ReceivedFrame &f)
{
    struct Query
    {
        int code;
        const char *line;
        void (TeacherKeypadReplies::*handler)(const ReceivedFrame &);
    };
    static const Query queries[] = {
        {1, "get student id and name.", &TeacherKeypadReplies::RX_GetStudentIDAndName},
        {3, "get student name of questioned.", &TeacherKeypadReplies::RX_GetStudentNameOfQuestioned},
        {4, "get first naswer of student.", &TeacherKeypadReplies::RX_GetFirstAnswer},
        {5, "get student answer.", &TeacherKeypadReplies::RX_GetAnswer},
        {6, "get histogram.", &TeacherKeypadReplies::RX_GetHistogram},
        {7, "get student logined.", &TeacherKeypadReplies::RX_GetStudentLogined},
        {8, "get correct answer.", &TeacherKeypadReplies::RX_GetTeacherQuestionInfo},
        {15, "get sum of students in class.", &TeacherKeypadReplies::RX_GetSumOfStudentsInClass},
        {17, "get question content.", &TeacherKeypadReplies::RX_TeacherGetQueContent},
    };
    if (f.dataLen() < 1)
        return;
    for (const Query &query : queries) {
        if (query.code == f.teacherCommand()) {
            PollixFrameLog(QString::fromLatin1(query.line));
            (this->*query.handler)(f);
            return;
        }
    }
}

void TeacherKeypadReplies::RX_GetStudentIDAndName(const ReceivedFrame &f)
{
    if (f.dataLen() < 5) {
        PollixLog(QStringLiteral("query frame too short: ignored."));
        return;
    }
    const int index = f.at(1) + 256 * f.at(2);
    const int known = f.at(3) + 256 * f.at(4);
    const int size = QuizParticipantData::shareManager()->getSumOfClassStudents();
    if (known != size)
        sendReceiveState(0xEA);
    else if (index >= size)
        sendReceiveState(0xE0); // past the class list: the keypad's end of list
    else
        sendStudentInClass(index);
}

void TeacherKeypadReplies::sendStudentInClass(int i)
{
    const QList<StudentInClassPtr> students = QuizParticipantData::shareManager()->arrayClassStudents();
    if (i < 0 || i >= students.size()) {
        PollixLog(QStringLiteral("Wrong index."));
        return;
    }
    const StudentInClassPtr s = students[i];
    if (!s || s->studentID().isEmpty())
        return;
    const QString name = QuizMode::studentDisplayName(s);
    PollixFrameLog(QStringLiteral("Stu ID:%1 Stu Name:%2").arg(s->studentID(), name));
    m_send(ActivityFrames::studentInClass(teacherKeypad(), i, s->studentID(), name));
}

void TeacherKeypadReplies::RX_GetFirstAnswer(const ReceivedFrame &f)
{
    if (f.dataLen() < 2)
        return;
    const QString id = KeypadCommands::text(f.bytes().mid(1, f.dataLen() - 2));
    m_studentDeviceNoWantResult = id.isEmpty() ? 0 : QuizParticipantData::shareManager()->isStudentLogin(id);
    if (m_studentDeviceNoWantResult == 0) {
        sendReceiveState(0xE1);
        return;
    }
    sendResultOfStudent(m_studentDeviceNoWantResult,
                        QuizData::shareManager()->arrayAlreadyTestQuestionNo().isEmpty() ? 0 : 1);
}

void TeacherKeypadReplies::RX_GetAnswer(const ReceivedFrame &f)
{
    if (f.dataLen() < 2)
        return;
    const int k = f.at(1);
    const int asked = int(QuizData::shareManager()->arrayAlreadyTestQuestionNo().size());
    if (k >= 1 && k <= asked && k <= 99 && m_studentDeviceNoWantResult > 0) {
        sendResultOfStudent(m_studentDeviceNoWantResult, k);
        return;
    }
    sendReceiveState(0xE0);
    m_studentDeviceNoWantResult = 0;
}

void TeacherKeypadReplies::sendResultOfStudent(int d, int k)
{
    if (k == 0) {
        m_send(ActivityFrames::resultOfStudent(teacherKeypad(), d, 0, QString(), QString(), 0));
        return;
    }
    const auto *qd = QuizData::shareManager();
    const auto *qq = QuizQuestions::shareManager();
    const QList<int> asked = qd->arrayAlreadyTestQuestionNo();
    if (k < 1 || k > asked.size())
        return;
    const int q = asked[k - 1];
    m_send(ActivityFrames::resultOfStudent(teacherKeypad(), d, k, qd->getStudentAnswer(q, d), qq->answer(q),
                                           qq->point(q)));
}

void TeacherKeypadReplies::RX_GetHistogram(const ReceivedFrame &)
{
    if (QuizData::shareManager()->arrayAlreadyTestQuestionNo().isEmpty() || m_run.isQuizStart()
        || !QuizComputeMethod().getQuestionIsTest(m_run.nQuestionNo()))
        return;
    m_resultOfClass();
}

void TeacherKeypadReplies::RX_GetStudentLogined(const ReceivedFrame &f)
{
    if (f.dataLen() < 4)
        return;
    const int known = f.at(1) + 256 * f.at(2);
    const int page = f.at(3);
    const int logged = QuizParticipantData::shareManager()->getSumOfLoginStudents();
    if (known == logged || 25 * page >= logged)
        sendStudentLoginedEnd();
    else
        sendStudentLogined(page);
}

void TeacherKeypadReplies::sendStudentLogined(int p)
{
    const auto *qpd = QuizParticipantData::shareManager();
    const int logged = qpd->getSumOfLoginStudents();
    QList<int> entries;
    if (m_run.deviceType() == DeviceType::Brevel) {
        for (int d = 25 * p; d <= 25 * p + 24 && d <= logged; ++d)
            entries << d;
    } else {
        for (int d = 25 * p + 1; d <= 25 * p + 25 && d <= logged; ++d)
            entries << qpd->getIndexWithDeviceNo(d);
    }
    m_send(ActivityFrames::studentLogined(teacherKeypad(), p, entries));
}

void TeacherKeypadReplies::sendStudentLoginedEnd()
{
    const int logged = QuizParticipantData::shareManager()->getSumOfLoginStudents();
    PollixFrameLog(QStringLiteral("sendStudentLoginedEnd"));
    PollixFrameLogf("sumOfStudentLogined:%d", logged);
    m_send(ActivityFrames::studentLoginedEnd(teacherKeypad(), logged));
}

void TeacherKeypadReplies::RX_GetTeacherQuestionInfo(const ReceivedFrame &f)
{
    if (f.dataLen() < 5)
        return;
    const int q = f.at(1) + 256 * f.at(2);
    const int known = f.at(3) + 256 * f.at(4);
    const int count = QuizQuestions::shareManager()->count();
    if (known != count || q < 1)
        return;
    if (q > count)
        m_send(ActivityFrames::questionInfoEnd(KeypadAddress::of(f), count));
    else
        sendQuestionInfo(KeypadAddress::of(f), q);
}

void TeacherKeypadReplies::sendQuestionInfo(KeypadAddress to, int q)
{
    const auto *qq = QuizQuestions::shareManager();
    m_send(ActivityFrames::questionInfo(to, q, qq->questionType(q), qq->optionNum(q),
                                        m_run.actModeTransToDeviceMode(m_run.quizMode()), qq->answer(q)));
}

void TeacherKeypadReplies::RX_GetSumOfStudentsInClass(const ReceivedFrame &f)
{
    const auto *qpd = QuizParticipantData::shareManager();
    m_send(ActivityFrames::sumOfStudentsInClass(KeypadAddress::of(f), qpd->getSumOfClassStudents(),
                                                qpd->getSumOfLoginStudents()));
}

void TeacherKeypadReplies::RX_TeacherGetQueContent(const ReceivedFrame &f)
{
    if (f.dataLen() < 5)
        return;
    const int q = f.at(1);
    const auto *qq = QuizQuestions::shareManager();
    const int count = qq->count();
    if (qq->questionSumWithoutTeachingPlan() <= 0)
        return;
    if (q < 1 || q > count) {
        PollixLogf("question %d asked by the teacher keypad is not in the set: ignored.", q);
        return;
    }
    // The teacher may look at any question while another one runs: the running question, its
    // broadcast text and its question ID stay as they are.
    const QStringList texts = m_run.cutQuestion(q, false);
    const uint16_t have = uint16_t(f.at(3) | (f.at(4) << 8));
    const auto teacher = KeypadAddress::of(f);
    QList<Step> steps;
    for (int frameNo = 1; frameNo <= 16 && frameNo <= texts.size(); ++frameNo) {
        if (have & (1u << (frameNo - 1)))
            continue;
        steps.append(Step{steps.isEmpty() ? 0 : 10, [this, teacher, texts, q, frameNo] {
                              m_send(ActivityFrames::questionFrameToTeacher(
                                  teacher, texts, frameNo, q, QuizParticipantData::shareManager()->randomQuestionID()));
                          }});
    }
    m_paced.append(steps);
}
