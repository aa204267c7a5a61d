#include "Arvel_Normal.h"

#include "core/base/ActivityCodes.h"
#include "core/base/CommonFunc.h"
#include "core/engine/KeypadCommands.h"
#include "core/engine/QuizData.h"
#include "core/engine/QuizQuestions.h"

Arvel_Normal::Arvel_Normal(int activity, bool emptyLoginListFirst, QObject *parent) : QuizMode(parent)
{
    // Quick grouping and hand raise also run on receivers whose keypads log in: there the
    // logged-in list is what the logins make it, not the whole class.
    if (m_deviceType != DeviceType::Corvel && m_deviceType != DeviceType::Dravel)
        qpdObject->loginWholeClass(emptyLoginListFirst);
    m_quizMode = activity;
}

void Arvel_Normal::modeStart(int n)
{
    QuizMode::modeStart(n);
    m_nQuestionNo = n;
    m_nAnsweredNum = 0;
    qdObject->clearQuestionRecord(n);
    askedListMoveToEnd(n);
}

QString Arvel_Normal::keyText() const
{
    const ReceivedFrame &f = m_frameToHandle;
    if (f.type() != 0 || !f.isStudentCommand())
        return QString();
    return QString(QChar(f.key()));
}

QString Arvel_Normal::keyAnswer(int q) const
{
    const QString text = keyText();
    return qqObject->questionType(q) == 5 && !text.isEmpty() ? stringToTureFalseString(text) : text;
}

void Arvel_Normal::handleStudentCommandArvel()
{
    const QString answer = keyAnswer(m_nQuestionNo);
    if (!answer.isEmpty())
        storeAnswer(m_frameToHandle.deviceID(), answer);
}

void Arvel_Normal::RX_StudentNormalAnswer()
{
    if (m_deviceType != DeviceType::Brevel) {
        QuizMode::RX_StudentNormalAnswer();
        return;
    }
    const QString text = KeypadCommands::brevelAnswerText(m_frameToHandle.bytes());
    if (!text.isNull())
        storeAnswer(m_frameToHandle.deviceID(), normaliseAnswer(text, false));
}
