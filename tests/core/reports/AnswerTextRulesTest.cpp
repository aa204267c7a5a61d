#include "core/reports/AnswerTextRules.h"

#include <gtest/gtest.h>

namespace {
using R = AnswerTextRules;
using Kind = AnswerTextRules::Kind;

// What the entry window's field shows after each key, the restriction applied as it is typed.
QString typed(const QStringList &keys, Kind kind, int options)
{
    QString field;
    for (const QString &key : keys)
        field = R::restriction(field + key, kind, options);
    return field;
}
} // namespace

TEST(AnswerTextRulesTest, EntryFieldWhileTypingAndAtTheEndOfEditing)
{
    // Single answer: the key t shows T at once; no option lies beyond J, so the end refuses it.
    EXPECT_EQ(typed({"t"}, Kind::Single, 10), "T");
    bool refused = false;
    EXPECT_EQ(R::settle("T", Kind::Single, 10, &refused), "No Answer");
    EXPECT_TRUE(refused);
    // Pasting True gives the letter of its option.
    EXPECT_EQ(R::restriction("True", Kind::Single, 4), "A");
    EXPECT_EQ(R::restriction(" false ", Kind::Multiple, 4), "B");

    // Multiple answer, 4 options: E and X are dropped as they come; a digit stays, but alone is refused.
    EXPECT_EQ(typed({"a", "b", "e", "x"}, Kind::Multiple, 4), "AB");
    EXPECT_EQ(R::settle("A1", Kind::Multiple, 4, &refused), "A1");
    EXPECT_FALSE(refused);
    EXPECT_EQ(R::settle("12", Kind::Multiple, 4, &refused), "No Answer");
    EXPECT_TRUE(refused);
    // Never more letters than options.
    EXPECT_EQ(R::restriction("ABCD", Kind::Multiple, 3), "ABC");

    // True or false: t, a and T all show True; other text stays and is refused at the end.
    for (const char *key : {"t", "a", "T"})
        EXPECT_EQ(typed({key}, Kind::TrueFalse, 2), "True") << key;
    EXPECT_EQ(typed({"y", "e", "s"}, Kind::TrueFalse, 2), "yes");
    EXPECT_EQ(R::settle("yes", Kind::TrueFalse, 2, &refused), "No Answer");
    EXPECT_TRUE(refused);

    // Free text passes as typed; "No Answer" and the empty text pass every rule.
    EXPECT_EQ(R::settle(" x = 2 ", Kind::Cloze, 4, &refused), "x = 2");
    EXPECT_FALSE(refused);
    for (Kind kind : {Kind::Single, Kind::Multiple, Kind::TrueFalse}) {
        EXPECT_EQ(R::restriction("No Answer", kind, 4), "No Answer");
        EXPECT_TRUE(R::validate("", kind, 4));
    }
}

TEST(AnswerTextRulesTest, EntryTypeAndOptionChangesAndTheSaveCheck)
{
    bool refused = false;
    EXPECT_EQ(R::afterEntryTypeChange("True", Kind::Single, 4, &refused), "A");
    EXPECT_EQ(R::afterEntryTypeChange("A", Kind::TrueFalse, 2, &refused), "True");
    EXPECT_FALSE(refused);
    EXPECT_EQ(R::afterEntryTypeChange("C", Kind::TrueFalse, 2, &refused), "No Answer");
    EXPECT_TRUE(refused);
    // Lowering a multiple answer's options from 6 to 3 drops D, E and F.
    EXPECT_EQ(R::withinOptions("ADEF", 3), "A");
    EXPECT_EQ(R::withinOptions("BCEF", 3), "BC");

    // A single answer E is not touched by the option count, but refused at save.
    QString correct = "E";
    EXPECT_EQ(R::entrySaveRefusal(&correct, Kind::Single, 4), R::outOfRangeText());
    correct = "c";
    EXPECT_EQ(R::entrySaveRefusal(&correct, Kind::Single, 4), "");
    EXPECT_EQ(correct, "C");
    correct = "5";
    EXPECT_EQ(R::entrySaveRefusal(&correct, Kind::Single, 4), R::notALetterText());
    correct = "  ";
    EXPECT_EQ(R::entrySaveRefusal(&correct, Kind::Multiple, 4), "");
    EXPECT_EQ(correct, "No Answer");
    correct = "maybe";
    EXPECT_EQ(R::entrySaveRefusal(&correct, Kind::TrueFalse, 2), R::invalidText());
}

TEST(AnswerTextRulesTest, EditorChecksATypedCorrectAnswerByReceiverFamily)
{
    QString t = "E";
    EXPECT_EQ(R::typedRefusal(&t, Kind::Single, 4, false), R::outOfRangeText());
    t = "d";
    EXPECT_EQ(R::typedRefusal(&t, Kind::Single, 4, false), "");
    EXPECT_EQ(t, "D");
    t = "AB";
    EXPECT_EQ(R::typedRefusal(&t, Kind::Single, 4, false), R::invalidText());
    t = "A1";
    EXPECT_EQ(R::typedRefusal(&t, Kind::Multiple, 4, false), R::invalidText());
    t = "ABA";
    EXPECT_EQ(R::typedRefusal(&t, Kind::Multiple, 4, false), R::duplicateText());
    t = "";
    EXPECT_EQ(R::typedRefusal(&t, Kind::Cloze, 4, false), R::emptyText());
    t = " f ";
    EXPECT_EQ(R::typedRefusal(&t, Kind::TrueFalse, 2, false), "");
    EXPECT_EQ(t, "False");
    // The one-letter keypads: "No Answer" leaves a true-or-false question without a correct answer.
    t = "No Answer";
    EXPECT_EQ(R::typedRefusal(&t, Kind::TrueFalse, 2, true), "");
    EXPECT_EQ(R::committed(t, true), "No Answer");
    t = "b";
    EXPECT_EQ(R::typedRefusal(&t, Kind::Single, 4, true), "");
    EXPECT_EQ(R::committed(t, true), "B");
    t = "Z";
    EXPECT_EQ(R::typedRefusal(&t, Kind::Single, 4, true), R::outOfRangeText());
}

TEST(AnswerTextRulesTest, EditorBringsAnswersInLineWithTypeAndOptions)
{
    // Lowering options from 5 to 3: ACE keeps A and C; a single D has no option left.
    EXPECT_EQ(R::aligned("ACE", Kind::Multiple, 3), "AC");
    EXPECT_EQ(R::aligned("D", Kind::Single, 3), "No Answer");
    EXPECT_EQ(R::aligned("cAa", Kind::Multiple, 4), "CA");
    EXPECT_EQ(R::aligned("t", Kind::TrueFalse, 2), "True");
    EXPECT_EQ(R::aligned(" 4 ", Kind::Short, 2), " 4 ");

    // A type change judged: accepted (1), invalid (2), out of range (3), empty (4).
    QString c = "A";
    EXPECT_EQ(R::judgeTypeChange(&c, Kind::TrueFalse, 2), 1);
    EXPECT_EQ(c, "True");
    EXPECT_EQ(R::judgeTypeChange(&c, Kind::Single, 4), 1);
    EXPECT_EQ(c, "A");
    c = "AB";
    EXPECT_EQ(R::judgeTypeChange(&c, Kind::Single, 4), 2);
    c = "F";
    EXPECT_EQ(R::judgeTypeChange(&c, Kind::Single, 4), 3);
    EXPECT_EQ(R::judgementText(3), R::outOfRangeOnTypeText());
    c = "";
    EXPECT_EQ(R::judgeTypeChange(&c, Kind::Multiple, 4), 4);

    // Students' answers follow the type there and back.
    EXPECT_EQ(R::studentAnswerAfterTypeChange("A", Kind::TrueFalse), "True");
    EXPECT_EQ(R::studentAnswerAfterTypeChange("B", Kind::TrueFalse), "False");
    EXPECT_EQ(R::studentAnswerAfterTypeChange("True", Kind::Single), "A");
    EXPECT_EQ(R::studentAnswer(" false", Kind::Multiple), "B");
    EXPECT_EQ(R::studentAnswer(" bd", Kind::Multiple), "BD");
    EXPECT_EQ(R::studentAnswer("t", Kind::TrueFalse), "True");
}

TEST(AnswerTextRulesTest, EditorSaveCheck)
{
    QString c = "nocorrect";
    EXPECT_EQ(R::editSaveRefusal(&c, Kind::Single, 4), "");
    c = "AA";
    EXPECT_EQ(R::editSaveRefusal(&c, Kind::Multiple, 4), R::duplicateText());
    c = "ABCDE";
    EXPECT_EQ(R::editSaveRefusal(&c, Kind::Multiple, 5), "");
    c = "ABCDE";
    EXPECT_EQ(R::editSaveRefusal(&c, Kind::Multiple, 4), R::outOfRangeText());
    c = "1A";
    EXPECT_EQ(R::editSaveRefusal(&c, Kind::Multiple, 4), R::invalidText());
    c = "yes";
    EXPECT_EQ(R::editSaveRefusal(&c, Kind::TrueFalse, 2), R::invalidText());
    c = "t";
    EXPECT_EQ(R::editSaveRefusal(&c, Kind::TrueFalse, 2), "");
    EXPECT_EQ(c, "True");
    c = "";
    EXPECT_EQ(R::editSaveRefusal(&c, Kind::Single, 4), "");
    EXPECT_EQ(c, "No Answer");
}

TEST(AnswerTextRulesTest, TypesAndLimitsByReceiver)
{
    EXPECT_EQ(R::entryTypeNames(0), (QStringList{"Single Answer", "True or False"}));
    EXPECT_TRUE(R::entryTypeNames(-1).isEmpty());
    EXPECT_EQ(R::editTypeNames(-1).size(), 5);
    EXPECT_EQ(R::entryTypeNames(4).last(), "Cloze Test");
    EXPECT_EQ(R::entryMaxOptions(1), 6);
    EXPECT_EQ(R::entryMaxOptions(0), 10);
    EXPECT_EQ(R::editMaxOptions(0), 6);
    EXPECT_EQ(R::entryAnswerLength(4), 20);
    EXPECT_EQ(R::entryAnswerLength(-1), 0);
    EXPECT_EQ(R::codeOfName("True or False"), "5");
    EXPECT_EQ(R::codeOfName("Essay"), "0");
    EXPECT_EQ(R::nameOfCode("NULL"), "");
    EXPECT_EQ(R::reportTypeNo(""), 1);
}
