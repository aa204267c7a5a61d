#pragma once

#include <QFlags>
#include <QList>
#include <QString>

// Which run controls an activity offers and which of them are live at a given moment. The
// activity window (and every later run window) applies the answer in one place; a teacher key
// and a mouse click both go through the control, so the answer also decides which keys work.
class RunControls
{
public:
    enum Control : unsigned {
        Start = 1u << 0,   // also Pause while a question runs
        Stop = 1u << 1,
        Next = 1u << 2,
        Previous = 1u << 3,
        Result = 1u << 4,
        Report = 1u << 5,
        Exit = 1u << 6,
        SendQuestions = 1u << 7,
        TimeUp = 1u << 8,
        TimeDown = 1u << 9,
        Read = 1u << 10,
        AnswerSetting = 1u << 11,
        Toggle = 1u << 12,
    };
    Q_DECLARE_FLAGS(Controls, Control)

    enum class Phase {
        Opened,        // no question has run yet
        Running,       // a question runs (or is paused)
        AwaitingRush,  // a rush question runs and no student has won it yet
        Stopped,       // between questions, after at least one has run
    };

    struct Situation
    {
        int activity = 0;
        int deviceType = -1;
        Phase phase = Phase::Opened;
        bool questionRun = false;  // the current question has been run in this window
        int questionNo = 1;        // current question, 1-based
        int questionCount = 0;     // questions (pages) in the run
        int actionMode = 0;        // the current question's action mode (Multiple Mode)
        // Free style: the current question's correct answer is still unset, and the question was
        // set on the teacher keypad (with its answer) rather than written with the toolbar.
        bool answerEmpty = false;
        bool setFromKeypad = false;
    };

    // The controls the activity shows on this receiver (the others are hidden for the run).
    static Controls shown(int activity, int deviceType);
    // The controls that are live; always a subset of shown().
    static Controls enabled(const Situation &s);

    // Whether a question may start: not a teaching plan, a right answer unless the run is a
    // vote, and a type the keypads answer (Envel and Arvel: single answer and true or false).
    static bool canStartQuestion(int activity, int deviceType, int questionType, const QString &answer);
    // Whether the receiver's keypads can answer a question of the type: Envel and Arvel keypads
    // answer single-answer and true-or-false questions only.
    static bool keypadsAnswer(int deviceType, int questionType);
    // The questions of a set (numbers from 1, in order) that a run of the activity can only show
    // as teaching pages, since the keypads cannot answer them; none when the activity hands the
    // set to the keypads instead of starting each question.
    static QList<int> unanswerableQuestions(int activity, int deviceType, const QList<int> &questionTypes);
    // The field between questions once the question shown has run: "All Done" when every
    // question of the set (teaching plans aside) has run, else "Done".
    static QString doneText(int questionsRun, int questionsInSet);
    // Whether that field says anything: only between questions, for a question shown that has
    // run. A question asked again is no question done while it runs.
    static bool doneShown(Phase phase, bool questionRun);
};

Q_DECLARE_OPERATORS_FOR_FLAGS(RunControls::Controls)
