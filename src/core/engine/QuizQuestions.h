#pragma once

#include "core/engine/QuizQuestionsElement.h"
#include "platform/Singleton.h"

#include <QList>
#include <QString>

#include <mutex>

// The question set being run (process-wide). Question n is 1-based: element n-1.
// The question broadcast thread reads it while the main thread may change it, so every access
// takes the object's lock.
class QuizQuestions
{
public:
    static QuizQuestions *shareManager() { return Singleton<QuizQuestions>::instance(); }

    QList<QuizQuestionsElement> arrayQuestions() const;
    void setArrayQuestions(const QList<QuizQuestionsElement> &questions);
    void addQuestion(const QuizQuestionsElement &question);
    int count() const;
    // A copy of question n, or a default element past the end.
    QuizQuestionsElement element(int n) const;

    QString strTestTitle() const;
    void setStrTestTitle(const QString &v);
    int nTestID() const;
    void setNTestID(int v);

    // Texts: empty past the end.
    QString questionTitle(int n) const;
    QString option(int k, int n) const; // k 0 for A .. 9 for J
    QString optionA(int n) const { return option(0, n); }
    QString optionB(int n) const { return option(1, n); }
    QString optionC(int n) const { return option(2, n); }
    QString optionD(int n) const { return option(3, n); }
    QString optionE(int n) const { return option(4, n); }
    QString optionF(int n) const { return option(5, n); }
    QString optionG(int n) const { return option(6, n); }
    QString optionH(int n) const { return option(7, n); }
    QString optionI(int n) const { return option(8, n); }
    QString optionJ(int n) const { return option(9, n); }
    QString standard(int n) const;
    QString standardTitle(int n) const;
    // Numbers: 0 past the end.
    int point(int n) const;
    int quizTime(int n) const;
    int rushPoint(int n) const;
    int rushTime(int n) const;
    int actionMode(int n) const;
    int nDiffcult(int n) const;
    // These treat n below 1 as 1.
    int questionType(int n) const;
    int optionNum(int n) const;
    QString answer(int n) const;

    void setQuestionType(int n, int questionType);
    void setActionMode(int n, int mode);
    void setOptionNum(int n, int option);
    void setAnswer(int n, const QString &answer);
    void setPoint(int n, int point);
    // Puts e in place of question n, padding the set with empty questions up to n.
    void setElement(int n, const QuizQuestionsElement &e);
    // Drops question n; the questions after it move up one number.
    void removeQuestion(int n);

    // Drops every teaching-plan page (question type 4).
    void removeTeachingPlan();
    // Drops the teaching-plan pages for good, then gives the count.
    int questionSumExcludeTeachingPlan();
    // Teaching-plan pages among questions 1 to n, without changing the set.
    int teachingPlanCountUpTo(int n) const;
    // Questions of the set that are not teaching-plan pages, counted without removing the pages:
    // question numbers of a running activity count them.
    int questionSumWithoutTeachingPlan() const;
    void removeAllQuestionsInfo();

private:
    QuizQuestions() = default;
    friend class Singleton<QuizQuestions>;

    const QuizQuestionsElement *at(int n) const; // caller holds the lock
    QuizQuestionsElement *at(int n);

    mutable std::recursive_mutex m_mutex;
    QList<QuizQuestionsElement> m_arrayQuestions;
    QString m_strTestTitle;
    int m_nTestID = 0;
};
