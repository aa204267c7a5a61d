#pragma once

#include "core/engine/QuizParticipantData.h"

#include <QList>
#include <QString>

// The figures of the activities that ask no question: who answered the roll call and which group
// each student chose. Both read the answers recorded on question 1.
class RollCallFigures
{
public:
    // Attendance: the class students whose keypad did not answer (in class order); a student
    // who never logged in is absent.
    static QList<StudentInClassPtr> absentees();
    // The rate shown beside a count: count / participants as "%.2f%%"; "0.00%" with no participants.
    static QString rate(int count, int participants);

    // Quick grouping: the group (1..7) an answer chooses, from its first letter "A" to "G";
    // 0 for no answer or any other key.
    static int groupOfAnswer(const QString &answer);
    // How many logged-in students chose each group: groups 1..7 at 0..6, then those who chose
    // none at 7.
    static QList<int> groupCounts();
    static constexpr int GroupCount = 7;
};
