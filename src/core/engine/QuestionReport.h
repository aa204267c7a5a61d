#pragma once

#include "core/engine/ActivityRules.h"
#include "core/engine/QuizParticipantData.h"

#include <QList>
#include <QString>
#include <QStringList>

// The question report of a run: for the question in hand, one row per logged-in student in
// login order with the points of the question, the answer time and the running total, laid out
// and scored by the activity (Survey: one row per question asked). Cells are given by the
// column's identifier; the figures are read once, when the report is made.
class QuestionReport
{
public:
    struct Column
    {
        QString identifier; // also the column's title
        double width;       // share of the table's width
    };

    QuestionReport(int activity, int q);

    // The columns of the activity's report, in order.
    static QList<Column> columns(int activity);

    int activity() const { return m_activity; }
    int questionNo() const { return m_q; }
    int rowCount() const { return int(m_rows.size()); }
    QString cell(int row, const QString &identifier) const;
    // The logged-in student of a row; null in a Survey report or past the rows.
    StudentInClassPtr student(int row) const;

    // The average points per logged-in student, as the report shows it ("0" with nobody logged in).
    QString averageText() const { return m_average; }
    // Elimination questions show no average.
    bool showsAverage() const;
    // Only the one-question layout opens the result details of the question.
    bool offersResultDetails() const;
    // The answer the result details reveal: the correct answer, or one blank for a page without
    // one (a teaching plan, or "nocorrect").
    QString resultDetailsAnswer() const;
    // A row opens the student's answer details (not in a Survey report).
    bool opensAnswerDetails() const;

    // How an answer reads in a report: "__" (no answer) shows blank.
    static QString shownAnswer(const QString &answer);

private:
    int m_activity;
    int m_q;
    ActivityRule::Report m_layout;
    QList<StudentInClassPtr> m_students;
    QList<QStringList> m_rows; // cells by m_identifiers
    QStringList m_identifiers;
    QString m_average;
};
