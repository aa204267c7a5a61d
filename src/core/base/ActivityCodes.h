#pragma once

// The numbers that name activities, receiver models and question kinds. Several of them are
// written into session and question files or sent to the keypads, so their values never change;
// code names them through these constants instead of spelling the numbers.

// Activity number during a run (the main window's choice, the activity window's nMode).
namespace Activity {
enum : int {
    NormalQuiz = 0,
    PaperQuiz = 1,
    HomeWork = 2,
    RushQuiz = 3,
    Elimination = 4,
    MultipleMode = 5,
    Survey = 6,
    Vote = 7,
    Attendance = 8,
    FreeNormalQuiz = 9,
    FreeRushQuiz = 10,
    FreeElimination = 11,
    FreeVote = 12,
    QuickGrouping = 13,
    HandRaise = 14,
};
inline constexpr int Count = 15;
} // namespace Activity

// The Mode field of a session file (the activity a saved session came from).
namespace StoredActivity {
enum : int {
    NormalQuiz = 1,
    PaperQuiz = 2,
    HomeWork = 3,
    RushQuiz = 4,
    Elimination = 5,
    MultipleMode = 6,
    HandRaise = 9,
    Survey = 10,
    Attendance = 13,
    QuickGrouping = 14,
    Vote = 15,
    FreeNormalQuiz = 20,
    FreeRushQuiz = 21,
    FreeElimination = 22,
};
} // namespace StoredActivity

// Receiver model (device type); also the Machine field of a session file.
namespace DeviceType {
enum : int {
    None = -1,
    Envel = 0,
    Arvel = 1,
    Corvel = 2,
    Dravel = 3,
    Brevel = 4,
};
// Envel and Arvel: three-byte frames at 28800 baud; the others: long frames at 115200 baud.
constexpr bool isSmallFamily(int type) { return type == Envel || type == Arvel; }
constexpr bool isLargeFamily(int type) { return type >= Corvel && type <= Brevel; }
} // namespace DeviceType

// Question type of a page and of a run question.
namespace QuestionType {
enum : int {
    SingleAnswer = 0,
    MultipleAnswer = 1,
    Cloze = 2,
    ShortAnswer = 3,
    TeachingPlan = 4, // a page that is no question
    TrueFalse = 5,
};
} // namespace QuestionType

// Action mode of a run question (Multiple Mode runs each question by its own). A page stores
// rush as 1 and elimination as 2; the run list holds them as the activity numbers 3 and 4.
namespace ActionMode {
enum : int {
    Normal = 0,
    Rush = 3,
    Elimination = 4,
    Vote = 7,
};
namespace Stored {
enum : int {
    Normal = 0,
    Rush = 1,
    Elimination = 2,
    Vote = 7,
};
} // namespace Stored
} // namespace ActionMode
