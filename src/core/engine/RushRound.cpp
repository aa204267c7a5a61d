#include "RushRound.h"

#include "core/base/CommonFunc.h"
#include "core/engine/QuizData.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"

namespace {
const QString kNoRushRight = QStringLiteral("__");
const QString kRushNotAnswered = QStringLiteral("__N");
} // namespace

RushRound::~RushRound()
{
    closeBox();
}

void RushRound::open()
{
    m_nRushDeviceNo = -1;
    m_open = true;
}

void RushRound::close(bool forgetWinner)
{
    m_open = false;
    if (forgetWinner)
        m_nRushDeviceNo = -1;
    closeBox();
}

bool RushRound::take(int q, int d)
{
    if (!m_open || hasWinner())
        return false;
    auto *qpd = QuizParticipantData::shareManager();
    const StudentInClassPtr student = qpd->loginStudentWithDeviceNo(d);
    if (!student || student->studentID().isEmpty()) {
        PollixLogf("rush buzz from keypad %d, which no logged-in student carries: ignored.", d);
        return false;
    }
    m_nRushDeviceNo = d;
    auto *qd = QuizData::shareManager();
    for (int device : qpd->loginDeviceNos())
        qd->setStudentAnswer(q, device, device == d ? kRushNotAnswered : kNoRushRight);
    return true;
}

void RushRound::markNobody(int q)
{
    auto *qd = QuizData::shareManager();
    for (int d : QuizParticipantData::shareManager()->loginDeviceNos())
        qd->setStudentAnswer(q, d, kNoRushRight);
}

StudentInClassPtr RushRound::winner() const
{
    return hasWinner() ? QuizParticipantData::shareManager()->loginStudentWithDeviceNo(m_nRushDeviceNo) : nullptr;
}

void RushRound::showBox()
{
    const StudentInClassPtr student = winner();
    if (!student)
        return;
    closeBox();
    m_risc = RushInfoShow::create();
    if (!m_risc)
        return;
    m_risc->setStrStudentID(student->studentID());
    m_risc->setStrStudentName(!student->studentFullName().isEmpty()
                                  ? student->studentFullName()
                                  : mergeFirstLastString(student->studentFirstName(), student->studentLastName()));
    m_risc->showWindow();
}

void RushRound::closeBox()
{
    if (!m_risc)
        return;
    m_risc->closeWindow();
    m_risc.reset();
}

void RushRound::post(int deviceNo, int type, const QString &answer, std::optional<int> answerType)
{
    QVariantMap info{{Notify::Key::DeviceNo, deviceNo}, {Notify::Key::Type, type}, {Notify::Key::Ans, answer}};
    if (answerType)
        info.insert(Notify::Key::AnswerType, *answerType);
    NotificationCenter::defaultCenter()->postNotification(Notify::StudentRush, info);
}
