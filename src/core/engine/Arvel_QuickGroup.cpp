#include "Arvel_QuickGroup.h"

#include "core/engine/QuizData.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"

void Arvel_QuickGroup::handleStudentCommandArvel()
{
    const QString key = keyText();
    if (key.isEmpty())
        return;
    const int k = m_frameToHandle.deviceID();
    const int q = m_nQuestionNo;
    if (QuestionRepondData::deviceNoToBtnNo(k) < 1 || q > qdObject->recordCount()) {
        PollixLogf("group key from keypad %d with no student or no question: ignored.", k);
        return;
    }
    if (qdObject->getStudentAnswer(q, k).isEmpty())
        ++m_nAnsweredNum;
    qdObject->setStudentAnswer(q, k, key);
    qdObject->setStudentAnswerTime(q, k, m_quizStateScreenTimer);
    NotificationCenter::defaultCenter()->postNotification(
        Notify::StudentQuickGrouping,
        {{Notify::Key::DeviceNo, k}, {Notify::Key::Answer, key}, {Notify::Key::Sum, m_nAnsweredNum}});
}
