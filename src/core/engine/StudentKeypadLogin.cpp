#include "StudentKeypadLogin.h"

#include "core/engine/ActivityFrames.h"
#include "core/engine/ActivityRules.h"
#include "core/engine/KeypadCommands.h"
#include "core/engine/QuizMode.h"
#include "core/engine/QuizParticipantData.h"
#include "core/engine/QuizQuestions.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "platform/PacedSequencer.h"

StudentKeypadLogin::StudentKeypadLogin(const QuizMode &run, Sender send, PacedSequencer &paced)
    : m_run(run), m_send(std::move(send)), m_paced(paced)
{
}

void StudentKeypadLogin::loginFromFrame(const ReceivedFrame &f, int idStart)
{
    if (m_bAlreadStartInElimination)
        return;
    const auto login = KeypadCommands::login(f.bytes(), idStart);
    if (!login) {
        PollixLog(QStringLiteral("login frame without a student ID: ignored."));
        return;
    }
    // Taken in, such a student would show as logged in on a keypad that never learns it is.
    if (!ActivityFrames::loginAnswerable(m_run.deviceType(), f.bytes())) {
        PollixLog(QStringLiteral("login frame whose student ID is too long for an answer to echo: ignored."));
        return;
    }
    loginStudent(f, login->studentID, login->name);
}

void StudentKeypadLogin::loginStudent(const ReceivedFrame &f, const QString &studentID, const QString &studentName)
{
    if (studentID.isEmpty()) {
        // Also covers IDs that are not valid UTF-8.
        PollixLog(QStringLiteral("login frame without a readable student ID: ignored."));
        return;
    }
    auto *qpd = QuizParticipantData::shareManager();
    int d = qpd->isStudentLogin(studentID);
    if (d <= 0)
        d = qpd->newLoginStudent(studentID);
    if (d <= 0) {
        sendWrongIDToStudent(f);
        postForceLoginMessage(studentID, studentName.isNull() ? QStringLiteral("Null") : studentName, 0);
        return;
    }
    sendQuizMsgToStudent(f, d);
    if (ActivityRules::rule(m_run.quizMode()).questionSetOnKeypads)
        m_paced.append({{5, [this, d] { sendStdExamInfoToStudent(d); }}});
    NotificationCenter::defaultCenter()->postNotification(
        Notify::StudentLogin,
        {{Notify::Key::StudentInClass, QVariant::fromValue(qpd->getStudentInfoFromClassUseStudentID(studentID))}});
}

void StudentKeypadLogin::sendQuizMsgToStudent(const ReceivedFrame &f, int d)
{
    const int activity = m_run.quizMode();
    uint8_t mode = m_run.modeByteForStudents();
    if (m_run.deviceType() == DeviceType::Dravel) {
        // The high bit tells the keypad that the question text will come to it; free-style
        // questions are never broadcast, so the keypads must not wait for one.
        mode = uint8_t(ActivityFrames::studentMode(activity));
        const bool freeStyle = ActivityRules::isFreeStyle(m_run.qFreeMode());
        const bool textComes = ActivityRules::rule(activity).questionSetOnKeypads || m_run.getSendQueState();
        if (!freeStyle && activity != Activity::RushQuiz && activity != Activity::MultipleMode && textComes)
            mode |= 0x80;
    }
    m_send(ActivityFrames::quizMsgToStudent(m_run.deviceType(), ActivityFrames::KeypadAddress::of(f), d, mode,
                                            QuizParticipantData::shareManager()->randomQuizID(), f.bytes()));
}

void StudentKeypadLogin::sendWrongIDToStudent(const ReceivedFrame &f)
{
    m_send(ActivityFrames::wrongIDToStudent(m_run.deviceType(), ActivityFrames::KeypadAddress::of(f),
                                            QuizParticipantData::shareManager()->randomQuizID(), f.bytes()));
}

void StudentKeypadLogin::sendStdExamInfoToStudent(int d)
{
    const auto *qq = QuizQuestions::shareManager();
    m_send(ActivityFrames::stdExamInfoToStudent(d, qq->questionSumWithoutTeachingPlan(), qq->nTestID(),
                                                QuizMode::testName()));
}

void StudentKeypadLogin::postForceLoginMessage(const QString &studentID, const QString &studentName, int deviceNo)
{
    StudentInClassPtr s = QuizParticipantData::getStudentInfoFromDataBaseUseStudentID(studentID, studentName);
    s->setDeviceNo(deviceNo);
    s->setStudentFirstName(studentName);
    s->setStudentLastName(QString());
    NotificationCenter::defaultCenter()->postNotification(Notify::StudentForceLogin,
                                                          {{Notify::Key::StudentInfo, QVariant::fromValue(s)}});
}
