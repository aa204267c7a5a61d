#include "LargeFamilyMultiple.h"

#include "core/engine/EliminationRound.h"
#include "core/engine/KeypadCommands.h"
#include "core/engine/QuizData.h"
#include "core/engine/QuizQuestions.h"
#include "core/engine/RushFrames.h"

LargeFamilyMultiple::LargeFamilyMultiple(std::unique_ptr<QuizMode> normal, std::unique_ptr<QuizMode> rush,
                                         std::unique_ptr<QuizMode> elimination, QObject *parent)
    : QuizMode(parent), m_handlers(std::move(normal), std::move(rush), std::move(elimination))
{
    m_quizMode = 5;
}

LargeFamilyMultiple::~LargeFamilyMultiple() = default;

void LargeFamilyMultiple::modeStart(int n)
{
    m_nQuestionNo = n;
    m_handlers.start(n, m_deviceType, m_participationMode, m_round);
}

void LargeFamilyMultiple::modeStop()
{
    m_handlers.stop(m_round);
}

void LargeFamilyMultiple::setQuizStateScreenTimer(int seconds)
{
    QuizMode::setQuizStateScreenTimer(seconds);
    m_handlers.setQuizStateScreenTimer(seconds);
}

void LargeFamilyMultiple::handleStudentCommandArvel()
{
    if (QuizMode *handler = m_handlers.current()) {
        handler->setFrameToHandle(m_frameToHandle);
        handler->handleStudentCommandArvel();
    }
}

void LargeFamilyMultiple::RX_StudentNormalAnswer()
{
    if (m_handlers.rushQuestion()) {
        rushAnswer();
        return;
    }
    if (m_handlers.eliminationQuestion() && EliminationRound::isEliminated(m_frameToHandle.deviceID()))
        return;
    QuizMode::RX_StudentNormalAnswer();
}

void LargeFamilyMultiple::rushAnswer()
{
    const ReceivedFrame &f = m_frameToHandle;
    const int d = f.deviceID();
    if (m_round.hasWinner() && d != m_round.nRushDeviceNo())
        return;
    if (!m_round.hasWinner()) {
        // The buzz: what the frame carries is not kept.
        if (!m_round.take(m_nQuestionNo, d))
            return;
        sendFrame(RushFrames::toAnswer(ActivityFrames::KeypadAddress::word(d)));
        RushRound::post(d, 2, QString());
        m_round.showBox();
        return;
    }
    if (f.dataLen() < 2)
        return;
    QString text = KeypadCommands::text(f.bytes().mid(2));
    if (text.isNull())
        text = KeypadCommands::text(f.bytes().mid(3));
    if (text.isNull())
        return;
    const QString answer = normaliseAnswer(text, true);
    if (storeAnswer(d, answer))
        RushRound::post(d, 1, answer, answer == qqObject->answer(m_nQuestionNo) ? 0 : 1);
}
