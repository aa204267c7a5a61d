#pragma once

#include "SelectStudents.h"

#include <QList>
#include <QString>
#include <QStringList>

class QuizEntity;

// The report chooser's rules: which reports suit a session, which of them need ticked students,
// and the session's student check list. Report names are the English names (the string table's
// keys); activity names are those the session list shows.
class ReportChoice
{
public:
    ReportChoice() = delete;

    // The reports offered, in their order, for a session run by groups or not, of the activity
    // activityName, recorded with a keypad model (device type; -1 for an unknown model): the
    // "Absentee Report" only for models other than Arvel and Brevel.
    static QStringList reportsFor(bool isGroup, const QString &activityName, int deviceType);
    // A session counts as run by groups when it stored more than one group.
    static bool isGroupSession(const QuizEntity &quiz);
    // The reports over the whole class: opened with every student ticked, whatever the list says.
    static bool isClassWide(const QString &reportName);
    // Whether Preview needs a ticked student first: individual sessions, except votes, roll
    // calls and the class-wide reports.
    static bool needsTickedStudent(bool isGroup, const QString &activityName, const QString &reportName);
    // One unticked row per student of the session (numbered by their place in it), in the order
    // of the students' IDs read as numbers (3, 007, 12); equal numbers keep the session's order.
    static QList<SelectStudents> studentCheckList(const QuizEntity &quiz);
    // -1, 0 or 1 as the leading integers of the two IDs compare.
    static int sortStByID(const SelectStudents &a, const SelectStudents &b);
};
