#pragma once

#include "ClassStudyGuideLayout.h"
#include "SingleColumnString.h"

#include <QList>
#include <QString>

class ReportPainter;

// One page of the Class Study Guide: the title, note and student bars, how many of the session's
// questions the student missed and what share that is, and the page's missed questions, each
// with its number, its correct answer and the student's answer.
class ClassStudyGuideView
{
public:
    // entries: the student's missed questions on this page (num the question's number, str the
    // reply); missed: all of the student's; questionArray: num the question's number, str its
    // correct answer.
    ClassStudyGuideView(const ClassStudyGuideLayout &layout, const QString &studentID, const QString &studentName,
                        const QList<SingleColumnString> &entries, int missed,
                        const QList<SingleColumnString> &questionArray);

    // "You missed m out of n questions for p% incorrect." with format's %1, %2 and %3; a session
    // without questions has missed nothing: 0.0%.
    static QString summary(const QString &format, int missed, int questions);
    static QString summaryFormat() { return QStringLiteral("You missed %1 out of %2 questions for %3% incorrect."); }
    // The correct answer of the question numbered num (its first entry).
    static QString correctAnswer(const QList<SingleColumnString> &questionArray, int num);

    void paint(ReportPainter &painter) const;

private:
    const ClassStudyGuideLayout &m_layout;
    QString m_studentID, m_studentName;
    QList<SingleColumnString> m_entries;
    int m_missed;
    const QList<SingleColumnString> &m_questions;
};
