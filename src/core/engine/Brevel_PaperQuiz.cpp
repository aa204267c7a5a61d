#include "Brevel_PaperQuiz.h"

#include "core/engine/KeypadCommands.h"
#include "core/engine/QuizData.h"
#include "core/engine/QuizQuestions.h"
#include "core/engine/TransferFrames.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"

#include <cstdlib>
#include <ctime>

Brevel_PaperQuiz::Brevel_PaperQuiz(QObject *parent) : QuizMode(parent)
{
    qpdObject->loginWholeClass(false);
    m_quizMode = 1;
}

void Brevel_PaperQuiz::modeStart(int n)
{
    // Teaching-plan pages are no questions: the keypads number the others from 1.
    m_nQuestionSum = qqObject->questionSumExcludeTeachingPlan();
    m_nTimeCount = 0;
    for (int q = 1; q <= m_nQuestionSum; ++q)
        m_nTimeCount += qqObject->quizTime(q);
    m_quizStateScreenTimer = m_nTimeCount;
    m_nAnsweredNum = 0;
    m_nQuestionNo = n;
    qdObject->clearQuestionRecordForPAndH(m_nQuestionSum);
    mapStudentQuestionNo.clear();
    for (int d : qpdObject->loginDeviceNos())
        mapStudentQuestionNo.insert(d, 1);
    askedListWholeSet(m_nQuestionSum);
}

void Brevel_PaperQuiz::PostStudentNextPre(int deviceNo, int questionNo, bool answered)
{
    NotificationCenter::defaultCenter()->postNotification(Notify::StudentNextPrevious,
                                                          {{Notify::Key::DeviceNo, deviceNo},
                                                           {Notify::Key::QuestionNo, questionNo},
                                                           {Notify::Key::AnswerState, answered ? 1 : 0}});
}

void Brevel_PaperQuiz::RX_StudentNormalAnswer()
{
    const int d = m_frameToHandle.deviceID();
    const int cur = currentQuestionOf(d);
    if (cur < 1 || cur > m_nQuestionSum) {
        PollixLogf("frame from keypad %d, which has no current question: ignored.", d);
        return;
    }
    if (m_frameToHandle.cmd() == 0xF8)
        navigate();
    else
        answer();
}

void Brevel_PaperQuiz::navigate()
{
    const ReceivedFrame &f = m_frameToHandle;
    const int d = f.deviceID();
    const int n = m_nQuestionSum;
    int cur = currentQuestionOf(d);
    const int key = f.dataLen() > 2 ? f.at(2) : -1;
    if (key == 1 || key == 0) {
        if (key == 1)
            cur = cur == n ? 1 : cur + 1;
        else
            cur = cur == 1 ? n : cur - 1;
        mapStudentQuestionNo.insert(d, cur);
        PostStudentNextPre(d, cur, !qdObject->getStudentAnswer(cur, d).isEmpty());
    }
    // The keypad shows the question it is on after every key, a moving one or not.
    std::srand(unsigned(time(nullptr)));
    const int r = std::rand();
    sendFrame(TransferFrames::positionReply(ActivityFrames::KeypadAddress::of(f), uint8_t(r & 0xFF),
                                            uint8_t((r >> 8) & 0xFF), cur));
}

void Brevel_PaperQuiz::answer()
{
    const ReceivedFrame &f = m_frameToHandle;
    const int d = f.deviceID();
    const int cur = currentQuestionOf(d);
    if (f.dataLen() < 6) {
        PollixLog(QStringLiteral("Brevel answer frame without an answer: ignored."));
        return;
    }
    const QString text = KeypadCommands::text(f.bytes().mid(6));
    if (text.isNull()) {
        PollixLog(QStringLiteral("answer is not valid UTF-8: ignored."));
        return;
    }
    if (QuestionRepondData::deviceNoToBtnNo(d) < 1)
        return;
    bool answeredBefore = false;
    for (int q = 1; q <= m_nQuestionSum && !answeredBefore; ++q)
        answeredBefore = !qdObject->getStudentAnswer(q, d).isEmpty();
    if (!answeredBefore)
        ++m_nAnsweredNum;
    qdObject->setStudentAnswer(cur, d, KeypadCommands::answerForType(text, qqObject->questionType(cur), false));
    qdObject->setStudentAnswerTime(1, d, m_quizStateScreenTimer);
    PostStudentAnswerState(d);
}
