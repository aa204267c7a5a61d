#include "Arvel_Multiple.h"

#include "core/engine/Arvel_Elimination.h"
#include "core/engine/Arvel_Normal.h"
#include "core/engine/Arvel_Rush.h"
#include "core/engine/QuizQuestions.h"

Arvel_Multiple::Arvel_Multiple(QObject *parent)
    : QuizMode(parent),
      normalQuiz(std::make_unique<Arvel_Normal>()),
      rush(std::make_unique<Arvel_Rush>()),
      elimination(std::make_unique<Arvel_Elimination>())
{
    m_quizMode = 5;
}

Arvel_Multiple::~Arvel_Multiple() = default;

void Arvel_Multiple::modeStart(int n)
{
    m_nQuestionNo = n;
    switch (qqObject->actionMode(n)) {
    case 3: m_modeObject = rush.get(); break;
    case 4: m_modeObject = elimination.get(); break;
    default: m_modeObject = normalQuiz.get(); break;
    }
    m_modeObject->modeStart(n);
}

void Arvel_Multiple::modeStop()
{
    if (m_modeObject)
        m_modeObject->modeStop();
}

void Arvel_Multiple::setFrameToHandle(const ReceivedFrame &frame)
{
    QuizMode::setFrameToHandle(frame);
    if (m_modeObject)
        m_modeObject->setFrameToHandle(frame);
}

void Arvel_Multiple::handleStudentCommandArvel()
{
    if (m_modeObject)
        m_modeObject->handleStudentCommandArvel();
}

void Arvel_Multiple::setQuizStateScreenTimer(int seconds)
{
    QuizMode::setQuizStateScreenTimer(seconds);
    if (m_modeObject)
        m_modeObject->setQuizStateScreenTimer(seconds);
}
