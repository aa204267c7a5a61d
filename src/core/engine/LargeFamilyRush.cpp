#include "LargeFamilyRush.h"

#include "core/engine/KeypadCommands.h"
#include "core/engine/QuizData.h"
#include "core/engine/QuizQuestions.h"
#include "core/engine/RushFrames.h"
#include "platform/Log.h"

LargeFamilyRush::LargeFamilyRush(bool winnerShownAtBuzz, QObject *parent)
    : QuizMode(parent), m_winnerShownAtBuzz(winnerShownAtBuzz)
{
    m_quizMode = 3;
}

void LargeFamilyRush::modeStart(int n)
{
    m_round.open();
    QuizMode::modeStart(n);
    m_nQuestionNo = n;
    m_nAnsweredNum = 0;
    qdObject->clearQuestionRecord(n);
    askedListKeepPlace(n);
    RushRound::markNobody(n);
}

void LargeFamilyRush::modeStop()
{
    // The winner stays known for the teacher keypad's result query until the next question.
    m_round.close(false);
}

void LargeFamilyRush::sendStudentToAnswer(int d)
{
    sendFrame(RushFrames::toAnswer(ActivityFrames::KeypadAddress::word(d)));
}

void LargeFamilyRush::RX_StudentSignal()
{
    const int d = m_frameToHandle.deviceID();
    if (m_round.hasWinner()) {
        // A winner who did not hear its permission asks again.
        if (d == m_round.nRushDeviceNo() && m_round.isOpen())
            sendStudentToAnswer(d);
        return;
    }
    if (!m_round.take(m_nQuestionNo, d))
        return;
    sendStudentToAnswer(d);
    RushRound::post(d, 0, QString());
    if (m_winnerShownAtBuzz)
        m_nRushStuDeviceNo = d;
    m_round.showBox();
}

void LargeFamilyRush::RX_StudentNormalAnswer()
{
    const ReceivedFrame &f = m_frameToHandle;
    const int d = f.deviceID();
    if (!m_round.hasWinner() || d != m_round.nRushDeviceNo())
        return; // only the winner answers a rush question
    if (f.dataLen() < 2)
        return;
    const QString text = KeypadCommands::text(f.bytes().mid(2));
    if (text.isNull()) {
        PollixLog(QStringLiteral("answer is not valid UTF-8: ignored."));
        return;
    }
    const QString answer = normaliseAnswer(text, true);
    if (!storeAnswer(d, answer))
        return;
    if (!m_winnerShownAtBuzz)
        m_nRushStuDeviceNo = d;
    RushRound::post(d, 1, answer, answer == qqObject->answer(m_nQuestionNo) ? 0 : 1);
}

void LargeFamilyRush::sendResultOfClass()
{
    PollixFrameLog(QStringLiteral("sendResultOfClass"));
    const StudentInClassPtr winner = m_round.winner();
    if (!winner)
        return; // nobody won: the teacher keypad gets nothing
    const int q = m_nQuestionNo;
    RushFrames::Result r;
    r.loggedIn = qpdObject->getSumOfLoginStudents();
    r.winnerName = studentDisplayName(winner);
    r.winnerAnswer = qdObject->getStudentAnswer(q, winner->deviceNo());
    r.correctAnswer = qqObject->answer(q);
    sendFrame(RushFrames::result(resultAddress(), r));
}
