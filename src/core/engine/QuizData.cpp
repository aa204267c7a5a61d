#include "QuizData.h"

#include "core/engine/FreeStyleQuestions.h"

namespace {
QuestionRepondData freshRecord()
{
    QuestionRepondData r;
    r.reflashLoginStudentsRecord();
    return r;
}
} // namespace

QuestionRepondData *QuizData::at(int q)
{
    if (q < 1 || q > m_arrayRepondQuestions.size())
        return nullptr;
    return &m_arrayRepondQuestions[q - 1];
}

const QuestionRepondData *QuizData::at(int q) const
{
    if (q < 1 || q > m_arrayRepondQuestions.size())
        return nullptr;
    return &m_arrayRepondQuestions[q - 1];
}

void QuizData::clearQuestionRecord(int q)
{
    std::lock_guard lock(m_mutex);
    if (q < 1)
        return;
    if (q <= m_arrayRepondQuestions.size()) {
        m_arrayRepondQuestions[q - 1] = freshRecord();
        return;
    }
    while (m_arrayRepondQuestions.size() < q)
        m_arrayRepondQuestions.append(freshRecord());
}

void QuizData::clearQuestionRecordForPAndH(int n)
{
    std::lock_guard lock(m_mutex);
    m_arrayRepondQuestions.clear();
    for (int i = 0; i < n; ++i)
        m_arrayRepondQuestions.append(freshRecord());
}

void QuizData::removeActivityRecord()
{
    std::lock_guard lock(m_mutex);
    m_arrayRepondQuestions.clear();
    m_arrayAlreadyTestQuestionNo.clear();
    m_arrayEliminationStudentsDeviceNo.clear();
    m_arrayEliminationStudentsSum.clear();
}

void QuizData::removeQuestion(int q)
{
    std::lock_guard lock(m_mutex);
    if (q < 1)
        return;
    if (q <= m_arrayRepondQuestions.size())
        m_arrayRepondQuestions.removeAt(q - 1);
    if (q <= m_arrayEliminationStudentsSum.size())
        m_arrayEliminationStudentsSum.removeAt(q - 1);
    FreeStyleQuestions::removeQuestionNumber(m_arrayAlreadyTestQuestionNo, q);
}

int QuizData::recordCount() const
{
    std::lock_guard lock(m_mutex);
    return int(m_arrayRepondQuestions.size());
}

QuestionRepondData QuizData::record(int q) const
{
    std::lock_guard lock(m_mutex);
    const auto *r = at(q);
    return r ? *r : QuestionRepondData();
}

void QuizData::setStudentAnswer(int q, int d, const QString &answer)
{
    std::lock_guard lock(m_mutex);
    if (auto *r = at(q))
        r->setStudentAnswer(d, answer);
}

void QuizData::setStudentAnswerTime(int q, int d, int time)
{
    std::lock_guard lock(m_mutex);
    if (auto *r = at(q))
        r->setStudentAnswerTime(d, time);
}

void QuizData::setStudentPoint(int q, int d, int point)
{
    std::lock_guard lock(m_mutex);
    if (auto *r = at(q))
        r->setStudentPoint(d, point);
}

void QuizData::setQuestionAppend(int q, int group, int point)
{
    std::lock_guard lock(m_mutex);
    if (auto *r = at(q))
        r->setGroupPoint(group, point);
}

QString QuizData::getStudentAnswer(int q, int d) const
{
    std::lock_guard lock(m_mutex);
    const auto *r = at(q);
    return r ? r->studentAnswer(d) : QString();
}

int QuizData::getStudentAnswerTime(int q, int d) const
{
    std::lock_guard lock(m_mutex);
    const auto *r = at(q);
    return r ? r->studentAnswerTime(d) : 0;
}

int QuizData::getStudentPoint(int q, int d) const
{
    std::lock_guard lock(m_mutex);
    const auto *r = at(q);
    return r ? r->studentPoint(d) : 0;
}

int QuizData::getQuestionAppend(int q, int group) const
{
    std::lock_guard lock(m_mutex);
    const auto *r = at(q);
    return r ? r->groupPoint(group) : 0;
}

int QuizData::getSumOfAnswerStudents(int q) const
{
    std::lock_guard lock(m_mutex);
    const auto *r = at(q);
    return r ? r->getSumOfAnswerStudents() : 0;
}

QList<int> QuizData::arrayAlreadyTestQuestionNo() const
{
    std::lock_guard lock(m_mutex);
    return m_arrayAlreadyTestQuestionNo;
}

void QuizData::setArrayAlreadyTestQuestionNo(const QList<int> &v)
{
    std::lock_guard lock(m_mutex);
    m_arrayAlreadyTestQuestionNo = v;
}

int QuizData::getPageQuestionNo(int n) const
{
    std::lock_guard lock(m_mutex);
    const qsizetype i = m_arrayAlreadyTestQuestionNo.indexOf(n);
    return i < 0 ? -1 : int(i) + 1;
}

QList<int> QuizData::arrayEliminationStudentsDeviceNo() const
{
    std::lock_guard lock(m_mutex);
    return m_arrayEliminationStudentsDeviceNo;
}

void QuizData::setArrayEliminationStudentsDeviceNo(const QList<int> &v)
{
    std::lock_guard lock(m_mutex);
    m_arrayEliminationStudentsDeviceNo = v;
}

QList<int> QuizData::arrayEliminationStudentsSum() const
{
    std::lock_guard lock(m_mutex);
    return m_arrayEliminationStudentsSum;
}

void QuizData::setEliminationModeJoinStudents(int count, int q)
{
    std::lock_guard lock(m_mutex);
    if (auto *r = at(q))
        r->setNEliminationJoinStudents(count);
}

int QuizData::getEliminationModeJoinStudents(int q) const
{
    std::lock_guard lock(m_mutex);
    const auto *r = at(q);
    return r ? r->nEliminationJoinStudents() : 0;
}

void QuizData::setArrayAlreadyEliminationDeviceNo(const QList<int> &list, int q)
{
    std::lock_guard lock(m_mutex);
    if (auto *r = at(q))
        r->setArrayAlreadyEliminationDeviceNo(list);
}

QList<int> QuizData::getArrayAlreadlyEliminationDeviceNo(int q) const
{
    std::lock_guard lock(m_mutex);
    const auto *r = at(q);
    return r ? r->arrayAlreadyEliminationDeviceNo() : QList<int>();
}

void QuizData::setArrayAlreadyEliminationSum(int count, int q)
{
    std::lock_guard lock(m_mutex);
    if (q < 1)
        return;
    while (m_arrayEliminationStudentsSum.size() < q)
        m_arrayEliminationStudentsSum.append(0);
    m_arrayEliminationStudentsSum[q - 1] = count;
}

int QuizData::getArrayAlreadlyEliminationSum(int q) const
{
    std::lock_guard lock(m_mutex);
    if (q < 1 || q > m_arrayEliminationStudentsSum.size())
        return 0;
    return m_arrayEliminationStudentsSum[q - 1];
}
