#include "QuizQuestions.h"

namespace {
constexpr int kTeachingPlanType = 4;
}

QList<QuizQuestionsElement> QuizQuestions::arrayQuestions() const
{
    std::lock_guard lock(m_mutex);
    return m_arrayQuestions;
}

void QuizQuestions::setArrayQuestions(const QList<QuizQuestionsElement> &questions)
{
    std::lock_guard lock(m_mutex);
    m_arrayQuestions = questions;
}

void QuizQuestions::addQuestion(const QuizQuestionsElement &question)
{
    std::lock_guard lock(m_mutex);
    m_arrayQuestions.append(question);
}

int QuizQuestions::count() const
{
    std::lock_guard lock(m_mutex);
    return int(m_arrayQuestions.size());
}

QuizQuestionsElement QuizQuestions::element(int n) const
{
    std::lock_guard lock(m_mutex);
    const auto *e = at(n);
    return e ? *e : QuizQuestionsElement();
}

QString QuizQuestions::strTestTitle() const
{
    std::lock_guard lock(m_mutex);
    return m_strTestTitle;
}

void QuizQuestions::setStrTestTitle(const QString &v)
{
    std::lock_guard lock(m_mutex);
    m_strTestTitle = v;
}

int QuizQuestions::nTestID() const
{
    std::lock_guard lock(m_mutex);
    return m_nTestID;
}

void QuizQuestions::setNTestID(int v)
{
    std::lock_guard lock(m_mutex);
    m_nTestID = v;
}

const QuizQuestionsElement *QuizQuestions::at(int n) const
{
    if (n < 1 || n > m_arrayQuestions.size())
        return nullptr;
    return &m_arrayQuestions[n - 1];
}

QuizQuestionsElement *QuizQuestions::at(int n)
{
    if (n < 1 || n > m_arrayQuestions.size())
        return nullptr;
    return &m_arrayQuestions[n - 1];
}

#define POLLIX_QQ_GETTER(Type, name, expr, fallback)                                               \
    Type QuizQuestions::name(int n) const                                                          \
    {                                                                                              \
        std::lock_guard lock(m_mutex);                                                             \
        const auto *e = at(n);                                                                     \
        return e ? e->expr() : fallback;                                                           \
    }

POLLIX_QQ_GETTER(QString, questionTitle, strTitle, QString())
POLLIX_QQ_GETTER(QString, standard, strStandard, QString())
POLLIX_QQ_GETTER(QString, standardTitle, strStandardTitle, QString())
POLLIX_QQ_GETTER(int, point, nPoint, 0)
POLLIX_QQ_GETTER(int, quizTime, nQuizTime, 0)
POLLIX_QQ_GETTER(int, rushPoint, nRushPoint, 0)
POLLIX_QQ_GETTER(int, rushTime, nRushTime, 0)
POLLIX_QQ_GETTER(int, actionMode, nActionMode, 0)
POLLIX_QQ_GETTER(int, nDiffcult, nDiffcult, 0)
#undef POLLIX_QQ_GETTER

QString QuizQuestions::option(int k, int n) const
{
    std::lock_guard lock(m_mutex);
    const auto *e = at(n);
    return e ? e->strOption(k) : QString();
}

int QuizQuestions::questionType(int n) const
{
    std::lock_guard lock(m_mutex);
    const auto *e = at(n < 1 ? 1 : n);
    return e ? e->nQuestionType() : 0;
}

int QuizQuestions::optionNum(int n) const
{
    std::lock_guard lock(m_mutex);
    const auto *e = at(n < 1 ? 1 : n);
    return e ? e->nOptionNum() : 0;
}

QString QuizQuestions::answer(int n) const
{
    std::lock_guard lock(m_mutex);
    const auto *e = at(n < 1 ? 1 : n);
    return e ? e->strAnswer() : QString();
}

void QuizQuestions::setQuestionType(int n, int questionType)
{
    std::lock_guard lock(m_mutex);
    if (auto *e = at(n))
        e->setNQuestionType(questionType);
}

void QuizQuestions::setActionMode(int n, int mode)
{
    std::lock_guard lock(m_mutex);
    if (auto *e = at(n))
        e->setNActionMode(mode);
}

void QuizQuestions::setOptionNum(int n, int option)
{
    std::lock_guard lock(m_mutex);
    if (auto *e = at(n))
        e->setNOptionNum(option);
}

void QuizQuestions::setAnswer(int n, const QString &answer)
{
    std::lock_guard lock(m_mutex);
    if (auto *e = at(n))
        e->setStrAnswer(answer);
}

void QuizQuestions::removeTeachingPlan()
{
    std::lock_guard lock(m_mutex);
    for (qsizetype i = m_arrayQuestions.size() - 1; i >= 0; --i)
        if (m_arrayQuestions[i].nQuestionType() == kTeachingPlanType)
            m_arrayQuestions.removeAt(i);
}

int QuizQuestions::questionSumExcludeTeachingPlan()
{
    std::lock_guard lock(m_mutex);
    removeTeachingPlan();
    return int(m_arrayQuestions.size());
}

int QuizQuestions::teachingPlanCountUpTo(int n) const
{
    std::lock_guard lock(m_mutex);
    int count = 0;
    for (qsizetype i = 0; i < m_arrayQuestions.size() && i < n; ++i)
        if (m_arrayQuestions[i].nQuestionType() == kTeachingPlanType)
            ++count;
    return count;
}

int QuizQuestions::questionSumWithoutTeachingPlan() const
{
    std::lock_guard lock(m_mutex);
    return count() - teachingPlanCountUpTo(count());
}

void QuizQuestions::removeAllQuestionsInfo()
{
    std::lock_guard lock(m_mutex);
    m_arrayQuestions.clear();
}

void QuizQuestions::setPoint(int n, int point)
{
    std::lock_guard lock(m_mutex);
    if (auto *e = at(n))
        e->setNPoint(point);
}

void QuizQuestions::setElement(int n, const QuizQuestionsElement &e)
{
    std::lock_guard lock(m_mutex);
    if (n < 1)
        return;
    while (m_arrayQuestions.size() < n)
        m_arrayQuestions.append(QuizQuestionsElement());
    m_arrayQuestions[n - 1] = e;
}

void QuizQuestions::removeQuestion(int n)
{
    std::lock_guard lock(m_mutex);
    if (n >= 1 && n <= m_arrayQuestions.size())
        m_arrayQuestions.removeAt(n - 1);
}
