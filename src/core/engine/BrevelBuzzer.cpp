#include "BrevelBuzzer.h"

#include "core/engine/QuizQuestions.h"
#include "core/engine/RushFrames.h"

namespace {
constexpr uint8_t kBuzz = 0x40;
constexpr int kSucceedRepeats = 3;
constexpr int kSucceedPauseMs = 700;
} // namespace

void BrevelBuzzer::rushSignal()
{
    const ReceivedFrame &f = m_frameToHandle;
    if (f.dataLen() < 1 || f.at(0) != kBuzz)
        return;
    const int d = f.deviceID();
    if (!m_round.take(m_nQuestionNo, d))
        return; // somebody has won already (the winner's repeat too), or no student carries d
    m_round.showBox();
    RushRound::post(d, 0, QString());
    const ActivityFrames::KeypadAddress winner = frameAddress();
    QList<PacedSequencer::Step> steps;
    for (int i = 0; i < kSucceedRepeats; ++i)
        steps.append({i == 0 ? 0 : kSucceedPauseMs, [this, winner] { sendRushSucceed(winner); }});
    paced().append(steps);
}

void BrevelBuzzer::sendRushSucceed(ActivityFrames::KeypadAddress winner)
{
    const int q = m_nQuestionNo;
    RushFrames::Succeed s;
    s.questionNo = q;
    s.questionType = qqObject->questionType(q);
    s.optionCount = qqObject->optionNum(q);
    s.screenQuestion = m_participationMode == 2 && !m_setByTeacherDeivce;
    sendFrame(RushFrames::succeed(winner, s));
}

void BrevelBuzzer::rushAnswer()
{
    const int d = m_frameToHandle.deviceID();
    if (!m_round.hasWinner() || d != m_round.nRushDeviceNo())
        return;
    const QString answer = brevelAnswer(Reading::AsRush);
    if (!answer.isNull() && storeAnswer(d, answer))
        RushRound::post(d, 1, answer);
}
