#include "EditorFixture.h"

#include "core/authoring/TemplateData.h"
#include "platform/AtomicFile.h"
#include "platform/NotificationCenter.h"
#include "support/RealAlerts.h"
#include "ui/controls/NSMyColorWell.h"
#include "ui/controls/ScreenCapture.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QTextEdit>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

namespace {

class EditorWindowTest : public EditorFixture
{
};

// A capture that hands back a fixed picture, as the presentation tools' curtain would.
class FakeCapture : public ScreenCapture
{
public:
    void start(QWidget *) override
    {
        ++started;
        NotificationCenter::defaultCenter()->postNotification(
            QStringLiteral("MESSAGESCREENSHOTCAPTION"), {{QStringLiteral("image"), picture}, {QStringLiteral("flag"), 1}});
    }
    QImage picture;
    int started = 0;
};

} // namespace

TEST_F(EditorWindowTest, TemplatesMakePagesOfTheirKindAfterTheCurrentPage)
{
    EXPECT_EQ(editor->windowTitle(), "Question Setting");
    EXPECT_FALSE(editor->tbiDel->isEnabled()) << "no page, no page controls";
    EXPECT_FALSE(editor->btnQuestionInfo->isEnabled());
    EXPECT_FALSE(editor->comboboxToolTip->isEnabled());
    EXPECT_TRUE(editor->tbiAddNew->isEnabled());

    addTemplate(4);
    addTemplate(25); // "Level of Agreement", five choices
    addTemplate(0);
    addTemplate(1);
    ASSERT_EQ(pages().size(), 4);
    EXPECT_EQ(page(1)->getOptionNum(), 4);
    EXPECT_EQ(page(1)->nQuestionType(), 0);
    EXPECT_EQ(page(2)->nQuestionActionMode(), 7) << "a rating scale is a vote";
    EXPECT_EQ(page(2)->getOptionNum(), 5);
    EXPECT_EQ(page(2)->optionText(4), "Strongly agree");
    EXPECT_EQ(page(3)->nQuestionType(), 5);
    EXPECT_EQ(page(3)->optionText(0), "True");
    EXPECT_EQ(page(4)->nQuestionType(), 2) << "cloze on a Dravel receiver";
    EXPECT_TRUE(page(4)->getOptionA()->isHidden());
    EXPECT_EQ(canvas()->nCurrentQuestionIndex(), 4);
    EXPECT_TRUE(editor->tbiDel->isEnabled());
    EXPECT_TRUE(editor->btnQuestionInfo->isEnabled());

    // A page goes in after the page shown.
    editor->smallQuestions->selectedQuestionNo(1);
    addTemplate(2);
    EXPECT_EQ(page(2)->getOptionNum(), 2);
    EXPECT_EQ(canvas()->nCurrentQuestionIndex(), 2);
    addTemplate(12);
    EXPECT_EQ(pages().size(), 5) << "an index without a template adds nothing";

    // Arvel keypads cannot write an answer: the cloze template is a teaching plan there.
    setModel(1);
    addTemplate(1);
    EXPECT_EQ(canvas()->currentPage()->nQuestionType(), 4);
}

TEST_F(EditorWindowTest, TheAddItemStopsAtNinetyNinePages)
{
    for (int i = 0; i < 98; ++i)
        addTemplate(2);
    EXPECT_TRUE(editor->tbiAddNew->isEnabled());
    addTemplate(3);
    EXPECT_EQ(pages().size(), 99);
    EXPECT_FALSE(editor->tbiAddNew->isEnabled());
    // The chooser stays open for further adds; they are refused at the limit.
    addTemplate(3);
    EXPECT_EQ(pages().size(), 99);

    answers.answerAlert(1); // "No"
    editor->onDelQuestion();
    EXPECT_EQ(pages().size(), 99);
    answers.answerAlert(0);
    editor->onDelQuestion();
    EXPECT_EQ(pages().size(), 98);
    EXPECT_TRUE(editor->tbiAddNew->isEnabled());
    EXPECT_EQ(answers.alerts().last().informativeText, "Are you sure to delete this question?");
}

TEST_F(EditorWindowTest, SaveAndSaveAsKeepAnswerlessVotesAndRunThePassOnlyOnceAFileIsChosen)
{
    addTemplate(25);
    addTemplate(4);
    page(2)->setNQuestionActionMode(3); // a rush question still without its answer
    addTemplate(0);
    page(3)->setStrAnswer(QStringLiteral("A"));

    // Save As given up: nothing written, no page touched, still unsaved.
    EXPECT_FALSE(editor->onSaveAs());
    EXPECT_EQ(page(2)->nQuestionType(), 0);
    EXPECT_TRUE(editor->path().isEmpty());
    EXPECT_EQ(editor->windowTitle(), "Question Setting");

    const QString path = home() + "scale.px";
    answers.answerFile(path);
    ASSERT_TRUE(editor->onSaveAs());
    EXPECT_EQ(editor->windowTitle(), "Question Setting(" + path + ")");
    auto saved = read(path);
    ASSERT_TRUE(saved);
    ASSERT_EQ(saved->arrayQuestionsInfo().size(), 3);
    EXPECT_EQ(saved->arrayQuestionsInfo()[0]->nQuestionType(), 0) << "the vote keeps its type";
    EXPECT_EQ(saved->arrayQuestionsInfo()[1]->nQuestionType(), 4) << "an answerless rush page cannot run";
    EXPECT_EQ(saved->arrayQuestionsInfo()[2]->strAnswer(), "A") << "Save As leaves the editing form";
    EXPECT_EQ(saved->nExamPaperID(), 1);

    // Save on top, twice: the vote still keeps its type; true or false is written as "True".
    ASSERT_TRUE(editor->onSave());
    ASSERT_TRUE(editor->onSave());
    saved = read(path);
    EXPECT_EQ(saved->arrayQuestionsInfo()[0]->nQuestionType(), 0);
    EXPECT_EQ(saved->arrayQuestionsInfo()[0]->nQuestionActionMode(), 7);
    EXPECT_EQ(saved->arrayQuestionsInfo()[2]->strAnswer(), "True");
    EXPECT_EQ(saved->nExamPaperID(), 1) << "Save keeps the set's ID";
    EXPECT_TRUE(editor->isQuestionsContentChange());

    // Save As onto an existing file asks first; "No" writes nothing and keeps the path.
    const QString other = fileOf(1, 0, QStringLiteral("other.px"));
    const QByteArray before = readFile(other);
    answers.answerFile(other);
    answers.answerAlert(1);
    EXPECT_FALSE(editor->onSaveAs());
    EXPECT_EQ(readFile(other), before);
    EXPECT_EQ(editor->path(), path);
    EXPECT_EQ(answers.alerts().last().text, "\"other.px\" already exists. Do you want to replace it?");
    EXPECT_EQ(answers.alerts().last().informativeText,
              "A file with the same name already exists on the Desktop.Replacing it will overwrite its current contents.");

    // An answer sheet: the kind the teacher picked gives the extension.
    answers.answerFile(home() + "sheet.sep");
    ASSERT_TRUE(editor->onSaveAs());
    EXPECT_EQ(editor->path(), home() + "sheet.sep");
    EXPECT_EQ(read(home() + "sheet.sep")->nExamPaperID(), 2) << "Save As takes a new ID";
}

TEST_F(EditorWindowTest, AFailedWriteIsReportedAndLeavesTheSetUnsaved)
{
    addTemplate(4);
    const QString path = home() + "quiz.px";
    answers.answerFile(path);
    ASSERT_TRUE(editor->onSaveAs());
    page(1)->setNQuestionPoint(20);
    const QByteArray before = readFile(path);

    AtomicFile::setFailureHook([](const QString &) { return true; });
    EXPECT_FALSE(editor->onSave());
    AtomicFile::setFailureHook({});
    EXPECT_EQ(answers.alerts().last().text, "The question file could not be saved.");
    EXPECT_FALSE(answers.alerts().last().informativeText.isEmpty()) << "the reason goes with it";
    EXPECT_EQ(readFile(path), before);
    EXPECT_FALSE(editor->isQuestionsContentChange()) << "still unsaved: the close question will come";

    // The exam-ID counter cannot hand out a number: Save As writes nothing rather than ID 0.
    writeFile("ExamID.xml", "<Config><ExamID>");
    answers.answerFile(home() + "new.px");
    EXPECT_FALSE(editor->onSaveAs());
    EXPECT_FALSE(QFile::exists(home() + "new.px"));
    EXPECT_EQ(editor->path(), path);

    // Closing then asks, and a save that fails keeps the window open.
    AtomicFile::setFailureHook([](const QString &) { return true; });
    answers.answerAlert(0); // "Yes": save and exit
    EXPECT_FALSE(editor->close());
    AtomicFile::setFailureHook({});
    EXPECT_TRUE(editor);
    EXPECT_EQ(answers.alerts()[answers.alerts().size() - 2].informativeText, "You have made some changes,save and exit?");
}

TEST_F(EditorWindowTest, ClosingAsksOnlyAboutChangesAndBringsTheOpenerBack)
{
    QWidget opener;
    editor->setFather(&opener);
    editor->showWindow();
    EXPECT_TRUE(editor->close()) << "a new, empty editor closes without a question";
    EXPECT_TRUE(answers.alerts().isEmpty());
    EXPECT_TRUE(opener.isVisible());

    // An opened file: no question until something changes; "Yes" writes the pages as they are.
    const QString path = fileOf(2, 5);
    editor = new QuestionsSettingWindowController;
    editor->openFile(path);
    editor->showWindow();
    EXPECT_EQ(editor->windowTitle(), "Question Setting(" + path + ")");
    ASSERT_EQ(pages().size(), 2);
    EXPECT_TRUE(editor->isQuestionsContentChange());
    page(1)->setStrAnswer(QStringLiteral("A"));
    page(2)->setNQuestionActionMode(3);
    page(2)->setStrAnswer(QStringLiteral("nocorrect"));
    answers.answerAlert(2); // "Cancel"
    EXPECT_FALSE(editor->close());
    answers.answerAlert(0); // "Yes"
    EXPECT_TRUE(editor->close());
    auto saved = read(path);
    EXPECT_EQ(saved->arrayQuestionsInfo()[0]->strAnswer(), "A") << "no save pass on closing";
    EXPECT_EQ(saved->arrayQuestionsInfo()[1]->nQuestionType(), 5);
    EXPECT_EQ(saved->nExamPaperID(), 7);
}

// The question comes up for real: Escape on it, or its close box, is its Cancel: the editor stays
// open on the changed pages and the file is as it was.
TEST_F(EditorWindowTest, EscapeOrTheCloseBoxOnTheClosingQuestionKeepsTheEditorAndItsPages)
{
    const QString path = fileOf(2);
    const QByteArray before = readFile(path);
    editor->openFile(path);
    editor->showWindow();
    page(1)->setStrAnswer(QStringLiteral("C"));
    for (RealAlerts::Way way : {RealAlerts::Way::Escape, RealAlerts::Way::CloseBox}) {
        RealAlerts real;
        real.leave(way);
        EXPECT_FALSE(RealAlerts::closeBox(editor.data()));
        EXPECT_EQ(real.seen(), QStringList{"Warning | You have made some changes,save and exit?"});
        EXPECT_EQ(real.stuck(), 0);
        EXPECT_TRUE(editor->isVisible());
        EXPECT_EQ(page(1)->strAnswer(), "C");
    }
    EXPECT_EQ(readFile(path), before);
}

// Escape on the editor, also with the page holding the keys, is its close box: the same question,
// whose Escape keeps the editor; while a box's text is typed, Escape stays with the text.
TEST_F(EditorWindowTest, EscapeOnTheEditorAsksAsItsCloseBoxDoes)
{
    editor->openFile(fileOf(2));
    editor->showWindow();
    page(1)->setStrAnswer(QStringLiteral("C"));
    canvas()->setFocus();
    {
        RealAlerts real;
        real.leave(RealAlerts::Way::Escape);
        QTest::keyClick(canvas(), Qt::Key_Escape);
        EXPECT_EQ(real.seen(), QStringList{"Warning | You have made some changes,save and exit?"});
        EXPECT_EQ(real.stuck(), 0);
    }
    ASSERT_FALSE(editor.isNull());
    EXPECT_TRUE(editor->isVisible());

    // Double-clicking the question box starts typing its text.
    QuestionSetView *p = page(1);
    const QPoint at = canvas()->toWidget(p->getQuestionTitle()->frame()).center().toPoint();
    QTest::mouseDClick(canvas(), Qt::LeftButton, {}, at);
    ASSERT_TRUE(p->getQuestionTitle()->isEditing());
    ASSERT_TRUE(canvas()->textEditor()->isVisible());
    answers.answerAlert(1); // "No", should the question come
    QTest::keyClick(canvas()->textEditor(), Qt::Key_Escape);
    EXPECT_TRUE(answers.alerts().isEmpty());
    ASSERT_FALSE(editor.isNull());

    // A press on empty space ends the typing: Escape is the close box again.
    QTest::mouseClick(canvas(), Qt::LeftButton, {}, QPoint(5, 590));
    ASSERT_FALSE(canvas()->textEditor()->isVisible());
    answers.answerAlert(1); // "No": closes without writing
    QTest::keyClick(canvas(), Qt::Key_Escape);
    EXPECT_EQ(answers.alerts().size(), 1);
    EXPECT_TRUE(QTest::qWaitFor([this] { return editor.isNull() || !editor->isVisible(); }));
}

TEST_F(EditorWindowTest, RolesArrowKeysPenSizesAndCapture)
{
    addTemplate(4);
    addTemplate(4);
    editor->smallQuestions->selectedQuestionNo(1);
    QuestionSetView *p = page(1);
    // Choosing "Question" for option A's box takes the role from the question box.
    const int optionA = p->indexOfBox(p->getOptionA());
    MyTextView *question = p->getQuestionTitle();
    p->setSelection({optionA}, optionA);
    editor->comboboxToolTip->setCurrentIndex(MyTextView::RoleQuestion);
    editor->comboBoxSelectionDidChange();
    EXPECT_EQ(p->cellArray()[optionA]->toolTipNo(), MyTextView::RoleQuestion);
    EXPECT_EQ(question->toolTipNo(), MyTextView::RoleNone);
    EXPECT_EQ(question->toolTip(), "No Set");

    // Arrow keys move between pages; past either end the page stays.
    editor->show();
    QTest::keyClick(editor.data(), Qt::Key_Up);
    EXPECT_EQ(canvas()->nCurrentQuestionIndex(), 1);
    QTest::keyClick(editor.data(), Qt::Key_Down);
    EXPECT_EQ(canvas()->nCurrentQuestionIndex(), 2);
    QTest::keyClick(editor.data(), Qt::Key_Down);
    EXPECT_EQ(canvas()->nCurrentQuestionIndex(), 2);

    const int widths[] = {2, 4, 6, 8};
    for (int entry = 0; entry < 4; ++entry) {
        editor->pubControlPenSize->setCurrentIndex(entry);
        editor->onPenSize();
        EXPECT_EQ(canvas()->nPenSize(), widths[entry]);
    }

    // The colour well follows the shared colour panel once the teacher opens it from the well.
    QTest::mouseClick(editor->colorwell, Qt::LeftButton);
    NSMyColorWell::sharedColorPanel()->setCurrentColor(Qt::blue);
    EXPECT_EQ(canvas()->colorSet(), QColor(Qt::blue));
    NSMyColorWell::sharedColorPanel()->close();

    // No screen capture installed: the item stays off and does nothing.
    EXPECT_FALSE(editor->tbiCapture->isEnabled());
    auto capture = std::make_unique<FakeCapture>();
    FakeCapture *fake = capture.get();
    fake->picture = QImage(40, 30, QImage::Format_RGB32);
    fake->picture.fill(Qt::red);
    ScreenCapture::install(std::move(capture));
    editor->validateToolbarItems();
    EXPECT_TRUE(editor->tbiCapture->isEnabled());
    const qsizetype boxes = canvas()->currentPage()->cellArray().size();
    editor->onCapture();
    EXPECT_EQ(fake->started, 1);
    ASSERT_EQ(canvas()->currentPage()->cellArray().size(), boxes + 1);
    const MyTextView *shot = canvas()->currentPage()->cellArray().last().get();
    EXPECT_EQ(shot->frame(), QRectF(0, 0, 40, 30));
    EXPECT_EQ(shot->ig().pixelColor(1, 1), QColor(Qt::red));
    EXPECT_TRUE(editor->isVisible()) << "the editor comes back after the capture";
    // A capture given up brings no picture: nothing is inserted.
    NotificationCenter::defaultCenter()->postNotification(QStringLiteral("MESSAGESCREENSHOTCAPTION"),
                                                          {{QStringLiteral("flag"), 0}});
    EXPECT_EQ(canvas()->currentPage()->cellArray().size(), boxes + 1);
    ScreenCapture::install(nullptr);
}

// A picture brought in by the toolbar's Picture is the box selected: the role list shows its
// role ("No Set"), not that of the box selected before, which a choice there would not reach.
TEST_F(EditorWindowTest, ThePictureBroughtInShowsItsOwnRole)
{
    addTemplate(4);
    QuestionSetView *p = page(1);
    const int optionA = p->indexOfBox(p->getOptionA());
    p->setSelection({optionA}, optionA);
    editor->comboboxToolTip->setCurrentIndex(MyTextView::RoleOptionA);
    p->setSelection({}, -1); // a click beside the boxes
    QImage picture(30, 20, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    ASSERT_TRUE(picture.save(home() + "pic.png"));
    answers.answerFile(home() + "pic.png");
    editor->show();
    QTest::mouseClick(editor->findChild<QToolBar *>("formatToolbar")->widgetForAction(editor->tbiImport), Qt::LeftButton);
    ASSERT_TRUE(p->anchorBox());
    EXPECT_TRUE(p->anchorBox()->igFlag());
    EXPECT_EQ(editor->comboboxToolTip->currentIndex(), MyTextView::RoleNone);
    EXPECT_EQ(p->getOptionA()->toolTipNo(), MyTextView::RoleOptionA);
}

// The close box while a box's text is typed, then Cancel on the closing question: the keys go back
// to the text, where the teacher was typing.
TEST_F(EditorWindowTest, CancelOnTheClosingQuestionGivesTheKeysBackToTheTextTyped)
{
    editor->openFile(fileOf(2));
    editor->showWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor.data()));
    QuestionSetView *p = page(1);
    QTest::mouseDClick(canvas(), Qt::LeftButton, {}, canvas()->toWidget(p->getQuestionTitle()->frame()).center().toPoint());
    QTest::keyClick(canvas()->textEditor(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(canvas()->textEditor(), " and");
    RealAlerts real;
    real.click("Cancel");
    EXPECT_FALSE(RealAlerts::closeBox(editor.data()));
    EXPECT_EQ(real.seen(), QStringList{"Warning | You have made some changes,save and exit?"});
    // The window manager hands the keys back to the window.
    editor->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor.data()));
    EXPECT_EQ(QApplication::focusWidget(), canvas()->textEditor());
    QTest::keyClicks(QApplication::focusWidget(), " more");
    EXPECT_EQ(p->getQuestionTitle()->textview()->string(), "Q1 and more");
}
