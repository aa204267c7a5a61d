#pragma once

#include "core/engine/QuizParticipantData.h"

#include <QList>
#include <QString>

// Students whose keypads logged in during a run with an ID the run's class does not hold, made
// members of the class (class store) and of the school roster (roster store), so that their
// keypads' next login is accepted. Either both stores take them or neither keeps them.
class ForceLoginEnrolment
{
public:
    struct Outcome
    {
        QList<StudentInClassPtr> added; // members of the class now (already members included)
        bool classFull = false;         // some were left out: the class holds the most it may
        bool failed = false;            // a store could not be written: nobody was added
        QString errorText;
    };

    // Adds the students, in order, while the class has room for them (limit: the most students
    // a class may hold). Each is stored with the keypad number it logged in with. IDs are
    // compared ignoring case: a student the class already holds is not added again, and one the
    // roster already holds joins the class only. The class and the roster are written as one
    // change (StoreTransaction): both take the students, or neither does.
    static Outcome enrol(const QList<StudentInClassPtr> &students, int classNo, int limit);

    // The run's class list read again from the class store, in its order. A student already in
    // `current` keeps its object, so the run's logged-in list and keypad numbers stay as they are.
    static QList<StudentInClassPtr> classList(int classNo, const QList<StudentInClassPtr> &current);
};
