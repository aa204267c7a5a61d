#include "EditorFixture.h"

#include "ui/authoring/QuestionInfoWindowController.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>

namespace {

class QuestionInfoTest : public EditorFixture
{
protected:
    QuestionInfoWindowController *openInfo()
    {
        editor->onQuestionInfo();
        info = editor->questionInfoWindow();
        return info;
    }
    // Picks the entry with that text as the teacher does.
    static void choose(QComboBox *box, const QString &text)
    {
        const int i = box->findText(text);
        ASSERT_GE(i, 0) << text.toStdString();
        box->setCurrentIndex(i);
        emit box->activated(i);
    }
    static QStringList entries(const QComboBox *box)
    {
        QStringList out;
        for (int i = 0; i < box->count(); ++i)
            out << box->itemText(i);
        return out;
    }
    static void type(QLineEdit *field, const QString &text)
    {
        field->selectAll();
        QTest::keyClicks(field, text);
    }
    QPointer<QuestionInfoWindowController> info;
};

} // namespace

TEST_F(QuestionInfoTest, NumbersAreClampedAndWrittenAnswersCut)
{
    addTemplate(4);
    addTemplate(1);
    editor->smallQuestions->selectedQuestionNo(1);
    openInfo();
    ASSERT_TRUE(info);
    EXPECT_FALSE(editor->btnQuestionInfo->isEnabled()) << "one properties window at a time";
    type(info->point, "0");
    EXPECT_EQ(info->point->text(), "1");
    EXPECT_EQ(page(1)->nQuestionPoint(), 1);
    type(info->timeLimit, "999");
    EXPECT_EQ(info->timeLimit->text(), "900");
    EXPECT_EQ(page(1)->nQuestionTimeLimit(), 900);
    type(info->rushPoint, "251");
    EXPECT_EQ(page(1)->nQuestionDePoint(), 250);
    type(info->rushTimeLimit, "241");
    EXPECT_EQ(page(1)->nQuestionRushTimeLimit(), 240);
    type(info->point, "12a");
    EXPECT_EQ(page(1)->nQuestionPoint(), 12) << "letters are refused";

    // The cloze page: a written answer of 40 characters keeps 32 on a Dravel receiver.
    info->onNext();
    EXPECT_EQ(canvas()->nCurrentQuestionIndex(), 2) << "the editor follows";
    ASSERT_TRUE(info->otherBox->isVisibleTo(info));
    const QString forty(40, QLatin1Char('x'));
    info->otherAnswer->setPlainText(forty);
    EXPECT_EQ(page(2)->strAnswer(), forty.left(32));
    EXPECT_EQ(page(2)->strOtherAnswer(), forty.left(32));
    info->close();
    EXPECT_TRUE(editor->btnQuestionInfo->isEnabled());

    // Brevel keypads take 20 characters.
    setModel(4);
    openInfo();
    info->otherAnswer->setPlainText(forty);
    EXPECT_EQ(page(2)->strAnswer(), forty.left(20));
}

TEST_F(QuestionInfoTest, TypesModesAndAnswers)
{
    addTemplate(5);
    openInfo();
    EXPECT_EQ(entries(info->cmbQuestionType),
              QStringList({"Single Answer", "Multiple Answer", "True or False", "Cloze Test", "Short Answer", "Teaching Plan"}));
    EXPECT_EQ(entries(info->cmbActionMode), QStringList({"Normal Quiz", "Rush Quiz", "Elimination", "Vote"}));

    choose(info->cmbQuestionType, "Multiple Answer");
    EXPECT_EQ(page(1)->nQuestionType(), 1);
    EXPECT_FALSE(entries(info->cmbActionMode).contains("Vote"));
    EXPECT_TRUE(info->multipleBox->isVisibleTo(info));
    for (const char *letter : {"C", "A", "E"})
        info->findChild<QCheckBox *>(QStringLiteral("checkBox") + letter)->click();
    EXPECT_EQ(page(1)->strAnswer(), "ACE");
    EXPECT_EQ(page(1)->strMultipleAnswer(), "ACE");
    info->noCorrectAnswerBox->click();
    EXPECT_EQ(page(1)->strAnswer(), "nocorrect");
    EXPECT_FALSE(info->findChild<QCheckBox *>("checkBoxA")->isChecked());

    choose(info->cmbQuestionType, "Single Answer");
    EXPECT_TRUE(entries(info->cmbActionMode).contains("Vote"));
    info->answerCells->button(3)->click();
    EXPECT_EQ(page(1)->strAnswer(), "D");
    choose(info->cmbActionMode, "Vote");
    EXPECT_EQ(page(1)->nQuestionActionMode(), 7);
    EXPECT_FALSE(info->cmbQuestionType->isEnabled());
    EXPECT_FALSE(info->point->isEnabled()) << "a vote is not scored";
    EXPECT_TRUE(info->timeLimit->isEnabled());
    choose(info->cmbActionMode, "Rush Quiz");
    EXPECT_TRUE(info->cmbQuestionType->isEnabled());

    // True or false asks first; "No" keeps the type and the texts.
    page(1)->setOption(0, QStringLiteral("red"));
    answers.answerAlert(1);
    choose(info->cmbQuestionType, "True or False");
    EXPECT_EQ(page(1)->nQuestionType(), 0);
    EXPECT_EQ(info->cmbQuestionType->currentText(), "Single Answer");
    EXPECT_EQ(page(1)->optionText(0), "red");
    answers.answerAlert(0);
    choose(info->cmbQuestionType, "True or False");
    EXPECT_EQ(page(1)->nQuestionType(), 5);
    EXPECT_EQ(page(1)->optionText(0), "True");
    EXPECT_EQ(page(1)->optionText(1), "False");
    EXPECT_EQ(editor->smallQuestions->array()[0]->optionText(1), "False") << "the thumbnail too";
    EXPECT_TRUE(page(1)->getOptionC()->isHidden());
    EXPECT_EQ(answers.alerts().size(), 2);
    // Leaving true or false empties the option texts.
    choose(info->cmbQuestionType, "Single Answer");
    EXPECT_EQ(page(1)->optionText(0), "");
    EXPECT_FALSE(page(1)->getOptionC()->isHidden());

    // Texts typed here go into the page's boxes, cut at 230 characters.
    info->questionTitle->setPlainText(QString(300, QLatin1Char('q')));
    EXPECT_EQ(page(1)->questionText(), QString(230, QLatin1Char('q')));
    info->options[2]->setPlainText(QStringLiteral("blue"));
    EXPECT_EQ(page(1)->optionText(2), "blue");
    EXPECT_FALSE(info->options[7]->isEnabled() && !info->options[7]->isReadOnly()) << "a five-option page has no H";
}

TEST_F(QuestionInfoTest, BrevelKeypadsSendAtMostEightLetters)
{
    setModel(4);
    addTemplate(10);
    openInfo();
    EXPECT_FALSE(entries(info->cmbQuestionType).contains("Short Answer"));
    choose(info->cmbQuestionType, "Multiple Answer");
    for (const char *letter : {"A", "B", "C", "D", "E", "F", "G", "H", "I"})
        info->findChild<QCheckBox *>(QStringLiteral("checkBox") + letter)->click();
    EXPECT_EQ(page(1)->strAnswer(), "ABCDEFGH");
    EXPECT_FALSE(info->findChild<QCheckBox *>("checkBoxI")->isChecked());
}

TEST_F(QuestionInfoTest, APageTheKeypadsCannotAnswerIsShownAsSuchAndLeftAlone)
{
    const QString path = fileOf(2, 1); // multiple-answer pages
    setModel(1);
    editor->openFile(path);
    editor->showWindow();
    openInfo();
    EXPECT_EQ(info->cmbQuestionType->currentText(), "Multiple Answer (not supported by these keypads)");
    EXPECT_TRUE(info->optionMessage->isVisibleTo(info));
    EXPECT_EQ(page(1)->nQuestionType(), 1);
    EXPECT_EQ(page(1)->strAnswer(), "B");
    EXPECT_TRUE(info->answerCells->button(6)->isHidden()) << "Arvel answers A to F";
    EXPECT_FALSE(info->answerCells->button(5)->isHidden());
    info->onNext();
    info->close();
    EXPECT_EQ(page(2)->nQuestionType(), 1);
    EXPECT_TRUE(editor->isQuestionsContentChange()) << "nothing changed by looking";
    EXPECT_TRUE(editor->close());
    EXPECT_TRUE(answers.alerts().isEmpty());
    EXPECT_EQ(read(path)->arrayQuestionsInfo()[0]->nQuestionType(), 1);

    // Choosing a type the keypads answer takes the page over and drops the note entry.
    editor = new QuestionsSettingWindowController;
    editor->openFile(path);
    editor->showWindow();
    openInfo();
    choose(info->cmbQuestionType, "Single Answer");
    EXPECT_EQ(page(1)->nQuestionType(), 0);
    EXPECT_EQ(entries(info->cmbQuestionType), QStringList({"Single Answer", "True or False", "Teaching Plan"}));
}

TEST_F(QuestionInfoTest, PagesAddedAndDeletedHereAndThereStayInStep)
{
    for (int i = 0; i < 3; ++i)
        addTemplate(4);
    openInfo();
    EXPECT_EQ(info->nCurrentQuestionNo(), 3);
    EXPECT_EQ(info->cmbQuestionNo->count(), 3);

    // A rating scale added here goes in after the page shown, which it becomes.
    info->onPrevious();
    info->GetOverState(30); // "Level of Consideration", three choices
    ASSERT_EQ(pages().size(), 4);
    EXPECT_EQ(info->nCurrentQuestionNo(), 3);
    EXPECT_EQ(canvas()->nCurrentQuestionIndex(), 3);
    EXPECT_EQ(page(3)->nQuestionActionMode(), 7);
    EXPECT_EQ(page(3)->optionText(2), "Definitely consider");
    EXPECT_EQ(info->cmbQuestionNo->count(), 4);

    // The teacher presses another thumbnail in the editor: this window follows, so its Delete
    // deletes the page it shows.
    editor->smallQuestions->selectedQuestionNo(1);
    QTest::qWait(1);
    EXPECT_EQ(info->nCurrentQuestionNo(), 1);
    QuestionSetView *first = page(1);
    answers.answerAlert(0);
    info->onDelete();
    EXPECT_EQ(pages().size(), 3);
    EXPECT_NE(page(1), first);
    EXPECT_EQ(info->cmbQuestionNo->count(), 3);

    // Deleting the last page makes the one before it current; at one page Delete is off.
    info->onNext();
    info->onNext();
    answers.answerAlert(0);
    info->onDelete();
    EXPECT_EQ(info->nCurrentQuestionNo(), 2);
    answers.answerAlert(0);
    info->onDelete();
    EXPECT_EQ(pages().size(), 1);
    EXPECT_FALSE(info->btnDelete->isEnabled());

    // The editor deletes the last page: nothing left to show, the window closes.
    answers.answerAlert(0);
    editor->onDelQuestion();
    QTest::qWait(1);
    EXPECT_FALSE(info && info->isVisible());
}

TEST_F(QuestionInfoTest, ApplyingToAllPagesAsksFirst)
{
    for (int i = 0; i < 3; ++i)
        addTemplate(4);
    openInfo();
    type(info->point, "20");
    type(info->timeLimit, "45");
    answers.answerAlert(1);
    info->checkBoxAllInSameTimePoint->click();
    EXPECT_FALSE(info->checkBoxAllInSameTimePoint->isChecked());
    EXPECT_EQ(page(1)->nQuestionPoint(), 10);
    answers.answerAlert(0);
    info->checkBoxAllInSameTimePoint->click();
    EXPECT_TRUE(info->checkBoxAllInSameTimePoint->isChecked());
    for (int n = 1; n <= 3; ++n) {
        EXPECT_EQ(page(n)->nQuestionPoint(), 20);
        EXPECT_EQ(page(n)->nQuestionTimeLimit(), 45);
    }
    EXPECT_EQ(answers.alerts().last().informativeText, "Are you sure to apply these settings to all questions?");
    info->difficultyCells->button(4)->click();
    answers.answerAlert(0);
    info->checkBoxAllInSameLevel->click();
    EXPECT_EQ(page(1)->nQuestionDifficulty(), 4);
}

// Escape, from a field or a text view, closes the window as its close box does: every change is
// already in the page, and the editor offers Properties again.
TEST_F(QuestionInfoTest, EscapeClosesTheWindowAndKeepsWhatWasTyped)
{
    addTemplate(4);
    for (const bool fromText : {false, true}) {
        openInfo();
        ASSERT_TRUE(info);
        info->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(info));
        type(info->point, "25");
        QWidget *from = fromText ? static_cast<QWidget *>(info->questionTitle) : info->point;
        from->setFocus();
        QTest::keyClick(from, Qt::Key_Escape);
        QApplication::processEvents();
        EXPECT_TRUE(!info || !info->isVisible()) << "from the " << (fromText ? "question text" : "points field");
        EXPECT_EQ(page(1)->nQuestionPoint(), 25);
        EXPECT_TRUE(editor->btnQuestionInfo->isEnabled());
    }
}
