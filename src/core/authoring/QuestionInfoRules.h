#pragma once

#include "core/base/ActivityCodes.h"

#include <QList>
#include <QString>

// What the question properties window offers for a keypad model, and the limits of a
// question's settings. The window asks here; so do other windows that set the same values.
class QuestionInfoRules
{
public:
    QuestionInfoRules() = delete;

    struct Entry
    {
        QString text;
        int code = 0;
    };

    // Question types the keypads of a model can answer, in list order. With no receiver
    // (device type -1) every type is offered: a teacher may write a set before the receiver
    // is plugged in.
    static QList<Entry> questionTypes(int deviceType);
    static bool isTypeOffered(int deviceType, int type);
    // "Single Answer", "Multiple Answer", ...; "" for an unknown code.
    static QString questionTypeName(int type);
    // "Normal Quiz" 0, "Rush Quiz" 3, "Elimination" 4, and "Vote" 7 when withVote.
    static QList<Entry> actionModes(bool withVote);

    static constexpr int kMaxPoint = 250;
    static constexpr int kMaxTime = 900;
    static constexpr int kMaxDePoint = 250;
    static constexpr int kMaxRushTime = 240;
    static constexpr int kMaxTextLength = 230;
    static constexpr int kMaxPages = 99;
    static constexpr int kNoCorrectCell = 10; // the single-answer matrix's "no correct answer" cell
    static constexpr int kBlankCell = 15;     // selected when the answer is no letter

    // A typed number within 1 and limit.
    static int clampValue(int value, int limit) { return value > limit ? limit : value < 1 ? 1 : value; }
    // Written answers: 20 characters on Brevel keypads, 32 on the others.
    static int writtenAnswerLimit(int deviceType) { return deviceType == DeviceType::Brevel ? 20 : 32; }
    // Letters of a multiple answer: 8 on Brevel keypads, all ten elsewhere.
    static int multipleAnswerLimit(int deviceType) { return deviceType == DeviceType::Brevel ? 8 : 10; }
    // Letters a single answer may take: A to F on Arvel keypads, A to J elsewhere.
    static int singleAnswerLetters(int deviceType) { return deviceType == DeviceType::Arvel ? 6 : 10; }
    // The first limit characters of text.
    static QString cut(const QString &text, int limit) { return text.left(limit); }

    // An answer as the answer area shows it: "True" as "A" and "False" as "B" for single answer,
    // multiple answer and true or false; an empty answer as "nocorrect".
    static QString shownAnswer(const QString &answer, int type);
    // The single-answer cell an answer selects: a letter A to J its index, "nocorrect" and
    // texts of several letters the no-correct-answer cell, anything else the blank cell.
    // *nowNoCorrect tells whether the page's answer must become "nocorrect".
    static int singleAnswerCell(const QString &shown, bool *nowNoCorrect);

    enum class AnswerArea { Single, Multiple, Other };
    // Which controls are live for a page's type and activity mode.
    struct Controls
    {
        bool point = false, timeLimit = false, dePoint = false, rushTime = false, difficulty = false;
        bool applyTimePoint = false, applyLevel = false, applyRush = false;
        AnswerArea area = AnswerArea::Other;
        bool otherEditable = false; // the written-answer view takes input
    };
    static Controls controls(int deviceType, int type, int mode);
};
