#pragma once

#include "core/engine/QuestionRepondData.h"
#include "platform/Singleton.h"

#include <QList>
#include <QString>

#include <mutex>

// Every answer of the run, one record per question (question n at n-1), the asked-question list
// and the elimination bookkeeping (process-wide). q is a question number, d a device number.
class QuizData
{
public:
    static QuizData *shareManager() { return Singleton<QuizData>::instance(); }

    void clearQuestionRecord(int q);
    void clearQuestionRecordForPAndH(int n);
    void removeActivityRecord();
    // Question q leaves the run: its record and elimination count go, the records after it move
    // up one number, and the asked-question list drops q and renumbers the later questions, so
    // every question keeps its own answers.
    void removeQuestion(int q);
    int recordCount() const;
    // A copy of record q (a fresh, empty record past the end).
    QuestionRepondData record(int q) const;

    // These change nothing for a question without a record.
    void setStudentAnswer(int q, int d, const QString &answer);
    void setAllStudentAnswer(int q, int d, const QString &answer) { setStudentAnswer(q, d, answer); }
    void setStudentAnswerTime(int q, int d, int time);
    void setStudentPoint(int q, int d, int point);
    void setQuestionAppend(int q, int group, int point);

    QString getStudentAnswer(int q, int d) const;
    int getStudentAnswerTime(int q, int d) const;
    int getStudentPoint(int q, int d) const;
    int getQuestionAppend(int q, int group) const;
    int getSumOfAnswerStudents(int q) const;

    // The asked-question list.
    QList<int> arrayAlreadyTestQuestionNo() const;
    void setArrayAlreadyTestQuestionNo(const QList<int> &v);
    int getPageQuestionNo(int n) const;

    QList<int> arrayEliminationStudentsDeviceNo() const;
    void setArrayEliminationStudentsDeviceNo(const QList<int> &v);
    QList<int> arrayEliminationStudentsSum() const;

    void setEliminationModeJoinStudents(int count, int q);
    int getEliminationModeJoinStudents(int q) const;
    void setArrayAlreadyEliminationDeviceNo(const QList<int> &list, int q);
    QList<int> getArrayAlreadlyEliminationDeviceNo(int q) const;
    void setArrayAlreadyEliminationSum(int count, int q);
    int getArrayAlreadlyEliminationSum(int q) const;

private:
    QuizData() = default;
    friend class Singleton<QuizData>;

    QuestionRepondData *at(int q);
    const QuestionRepondData *at(int q) const;

    mutable std::recursive_mutex m_mutex;
    QList<QuestionRepondData> m_arrayRepondQuestions;
    QList<int> m_arrayAlreadyTestQuestionNo;
    QList<int> m_arrayEliminationStudentsDeviceNo;
    QList<int> m_arrayEliminationStudentsSum;
};
