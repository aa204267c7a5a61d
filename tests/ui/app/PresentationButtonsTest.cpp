#include "core/keypad/DeviceController.h"
#include "platform/AtomicFile.h"
#include "platform/NotificationCenter.h"
#include "platform/PPTEditorMSO.h"
#include "support/DialogAnswers.h"
#include "support/FakeOffice.h"
#include "support/PollixTest.h"
#include "support/RealAlerts.h"
#include "support/SlideDecks.h"
#include "ui/app/PresentationTools.h"
#include "ui/app/TabController.h"
#include "ui/authoring/AddSLides.h"
#include "ui/controls/ProgressControl.h"
#include "ui/presentation/PPTQuestionInfoWindowController.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QTreeWidget>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QTreeWidgetItemIterator>

namespace {

// Which of Add, Delete, Save, Close, Setup are enabled, as "ADSCE" with '-' for off.
QString states(const TabController &w)
{
    QString out;
    const QList<std::pair<QPushButton *, QChar>> buttons{{w.btnPPTAdd, 'A'},
                                                         {w.btnPPTDel, 'D'},
                                                         {w.btnPPTSave, 'S'},
                                                         {w.btnPPTClose, 'C'},
                                                         {w.btnPPTSetup, 'E'}};
    for (const auto &[button, letter] : buttons)
        out += button->isEnabled() ? letter : QLatin1Char('-');
    return out;
}

} // namespace

// The main window's presentation buttons over the real driver, with the template picker played
// by the test the way the picker does it: copy, paste, "PPTTabCtrlAddTemplateOver", "AddOver".
class PresentationButtons : public PollixTest
{
protected:
    void SetUp() override
    {
        PollixTest::SetUp();
        TabController::resetHooks();
        SlideDecks::quietMainWindow();
        auto &h = TabController::hooks();
        h.startActivity = [this](TabController *, const TabController::StartRequest &r) { starts << r; };
        h.showTemplatePicker = [this](TabController *) { ++pickers; };
        h.editsPresentations = true;
        ppt = PPTEditorMSO::shareManager();
        ppt->setTemplatePath(SlideDecks::shippedTemplate());
        ppt->setSavePathProvider([this](const QString &) { return savePath; });
        DeviceController::ShareDeviceController()->setCurDeviceType(3);
        window = std::make_unique<TabController>();
        window->awakeFromNib();
    }
    void TearDown() override
    {
        DialogHooks::setModalResponder({});
        AddSLides::hooks() = {};
        window.reset();
        TabController::resetHooks();
        PollixTest::TearDown();
    }

    void pickTemplates(const QList<int> &indexes)
    {
        if (!ppt->IsPPTRuningForOpen())
            window->btnPPTNew->click();
        window->btnPPTAdd->click();
        for (int i : indexes) {
            ASSERT_TRUE(ppt->copySlideByIndex(i));
            ASSERT_TRUE(ppt->pasteSlide());
            NotificationCenter::defaultCenter()->postNotification(QStringLiteral("PPTTabCtrlAddTemplateOver"),
                                                                  {{QStringLiteral("PPTSTATE"), 1}, {QStringLiteral("SELECTINDEX"), i}});
        }
        NotificationCenter::defaultCenter()->postNotification(QStringLiteral("AddOver"), {});
    }

    DialogAnswers answers;
    std::unique_ptr<TabController> window;
    PPTEditorMSO *ppt = nullptr;
    QString savePath;
    int pickers = 0;
    QList<TabController::StartRequest> starts;
};

TEST_F(PresentationButtons, ButtonStatesFollowTheSlidesOfTheOpenPresentation)
{
    EXPECT_EQ(states(*window), "-----");
    window->btnPPTNew->click();
    EXPECT_EQ(states(*window), "A-SC-");
    window->setPPTButtonState(-1);
    EXPECT_EQ(states(*window), "-----");
    window->setPPTButtonState(0);
    EXPECT_EQ(states(*window), "A-SC-");
    window->setPPTButtonState(1);
    EXPECT_EQ(states(*window), "ADSC-");

    // While the picker is open nothing else about the deck can be done.
    window->btnPPTAdd->click();
    EXPECT_EQ(pickers, 1);
    EXPECT_EQ(states(*window), "-----");
    EXPECT_FALSE(window->btnPPTNew->isEnabled());
    EXPECT_FALSE(window->btnPPTOpen->isEnabled());
    ASSERT_TRUE(ppt->copySlideByIndex(0));
    ASSERT_TRUE(ppt->pasteSlide());
    NotificationCenter::defaultCenter()->postNotification(QStringLiteral("AddOver"), {});
    EXPECT_EQ(states(*window), "ADSC-");
    EXPECT_TRUE(window->btnPPTNew->isEnabled());
    EXPECT_TRUE(window->btnPPTOpen->isEnabled());

    // The question editor over the slides counts once it is there.
    TabController::hooks().runSlideQuestionEditor = [](TabController *) {};
    window->setPPTButtonState(0);
    EXPECT_EQ(states(*window), "ADSCE");

    // Without a template picker, Add leads nowhere.
    TabController::hooks().showTemplatePicker = {};
    window->setPPTButtonState(0);
    EXPECT_EQ(states(*window), "-DSCE");
}

TEST_F(PresentationButtons, NewThenAddMakesADeckWhoseSavedFileHoldsTheQuestionsAndAnExamId)
{
    pickTemplates({0, 5, 25});
    EXPECT_EQ(ppt->getCountOfSlide(), 3);
    EXPECT_TRUE(window->bIsPPTChanged());
    EXPECT_EQ(states(*window), "ADSC-");

    // New with unsaved slides only asks; "No" clears the mark and keeps the deck.
    answers.answerAlert(1);
    window->btnPPTNew->click();
    EXPECT_EQ(answers.alertTexts(), QStringList{"Contents have been changed,do you want to save?"});
    EXPECT_FALSE(window->bIsPPTChanged());
    EXPECT_EQ(ppt->getCountOfSlide(), 3);

    savePath = home() + "Lesson.pptx";
    window->btnPPTSave->click();
    ASSERT_TRUE(QFileInfo::exists(savePath));
    PptxPresentation saved;
    ASSERT_TRUE(saved.loadFile(savePath));
    EXPECT_EQ(saved.slideCount(), 3);
    const int id = saved.readText(0, "ID").toInt();
    EXPECT_GT(id, 0);
    // A second save keeps the ID.
    window->btnPPTSave->click();
    ASSERT_TRUE(saved.loadFile(savePath));
    EXPECT_EQ(saved.readText(0, "ID").toInt(), id);
    // Each save names the deck's file.
    ASSERT_EQ(answers.alertTexts().mid(1), (QStringList{"Saved successfully.", "Saved successfully."}));
    for (int i : {1, 2})
        EXPECT_EQ(answers.alerts()[i].informativeText, "Saved to " + QDir::toNativeSeparators(savePath));

    // New with an empty deck open does nothing; otherwise it makes an empty one.
    window->btnPPTNew->click();
    EXPECT_EQ(ppt->getCountOfSlide(), 0);
    window->btnPPTNew->click();
    EXPECT_EQ(ppt->getCountOfSlide(), 0);
}

TEST_F(PresentationButtons, CloseAfterADeletionAsksFirstAndASecondCloseCloses)
{
    pickTemplates({0, 4});
    savePath = home() + "Two.pptx";
    window->btnPPTSave->click();
    ASSERT_FALSE(window->bIsPPTChanged());

    answers.answerAlert(0); // "Yes", delete the selected (last added) slide
    window->btnPPTDel->click();
    EXPECT_EQ(ppt->getCountOfSlide(), 1);
    EXPECT_TRUE(window->bIsPPTChanged());

    answers.answerAlert(1);
    window->btnPPTClose->click();
    EXPECT_EQ(ppt->getCountOfSlide(), 1);
    EXPECT_FALSE(window->bIsPPTChanged());
    window->btnPPTClose->click();
    EXPECT_EQ(ppt->getCountOfSlide(), -1);
    EXPECT_EQ(states(*window), "-----");
    EXPECT_FALSE(window->btnStart->isEnabled());

    // Declining the deletion deletes nothing; with nothing selected the teacher is told.
    window->btnPPTNew->click();
    ASSERT_TRUE(ppt->copySlideByIndex(0));
    ASSERT_TRUE(ppt->pasteSlide());
    window->setPPTButtonState(0);
    answers.answerAlert(1);
    window->btnPPTDel->click();
    EXPECT_EQ(ppt->getCountOfSlide(), 1);
    EXPECT_FALSE(window->bIsPPTChanged());
    ASSERT_TRUE(ppt->deleteSlideIsWithPos(true, 0));
    answers.answerAlert(0);
    window->btnPPTDel->click();
    EXPECT_EQ(answers.alertTexts().last(), "Please select a slide that you wish to delete.");
    EXPECT_FALSE(window->bIsPPTChanged());
}

TEST_F(PresentationButtons, AFailedSaveIsToldWithItsReasonAndKeepsTheQuestionForNextTime)
{
    pickTemplates({0});
    savePath = home() + "Fails.pptx";
    AtomicFile::setFailureHook([](const QString &path) { return path.endsWith(".pptx"); });
    window->btnPPTSave->click();
    ASSERT_EQ(answers.alerts().size(), 1);
    EXPECT_EQ(answers.alerts().first().text, "The presentation could not be saved.");
    EXPECT_FALSE(answers.alerts().first().informativeText.isEmpty());
    EXPECT_TRUE(window->bIsPPTChanged());

    // Asked on Close, Yes fails again: the deck stays open and the next Close asks again.
    answers.answerAlert(0);
    window->btnPPTClose->click();
    EXPECT_TRUE(window->bIsPPTChanged());
    EXPECT_EQ(ppt->getCountOfSlide(), 1);
    AtomicFile::setFailureHook({});
    answers.answerAlert(0);
    window->btnPPTClose->click();
    EXPECT_FALSE(window->bIsPPTChanged());
    EXPECT_TRUE(QFileInfo::exists(savePath));
}

// A deck never saved asks for a file name; giving up in that save panel is no failure: no
// alert, the deck stays open and unsaved, and the question comes again next time. Save, Yes on
// Close's question and Yes on the main window's close box alike.
TEST_F(PresentationButtons, CancelInTheDecksSavePanelIsNoFailureAndKeepsTheDeckUnsaved)
{
    pickTemplates({0});
    PresentationTools::install();
    window->show();
    QTest::mouseClick(window->btnPPTSave, Qt::LeftButton);
    ASSERT_EQ(answers.fileDialogs().size(), 1);
    EXPECT_TRUE(answers.alerts().isEmpty()) << answers.alertTexts().join(" / ").toStdString();
    EXPECT_TRUE(window->bIsPPTChanged());

    answers.answerAlert(0); // Yes, save
    QTest::mouseClick(window->btnPPTClose, Qt::LeftButton);
    EXPECT_EQ(answers.fileDialogs().size(), 2);
    EXPECT_EQ(answers.alertTexts(), QStringList{"Contents have been changed,do you want to save?"});
    EXPECT_EQ(ppt->getCountOfSlide(), 1);
    EXPECT_TRUE(window->bIsPPTChanged());

    answers.answerAlert(0);
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(answers.fileDialogs().size(), 3);
    EXPECT_EQ(answers.alerts().size(), 2);
    EXPECT_TRUE(window->bIsPPTChanged());
    EXPECT_EQ(ppt->getCountOfSlide(), 1);
}

// A Paper Quiz over an old .ppt: the deck, converted, has no file yet, and the exam ID drawn at
// Start is kept by a save that asks for one. Cancel there lets the run go on without an alert;
// the deck stays open and unsaved.
TEST_F(PresentationButtons, CancelInThePaperQuizsSavePanelKeepsTheDeckWithItsExamId)
{
    const QString converted = home() + "converted.pptx";
    ASSERT_TRUE(SlideDecks::writeDeck({{{"ID", ""}, {"Qu_Title", "One"}}}, converted));
    FakeOffice office(home() + "office", converted);
    PresentationTools::install();
    window->doClassSet();
    const int paper = window->cboActivityMode->findText("Paper Quiz");
    ASSERT_GE(paper, 0);
    window->cboActivityMode->setCurrentIndex(paper);
    emit window->cboActivityMode->activated(paper);
    answers.answerFile(writeFile("Paper.ppt", "an old binary deck"));
    QTest::mouseClick(window->btnLoad, Qt::LeftButton);
    ASSERT_EQ(ppt->getCountOfSlide(), 1);
    QTest::mouseClick(window->btnStart, Qt::LeftButton);
    ASSERT_EQ(starts.size(), 1);
    ASSERT_EQ(answers.fileDialogs().size(), 2);
    EXPECT_TRUE(answers.fileDialogs().last().save);
    EXPECT_TRUE(answers.alerts().isEmpty()) << answers.alertTexts().join(" / ").toStdString();
    EXPECT_EQ(ppt->getCountOfSlide(), 1);
    ASSERT_TRUE(starts.first().testID);
    EXPECT_EQ(ppt->readTextBoxByName("ID", 0), QString::number(*starts.first().testID));
    EXPECT_TRUE(window->bIsPPTChanged());
}

TEST_F(PresentationButtons, StartOverAPresentationDrawsTheExamIdAndShowsTheFirstSlide)
{
    const QString empty = home() + "Empty.pptx";
    ASSERT_TRUE(SlideDecks::writeDeck({}, empty));
    window->doClassSet();
    answers.answerFile(empty);
    window->btnLoad->click();
    ASSERT_TRUE(window->btnStart->isEnabled());
    window->btnStart->click();
    EXPECT_EQ(answers.alertTexts().last(), "The quiz file you loaded is empty. Please load another file.");
    EXPECT_TRUE(starts.isEmpty());
    EXPECT_FALSE(window->btnStart->isEnabled());

    const QString deck = home() + "Quiz.pptx";
    ASSERT_TRUE(SlideDecks::writeDeck({{{"ID", "0"}, {"Qu_Title", "One"}}, {{"Qu_Title", "Two"}}}, deck));
    answers.answerFile(deck);
    window->btnLoad->click();
    EXPECT_EQ(ppt->getCountOfSlide(), 2);
    window->btnStart->click();
    ASSERT_EQ(starts.size(), 1);
    EXPECT_EQ(starts.first().kind, TabController::StartRequest::Presentation);
    ASSERT_TRUE(starts.first().testID);
    EXPECT_EQ(ppt->readTextBoxByName("ID", 0), QString::number(*starts.first().testID));
    EXPECT_TRUE(ppt->isShowRunning());
    EXPECT_EQ(ppt->getIndexOfShowPPT(), 1);
    // The drawn ID is a change the teacher is asked to keep.
    EXPECT_TRUE(window->bIsPPTChanged());
}

TEST_F(PresentationButtons, PaperQuizOverAPresentationClosesItAndKeepsTheNewExamId)
{
    const QString deck = home() + "Paper.pptx";
    ASSERT_TRUE(SlideDecks::writeDeck({{{"ID", ""}, {"Qu_Title", "One"}}}, deck));
    window->doClassSet();
    const int paper = window->cboActivityMode->findText("Paper Quiz");
    ASSERT_GE(paper, 0);
    window->cboActivityMode->setCurrentIndex(paper);
    emit window->cboActivityMode->activated(paper);
    answers.answerFile(deck);
    window->btnLoad->click();
    window->btnStart->click();
    ASSERT_EQ(starts.size(), 1);
    EXPECT_FALSE(ppt->isShowRunning());
    EXPECT_EQ(ppt->getCountOfSlide(), -1);
    PptxPresentation saved;
    ASSERT_TRUE(saved.loadFile(deck));
    EXPECT_EQ(saved.readText(0, "ID").toInt(), *starts.first().testID);
    EXPECT_FALSE(window->bIsPPTChanged());
}

TEST_F(PresentationButtons, LoadAsksToSaveChangedSlidesAndRefusesADamagedDeck)
{
    pickTemplates({0});
    const QString junk = writeFile("Broken.pptx", "not a deck");
    answers.answerAlert(1);
    answers.answerFile(junk);
    window->btnLoad->click();
    ASSERT_GE(answers.alerts().size(), 2);
    EXPECT_EQ(answers.alerts().at(0).text, "Contents have been changed,do you want to save?");
    EXPECT_EQ(answers.alerts().at(1).text, "The presentation could not be opened.");
    EXPECT_TRUE(answers.alerts().at(1).informativeText.contains("Broken.pptx"));
    EXPECT_FALSE(window->bIsLoaded());
}

// The newcomer's way: a deck opened in the main window, a slide added in the question editor
// (Setup), the editor closed with No. The main window knows the deck is unsaved and its Close
// asks; Yes writes the slide to the file.
TEST_F(PresentationButtons, ASlideAddedInTheQuestionEditorIsAskedAboutByCloseUntilSaved)
{
    const QString deck = home() + "Lesson.pptx";
    ASSERT_TRUE(SlideDecks::writeDeck({{{"Qu_Title", "First"}, {"OptionA", "a"}, {"OptionB", "b"}, {"mode", "Single Answer"},
                                        {"answer", "A"}, {"ID", ""}}},
                                      deck));
    AddSLides::hooks().copyAndPasteSlide = [this](int index) { return ppt->copySlideByIndex(index) && ppt->pasteSlide(); };
    TabController::hooks().runSlideQuestionEditor = [](TabController *tab) {
        PPTQuestionInfoWindowController editor(tab);
        editor.runModal();
    };
    DialogHooks::setModalResponder([this](QDialog *d) {
        if (auto *picker = qobject_cast<AddSLides *>(d)) {
            for (QTreeWidgetItemIterator it(picker->outlineView); *it; ++it)
                if ((*it)->text(0) == "4 Selections 1 Coulumns") {
                    picker->ovDoubleClick(*it);
                    break;
                }
        } else if (auto *editor = qobject_cast<PPTQuestionInfoWindowController *>(d)) {
            editor->btnAdd->click();
            answers.answerAlert(1); // No, not now
            editor->close();
        }
        return 0;
    });
    answers.answerFile(deck);
    window->btnPPTOpen->click();
    ASSERT_EQ(ppt->getCountOfSlide(), 1);
    window->btnPPTSetup->click();
    ASSERT_EQ(ppt->getCountOfSlide(), 2);
    ASSERT_FALSE(answers.alerts().isEmpty());
    EXPECT_EQ(answers.alerts().last().informativeText, "Contents have been changed, do you want to save?");
    EXPECT_TRUE(window->bIsPPTChanged());

    answers.answerAlert(0); // Yes, save
    window->btnPPTClose->click();
    EXPECT_EQ(answers.alertTexts().at(answers.alertTexts().size() - 2), "Contents have been changed,do you want to save?");
    PptxPresentation saved;
    ASSERT_TRUE(saved.loadFile(deck));
    EXPECT_EQ(saved.slideCount(), 2);
    EXPECT_FALSE(window->bIsPPTChanged());
}

// The question about the changed deck comes up for real: Escape on it, or its close box, is no
// "No": the mark stays, so the next Close asks again, and nothing is opened, made or closed.
TEST_F(PresentationButtons, EscapeOrTheCloseBoxOnTheDecksQuestionKeepsItsChangesAsked)
{
    pickTemplates({0});
    ASSERT_TRUE(window->bIsPPTChanged());
    for (QPushButton *button : {window->btnPPTClose, window->btnPPTNew, window->btnPPTOpen}) {
        for (RealAlerts::Way way : {RealAlerts::Way::Escape, RealAlerts::Way::CloseBox}) {
            RealAlerts real;
            real.leave(way);
            QTest::mouseClick(button, Qt::LeftButton);
            EXPECT_EQ(real.seen(), QStringList{"Contents have been changed,do you want to save?"}) << button->objectName().toStdString();
            EXPECT_EQ(real.stuck(), 0);
            EXPECT_TRUE(window->bIsPPTChanged()) << button->objectName().toStdString();
            EXPECT_EQ(ppt->getCountOfSlide(), 1);
        }
    }
    EXPECT_TRUE(answers.fileDialogs().isEmpty()) << "Open offered no file";
    // The main window's own close box likewise stays.
    window->show();
    RealAlerts real;
    real.leave(RealAlerts::Way::Escape);
    EXPECT_FALSE(RealAlerts::closeBox(window.get()));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(real.seen().size(), 1);
    EXPECT_TRUE(window->bIsPPTChanged());
}

// The teacher cannot see the slides from the main window: the slide shown last in the question
// editor is the one Delete takes, and Delete's question names it; Setup opens on it again.
TEST_F(PresentationButtons, DeleteAndSetupTakeTheSlideChosenInTheQuestionEditor)
{
    const QString deck = home() + "Geography.pptx";
    QList<QList<SlideDecks::ShapeSpec>> slides;
    for (const QString title : {"Longest river?", "", "Highest mountain?"})
        slides << QList<SlideDecks::ShapeSpec>{{"Qu_Title", title}, {"OptionA", "a"}, {"OptionB", "b"},
                                               {"mode", "Single Answer"}, {"answer", "A"}, {"ID", ""}};
    ASSERT_TRUE(SlideDecks::writeDeck(slides, deck));
    // In the editor: where it opened, then the clicks of this visit.
    QList<int> openedOn;
    QList<QList<QPushButton *PPTQuestionInfoWindowController::*>> visits{
        {&PPTQuestionInfoWindowController::btnNext, &PPTQuestionInfoWindowController::btnNext},
        {},
        {&PPTQuestionInfoWindowController::btnPrevious}};
    TabController::hooks().runSlideQuestionEditor = [](TabController *tab) {
        PPTQuestionInfoWindowController editor(tab);
        editor.runModal();
    };
    DialogHooks::setModalResponder([&](QDialog *d) {
        if (auto *editor = qobject_cast<PPTQuestionInfoWindowController *>(d)) {
            openedOn << editor->cmbQuestionNo->currentIndex();
            for (QPushButton *PPTQuestionInfoWindowController::*button : visits.takeFirst())
                QTest::mouseClick(editor->*button, Qt::LeftButton);
            editor->close();
        }
        return 0;
    });
    answers.answerFile(deck);
    QTest::mouseClick(window->btnPPTOpen, Qt::LeftButton);
    ASSERT_EQ(ppt->getCountOfSlide(), 3);

    QTest::mouseClick(window->btnPPTSetup, Qt::LeftButton);
    QTest::mouseClick(window->btnPPTSetup, Qt::LeftButton);
    EXPECT_EQ(openedOn, (QList<int>{0, 2}));
    answers.answerAlert(1); // No
    QTest::mouseClick(window->btnPPTDel, Qt::LeftButton);
    ASSERT_EQ(answers.alerts().size(), 1);
    EXPECT_EQ(answers.alerts().last().text, "The current slide will be deleted.Are you sure you want to do this?");
    EXPECT_EQ(answers.alerts().last().informativeText, "Slide 3 of 3: \"Highest mountain?\"");
    EXPECT_EQ(ppt->getCountOfSlide(), 3);

    // Back one slide in the editor: that is the one Delete names and takes now.
    QTest::mouseClick(window->btnPPTSetup, Qt::LeftButton);
    EXPECT_EQ(openedOn.last(), 2);
    answers.answerAlert(0); // Yes
    QTest::mouseClick(window->btnPPTDel, Qt::LeftButton);
    EXPECT_EQ(answers.alerts().last().informativeText, "Slide 2 of 3 (no question title)");
    ASSERT_EQ(ppt->getCountOfSlide(), 2);
    EXPECT_EQ(ppt->readTextBoxByName("Qu_Title", 0), "Longest river?");
    EXPECT_EQ(ppt->readTextBoxByName("Qu_Title", 1), "Highest mountain?");
    EXPECT_TRUE(window->bIsPPTChanged());
}

// An old .ppt goes through LibreOffice, which may take minutes: the main window waits under the
// progress window while the program's events go on (the fake LibreOffice waits for this test's
// timer), and a LibreOffice that crashes at its first start is started once more.
TEST_F(PresentationButtons, AnOldPptOpensUnderTheProgressWindowWhileTheProgramGoesOn)
{
    PresentationTools::install();
    const QString converted = home() + "converted.pptx";
    ASSERT_TRUE(SlideDecks::writeDeck({{{"Qu_Title", "One"}}, {{"Qu_Title", "Two"}}}, converted));
    const QString old = writeFile("Lesson.ppt", "an old binary deck");
    const QString go = home() + "go";
    FakeOffice office(home() + "office", converted, 1, FakeOffice::Failure::Crash, go);
    window->show();
    QApplication::setActiveWindow(window.get());
    QStringList captions;
    bool mainWindowWaited = false;
    QTimer tick;
    tick.setInterval(20);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        for (QWidget *top : QApplication::topLevelWidgets())
            if (auto *progress = qobject_cast<ProgressControl *>(top); progress && progress->isVisible())
                captions << progress->progressText->text();
        mainWindowWaited = mainWindowWaited || !window->isEnabled();
        QFile(go).open(QIODevice::WriteOnly);
    });
    tick.start();
    answers.answerFile(old);
    QTest::mouseClick(window->btnPPTOpen, Qt::LeftButton);
    tick.stop();
    EXPECT_FALSE(captions.isEmpty()) << "no progress window while converting";
    EXPECT_TRUE(captions.value(0).contains("Lesson.ppt")) << captions.value(0).toStdString();
    EXPECT_TRUE(mainWindowWaited);
    EXPECT_EQ(office.starts(), 2);
    EXPECT_TRUE(answers.alerts().isEmpty()) << answers.alertTexts().join(" / ").toStdString();
    EXPECT_EQ(ppt->getCountOfSlide(), 2);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(states(*window), "ADSCE");
}
