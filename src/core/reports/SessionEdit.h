#pragma once

#include "ActionDetail.h"
#include "SingleColumnString.h"

#include "core/store/QuizEntity.h"

#include <QList>
#include <QString>
#include <QStringList>

// A stored session being corrected: its questions as editable rows with one answer cell per
// student, the points of each cell by the session's own rule (a Rush Quiz, and a Multiple Mode
// session on its rush questions, take the question's points off a wrong answer), and the record
// written back.
class SessionEdit
{
public:
    static QStringList levelNames();
    // The level name of a stored Level; "Other" for an empty or unknown one.
    static QString levelName(const QString &stored);

    // One row per question in file order, each with one cell per student in file order: the
    // student's answer to the question (StoredAnswers), "" when none.
    static QList<ActionDetail> questionRows(const QuizEntity &quiz);
    // One row per student: num the student's number, str the name, stuID the ID.
    static QList<SingleColumnString> studentRows(const QuizEntity &quiz);

    // The points of one cell; activityCode is the session's stored activity ("Mode").
    static int cellPoints(const QString &activityCode, const ActionDetail &row, const SingleColumnString &cell);
    // The average points per student over every cell; the answers of letter and true-or-false
    // questions are trimmed first and multiple answers sorted, stored back into rows. 0 without
    // students.
    static float averagePoints(const QString &activityCode, QList<ActionDetail> &rows, int studentCount);

    // The save check over every row: the first refusal's message and row (0-based) in *row; ""
    // when all pass, the correct answers then settled in rows.
    static QString refusal(QList<ActionDetail> &rows, int *row = nullptr);

    // The loaded record with the header and rows written in: each question takes its row's type,
    // correct answer, option count (options added or dropped), level, points, text and standard;
    // the answers are rebuilt as one record per cell under the question's stored number, scored,
    // each keeping the time of the answer it replaces (0 for a new one). With a receiver of
    // device type 2 or 3 (hostType) unanswered cells get no record.
    static QuizEntity saved(const QuizEntity &loaded, const QList<ActionDetail> &rows, const QString &name,
                            const QString &sessionType, const QString &subject, int hostType);
};
