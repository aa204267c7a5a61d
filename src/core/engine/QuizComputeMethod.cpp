#include "QuizComputeMethod.h"

#include "core/engine/QuizData.h"
#include "core/engine/QuizParticipantData.h"
#include "core/engine/QuizQuestions.h"

QuizComputeMethod::QuizComputeMethod()
    : m_qpd(QuizParticipantData::shareManager()), m_qd(QuizData::shareManager()), m_qq(QuizQuestions::shareManager())
{
}

bool QuizComputeMethod::getQuestionIsTest(int q) const
{
    return m_qd->arrayAlreadyTestQuestionNo().contains(q);
}

int QuizComputeMethod::getQuNoByPageNo(int q) const
{
    const qsizetype i = m_qd->arrayAlreadyTestQuestionNo().indexOf(q);
    return i < 0 ? 0 : int(i) + 1;
}

QString QuizComputeMethod::optionText(int k, int q) const
{
    if (m_qq->questionType(q) == 5) {
        if (k == 1)
            return QStringLiteral("True");
        if (k == 2)
            return QStringLiteral("False");
        return QString();
    }
    if (k < 1 || k > 10)
        return QString();
    return QString(QChar(u'A' + (k - 1)));
}

int QuizComputeMethod::getNumOfOption(int k, int q) const
{
    const QString text = optionText(k, q);
    if (text.isEmpty())
        return 0;
    int n = 0;
    for (int d : m_qpd->loginDeviceNos())
        if (m_qd->getStudentAnswer(q, d) == text)
            ++n;
    return n;
}

int QuizComputeMethod::getRateOption(int k, int q) const
{
    const int logged = m_qpd->getSumOfLoginStudents();
    return logged == 0 ? 0 : getNumOfOption(k, q) * 100 / logged;
}

int QuizComputeMethod::getNumOfAnswerCorrect(int q) const
{
    const QString right = m_qq->answer(q);
    const QList<int> devices = m_qpd->loginDeviceNos();
    const int nSlots = m_qd->getSumOfAnswerStudents(q);
    int n = 0;
    for (int i = 0; i < nSlots && i < devices.size(); ++i)
        if (!right.isEmpty() && m_qd->getStudentAnswer(q, devices[i]) == right)
            ++n; // no answer is never a right answer, also for a question without one
    return n;
}

int QuizComputeMethod::getRateOfAnswerCorrect(int q) const
{
    const int nSlots = m_qd->getSumOfAnswerStudents(q);
    return nSlots == 0 ? 0 : getNumOfAnswerCorrect(q) * 100 / nSlots;
}

int QuizComputeMethod::getNumOfNoAnswer(int q) const
{
    int n = 0;
    for (int d : m_qpd->loginDeviceNos())
        if (m_qd->getStudentAnswer(q, d).isEmpty())
            ++n;
    return n;
}

int QuizComputeMethod::getRateOfNoAnswer(int q) const
{
    const int e = int(m_qd->getArrayAlreadlyEliminationDeviceNo(q).size());
    // Students who logged in after the question started have no slot but are counted as not
    // answering; they belong in the base too, or the rate would pass 100.
    const int nSlots = qMax(m_qd->getSumOfAnswerStudents(q), m_qpd->getSumOfLoginStudents());
    if (nSlots <= e)
        return 0;
    return qMax(0, getNumOfNoAnswer(q) - e) * 100 / (nSlots - e);
}
