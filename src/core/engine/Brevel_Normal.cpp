#include "Brevel_Normal.h"

#include "core/engine/KeypadCommands.h"
#include "core/engine/QuizData.h"
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

void Brevel_Normal::RX_StudentNormalAnswer()
{
    const ReceivedFrame &f = m_frameToHandle;
    if (f.dataLen() < 6) {
        PollixLog(QStringLiteral("Brevel answer frame without an answer: ignored."));
        return;
    }
    if (f.at(2) == 0 || f.at(2) == 1)
        return; // the keypad's previous and next keys
    const QString text = KeypadCommands::text(f.bytes().mid(6));
    if (text.isNull()) {
        PollixLog(QStringLiteral("answer is not valid UTF-8: ignored."));
        return;
    }
    storeAnswer(f.deviceID(), normaliseAnswer(text, false));
}
