#pragma once

#include <QString>
#include <QStringList>

// What a correct answer or a student's answer may look like for a question of a session entered
// or corrected by hand, by the question's type and option count. Option letters run from "A" to
// the last option letter ("A" + option count - 1). "No Answer" is the correct answer of a
// question that has none.
//
// The entry window applies conversion, restriction and validation while the teacher types; the
// editor judges a typed answer, a type change and a save with the rest. Both windows show the
// messages these return.
class AnswerTextRules
{
public:
    enum class Kind { Single, Multiple, Cloze, Short, TrueFalse, Other };

    // Messages, as shown.
    static QString outOfRangeText();      // "The answer should be within the range of option count."
    static QString outOfRangeOnTypeText(); // the editor's type-change wording ("Option count")
    static QString invalidText();         // "Invalid answer input."
    static QString duplicateText();       // "Option characters should not be duplicate in the answer."
    static QString emptyText();           // "Answer should not be empty."
    static QString notALetterText();      // a single answer that does not start with a letter
    static QString noAnswer() { return QStringLiteral("No Answer"); }

    // Type names as shown ("Single Answer" ...) and the stored type codes ("1" to "5").
    static Kind kindOfName(const QString &typeName);
    static QString nameOfKind(Kind kind);
    static QString nameOfCode(const QString &code); // "" for a code that is none of the five
    static QString codeOfName(const QString &typeName); // "0" for any other name
    // The question-type number of the reports (1 to 5), 1 for any other type.
    static int reportTypeNo(const QString &typeName);
    static QChar lastOptionLetter(int optionCount);

    // The types a window offers for a receiver's device type: the entry window offers none
    // without a receiver (-1), the editor counts -1 with the large family.
    static QStringList entryTypeNames(int deviceType);
    static QStringList editTypeNames(int deviceType);
    // The highest option count offered.
    static int entryMaxOptions(int deviceType);
    static int editMaxOptions(int deviceType);
    // The longest correct answer or student answer the entry window takes, what the receiver's
    // keypads send at most; 0 for no limit.
    static int entryAnswerLength(int deviceType);
    // The longest correct answer the editor takes for a question of that type, and the longest
    // answer of a student to it: one letter for a single answer, a letter per option for a
    // multiple answer, else what the keypads send.
    static int editAnswerLength(Kind kind, int optionCount, int deviceType);
    // Receivers whose keypads send one letter (device types 0 and 1).
    static bool isSmallFamily(int deviceType);
    // Whether a student's answer gets a record in the session file: with a receiver of device
    // type 2 or 3 an unanswered cell ("", " " or "No Answer") gets none.
    static bool recordsAnswer(const QString &answer, int deviceType);

    // ---- Entry: applied while typing, at the end of editing and at Next/Previous ----
    static QString conversion(const QString &text, Kind kind);
    static QString restriction(const QString &text, Kind kind, int optionCount);
    static bool validate(const QString &text, Kind kind, int optionCount);
    // restriction(conversion(text)) when validate() accepts it; "No Answer" otherwise (*refused
    // set). "No Answer" passes.
    static QString settle(const QString &text, Kind kind, int optionCount, bool *refused = nullptr);
    // The correct answer when the question's type changes: "True"/"False" become "A"/"B" for
    // the letter types, the rest is settled.
    static QString afterEntryTypeChange(const QString &correct, Kind kind, int optionCount, bool *refused = nullptr);
    // A multiple answer's letters beyond a lowered option count dropped.
    static QString withinOptions(const QString &correct, int optionCount);
    // The save check of one correct answer; "" when it passes (*correct then holds the answer to
    // store: "No Answer" for an empty one).
    static QString entrySaveRefusal(QString *correct, Kind kind, int optionCount);

    // ---- Editor ----
    // The check of a typed correct answer before it is committed: "" to accept (*typed then
    // holds the text to commit), else the message.
    static QString typedRefusal(QString *typed, Kind kind, int optionCount, bool smallFamily);
    // The committed text: upper case for the small family ("No Answer" as it is).
    static QString committed(const QString &typed, bool smallFamily);
    // A type change judged on the row's correct answer: 1 accepted, 2 invalid, 3 out of range,
    // 4 empty; *correct takes whatever conversion was made.
    static int judgeTypeChange(QString *correct, Kind kind, int optionCount);
    static QString judgementText(int code);
    // The correct answer brought into line with the row's type and option count after an edit.
    static QString aligned(const QString &correct, Kind kind, int optionCount);
    // A student's answer as the editor keeps it, and as a type change converts it.
    static QString studentAnswer(const QString &answer, Kind kind);
    static QString studentAnswerAfterTypeChange(const QString &answer, Kind kind);
    // The save check of one correct answer; "" when it passes (*correct then holds the answer to
    // store).
    static QString editSaveRefusal(QString *correct, Kind kind, int optionCount);
};
