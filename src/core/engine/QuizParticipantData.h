#pragma once

#include "core/store/StudentInClass.h"
#include "platform/Singleton.h"

#include <QHash>
#include <QList>
#include <QMetaType>
#include <QString>

#include <atomic>
#include <memory>
#include <mutex>

// The class, subject and teacher of the run and its students; the logged-in list holds the same
// student objects as the class list, so a login's device number shows in both.
using StudentInClassPtr = std::shared_ptr<StudentInClass>;
Q_DECLARE_METATYPE(StudentInClassPtr)

class QuizParticipantData
{
public:
    static QuizParticipantData *shareManager() { return Singleton<QuizParticipantData>::instance(); }

    QList<StudentInClassPtr> arrayClassStudents() const;
    void setArrayClassStudents(const QList<StudentInClassPtr> &students);
    QList<StudentInClassPtr> arrayLoginStudents() const;
    void setArrayLoginStudents(const QList<StudentInClassPtr> &students);
    // Appends every class student to the logged-in list, emptying it first when asked; a student
    // already in the list is not appended again.
    void loginWholeClass(bool emptyFirst);

    int classNo() const { return m_classNo; }
    void setClassNo(int v) { m_classNo = v; }
    int subjectNo() const { return m_subjectNo; }
    void setSubjectNo(int v) { m_subjectNo = v; }
    int teacherNo() const { return m_teacherNo; }
    void setTeacherNo(int v) { m_teacherNo = v; }
    int maxGroupNo() const { return m_maxGroupNo; }
    void setMaxGroupNo(int v) { m_maxGroupNo = v; }
    QString className() const;
    void setClassName(const QString &v);
    QString subjectName() const;
    void setSubjectName(const QString &v);
    QString teacherName() const;
    void setTeacherName(const QString &v);

    int randomTeacherID() const { return m_randomTeacherID; }
    int randomQuizID() const { return m_randomQuizID; }
    int randomQuestionID() const { return m_randomQuestionID; }
    void resetRandomTeacherID();
    void resetRandomQuizID();
    void resetRandomQuestionID();
    // Tests fix the run's numbers to compare frame bytes.
    void setRandomTeacherID(int v) { m_randomTeacherID = v; }
    void setRandomQuizID(int v) { m_randomQuizID = v; }
    void setRandomQuestionID(int v) { m_randomQuestionID = v; }

    int getSumOfClassStudents() const;
    int getSumOfLoginStudents() const;
    // 0-based index of the first student carrying device number d; -1 when d is 0 or nobody has it.
    int getIndexWithDeviceNo(int d) const;
    int getIndexWithDeviceNoInLoginStus(int d) const;
    // The logged-in student carrying device number d, or null.
    StudentInClassPtr loginStudentWithDeviceNo(int d) const;
    // 1-based position of the first logged-in student carrying device number d (0 included), 0 when
    // nobody does. Every answer of a run asks this, so it is kept in an index, not searched.
    int loginPositionOfDeviceNo(int d) const;
    // Device numbers of the logged-in students, in login order.
    QList<int> loginDeviceNos() const;

    // Logs the class student with this ID in; returns the new device number, 0 when not in the class.
    int newLoginStudent(const QString &studentID);
    // Device number of the logged-in student with this ID, else 0.
    int isStudentLogin(const QString &studentID) const;
    StudentInClassPtr getStudentInfoFromClassUseStudentID(const QString &studentID) const;
    static StudentInClassPtr getStudentInfoFromDataBaseUseStudentID(const QString &studentID,
                                                                   const QString &studentName);

    void setNullInLoginStudent();
    void removeActivityRecord();

private:
    QuizParticipantData() = default;
    friend class Singleton<QuizParticipantData>;

    // With the lock held. The index follows every change of the logged-in list made here; device
    // numbers are only given here too, and a stale entry is caught by the check of every hit.
    int loginIndexOf(int d) const;
    void loginListChanged();

    mutable std::recursive_mutex m_mutex;
    QList<StudentInClassPtr> m_arrayClassStudents;
    QList<StudentInClassPtr> m_arrayLoginStudents;
    int m_classNo = 0;
    int m_subjectNo = 0;
    int m_teacherNo = 0;
    int m_maxGroupNo = 0;
    QString m_className;
    QString m_subjectName;
    QString m_teacherName;
    mutable QHash<int, int> m_loginIndexByDevice; // device number -> 0-based index of its first student
    mutable bool m_loginIndexValid = false;
    std::atomic<int> m_randomTeacherID{0};
    std::atomic<int> m_randomQuizID{0};
    std::atomic<int> m_randomQuestionID{0};
};
