#include "support/PollixTest.h"
#include "ui/authoring/QuestionForm.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

namespace {

// The form's parts in a window of their own, as an editor builds them.
class FormWindow : public QWidget, public QuestionForm
{
public:
    explicit FormWindow(bool withBlankCell)
    {
        buildLists(this);
        point = numberField(this, "point", 3);
        timeLimit = numberField(this, "timeLimit", 3);
        rushPoint = numberField(this, "rushPoint", 3);
        rushTimeLimit = numberField(this, "rushTimeLimit", 3);
        checkBoxAllInSameTimePoint = applyBox(this, "checkBoxAllInSameTimePoint", QStringLiteral("All"));
        checkBoxAllInSameTimePointForRush = applyBox(this, "checkBoxAllInSameTimePointForRush", QStringLiteral("All"));
        checkBoxAllInSameLevel = applyBox(this, "checkBoxAllInSameLevel", QStringLiteral("All"));
        buildDifficulty(this, this, {QStringLiteral("Easy"), QStringLiteral("Hard")}, checkBoxAllInSameLevel);
        buildSingleAnswer(this, this, withBlankCell);
        buildMultipleAnswer(this);
        buildOtherAnswer(this, QStringLiteral("Answer"), 40);
    }
    using QuestionForm::enableControls;
    using QuestionForm::limitOf;
};

using QuestionFormTest = PollixTest;

} // namespace

// A number field takes digits only, and no more of them than it was given.
TEST_F(QuestionFormTest, NumberFieldsTakeDigitsUpToTheirLength)
{
    FormWindow form(false);
    form.show();
    form.point->setFocus();
    QTest::keyClicks(form.point, QStringLiteral("1a2-45"));
    EXPECT_EQ(form.point->text(), "124");
    EXPECT_EQ(form.limitOf(form.point), QuestionInfoRules::kMaxPoint);
    EXPECT_EQ(form.limitOf(form.timeLimit), QuestionInfoRules::kMaxTime);
    EXPECT_EQ(form.limitOf(form.rushPoint), QuestionInfoRules::kMaxDePoint);
    EXPECT_EQ(form.limitOf(form.rushTimeLimit), QuestionInfoRules::kMaxRushTime);
}

// The letter grid has ten letters and its no-correct-answer cell; the hidden cell for an answer
// that is no letter is there only when asked for, so that no letter beyond J ever selects a cell.
TEST_F(QuestionFormTest, TheLetterGridHasItsCellsAndTheBlankOneOnlyWhenAsked)
{
    for (const bool blank : {false, true}) {
        FormWindow form(blank);
        for (int k = 0; k < 10; ++k)
            ASSERT_TRUE(form.answerCells->button(k)) << k;
        ASSERT_TRUE(form.answerCells->button(QuestionInfoRules::kNoCorrectCell));
        EXPECT_EQ(form.answerCells->button(QuestionInfoRules::kBlankCell) != nullptr, blank);
        if (blank) {
            EXPECT_TRUE(form.answerCells->button(QuestionInfoRules::kBlankCell)->isHidden());
        }
        EXPECT_EQ(form.answerCells->buttons().size(), blank ? 12 : 11);
        EXPECT_EQ(form.checkBoxes[9]->objectName(), "checkBoxJ");
    }
}

// What the rules leave live is enabled, the rest not; only number fields are shaded, and a box
// beside the difficulty cells goes with them.
TEST_F(QuestionFormTest, TheRulesControlsEnableTheFieldsAndShadeOnlyNumbers)
{
    FormWindow form(false);
    QuestionInfoRules::Controls c;
    c.point = c.timeLimit = true;
    c.applyTimePoint = true;
    QStringList shaded;
    form.enableControls(c, [&](QWidget *w, bool on) { shaded << w->objectName() + (on ? "+" : "-"); });
    EXPECT_EQ(shaded, (QStringList{"point+", "timeLimit+", "rushPoint-", "rushTimeLimit-"}));
    EXPECT_TRUE(form.point->isEnabled());
    EXPECT_FALSE(form.rushTimeLimit->isEnabled());
    EXPECT_FALSE(form.matrixDifficulty->isEnabled());
    EXPECT_FALSE(form.checkBoxAllInSameLevel->isEnabled());
    EXPECT_EQ(form.checkBoxAllInSameLevel->parentWidget(), form.matrixDifficulty);
    EXPECT_TRUE(form.checkBoxAllInSameTimePoint->isEnabled());
    EXPECT_FALSE(form.checkBoxAllInSameTimePointForRush->isEnabled());
}
