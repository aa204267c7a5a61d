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
    loginListChanged();
}

void QuizParticipantData::loginWholeClass(bool emptyFirst)
{
    std::lock_guard lock(m_mutex);
    if (emptyFirst)
        m_arrayLoginStudents.clear();
    // A student already in keeps the one place: twice in the list would count twice everywhere.
    for (const StudentInClassPtr &s : std::as_const(m_arrayClassStudents))
        if (!m_arrayLoginStudents.contains(s))
            m_arrayLoginStudents.append(s);
    loginListChanged();
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
    return d == 0 ? -1 : loginIndexOf(d);
}

StudentInClassPtr QuizParticipantData::loginStudentWithDeviceNo(int d) const
{
    std::lock_guard lock(m_mutex);
    const int i = d == 0 ? -1 : loginIndexOf(d);
    return i < 0 ? nullptr : m_arrayLoginStudents[i];
}

int QuizParticipantData::loginPositionOfDeviceNo(int d) const
{
    std::lock_guard lock(m_mutex);
    return loginIndexOf(d) + 1;
}

void QuizParticipantData::loginListChanged()
{
    m_loginIndexValid = false;
}

int QuizParticipantData::loginIndexOf(int d) const
{
    const auto deviceAt = [this](qsizetype i) {
        const StudentInClassPtr &s = m_arrayLoginStudents[i];
        return s ? s->deviceNo() : 0;
    };
    if (m_loginIndexValid) {
        const auto it = m_loginIndexByDevice.constFind(d);
        if (it == m_loginIndexByDevice.constEnd())
            return -1;
        if (*it < m_arrayLoginStudents.size() && deviceAt(*it) == d)
            return *it;
    }
    // First use since the list changed, or a student's number changed behind the index.
    m_loginIndexByDevice.clear();
    m_loginIndexByDevice.reserve(m_arrayLoginStudents.size());
    // From the last to the first, so that of equal numbers the first student's index stays.
    for (qsizetype i = m_arrayLoginStudents.size() - 1; i >= 0; --i)
        m_loginIndexByDevice.insert(deviceAt(i), int(i));
    m_loginIndexValid = true;
    return m_loginIndexByDevice.value(d, -1);
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
            const int before = s->deviceNo();
            s->setDeviceNo(deviceNo);
            m_arrayLoginStudents.append(s);
            // A login appends a student with a fresh number: the index takes it in place. A
            // student without a number may already be on the list (as number 0): then the
            // index is made again when next asked.
            if (m_loginIndexValid && before == 0 && !m_loginIndexByDevice.contains(0)
                && !m_loginIndexByDevice.contains(deviceNo))
                m_loginIndexByDevice.insert(deviceNo, int(m_arrayLoginStudents.size()) - 1);
            else
                loginListChanged();
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
    loginListChanged();
}

void QuizParticipantData::removeActivityRecord()
{
    std::lock_guard lock(m_mutex);
    m_arrayLoginStudents.clear();
    loginListChanged();
}
