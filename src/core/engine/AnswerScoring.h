#pragma once

#include <QString>

class QuestionEntity;
class QuizEntity;
class StoredAnswers;
class ResponseDataEntity;

// How an answer earns points: the one rule behind the end-of-run save, the result windows of a
// run, the session editor, the session reports and the gradebook.
//
// Answer texts: "" or "__" is no answer; "__N" is a rush chance not taken, which counts as a
// wrong answer. A correct answer "No Answer" (or an empty one) means the question has none, so
// nothing is right.
class AnswerScoring
{
public:
    // What a wrong answer is worth: nothing, or minus the question's points (rush).
    enum class WrongAnswer { ScoresNothing, CostsPoints };
    // How a result window counts an answer.
    enum class Outcome { NoResponse, Right, Wrong };

    static bool isNoAnswer(const QString &answer);
    static bool isMissedRush(const QString &answer);
    // An answer that earns the points: given, and equal to the question's correct answer
    // (compared as myStringIsEqualToString compares).
    static bool isRight(const QString &answer, const QString &correct);
    static Outcome outcome(const QString &answer, const QString &correct);
    // +questionPoints for a right answer; -questionPoints for any other given answer (a missed
    // rush chance too) under CostsPoints; else 0.
    static int points(const QString &answer, const QString &correct, int questionPoints, WrongAnswer rule);

    // During a run, by activity number and the question's action mode: the rush activities
    // deduct, and Multiple Mode deducts on its rush questions.
    static WrongAnswer wrongAnswerRule(int activity, int questionActionMode);
    // In a session file, by its stored activity code and the question's stored Mode: "4" (Rush
    // Quiz) deducts, and "6" (Multiple Mode) deducts on questions of Mode "4".
    static WrongAnswer storedWrongAnswerRule(const QString &activityCode, const QString &questionMode);
    // Paper Quiz and Homework total every question of the set; the others the questions asked.
    static bool totalCoversWholeSet(int activity);

    // A stored answer to a question of a stored session, scored by the session's rule.
    static int storedPoints(const QuizEntity &quiz, const QuestionEntity &question, const QString &response);
    // A student's total in a stored session: the sum of the points stored with the student's
    // answers; for a session without questions (points only), the student's stored total mark.
    static float storedTotal(const QuizEntity &quiz, const QString &studentID);
    // Whether a stored answer (nullptr: none) is the question's correct answer, text for text, as
    // the session reports count right answers.
    static bool isStoredRight(const ResponseDataEntity *answer, const QuestionEntity &question);
    // How many questions the student answered right in a stored session (the answer that
    // belongs to each question, compared exactly with its correct answer); *points gets the sum
    // of the points stored with those answers, right or wrong. stored indexes quiz's answers.
    static int storedRightCount(const QuizEntity &quiz, const StoredAnswers &stored, const QString &studentID,
                                int *points = nullptr);
};
