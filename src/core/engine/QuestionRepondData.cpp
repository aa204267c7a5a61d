#include "QuestionRepondData.h"

#include "core/engine/QuizParticipantData.h"

namespace {
template <typename T>
void storeAt(QList<T> &list, int position, const T &value, const T &filler)
{
    while (list.size() < position)
        list.append(filler);
    list[position - 1] = value;
}

template <typename T>
T readAt(const QList<T> &list, int position, const T &fallback)
{
    if (position < 1 || position > list.size())
        return fallback;
    return list[position - 1];
}
} // namespace

void QuestionRepondData::reflashLoginStudentsRecord()
{
    const int logged = QuizParticipantData::shareManager()->getSumOfLoginStudents();
    while (m_studentsAnswer.size() < logged) {
        m_studentsAnswer.append(QString());
        m_studentsAnswerTime.append(0);
        m_studentsPoint.append(0);
    }
}

void QuestionRepondData::removeRecord()
{
    m_studentsAnswer.clear();
    m_studentsAnswerTime.clear();
    m_studentsPoint.clear();
    reflashLoginStudentsRecord();
}

int QuestionRepondData::deviceNoToBtnNo(int d)
{
    const int position = QuizParticipantData::shareManager()->loginPositionOfDeviceNo(d);
    return position > 0 ? position : -1;
}

void QuestionRepondData::setStudentAnswer(int d, const QString &answer)
{
    const int p = deviceNoToBtnNo(d);
    if (p < 1)
        return;
    // A keypad's empty answer is kept as one blank so that it still counts as answered.
    storeAt(m_studentsAnswer, p, answer.isEmpty() ? QStringLiteral(" ") : answer, QString());
}

void QuestionRepondData::setStudentAnswerTime(int d, int time)
{
    const int p = deviceNoToBtnNo(d);
    if (p >= 1)
        storeAt(m_studentsAnswerTime, p, time, 0);
}

void QuestionRepondData::setStudentPoint(int d, int point)
{
    const int p = deviceNoToBtnNo(d);
    if (p >= 1)
        storeAt(m_studentsPoint, p, point, 0);
}

QString QuestionRepondData::studentAnswer(int d) const
{
    return readAt(m_studentsAnswer, deviceNoToBtnNo(d), QString());
}

int QuestionRepondData::studentAnswerTime(int d) const
{
    return readAt(m_studentsAnswerTime, deviceNoToBtnNo(d), 0);
}

int QuestionRepondData::studentPoint(int d) const
{
    return readAt(m_studentsPoint, deviceNoToBtnNo(d), 0);
}

void QuestionRepondData::setGroupPoint(int g, int point)
{
    if (g >= 1)
        storeAt(m_groupsAppendPoint, g, point, 0);
}

int QuestionRepondData::groupPoint(int g) const
{
    return readAt(m_groupsAppendPoint, g, 0);
}
