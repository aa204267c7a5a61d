// A question about unsaved edits has three answers whatever its buttons: save, discard, or back
// to the window. Escape and the close box are the way back; only a button discards.

#include "support/DialogAnswers.h"
#include "support/PollixTest.h"
#include "support/RealAlerts.h"

#include "ui/controls/PollixAlert.h"

namespace {

using Save = PollixAlert::SaveAnswer;
using Way = RealAlerts::Way;

class SaveQuestionTest : public PollixTest
{
protected:
    static Save ask(const QStringList &buttons)
    {
        return PollixAlert::askToSave(nullptr, QStringLiteral("Pollix"), QStringLiteral("Do you want to save the changes to contents?"),
                                      buttons);
    }
    const QStringList yesNo{QStringLiteral("Yes"), QStringLiteral("No")};
    const QStringList yesNoCancel{QStringLiteral("Yes"), QStringLiteral("No"), QStringLiteral("Cancel")};
};

} // namespace

TEST_F(SaveQuestionTest, EscapeAndTheCloseBoxGoBackWithTwoButtonsOrThree)
{
    for (const QStringList &buttons : {yesNo, yesNoCancel}) {
        for (Way way : {Way::Escape, Way::CloseBox}) {
            RealAlerts real;
            real.leave(way);
            EXPECT_EQ(ask(buttons), Save::Cancel) << buttons.size() << " buttons, way " << int(way);
            EXPECT_EQ(real.stuck(), 0) << buttons.size() << " buttons, way " << int(way);
        }
    }
    RealAlerts real;
    real.click(0);
    real.click(1);
    real.click(2);
    EXPECT_EQ(ask(yesNoCancel), Save::Save);
    EXPECT_EQ(ask(yesNoCancel), Save::Discard);
    EXPECT_EQ(ask(yesNoCancel), Save::Cancel);
    EXPECT_EQ(real.seen(), QStringList(3, "Do you want to save the changes to contents?"));
}

// Any other question keeps the message box's own way: Escape presses its one cancel-like
// button, here "No".
TEST_F(SaveQuestionTest, OtherQuestionsKeepEscapeOnTheirLastButton)
{
    RealAlerts real;
    real.leave(Way::Escape);
    real.leave(Way::CloseBox);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(PollixAlert::show(nullptr, QStringLiteral("Pollix"), QStringLiteral("Are you sure to delete this class?"), yesNo),
                  PollixAlert::AlertSecondButtonReturn);
    EXPECT_EQ(real.stuck(), 0);
}

// Tests that answer through the hook leave a question the same way with a negative answer.
TEST_F(SaveQuestionTest, TheHooksWayOutIsTheWayBack)
{
    DialogAnswers answers;
    answers.answerAlert(-1);
    answers.answerAlert(-1);
    answers.answerAlert(7);
    EXPECT_EQ(ask(yesNo), Save::Cancel);
    EXPECT_EQ(PollixAlert::show(nullptr, QStringLiteral("Pollix"), QStringLiteral("Delete?"), yesNo),
              PollixAlert::AlertSecondButtonReturn);
    EXPECT_EQ(ask(yesNo), Save::Discard) << "an answer past the buttons is the last";
}
