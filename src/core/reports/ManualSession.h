#pragma once

#include "ActionDetail.h"

#include "core/store/QuizEntity.h"
#include "core/store/StudentEntity.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// A session the teacher entered by hand, with questions and every student's answers, made into
// the record the session store writes (a Normal Quiz, activity code "1").
class ManualSession
{
public:
    struct Header
    {
        QString name, title, sessionType, className, subject, teacherName;
        QDate day;
        // The receiver's device type when the window opened (-1: none).
        int deviceType = -1;
    };
    // A session record entered by hand with the header's fields, activity code "1" (Normal Quiz),
    // the model of the receiver, and the chosen day at now's time ("YYYY-MM-DDTHH:MM:SS") as its
    // creation and start time. The title is left to the caller.
    static QuizEntity stamped(const Header &header, const QString &now);
    // The position in names of the session type a new entry starts with: the type a Normal Quiz
    // run is filed under, else the first; -1 for no names.
    static int defaultSessionType(const QStringList &names);
    // The difficulty names, stored as their position.
    static QStringList levelNames();

    // The save check over every question, before anything is written: the first refusal's
    // message and the question's position (0-based) in *question; "" when all pass, the correct
    // answers then settled in questions (an empty one becomes "No Answer").
    static QString refusal(QList<ActionDetail> &questions, int *question = nullptr);

    // The session record: header, questions numbered 1 to n, the class's students logged in at
    // now, one answer per student and question (device types 2 and 3 leave unanswered ones out).
    // A multiple answer's correct answer is sorted and stored back into questions. now is the
    // "YYYY-MM-DDTHH:MM:SS" of the save; the day's text and now's time make the session's time.
    static QuizEntity build(const Header &header, QList<ActionDetail> &questions, QList<StudentEntity> students,
                            const QString &now);
};
