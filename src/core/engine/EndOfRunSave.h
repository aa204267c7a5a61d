#pragma once

#include "core/store/QuizEntity.h"
#include "core/store/StudentEntity.h"

#include <QList>
#include <QString>
#include <QStringList>

// The end-of-run save without any window: the run's shared data (participants, questions and
// answers) becomes one session record, written as one session file in the data folder. The save
// dialog goes through it after the teacher named the session; so can a save that has nobody to
// ask. Where the session went (or why it did not) is given back to the caller, which shows it.
class EndOfRunSave
{
public:
    // What the run hands over at its end.
    struct Run
    {
        QString strFileName; // the question file's name with its extension, or empty
        int curDeviceType = -1;
        int curActivityMode = 0;
        bool bIsFreeStyle = false;
        int nIsGroup = 0;                        // non-zero: a group session
        QList<StudentEntity> arrStuLoginContentTime; // every class student with the last login time
        QStringList arrQuizTime;                 // the run's start, end and counted seconds
    };

    // The name the dialog proposes, so that OK (the teacher keypad's F1) saves at once: "Quick
    // Grouping" for quick grouping; the question file's name without its extension; for a run
    // without a question file of its own (survey, attendance, free style, hand raise, or none
    // given) the activity's name with the date and minute the run started, "Attendance
    // 2026-12-07 09:30", followed by " (2)", " (3)", ... while a saved session has that name.
    static QString proposedName(const Run &run);
    // The Test Title a run's session is stored (and listed in the Report window) under: the
    // question file's name with its extension; none for a free-style run, which has no file.
    static QString testTitle(int activity, bool freeStyle, const QString &fileName);
    // Quick grouping keeps nothing.
    static bool keepsNothing(int activity) { return activity == 13; }
    // Attendance and hand raise keep the roll call; every other run its questions and answers.
    static bool keepsRollCall(int activity) { return activity == 8 || activity == 14; }

    // The session record of a normal run. A free-style run is stored as its base activity without
    // a title: run's activity and file name are changed to those.
    static QuizEntity NormalSave(const QString &name, Run &run);
    // The session record of an attendance or hand-raise run.
    static QuizEntity RollCallSave(const QString &name, const Run &run);
    // Builds the run's record under name and writes it; *writtenPath gets the file's path (left
    // empty for quick grouping). False with the reason, the run's data untouched, when the file
    // could not be written.
    static bool save(const QString &name, Run run, QString *writtenPath, QString *errorText);
    // Writes a run's session record as its own session file: named after the session and the
    // time it was made, as every run's is. *writtenPath gets the file's path.
    static bool write(QuizEntity &quiz, QString *writtenPath, QString *errorText);
    // Drops the run's answers and asked questions (after a save or a confirmed cancel).
    static void removeQuizRecord();
    // A text stored in a session: up to 230 characters whole, a longer one cut to 227 and "...".
    static QString getMaxLengString(const QString &text);
};
