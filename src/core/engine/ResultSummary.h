#pragma once

// The result summary of one question of the running activity: attendance, the average answer
// time and how the students answered (correct, incorrect, no response), read from the run's
// shared data. An elimination question counts only the students still in when it started.
struct ResultSummary
{
    bool elimination = false;   // the question eliminates (its retained/eliminated figures apply)
    float averageTime = 0;      // seconds
    int attendants = 0;
    int absentees = 0;
    int retained = 0;           // elimination only
    int eliminated = 0;         // elimination only: the students this question put out
    int correct = 0;
    int incorrect = 0;
    int noResponse = 0;
    int total = 0;              // the students the three bars share out
    float fCorrect = 0, fError = 0, fNoResponse = 0;

    // q: question number; activity: the run's activity number (0 when the opener gives none).
    static ResultSummary compute(int q, int activity);

    // Students eliminated before question q started: the running count recorded for the nearest
    // earlier question that is a question (teaching-plan pages are skipped); 0 when none.
    static int eliminatedBefore(int q);
};
