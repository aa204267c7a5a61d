#include "Arvel_PaperQuiz.h"

#include "core/engine/QuizData.h"
#include "core/engine/QuizQuestions.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"

Arvel_PaperQuiz::Arvel_PaperQuiz(QObject *parent) : QuizMode(parent)
{
    qpdObject->loginWholeClass(false);
    m_quizMode = 1;
}

void Arvel_PaperQuiz::modeStart(int n)
{
    m_nQuestionNo = n;
    m_nQuestionSum = qqObject->questionSumExcludeTeachingPlan();
    m_nTimeCount = 0;
    for (int q = 1; q <= m_nQuestionSum; ++q)
        m_nTimeCount += qqObject->quizTime(q);
    m_quizStateScreenTimer = m_nTimeCount;
    m_nAnsweredNum = 0;
    qdObject->clearQuestionRecordForPAndH(m_nQuestionSum);
    mapStudentQuestionNo.clear();
    for (int d : qpdObject->loginDeviceNos())
        mapStudentQuestionNo.insert(d, 1);
    askedListWholeSet(m_nQuestionSum);
}

void Arvel_PaperQuiz::PostStudentNextPre(int deviceNo, int questionNo, int state)
{
    NotificationCenter::defaultCenter()->postNotification(
        Notify::StudentNextPrevious,
        {{Notify::Key::DeviceNo, deviceNo}, {Notify::Key::QuestionNo, questionNo}, {Notify::Key::AnswerState, state}});
}

void Arvel_PaperQuiz::handleStudentCommandArvel()
{
    const ReceivedFrame &f = m_frameToHandle;
    if (f.type() != 0 || !f.isStudentCommand())
        return;
    const int k = f.deviceID();
    const int n = m_nQuestionSum;
    int c = currentQuestionOf(k);
    if (c < 1 || c > n) {
        // Not in the logged-in list when the quiz started: there is no question to answer.
        PollixLogf("key from keypad %d, which has no current question: ignored.", k);
        return;
    }
    QString text(QChar(f.key()));
    if (qqObject->questionType(c) == 5) {
        if (text == QLatin1String("A"))
            text = QStringLiteral("True");
        else if (text == QLatin1String("B"))
            text = QStringLiteral("False");
    }
    if (text == QLatin1String("G") || text == QLatin1String("F")) {
        if (text == QLatin1String("G"))
            c = c == 1 ? n : c - 1;
        else
            c = c == n ? 1 : c + 1;
        mapStudentQuestionNo.insert(k, c);
        PostStudentNextPre(k, c, qdObject->getStudentAnswer(c, k).isEmpty() ? 0 : 1);
        return;
    }
    bool answeredBefore = false;
    for (int q = 1; q <= n && !answeredBefore; ++q)
        answeredBefore = !qdObject->getStudentAnswer(q, k).isEmpty();
    if (QuestionRepondData::deviceNoToBtnNo(k) < 1)
        return;
    if (!answeredBefore)
        ++m_nAnsweredNum;
    qdObject->setStudentAnswer(c, k, text);
    qdObject->setStudentAnswerTime(1, k, m_quizStateScreenTimer);
    PostStudentAnswerState(k);
}
