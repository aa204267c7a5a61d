#pragma once

#include <QList>
#include <QString>

// One question's record: per logged-in position, the answer (empty = no answer yet), its time
// and points; extra points per group; the elimination state when the question started.
class QuestionRepondData
{
public:
    // Pads the per-student lists up to the logged-in count.
    void reflashLoginStudentsRecord();
    void removeRecord();

    // 1-based position of the logged-in student carrying device number d; -1 if none.
    static int deviceNoToBtnNo(int d);

    void setStudentAnswer(int d, const QString &answer);
    void setStudentAnswerTime(int d, int time);
    void setStudentPoint(int d, int point);
    QString studentAnswer(int d) const;
    int studentAnswerTime(int d) const;
    int studentPoint(int d) const;

    void setGroupPoint(int g, int point);
    int groupPoint(int g) const;

    int getSumOfAnswerStudents() const { return int(m_studentsAnswer.size()); }

    QList<QString> studentsAnswer() const { return m_studentsAnswer; }
    QList<int> studentsAnswerTime() const { return m_studentsAnswerTime; }
    QList<int> studentsPoint() const { return m_studentsPoint; }
    QList<int> groupsAppendPoint() const { return m_groupsAppendPoint; }

    QList<int> arrayAlreadyEliminationDeviceNo() const { return m_arrayAlreadyEliminationDeviceNo; }
    void setArrayAlreadyEliminationDeviceNo(const QList<int> &v) { m_arrayAlreadyEliminationDeviceNo = v; }
    int nEliminationJoinStudents() const { return m_nEliminationJoinStudents; }
    void setNEliminationJoinStudents(int v) { m_nEliminationJoinStudents = v; }

private:
    QList<QString> m_studentsAnswer;
    QList<int> m_studentsAnswerTime;
    QList<int> m_studentsPoint;
    QList<int> m_groupsAppendPoint;
    QList<int> m_arrayAlreadyEliminationDeviceNo;
    int m_nEliminationJoinStudents = 0;
};
