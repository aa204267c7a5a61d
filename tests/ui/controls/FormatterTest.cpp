#include "ui/controls/MyEnterFormatter.h"
#include "ui/controls/MyNumberFormater.h"
#include "ui/controls/PMResolutionFormatter.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Typing text at the end of what the field holds.
bool accepts(const TextFormatter &f, const QString &before, const QString &typed)
{
    return f.isPartialStringValid(before + typed, typed).accepted;
}

// Types a whole text one character at a time and reports the position of the first refusal
// (-1: every character accepted).
int firstRefusal(const TextFormatter &f, const QString &text)
{
    for (int i = 0; i < text.size(); ++i)
        if (!f.isPartialStringValid(text.left(i + 1), text.mid(i, 1)).accepted)
            return i;
    return -1;
}

} // namespace

TEST(MyEnterFormatterTest, DefaultsRefuseApostropheOverlongAndNegative)
{
    MyEnterFormatter f;
    EXPECT_TRUE(accepts(f, "", QString(255, 'a')));
    EXPECT_FALSE(accepts(f, QString(255, 'a'), "b"));
    EXPECT_TRUE(accepts(f, "O", "Neil"));
    const TextFormatter::Verdict v = f.isPartialStringValid("O'", "'");
    EXPECT_FALSE(v.accepted);
    EXPECT_EQ(v.error, "illegimate character.");
    EXPECT_FALSE(accepts(f, "", "-1"));
    EXPECT_FALSE(accepts(f, "  -", "3abc"));
    EXPECT_TRUE(accepts(f, "", "-")); // no digit yet: not a negative number
    EXPECT_TRUE(accepts(f, "", "ab-12"));
}

TEST(MyEnterFormatterTest, NumberFieldWithMaximum)
{
    MyEnterFormatter f;
    f.setNumberFormater();
    f.setMaxNum(999);
    EXPECT_TRUE(accepts(f, "", "999"));
    EXPECT_FALSE(accepts(f, "100", "0"));
    const TextFormatter::Verdict letter = f.isPartialStringValid("12a", "a");
    EXPECT_FALSE(letter.accepted);
    EXPECT_EQ(letter.error, "illegimate character.");
    // Deleting is accepted once the rest passes the length and number checks.
    EXPECT_TRUE(f.isPartialStringValid("12", "").accepted);
    EXPECT_TRUE(f.isPartialStringValid("a", "").accepted);
    // Arabic-Indic digits are decimal digits too.
    EXPECT_TRUE(accepts(f, "", QString::fromUtf8("\u0663")));
}

TEST(MyEnterFormatterTest, AlphanumericAndLegalSets)
{
    MyEnterFormatter f;
    f.setAlphanumericFormater();
    EXPECT_TRUE(accepts(f, "", QString::fromUtf8("Zo\u00EB7")));
    EXPECT_FALSE(accepts(f, "", "a b"));
    f.setLegalCharacterSet(CharacterSet::characters("ABC."));
    EXPECT_TRUE(accepts(f, "", "A.B"));
    EXPECT_FALSE(accepts(f, "", "Ab"));
    f.setIllegalCharacterSet(CharacterSet::characters("x"));
    EXPECT_TRUE(accepts(f, "", "Ab"));
}

TEST(MyEnterFormatterTest, ObjectConversions)
{
    EXPECT_EQ(MyEnterFormatter::stringForObjectValue(42), "42");
    EXPECT_EQ(MyEnterFormatter::stringForObjectValue(QString("x")), "x");
    EXPECT_TRUE(MyEnterFormatter::stringForObjectValue(QVariant()).isNull());
    QVariant out;
    EXPECT_TRUE(MyEnterFormatter::getObjectValue(&out, QString("abc")));
    EXPECT_EQ(out.toString(), "abc");
    EXPECT_FALSE(MyEnterFormatter::getObjectValue(&out, QVariant()));
}

TEST(PMResolutionFormatterTest, UnconfiguredAcceptsOnlyEmpty)
{
    PMResolutionFormatter f;
    EXPECT_TRUE(f.isPartialStringValid("", "").accepted);
    EXPECT_FALSE(accepts(f, "", "a"));
}

TEST(PMResolutionFormatterTest, DigitModeClampsToBounds)
{
    PMResolutionFormatter f;
    f.setDigitWithMaxNum(100);
    EXPECT_EQ(f.maxLength(), 3);
    EXPECT_EQ(f.format(), "%d");
    EXPECT_TRUE(accepts(f, "", "99"));
    const TextFormatter::Verdict over = f.isPartialStringValid("150", "0");
    EXPECT_FALSE(over.accepted);
    EXPECT_EQ(over.replacement, "100");
    EXPECT_FALSE(accepts(f, "1", "x"));
    EXPECT_FALSE(accepts(f, "100", "0")); // longer than 3

    PMResolutionFormatter g;
    g.setDigitWithMaxNumAndMixNum(100, 1);
    EXPECT_EQ(g.isPartialStringValid("", "").replacement, "1");
    EXPECT_EQ(g.isPartialStringValid("0", "0").replacement, "1");
    PMResolutionFormatter h;
    h.setDigitWithMaxNumAndMixNum(100, 20);
    EXPECT_EQ(h.isPartialStringValid("5", "5").replacement, "20"); // first digit of 50 is below 20

    PMResolutionFormatter zero;
    zero.setDigitWithMaxNum(0);
    EXPECT_EQ(zero.maxLength(), 0);
}

TEST(PMResolutionFormatterTest, DecimalMode)
{
    PMResolutionFormatter f;
    f.setFloatWithDecimalDigits(2, 100, 6);
    EXPECT_EQ(f.format(), "%.2f");
    EXPECT_EQ(firstRefusal(f, "12.34"), -1);
    EXPECT_EQ(firstRefusal(f, "12."), -1);
    EXPECT_EQ(firstRefusal(f, "12.345"), 5);
    EXPECT_EQ(firstRefusal(f, "1.2.3"), 3);
    EXPECT_FALSE(accepts(f, "", "-1"));
    EXPECT_TRUE(f.isPartialStringValid("1.", "").accepted);
    const TextFormatter::Verdict over = f.isPartialStringValid("100.5", "5");
    EXPECT_FALSE(over.accepted);
    EXPECT_EQ(over.replacement, "100.00");
    EXPECT_EQ(f.stringForObjectValue(3.14159), "3.14");
    EXPECT_TRUE(f.stringForObjectValue(QString("x")).isNull());
}

TEST(PMResolutionFormatterTest, DateModeChecksAsTyped)
{
    PMResolutionFormatter f;
    f.setDate();
    EXPECT_EQ(firstRefusal(f, "2012-02-29"), -1);
    EXPECT_EQ(firstRefusal(f, "2011-02-29"), 9);
    EXPECT_EQ(firstRefusal(f, "2012-04-31"), 9);
    EXPECT_EQ(firstRefusal(f, "2012-04-30"), -1);
    EXPECT_EQ(firstRefusal(f, "2012-01-31"), -1);
    EXPECT_EQ(firstRefusal(f, "2012-01-32"), 9);
    EXPECT_EQ(firstRefusal(f, "2012-13"), 6);
    EXPECT_EQ(firstRefusal(f, "0000"), 3);
    EXPECT_EQ(firstRefusal(f, "2012-00"), 6);
    EXPECT_EQ(firstRefusal(f, "2012-05-00"), 9);
    EXPECT_EQ(firstRefusal(f, "2012-02-30"), 8);
    EXPECT_EQ(firstRefusal(f, "2000-02-29"), -1);
    EXPECT_EQ(firstRefusal(f, "1900-02-29"), 9);
    EXPECT_EQ(firstRefusal(f, "2012-10-10x"), 10); // longer than 10
    QVariant out;
    EXPECT_TRUE(f.getObjectValue(&out, QString("2012-02-29")));
    EXPECT_FALSE(f.getObjectValue(&out, QString("2012-2-29")));
}

TEST(PMResolutionFormatterTest, DigitModeConversionAndModeOrder)
{
    PMResolutionFormatter f;
    f.setDigitWithMaxNum(50);
    QVariant out;
    QString error;
    EXPECT_FALSE(f.getObjectValue(&out, QVariant(), &error));
    EXPECT_EQ(error, QString::fromUtf8("Couldn\u2019t convert  to int"));
    EXPECT_TRUE(f.getObjectValue(&out, QString(" 42abc")));
    EXPECT_EQ(out.toInt(), 42);
    // Digit mode once set stays in force.
    f.setDate();
    EXPECT_FALSE(accepts(f, "", "2-"));
}

TEST(FormatterOnFieldTest, TypingIntoALineEdit)
{
    QLineEdit field;
    MyEnterFormatter *f = setMaxLength(&field, 5);
    f->setNumberFormater();
    QTest::keyClicks(&field, "12a34");
    EXPECT_EQ(field.text(), "1234");
    QTest::keyClicks(&field, "567");
    EXPECT_EQ(field.text(), "12345");
    QTest::keyClick(&field, Qt::Key_Backspace);
    EXPECT_EQ(field.text(), "1234");

    // A bounded number field shows its maximum when a larger value is typed.
    QLineEdit bounded;
    auto *p = new PMResolutionFormatter(&bounded);
    p->setDigitWithMaxNum(100);
    p->attachTo(&bounded);
    QTest::keyClicks(&bounded, "15");
    QTest::keyClicks(&bounded, "0");
    EXPECT_EQ(bounded.text(), "100");

    // A longer text in the field when the formatter comes shows whole and may be shortened,
    // but never grows; replaced, the new text keeps to the length.
    QLineEdit answer("No Answer");
    auto *one = new PMResolutionFormatter(&answer);
    one->setMaxLength(1);
    one->attachTo(&answer);
    EXPECT_TRUE(answer.hasAcceptableInput());
    QTest::keyClicks(&answer, "x");
    EXPECT_EQ(answer.text(), "No Answer");
    QTest::keyClick(&answer, Qt::Key_Backspace);
    EXPECT_EQ(answer.text(), "No Answe");
    answer.home(false);
    QTest::keyClicks(&answer, "N");
    EXPECT_EQ(answer.text(), "No Answe") << "a letter like the next one still grows the text";
    answer.selectAll();
    QTest::keyClicks(&answer, "bc");
    EXPECT_EQ(answer.text(), "b");

    // Text set by the program counts as already there, so only new keystrokes are checked.
    QLineEdit named;
    setMaxLength(&named, 20);
    named.setText("O'Neil");
    QTest::keyClicks(&named, "s");
    EXPECT_EQ(named.text(), "O'Neils");
    QTest::keyClicks(&named, "'");
    EXPECT_EQ(named.text(), "O'Neils");
}

TEST(MyNumberFormaterTest, OnlyTypedCharactersAreChecked)
{
    MyNumberFormater f;
    EXPECT_TRUE(f.isPartialStringValid("abc1", "1").accepted); // text already there is not judged
    const TextFormatter::Verdict v = f.isPartialStringValid("12x", "x");
    EXPECT_FALSE(v.accepted);
    EXPECT_EQ(v.error, "not decimal");
    EXPECT_TRUE(f.isPartialStringValid("ab", "").accepted); // a deletion
}
