#include "QuizParticipantData.h"

#include <cstdlib>

QList<StudentInClassPtr> QuizParticipantData::arrayClassStudents() const
{
    std::lock_guard lock(m_mutex);
    return m_arrayClassStudents;
}

void QuizParticipantData::setArrayClassStudents(const QList<StudentInClassPtr> &students)
{
    std::lock_guard lock(m_mutex);
    m_arrayClassStudents = students;
}

QList<StudentInClassPtr> QuizParticipantData::arrayLoginStudents() const
{
    std::lock_guard lock(m_mutex);
    return m_arrayLoginStudents;
}

void QuizParticipantData::setArrayLoginStudents(const QList<StudentInClassPtr> &students)
{
    std::lock_guard lock(m_mutex);
    m_arrayLoginStudents = students;
}

void QuizParticipantData::loginWholeClass(bool emptyFirst)
{
    std::lock_guard lock(m_mutex);
    if (emptyFirst)
        m_arrayLoginStudents.clear();
    m_arrayLoginStudents.append(m_arrayClassStudents);
}

QString QuizParticipantData::className() const
{
    std::lock_guard lock(m_mutex);
    return m_className;
}

void QuizParticipantData::setClassName(const QString &v)
{
    std::lock_guard lock(m_mutex);
    m_className = v;
}

QString QuizParticipantData::subjectName() const
{
    std::lock_guard lock(m_mutex);
    return m_subjectName;
}

void QuizParticipantData::setSubjectName(const QString &v)
{
    std::lock_guard lock(m_mutex);
    m_subjectName = v;
}

QString QuizParticipantData::teacherName() const
{
    std::lock_guard lock(m_mutex);
    return m_teacherName;
}

void QuizParticipantData::setTeacherName(const QString &v)
{
    std::lock_guard lock(m_mutex);
    m_teacherName = v;
}

void QuizParticipantData::resetRandomTeacherID()
{
    m_randomTeacherID = std::rand();
}

void QuizParticipantData::resetRandomQuizID()
{
    m_randomQuizID = std::rand();
}

void QuizParticipantData::resetRandomQuestionID()
{
    m_randomQuestionID = std::rand();
}

int QuizParticipantData::getSumOfClassStudents() const
{
    std::lock_guard lock(m_mutex);
    return int(m_arrayClassStudents.size());
}

int QuizParticipantData::getSumOfLoginStudents() const
{
    std::lock_guard lock(m_mutex);
    return int(m_arrayLoginStudents.size());
}

namespace {
int indexWithDeviceNo(const QList<StudentInClassPtr> &list, int d)
{
    if (d == 0)
        return -1;
    for (qsizetype i = 0; i < list.size(); ++i)
        if (list[i] && list[i]->deviceNo() == d)
            return int(i);
    return -1;
}
} // namespace

int QuizParticipantData::getIndexWithDeviceNo(int d) const
{
    std::lock_guard lock(m_mutex);
    return indexWithDeviceNo(m_arrayClassStudents, d);
}

int QuizParticipantData::getIndexWithDeviceNoInLoginStus(int d) const
{
    std::lock_guard lock(m_mutex);
    return indexWithDeviceNo(m_arrayLoginStudents, d);
}

StudentInClassPtr QuizParticipantData::loginStudentWithDeviceNo(int d) const
{
    std::lock_guard lock(m_mutex);
    const int i = indexWithDeviceNo(m_arrayLoginStudents, d);
    return i < 0 ? nullptr : m_arrayLoginStudents[i];
}

QList<int> QuizParticipantData::loginDeviceNos() const
{
    std::lock_guard lock(m_mutex);
    QList<int> out;
    out.reserve(m_arrayLoginStudents.size());
    for (const auto &s : m_arrayLoginStudents)
        out << (s ? s->deviceNo() : 0);
    return out;
}

int QuizParticipantData::newLoginStudent(const QString &studentID)
{
    std::lock_guard lock(m_mutex);
    for (const auto &s : m_arrayClassStudents) {
        if (s && s->studentID() == studentID) {
            const int deviceNo = int(m_arrayLoginStudents.size()) + 1;
            s->setDeviceNo(deviceNo);
            m_arrayLoginStudents.append(s);
            return deviceNo;
        }
    }
    return 0;
}

int QuizParticipantData::isStudentLogin(const QString &studentID) const
{
    std::lock_guard lock(m_mutex);
    for (const auto &s : m_arrayLoginStudents)
        if (s && s->studentID() == studentID)
            return s->deviceNo();
    return 0;
}

StudentInClassPtr QuizParticipantData::getStudentInfoFromClassUseStudentID(const QString &studentID) const
{
    std::lock_guard lock(m_mutex);
    for (const auto &s : m_arrayClassStudents)
        if (s && s->studentID() == studentID)
            return s;
    return nullptr;
}

StudentInClassPtr QuizParticipantData::getStudentInfoFromDataBaseUseStudentID(const QString &studentID,
                                                                              const QString &studentName)
{
    auto s = std::make_shared<StudentInClass>();
    s->setStudentID(studentID);
    s->setStudentFullName(studentName);
    return s;
}

void QuizParticipantData::setNullInLoginStudent()
{
    std::lock_guard lock(m_mutex);
    for (const auto &s : m_arrayClassStudents)
        if (s)
            s->setDeviceNo(0);
}

void QuizParticipantData::removeActivityRecord()
{
    std::lock_guard lock(m_mutex);
    m_arrayLoginStudents.clear();
}
