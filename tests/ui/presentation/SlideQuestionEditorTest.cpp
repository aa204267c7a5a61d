#include "core/app/Orvenda_AppDelegate.h"
#include "core/keypad/DeviceController.h"
#include "core/presentation/QuestionSlideFormat.h"
#include "platform/AtomicFile.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "platform/PPTEditorMSO.h"
#include "support/DialogAnswers.h"
#include "support/FakeOffice.h"
#include "support/PollixTest.h"
#include "support/RealAlerts.h"
#include "support/SlideDecks.h"
#include "ui/app/PresentationTools.h"
#include "ui/app/TabController.h"
#include "ui/authoring/AddSLides.h"
#include "ui/controls/MyComboBox.h"
#include "ui/presentation/PPTQuestionInfoWindowController.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

// The question editor over the slides of the open deck: it opens on the selected slide, keeps
// its fields in range, writes the slides only when the teacher saves, and keeps questions and
// slides in step as slides are added and deleted.
using SlideDecks::ShapeSpec;

namespace {

QList<ShapeSpec> slide(const QString &type, const QString &answer, const QString &title = "Q")
{
    return {{"Qu_Title", title}, {"OptionA", "a"},  {"OptionB", "b"},      {"OptionC", "c"},
            {"OptionD", "d"},    {"mode", type},    {"answer", answer},    {"mark", "10"},
            {"time", "30"},      {"activity_mode", "Testing ---> Normal Quiz"}, {"ID", ""}};
}

class SlideQuestionEditor : public PollixTest
{
protected:
    void SetUp() override
    {
        PollixTest::SetUp();
        ppt = PPTEditorMSO::shareManager();
        ppt->setTemplatePath(SlideDecks::shippedTemplate());
        NotificationCenter::defaultCenter()->addObserver(&observer, Notify::GetSaveState, [this](const Notification &n) {
            saveStates << n.userInfo.value(Notify::Key::SaveState).toInt();
        });
    }
    void TearDown() override
    {
        DialogHooks::setModalResponder({});
        AtomicFile::setFailureHook({});
        NotificationCenter::defaultCenter()->removeObserver(&observer);
        AddSLides::hooks() = {};
        TabController::resetHooks();
        ppt->setSavePathProvider({});
        ppt->quitPPT();
        PollixTest::TearDown();
    }
    void openDeck(const QList<QList<ShapeSpec>> &slides, int deviceType)
    {
        DeviceController::ShareDeviceController()->setCurDeviceType(deviceType);
        deckPath = home() + "deck.pptx";
        ASSERT_TRUE(SlideDecks::writeDeck(slides, deckPath));
        ASSERT_TRUE(ppt->openPPT(deckPath));
    }
    void openEditor()
    {
        editor = std::make_unique<PPTQuestionInfoWindowController>();
        editor->awakeFromNib();
    }
    // The template picker, when it opens, adds the template slide of that name.
    void pickTemplate(const QString &name)
    {
        AddSLides::hooks().copyAndPasteSlide = [this](int index) { return ppt->copySlideByIndex(index) && ppt->pasteSlide(); };
        AddSLides::hooks().slideCount = [this] { return ppt->getCountOfSlide(); };
        DialogHooks::setModalResponder([name](QDialog *d) {
            if (auto *picker = qobject_cast<AddSLides *>(d))
                for (QTreeWidgetItemIterator it(picker->outlineView); *it; ++it)
                    if ((*it)->text(0) == name) {
                        picker->ovDoubleClick(*it);
                        break;
                    }
            return 0;
        });
    }
    // Types into a number field as the teacher does.
    static void type(QLineEdit *field, const QString &text)
    {
        field->selectAll();
        QTest::keyClicks(field, text);
    }
    // Replaces a text as the teacher does: select all, then type.
    static void retype(QPlainTextEdit *view, const QString &text)
    {
        QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(view, text);
    }
    // The saved file, read again.
    static std::unique_ptr<PptxPresentation> savedDeck(const QString &path)
    {
        auto saved = std::make_unique<PptxPresentation>();
        EXPECT_TRUE(saved->loadFile(path)) << path.toStdString();
        return saved;
    }

    PPTEditorMSO *ppt = nullptr;
    QString deckPath;
    std::unique_ptr<PPTQuestionInfoWindowController> editor;
    DialogAnswers answers;
    QObject observer;
    QList<int> saveStates;
};

} // namespace

TEST_F(SlideQuestionEditor, OpensOnTheSelectedSlideAndKeepsToWhatTheKeypadsAnswer)
{
    openDeck({slide("Single Answer", "A"), slide("Single Answer", "AB"), slide("Multiple Answer", "AC")}, 1);
    // The teacher last showed the third slide.
    ppt->setPPT(1);
    ppt->setPPT(3);
    ppt->setPPT(3);
    ppt->setPPT(0);
    openEditor();
    EXPECT_EQ(editor->cmbQuestionNo->currentIndex(), 2);
    // Arvel keypads answer no multiple answer: the question becomes a teaching plan, unsaved.
    EXPECT_EQ(editor->questions().at(2).nQuestionType(), 4);
    EXPECT_EQ(editor->cmbQuestionType->currentText(), "Teaching Plan");
    EXPECT_TRUE(editor->bSomeMessageChanged());
    EXPECT_FALSE(editor->point->isEnabled());

    // Two letters are no single answer: shown and kept as no correct answer, which is no edit.
    editor->onPrevious();
    EXPECT_EQ(editor->questions().at(1).strAnswer(), "nocorrect");
    EXPECT_TRUE(editor->answerCells->button(10)->isChecked());
    EXPECT_TRUE(editor->answerCells->button(6)->isHidden()) << "Arvel keypads answer A to F";
}

TEST_F(SlideQuestionEditor, FieldsStayInRangeAndLongTextsAreRefused)
{
    openDeck({slide("Single Answer", "B"), slide("Single Answer", "C")}, 3);
    openEditor();
    type(editor->point, "400");
    EXPECT_EQ(editor->point->text(), "250");
    EXPECT_EQ(editor->point->selectedText(), "250");
    EXPECT_EQ(editor->questions().at(0).nPoint(), 250);
    type(editor->rushTimeLimit, "0");
    EXPECT_EQ(editor->rushTimeLimit->text(), "1");

    editor->options[1]->setPlainText(QString(230, 'x'));
    EXPECT_EQ(editor->questions().at(0).strOptionB(), QString(230, 'x'));
    editor->options[1]->setPlainText(QString(400, 'y'));
    EXPECT_EQ(editor->options[1]->toPlainText(), QString(230, 'x')) << "a paste past 230 characters is refused whole";
    EXPECT_EQ(editor->questions().at(0).strOptionB(), QString(230, 'x'));

    // Applying the rush settings to all questions asks first.
    type(editor->rushPoint, "15");
    type(editor->rushTimeLimit, "20");
    answers.answerAlert(0);
    editor->checkBoxAllInSameTimePointForRush->click();
    for (const QuizQuestionsElement &q : editor->questions()) {
        EXPECT_EQ(q.nRushPoint(), 15);
        EXPECT_EQ(q.nRushTime(), 20);
    }
    // A vote is a single-answer question only.
    editor->cmbActionMode->setCurrentIndex(3);
    EXPECT_FALSE(editor->cmbQuestionType->isEnabled());
    editor->cmbActionMode->setCurrentIndex(0);
    editor->cmbQuestionType->setCurrentIndex(1);
    EXPECT_EQ(editor->cmbActionMode->count(), 3);
}

TEST_F(SlideQuestionEditor, OnlyASaveThatReachedTheFileClearsTheChanges)
{
    openDeck({slide("Single Answer", "B", "First"), slide("Single Answer", "C", "Second")}, 3);
    openEditor();
    editor->questionTitle->setPlainText("First, reworded");
    editor->onNext();
    editor->cmbQuestionType->setCurrentIndex(2); // True or False
    ASSERT_EQ(editor->questions().at(1).nQuestionType(), 5);

    // Declined: nothing is written and the edits are still unsaved.
    answers.answerAlert(1);
    editor->btnSave->click();
    EXPECT_EQ(ppt->readTextBoxByName("Qu_Title", 0), "First");
    EXPECT_EQ(ppt->readTextBoxByName("mode", 1), "Single Answer");
    EXPECT_TRUE(editor->bSomeMessageChanged());

    // Accepted: the slides, an exam ID on the first slide, and the file.
    answers.answerAlert(0);
    editor->btnSave->click();
    EXPECT_FALSE(editor->bSomeMessageChanged());
    EXPECT_EQ(ppt->readTextBoxByName("Qu_Title", 0), "First, reworded");
    EXPECT_EQ(ppt->readTextBoxByName("mode", 1), "True or False");
    EXPECT_EQ(ppt->readTextBoxByName("OptionA", 1), "True");
    const int id = QuestionSlideFormat::integerValue(ppt->readTextBoxByName("ID", 0));
    EXPECT_GT(id, 0);
    EXPECT_FALSE(ppt->isModified());
    EXPECT_EQ(answers.alertTexts().last(), "Saved successfully.");
    EXPECT_FALSE(ppt->fileName().isEmpty());
    EXPECT_EQ(answers.alerts().last().informativeText, "Saved to " + QDir::toNativeSeparators(ppt->fileName()));
    editor->btnSave->click();
    EXPECT_EQ(QuestionSlideFormat::integerValue(ppt->readTextBoxByName("ID", 0)), id) << "a drawn ID stays";

    // Closing with an edit answered "No" tells the main window the deck is unsaved.
    editor->questionTitle->setPlainText("Again");
    answers.answerAlert(1);
    editor->close();
    EXPECT_EQ(saveStates, QList<int>{1});
}

TEST_F(SlideQuestionEditor, AddingAndDeletingKeepQuestionsAndSlidesInStep)
{
    QList<QList<ShapeSpec>> slides;
    for (int i = 1; i <= 98; ++i)
        slides << slide("Single Answer", "A", QStringLiteral("Q%1").arg(i));
    openDeck(slides, 3);
    AddSLides::hooks().copyAndPasteSlide = [this](int index) { return ppt->copySlideByIndex(index) && ppt->pasteSlide(); };
    AddSLides::hooks().slideCount = [this] { return ppt->getCountOfSlide(); };
    openEditor();
    EXPECT_TRUE(editor->btnAdd->isEnabled());

    // The picker copies the true-or-false template: the 99th question, and no more may come.
    editor->GetOverState(0, 0);
    EXPECT_EQ(editor->questions().size(), 98) << "nothing was added";
    ASSERT_TRUE(ppt->copySlideByIndex(0) && ppt->pasteSlide());
    editor->GetOverState(1, 0);
    ASSERT_EQ(editor->questions().size(), 99);
    EXPECT_EQ(editor->questions().last().nQuestionType(), 5);
    EXPECT_EQ(editor->cmbQuestionNo->currentIndex(), 98);
    EXPECT_FALSE(editor->btnAdd->isEnabled());
    EXPECT_TRUE(editor->bSomeMessageChanged()) << "the slide is in the deck, not yet in its file";

    // Deleting the last question shows the one before it; its slide goes with it.
    answers.answerAlert(0);
    editor->btnDelete->click();
    EXPECT_EQ(editor->questions().size(), 98);
    EXPECT_EQ(ppt->getCountOfSlide(), 98);
    EXPECT_EQ(editor->cmbQuestionNo->currentIndex(), 97);
    EXPECT_EQ(editor->cmbQuestionNo->count(), 98);
    EXPECT_TRUE(editor->btnAdd->isEnabled());
    // The first: the next one moves up.
    editor->cmbQuestionNo->setCurrentIndex(0);
    answers.answerAlert(0);
    editor->btnDelete->click();
    EXPECT_EQ(editor->questions().first().strTitle(), "Q2");
    EXPECT_EQ(ppt->readTextBoxByName("Qu_Title", 0), "Q2");
}

// Template names are long and the box is narrow: its list opens as wide as the longest name and
// a little more, and a choice made in the list is the template a new deck starts from.
TEST_F(SlideQuestionEditor, TheTemplateChooserOpensWideEnoughToReadEveryName)
{
    openDeck({slide("Single Answer", "A")}, 3);
    openEditor();
    MyComboBox *box = editor->cmbTemplate;
    ASSERT_GT(box->count(), 1);
    EXPECT_FALSE(box->isEditable());
    editor->show();
    box->setFixedWidth(90);
    QSignalSpy closings(box, &MyComboBox::comboBoxSelectionDidChange);
    QTest::mouseClick(box, Qt::LeftButton);
    ASSERT_TRUE(box->view()->isVisible());
    int widest = 0;
    for (int i = 0; i < box->count(); ++i)
        widest = std::max(widest, box->fontMetrics().boundingRect(box->itemText(i)).width());
    EXPECT_GE(box->view()->width(), widest + 50 - 1);
    QTest::keyClick(box->view(), Qt::Key_Down);
    QTest::keyClick(box->view(), Qt::Key_Return);
    EXPECT_FALSE(box->view()->isVisible());
    EXPECT_EQ(box->currentIndex(), 1);
    EXPECT_EQ(closings.count(), 1);
}

// A slide added or deleted here is in the deck, not yet in its file: the editor is not closed
// over it without a question. Cancel goes back to the editor, a save that cannot write keeps it
// open, Yes writes the file; No leaves the deck changed for the main window to ask about.
TEST_F(SlideQuestionEditor, ASlideAddedOrDeletedHereIsSavedOrAskedAboutBeforeTheEditorCloses)
{
    openDeck({slide("Single Answer", "A", "First")}, 3);
    pickTemplate("4 Selections 1 Coulumns");
    openEditor();
    editor->show();
    QTest::mouseClick(editor->btnAdd, Qt::LeftButton);
    ASSERT_EQ(editor->questions().size(), 2);
    ASSERT_EQ(ppt->getCountOfSlide(), 2);
    EXPECT_TRUE(editor->bSomeMessageChanged());

    answers.answerAlert(2); // Cancel
    editor->close();
    EXPECT_TRUE(editor->isVisible());
    ASSERT_FALSE(answers.alerts().isEmpty());
    EXPECT_EQ(answers.alerts().last().informativeText, "Contents have been changed, do you want to save?");
    EXPECT_EQ(answers.alerts().last().buttons, (QStringList{"Yes", "No", "Cancel"}));
    EXPECT_TRUE(saveStates.isEmpty());

    AtomicFile::setFailureHook([this](const QString &path) { return path == deckPath; });
    answers.answerAlert(0); // Yes, but the file cannot be written
    editor->close();
    AtomicFile::setFailureHook({});
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(answers.alertTexts().last(), "The presentation could not be saved.");
    EXPECT_TRUE(editor->bSomeMessageChanged());

    answers.answerAlert(0); // Yes
    editor->close();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(saveStates, QList<int>{0});
    PptxPresentation saved;
    ASSERT_TRUE(saved.loadFile(deckPath));
    EXPECT_EQ(saved.slideCount(), 2);

    // A deletion likewise; No closes and tells the main window the deck is unsaved.
    openEditor();
    editor->show();
    editor->cmbQuestionNo->setCurrentIndex(1);
    answers.answerAlert(0); // Yes, delete
    QTest::mouseClick(editor->btnDelete, Qt::LeftButton);
    ASSERT_EQ(ppt->getCountOfSlide(), 1);
    answers.answerAlert(1); // No
    editor->close();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(answers.alerts().last().informativeText, "Contents have been changed, do you want to save?");
    EXPECT_EQ(saveStates, (QList<int>{0, 1}));
    ASSERT_TRUE(saved.loadFile(deckPath));
    EXPECT_EQ(saved.slideCount(), 2);
}

// The question comes up for real: Escape on it, or its close box, is its Cancel, by the editor's
// close box or by Escape on the editor: the editor stays with the slide it added, unsaved.
TEST_F(SlideQuestionEditor, EscapeOrTheCloseBoxOnTheQuestionGoesBackToTheEditor)
{
    openDeck({slide("Single Answer", "A", "First")}, 3);
    pickTemplate("4 Selections 1 Coulumns");
    openEditor();
    editor->show();
    editor->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
    QTest::mouseClick(editor->btnAdd, Qt::LeftButton);
    ASSERT_EQ(editor->questions().size(), 2);
    for (const auto &wayOut : RealAlerts::waysOut(editor.get())) {
        for (RealAlerts::Way way : {RealAlerts::Way::Escape, RealAlerts::Way::CloseBox}) {
            RealAlerts real;
            real.leave(way);
            wayOut();
            EXPECT_EQ(real.seen(), QStringList{"Pollix | Contents have been changed, do you want to save?"});
            EXPECT_EQ(real.stuck(), 0);
            EXPECT_TRUE(editor->isVisible());
            EXPECT_EQ(editor->questions().size(), 2);
            EXPECT_TRUE(editor->bSomeMessageChanged());
        }
    }
    EXPECT_TRUE(saveStates.isEmpty()) << "the main window is told nothing while the editor stays";
    PptxPresentation saved;
    ASSERT_TRUE(saved.loadFile(deckPath));
    EXPECT_EQ(saved.slideCount(), 1);
}

// A deck of the teacher's own design, converted from an old .ppt: its slides hold titles and
// text boxes, no question boxes. Such a slide is shown as holding no question (nothing can be
// typed, a line says how to add a question slide), while a question slide beside it is edited
// and saved as ever, even where it lacks some of its settings boxes: those are added, hidden.
TEST_F(SlideQuestionEditor, ASlideOfTheTeachersOwnDesignHoldsNoQuestionAndTheOthersStillSave)
{
    DeviceController::ShareDeviceController()->setCurDeviceType(3);
    const QList<ShapeSpec> plain{{"Title 1", "Photosynthesis"},
                                 {"Content Placeholder 2", "Plants turn light, water and air into sugar."},
                                 {"TextBox 3", "Which gas do plants take in?"}};
    const QString converted = home() + "converted.pptx";
    ASSERT_TRUE(SlideDecks::writeDeck({plain, slide("Single Answer", "A", "Which gas?")}, converted));
    FakeOffice office(home() + "office", converted);
    ASSERT_TRUE(ppt->openPPT(writeFile("Biology.ppt", "an old binary deck")));
    ASSERT_TRUE(ppt->fileName().isEmpty());
    PresentationTools::install();
    openEditor();
    editor->show();

    // The first slide: nothing to type into, and a line that says what to do.
    ASSERT_EQ(editor->cmbQuestionNo->currentIndex(), 0);
    EXPECT_TRUE(editor->noQuestionMessage->isVisible());
    EXPECT_TRUE(editor->noQuestionMessage->text().contains("Add"));
    EXPECT_TRUE(editor->questionTitle->isReadOnly());
    QTest::mouseClick(editor->questionTitle->viewport(), Qt::LeftButton);
    QTest::keyClicks(editor->questionTitle, "Which gas do plants take in?");
    EXPECT_EQ(editor->questionTitle->toPlainText(), "");
    EXPECT_FALSE(editor->bSomeMessageChanged());
    for (QWidget *control : std::initializer_list<QWidget *>{editor->cmbQuestionType, editor->cmbActionMode, editor->point,
                                                             editor->timeLimit, editor->btnStandard})
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_TRUE(editor->options[0]->isReadOnly());
    EXPECT_EQ(editor->point->text(), "");

    // The question slide: edited as ever, its missing settings boxes no loss.
    QTest::mouseClick(editor->btnNext, Qt::LeftButton);
    EXPECT_FALSE(editor->noQuestionMessage->isVisible());
    EXPECT_FALSE(editor->questionTitle->isReadOnly());
    retype(editor->questionTitle, "Which gas do plants take in from the air?");
    type(editor->rushPoint, "15");
    QTest::mouseClick(editor->difficultyCells->button(3), Qt::LeftButton);
    // On the radio button's mark, which a wide cell leaves at its left.
    QAbstractButton *answerC = editor->answerCells->button(2);
    QTest::mouseClick(answerC, Qt::LeftButton, {}, QPoint(6, answerC->height() / 2));
    const QString path = home() + "Biology.pptx";
    answers.answerFile(path);
    QTest::mouseClick(editor->btnSave, Qt::LeftButton);
    EXPECT_EQ(answers.alertTexts(), QStringList{"Saved successfully."});
    EXPECT_FALSE(editor->bSomeMessageChanged());

    const std::unique_ptr<PptxPresentation> saved = savedDeck(path);
    ASSERT_EQ(saved->slideCount(), 2);
    // The teacher's slide shows what it showed; what the save added to it (the exam ID) is hidden.
    const QList<PptxPresentation::Shape> first = saved->shapes(0);
    ASSERT_GE(first.size(), plain.size());
    for (int i = 0; i < first.size(); ++i) {
        if (i < plain.size()) {
            EXPECT_EQ(first[i].name, plain[i].name);
            EXPECT_EQ(first[i].text, plain[i].text);
            EXPECT_TRUE(first[i].visible);
        } else {
            EXPECT_FALSE(first[i].visible) << first[i].name.toStdString();
            EXPECT_NE(first[i].name, "Qu_Title");
        }
    }
    EXPECT_EQ(saved->readText(1, "Qu_Title"), "Which gas do plants take in from the air?");
    EXPECT_EQ(saved->readText(1, "answer"), "C");
    for (const auto &[name, text] : QList<std::pair<QString, QString>>{{"deducemark", "15"}, {"level", "Hard"}, {"standard", "_&#"}}) {
        EXPECT_EQ(saved->readText(1, name), text) << name.toStdString();
        for (const PptxPresentation::Shape &shape : saved->shapes(1))
            if (shape.name == name) {
                EXPECT_FALSE(shape.visible) << name.toStdString();
            }
    }
}

// A deck as an office program writes it (LibreOffice made Plants.pptx from Plants.fodp beside it):
// its shapes carry no names at all. Each slide shows as holding no question, typing changes
// nothing, and a Save leaves every slide showing what it showed.
TEST_F(SlideQuestionEditor, ADeckMadeInAnOfficeProgramHoldsNoQuestionAndKeepsItsSlidesThroughASave)
{
    DeviceController::ShareDeviceController()->setCurDeviceType(3);
    deckPath = home() + "Plants.pptx";
    ASSERT_TRUE(QFile::copy(POLLIX_TEST_DATA_DIR "/presentation/plain-deck/Plants.pptx", deckPath));
    ASSERT_TRUE(ppt->openPPT(deckPath));
    const std::unique_ptr<PptxPresentation> before = savedDeck(deckPath);
    openEditor();
    editor->show();
    for (int slideNo = 0; slideNo < 2; ++slideNo) {
        if (slideNo > 0)
            QTest::mouseClick(editor->btnNext, Qt::LeftButton);
        ASSERT_EQ(editor->cmbQuestionNo->currentIndex(), slideNo);
        EXPECT_TRUE(editor->noQuestionMessage->isVisible()) << slideNo;
        QTest::mouseClick(editor->questionTitle->viewport(), Qt::LeftButton);
        QTest::keyClicks(editor->questionTitle, "Which gas?");
        QTest::keyClicks(editor->options[0], "oxygen");
        EXPECT_EQ(editor->questionTitle->toPlainText() + editor->options[0]->toPlainText(), "") << slideNo;
    }
    EXPECT_FALSE(editor->bSomeMessageChanged());

    // What is saved is the deck as it is: nothing typed was taken to be lost.
    QTest::mouseClick(editor->btnSave, Qt::LeftButton);
    EXPECT_EQ(answers.alertTexts(), QStringList{"Saved successfully."});
    const std::unique_ptr<PptxPresentation> after = savedDeck(deckPath);
    ASSERT_EQ(after->slideCount(), 2);
    for (int slideNo = 0; slideNo < 2; ++slideNo) {
        QStringList shown, was;
        for (const PptxPresentation::Shape &shape : after->shapes(slideNo))
            if (shape.visible)
                shown << shape.text;
        for (const PptxPresentation::Shape &shape : before->shapes(slideNo))
            was << shape.text;
        EXPECT_EQ(shown, was) << slideNo;
        EXPECT_FALSE(shown.join(' ').contains("Which gas?")) << slideNo;
    }
}

// Giving up in the save panel of a deck never saved is no failure: no alert, and the editor
// stays as it was, its edits and its unsaved mark kept, from Save as from Yes on closing.
TEST_F(SlideQuestionEditor, CancelInTheSavePanelKeepsTheEditorAsItWas)
{
    DeviceController::ShareDeviceController()->setCurDeviceType(3);
    ASSERT_TRUE(ppt->newPPT(QString()));
    ASSERT_TRUE(ppt->copySlideByIndex(5) && ppt->pasteSlide());
    PresentationTools::install();
    openEditor();
    editor->show();
    retype(editor->questionTitle, "Capital of Peru?");

    QTest::mouseClick(editor->btnSave, Qt::LeftButton);
    ASSERT_EQ(answers.fileDialogs().size(), 1);
    EXPECT_TRUE(answers.fileDialogs().first().save);
    EXPECT_TRUE(answers.alerts().isEmpty()) << answers.alertTexts().join(" / ").toStdString();
    EXPECT_TRUE(editor->isVisible());
    EXPECT_TRUE(editor->bSomeMessageChanged());
    EXPECT_EQ(editor->questionTitle->toPlainText(), "Capital of Peru?");

    answers.answerAlert(0); // Yes, save; then Cancel in the panel
    EXPECT_FALSE(editor->close());
    EXPECT_EQ(answers.fileDialogs().size(), 2);
    ASSERT_EQ(answers.alerts().size(), 1) << answers.alertTexts().join(" / ").toStdString();
    EXPECT_EQ(answers.alerts().first().informativeText, "Contents have been changed, do you want to save?");
    EXPECT_TRUE(editor->isVisible());
    EXPECT_TRUE(editor->bSomeMessageChanged());
    EXPECT_EQ(editor->questionTitle->toPlainText(), "Capital of Peru?");
    EXPECT_TRUE(saveStates.isEmpty());

    const QString path = home() + "Geography.pptx";
    answers.answerAlert(0);
    answers.answerFile(path);
    EXPECT_TRUE(editor->close());
    EXPECT_EQ(saveStates, QList<int>{0});
    EXPECT_EQ(savedDeck(path)->readText(0, "Qu_Title"), "Capital of Peru?");
}
