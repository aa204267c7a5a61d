#include "Brevel_Normal.h"

#include "core/base/ActivityCodes.h"
#include "core/base/CommonFunc.h"
#include "core/engine/KeypadCommands.h"
#include "core/engine/QuizData.h"
#include "core/engine/QuizQuestions.h"
#include "platform/Log.h"


Brevel_Normal::Brevel_Normal(int activity, AskedRule rule, bool emptyLoginListFirst, QObject *parent)
    : QuizMode(parent), m_askedRule(rule)
{
    qpdObject->loginWholeClass(emptyLoginListFirst);
    m_quizMode = activity;
}

void Brevel_Normal::modeStart(int n)
{
    QuizMode::modeStart(n);
    m_nQuestionNo = n;
    m_nAnsweredNum = 0;
    qdObject->clearQuestionRecord(n);
    applyAskedRule(m_askedRule, n);
}

bool Brevel_Normal::isNavigationKey() const
{
    return m_frameToHandle.at(2) == 0 || m_frameToHandle.at(2) == 1;
}

QString Brevel_Normal::brevelAnswer(Reading reading) const
{
    const QString text = KeypadCommands::brevelAnswerText(m_frameToHandle.bytes());
    if (text.isNull()) {
        if (!isNavigationKey())
            PollixLog(QStringLiteral("Brevel answer frame without a readable answer: ignored."));
        return QString();
    }
    if (reading == Reading::AsChoice)
        return qqObject->questionType(m_nQuestionNo) == QuestionType::TrueFalse ? stringToTureFalseString(text) : text;
    return normaliseAnswer(text, reading == Reading::AsRush);
}

void Brevel_Normal::RX_StudentNormalAnswer()
{
    const QString answer = brevelAnswer(Reading::AsQuiz);
    if (!answer.isNull())
        storeAnswer(m_frameToHandle.deviceID(), answer);
}
