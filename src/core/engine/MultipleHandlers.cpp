#include "MultipleHandlers.h"

#include "core/base/ActivityCodes.h"
#include "core/engine/QuizData.h"
#include "core/engine/QuizMode.h"
#include "core/engine/QuizQuestions.h"
#include "core/engine/RushRound.h"

MultipleHandlers::MultipleHandlers(std::unique_ptr<QuizMode> normal, std::unique_ptr<QuizMode> rushHandler,
                                   std::unique_ptr<QuizMode> eliminationHandler)
    : normalQuiz(std::move(normal)), rush(std::move(rushHandler)), elimination(std::move(eliminationHandler))
{
}

MultipleHandlers::~MultipleHandlers() = default;

void MultipleHandlers::start(int q, int deviceType, int participationMode, RushRound &rushRound)
{
    switch (QuizQuestions::shareManager()->actionMode(q)) {
    case ActionMode::Rush: m_modeObject = rush.get(); break;
    case ActionMode::Elimination: m_modeObject = elimination.get(); break;
    default: m_modeObject = normalQuiz.get(); break;
    }
    m_modeObject->setDeviceType(deviceType);
    m_modeObject->setParticipationMode(participationMode);
    if (rushQuestion()) {
        auto *qd = QuizData::shareManager();
        qd->clearQuestionRecord(q);
        QList<int> asked = qd->arrayAlreadyTestQuestionNo();
        if (!asked.contains(q))
            qd->setArrayAlreadyTestQuestionNo(asked << q);
        RushRound::markNobody(q);
        rushRound.open();
    }
    m_modeObject->modeStart(q);
}

void MultipleHandlers::stop(RushRound &rushRound)
{
    rushRound.close(true);
    if (m_modeObject)
        m_modeObject->modeStop();
}

void MultipleHandlers::setQuizStateScreenTimer(int seconds)
{
    if (m_modeObject)
        m_modeObject->setQuizStateScreenTimer(seconds);
}
