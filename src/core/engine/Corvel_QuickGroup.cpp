#include "Corvel_QuickGroup.h"

#include "core/engine/QuizData.h"
#include "core/engine/QuizQuestions.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"

void Corvel_QuickGroup::handleStudentCommandArvel()
{
    const ReceivedFrame &f = m_frameToHandle;
    if (f.type() != 0 || !f.isStudentCommand())
        return;
    const int d = f.deviceID();
    const int q = m_nQuestionNo;
    if (QuestionRepondData::deviceNoToBtnNo(d) < 1 || q > qdObject->recordCount()) {
        PollixLogf("group key from keypad %d with no student or no question: ignored.", d);
        return;
    }
    const QString key(QChar(f.key()));
    qdObject->setStudentAnswer(q, d, key);
    // Kept as the question's time less the run timer, not as the timer itself.
    qdObject->setStudentAnswerTime(q, d, qqObject->quizTime(q) - m_quizStateScreenTimer);
    NotificationCenter::defaultCenter()->postNotification(Notify::StudentQuickGrouping,
                                                          {{Notify::Key::DeviceNo, d}, {Notify::Key::Answer, key}});
}
