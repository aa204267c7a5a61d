#include "Brevel_Multiple.h"

#include "core/engine/Brevel_Elimination.h"
#include "core/engine/Brevel_Rush.h"
#include "core/engine/EliminationRound.h"
#include "core/engine/QuizData.h"

Brevel_Multiple::Brevel_Multiple(QObject *parent)
    : BrevelBuzzer(5, AskedRule::KeepPlace, parent),
      m_handlers(std::make_unique<Brevel_Normal>(), std::make_unique<Brevel_Rush>(), std::make_unique<Brevel_Elimination>())
{
}

Brevel_Multiple::~Brevel_Multiple() = default;

void Brevel_Multiple::modeStart(int n)
{
    m_nQuestionNo = n;
    m_handlers.start(n, m_deviceType, m_participationMode, m_round);
}

void Brevel_Multiple::modeStop()
{
    m_handlers.stop(m_round);
}

void Brevel_Multiple::setQuizStateScreenTimer(int seconds)
{
    QuizMode::setQuizStateScreenTimer(seconds);
    m_handlers.setQuizStateScreenTimer(seconds);
}

void Brevel_Multiple::RX_StudentSignal()
{
    if (m_handlers.rushQuestion())
        rushSignal();
}

void Brevel_Multiple::RX_StudentNormalAnswer()
{
    if (isNavigationKey())
        return;
    if (m_handlers.rushQuestion()) {
        rushAnswer();
        return;
    }
    if (m_handlers.eliminationQuestion() && EliminationRound::isEliminated(m_frameToHandle.deviceID()))
        return;
    const QString answer = brevelAnswer(Reading::AsChoice);
    if (!answer.isNull())
        storeAnswer(m_frameToHandle.deviceID(), answer);
}
