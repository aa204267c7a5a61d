#pragma once

#include "ConversionLetter.h"
#include "SelectSessionType.h"
#include "StudentMarkGrade.h"
#include "core/store/SessionSelect.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// How a course grade is computed from the ticked sessions of a grading period, the counted
// session types with their weights and a letter scale. For each student and counted type the
// ratio is the average of whole points / total mark over the type's sessions that rate him
// (TickedSessionScores::ratesStudent, the rule every gradebook report follows too: a run activity
// rates every student of the grid, 0 points for one who did not take part; a points-only session
// only the students it lists); the type's mark is weight x ratio, the total the sum of the
// marks rounded half up to 0.1 in single precision, and the letter the scale entry with the
// highest lower bound at or below the total.
class CourseGradeCalculator
{
public:
    struct Result
    {
        QList<StudentMarkGrade> rows;
        // Ticked sessions that could not be read, "name: reason" each; they count for nobody.
        QStringList unreadable;
    };
    using Progress = std::function<void(int step, int total)>;

    // Students of the ticked sessions in order of first appearance (sessions in the order given,
    // students in each session's order), told apart by ID. progress gets the sessions read (from
    // the reading threads) and then the students computed; it may be called from any thread.
    static Result compute(const QList<SelectSessionType> &types, const QList<SessionSelect> &ticked,
                          const QList<ConversionLetter> &letters, const Progress &progress = {});

    // The letter of the entry whose pointFrom is the highest at or below total, whatever the
    // letters' order (the first such entry when two start at the same point); "None" when none.
    static QString letterFor(float total, const QList<ConversionLetter> &letters);
    // The letter a report shows for a student's total: none ("") when the total was not computed
    // in full, as the grid shows it.
    static QString letterOfRow(const StudentMarkGrade &row, const QList<ConversionLetter> &letters);
    // The place of that entry in letters; -1 when none.
    static int letterIndexFor(float total, const QList<ConversionLetter> &letters);
    // The sum of the type marks rounded half up to one decimal in single precision: 85.37 gives
    // 85.4, 89.96 gives 90.0.
    static float roundedTotal(float sum);
    // The value as "%.1f" prints it, read back.
    static float oneDecimal(float value);
    // The average of the totals; 0 without students.
    static float classAverage(const QList<StudentMarkGrade> &rows);
};
