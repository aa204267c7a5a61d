#pragma once

#include "core/base/ActivityCodes.h"

#include <QString>
#include <QStringList>

// How each activity behaves in a run, one row per activity number. The activity window, the
// end-of-run save and the windows that follow ask here instead of testing activity numbers, so a
// new activity is a row, not a branch in every window.
struct ActivityRule
{
    // Where the run's questions come from.
    enum class Pages {
        QuestionFile,            // the loaded question file, every page
        QuestionFileNoPlans,     // the loaded file without its teaching-plan pages (Paper Quiz)
        None,                    // no questions (Attendance, Quick Grouping)
        Editable,                // blank pages the teacher writes during the run (free style)
    };
    // What the time field shows for a question.
    enum class Time {
        QuizTime,                // the question's time limit
        RushTime,                // its rush time limit
        ActionModeTime,          // rush time for a rush question, else the time limit (Multiple Mode)
        SumOfQuizTimes,          // the whole set at once (Paper Quiz)
        Assigning,               // no count-down: "Assigning" / "Receiving..." (Homework)
        Minute,                  // a fixed 60 seconds
    };
    // What Start does after the common steps.
    enum class Start {
        CountDown,               // count down; every student back to normal on the grid
        Rush,                    // wait for a student to win the rush before counting down
        Elimination,             // count down; eliminated students stay marked
        PaperQuiz,               // count down the whole set; per-student answers cleared
        HomeWork,                // keypads hand in; no count-down
        RollCall,                // count down one minute on question 1
        ByActionMode,            // the question's own action mode decides (Multiple Mode)
        Nothing,                 // resolved Multiple Mode step for an action mode without one
    };
    // What Stop does besides stopping the count-down and setting the controls.
    enum class Stop {
        Question,                // a rush chance left untaken is marked wrong on the grid
        Plain,
        RollCall,                // the roll is over: nothing more is recorded for the question
        Survey,                  // only the count-down stops
    };
    // Student grid style (StudentLoginView::setLoginViewStyle).
    enum class Grid { Normal = 1, RollCall = 2, PaperQuiz = 3, HandRaise = 4 };
    // The grid after Next: everyone normal, or only those who answered a question right.
    enum class NextGrid { AllNormal, RightOnThisQuestion, RightOnPreviousQuestion };
    // The window Result opens.
    enum class ResultWindow { QuizResult, Histogram, RollCallResult, QuickGroupingResult, QuizResultQuestionOnly };
    // What a wrong answer scores (AnswerScoring): nothing, minus the question's points, or as
    // the question's action mode scores it (Multiple Mode).
    enum class WrongAnswer { ScoresNothing, CostsPoints, ByActionMode };
    // The question report's table: one row per student for the question in hand, for the
    // whole set (Paper Quiz, Homework: the total over every question), for the teacher's marks
    // (Hand Raise), or one row per question asked (Survey).
    enum class Report { Question, PaperQuiz, HomeWork, HandRaise, Survey };
    // What Start sets running and Stop ends, as the run's notices name it: one question, the whole
    // question set (Paper Quiz, Homework), the roll call (Attendance) or the grouping.
    enum class Runs { Question, QuestionSet, RollCall, Grouping };

    int activity = -1;
    const char *name = "";         // display name; the English text is the translation key
    int baseActivity = -1;         // the activity a free-style one stands for; itself otherwise
    bool freeStyle = false;
    Pages pages = Pages::QuestionFile;
    bool showsPages = true;        // page view, thumbnails, question number and page fields
    bool navigates = true;         // Next and Previous move between questions
    bool checksQuestionAtStart = true; // teaching plans, "nocorrect" and keypad-unfit types refused
    Time time = Time::QuizTime;
    Start start = Start::CountDown;
    Stop stop = Stop::Question;
    Grid grid = Grid::Normal;
    NextGrid nextGrid = NextGrid::AllNormal;
    bool readAloud = true;
    bool adjustableTime = true;    // the +5 / -5 buttons
    bool answerSetting = false;    // the free-style answer dialog
    bool questionRunsOnce = false; // a question that has run cannot start again (elimination)
    bool locksLoginsAtStart = false; // logins after the first start are ignored (elimination)
    bool questionPcStateAlways = false; // large family: PC state 3 at start, never a question broadcast
    bool questionSetOnKeypads = false;  // the keypads hold the whole set (send questions, 60 at most)
    bool questionBroadcastRepeated = false; // Dravel: the question's frames go round three times more and,
                                            // unless the keypads reported its start, a wake follows (Vote)
    bool resultAfterStop = true;
    bool reportAfterStop = true;
    ResultWindow result = ResultWindow::QuizResult;
    WrongAnswer wrongAnswer = WrongAnswer::ScoresNothing;
    bool totalCoversWholeSet = false; // a student's total counts every question of the set, asked or not
    bool pointsMarkedByTeacher = false; // an answer is worth what the teacher gave it (Hand Raise)
    Report report = Report::Question;
    Runs runs = Runs::Question;
    int fallbackDeviceType = DeviceType::None; // model whose activity class serves receivers without one
    int storedActivity = 0;        // session Mode; 0: the run is not saved
    const char *sessionType = "Exam";
};

class ActivityRules
{
public:
    // The row of an activity; numbers outside 0..14 get a row that behaves as the design's
    // "any other number" does (count-down on the question time, survey-like stop, no name).
    static const ActivityRule &rule(int activity);

    static QString name(int activity);
    // Activity names by activity number 0 to 14, as the main window and the report list offer them.
    static const QStringList &AllActivityMode();
    static bool isFreeStyle(int activity);
    // The activity a run is saved as: free-style runs as the activity they stand for.
    static int savedActivity(int activity);
    // Session Mode text for a run of this activity ("1", "15", ...); empty when it is not saved.
    static QString storedCode(int activity);
    static QString sessionType(int activity);

    // Multiple Mode runs each question by its action mode; other activities ignore actionMode.
    static ActivityRule::Time time(int activity, int actionMode);
    static ActivityRule::Start startStep(int activity, int actionMode);
    static bool questionRunsOnce(int activity, int actionMode);
    // An elimination question: students who answer wrongly leave the run. Its figures count only
    // the students still in.
    static bool eliminates(int activity, int actionMode);
    // Multiple Mode: every student takes part again unless the question eliminates.
    static bool clearsEliminatedAtStart(int activity, int actionMode);
    static ActivityRule::NextGrid gridAfterNext(int activity, int actionMode);

    static ActivityRule::Grid grid(int activity, int deviceType);
    // The Multiple Mode label part and the Multiple Mode grid use the action mode's name.
    static QString actionModeName(int actionMode);
    // The keypads of Corvel and Dravel receivers hold at most 60 questions of a set; 0: no limit.
    static int keypadQuestionLimit(int activity, int deviceType);
    // Model whose activity class runs the activity on this receiver; None when it has none.
    static int modeObjectDeviceType(int activity, int deviceType);
};
