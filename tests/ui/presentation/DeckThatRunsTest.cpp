#include "../run/RunWindowFixture.h"

#include "core/presentation/QuestionSlideFormat.h"
#include "core/store/XMLControl.h"
#include "platform/PPTEditorMSO.h"
#include "support/DialogAnswers.h"
#include "support/MainWindowForRuns.h"
#include "support/ModalDriver.h"
#include "support/SlideDecks.h"
#include "ui/app/PresentationTools.h"
#include "ui/app/QuestionEditorOpener.h"
#include "ui/app/TabController.h"
#include "ui/authoring/AddSLides.h"
#include "ui/authoring/TitleSetController.h"
#include "ui/presentation/PPTBaffle.h"
#include "ui/presentation/PPTQuizStateWindowController.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

// The deck a run plays is the one open when Start is pressed, which need not be the one Load chose:
// the run, its title and its session carry that deck's name and exam ID, and no deck with changes
// its file lacks is closed as the run starts or ends.
using keypadsim::Model;

namespace {

class DeckThatRuns : public RunWindowFixture
{
protected:
    void SetUp() override
    {
        RunWindowFixture::SetUp();
        qputenv("POLLIX_SOFFICE", QByteArray("/nonexistent/soffice")); // the show needs no pages here
        useMainWindowForRuns();
        SlideDecks::quietMainWindow();
        QuestionEditorOpener::install();
        PresentationTools::install();
        ppt = PPTEditorMSO::shareManager();
        ppt->setTemplatePath(SlideDecks::shippedTemplate());
        PPTQuizStateWindowController::hooks() = {};
        PPTQuizStateWindowController::hooks().runSaveDialog = [this](PPTQuizStateWindowController *,
                                                                      const QuizStateWindowController::SaveRequest &r) {
            savedNames << r.strFileName;
        };
    }
    void TearDown() override
    {
        if (PPTQuizStateWindowController *run = runWindow())
            delete run;
        tab.reset();
        PPTQuizStateWindowController::hooks() = {};
        AddSLides::hooks() = {};
        TabController::resetHooks();
        ppt->quitPPT();
        qunsetenv("POLLIX_SOFFICE");
        RunWindowFixture::TearDown();
    }

    // The main window with the class set up, the activity chosen and the deck "mydeck.pptx"
    // (exam ID 7) loaded.
    void loadMyDeck(const QString &activity)
    {
        if (!app()->getBHaveDevice()) {
            ASSERT_TRUE(plugIn(Model::Dravel) && waitFor([&] { return app()->getBHaveDevice(); }));
        }
        myDeck = home() + "mydeck.pptx";
        ASSERT_TRUE(SlideDecks::writeDeck({{{"ID", "7"}, {"Qu_Title", "Loaded one"}, {"OptionA", "a"}, {"OptionB", "b"},
                                            {"mode", "Single Answer"}, {"answer", "B"}, {"time", "10"}},
                                           {{"Qu_Title", "Loaded two"}, {"OptionA", "a"}, {"OptionB", "b"},
                                            {"mode", "Single Answer"}, {"answer", "A"}, {"time", "10"}}},
                                          myDeck));
        tab = std::make_unique<TabController>();
        tab->awakeFromNib();
        tab->show();
        QTest::mouseClick(tab->btnClassSet, Qt::LeftButton);
        const int index = tab->cboActivityMode->findText(activity);
        ASSERT_GE(index, 0);
        tab->cboActivityMode->setCurrentIndex(index);
        emit tab->cboActivityMode->activated(index);
        answers.answerFile(myDeck);
        QTest::mouseClick(tab->btnLoad, Qt::LeftButton);
        ASSERT_TRUE(tab->btnStart->isEnabled());
        ASSERT_EQ(ppt->fileName(), myDeck);
    }
    // New on the presentation buttons, then these template slides from the picker.
    void newDeckFromTemplates(const QStringList &templates)
    {
        QTest::mouseClick(tab->btnPPTNew, Qt::LeftButton);
        QTest::mouseClick(tab->btnPPTAdd, Qt::LeftButton);
        auto *picker = tab->findChild<AddSLides *>();
        ASSERT_TRUE(picker);
        for (const QString &name : templates) {
            QTreeWidgetItem *row = nullptr;
            for (QTreeWidgetItemIterator it(picker->outlineView); *it && !row; ++it)
                if ((*it)->text(0) == name)
                    row = *it;
            ASSERT_TRUE(row) << name.toStdString();
            picker->ovDoubleClick(row);
        }
        picker->close();
        ASSERT_EQ(ppt->getCountOfSlide(), templates.size());
    }
    static PPTQuizStateWindowController *runWindow()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *run = qobject_cast<PPTQuizStateWindowController *>(w); run && run->isVisible())
                return run;
        return nullptr;
    }
    static QPushButton *bar(PPTQuizStateWindowController *run, const char *name)
    {
        return run->findChild<QPushButton *>(QLatin1String(name));
    }
    static int examIdCounter()
    {
        QFile file(XMLControl::sharedXMLUI()->filePath());
        if (!file.open(QIODevice::ReadOnly))
            return 0;
        const QRegularExpressionMatch m = QRegularExpression("<ExamID>(\\d+)</ExamID>").match(QString::fromUtf8(file.readAll()));
        return m.hasMatch() ? m.captured(1).toInt() : 0;
    }

    std::unique_ptr<TabController> tab;
    PPTEditorMSO *ppt = nullptr;
    DialogAnswers answers;
    QString myDeck;
    QStringList savedNames;
};

} // namespace

// Load, then New and two template slides, then Start: the new deck runs, and the title dialog, the
// run and its save name speak of it. Never saved, it stays open with its slides when the run ends,
// for the main window's Close to ask about.
TEST_F(DeckThatRuns, ANewDeckMadeAfterLoadRunsUnderItsOwnNameAndOutlivesTheRun)
{
    ASSERT_NO_FATAL_FAILURE(loadMyDeck("Normal Quiz"));
    ASSERT_NO_FATAL_FAILURE(newDeckFromTemplates({"True or False", "4 Selections 1 Coulumns"}));

    QString title;
    DialogHooks::setModalResponder([&](QDialog *d) {
        if (auto *titleSet = qobject_cast<TitleSetController *>(d))
            title = titleSet->findChild<QLineEdit *>("txtTestTitle")->text();
        return 0;
    });
    QTest::mouseClick(tab->btnTitleSet, Qt::LeftButton);
    EXPECT_EQ(title, "Presentation1");

    QTest::mouseClick(tab->btnStart, Qt::LeftButton);
    PPTQuizStateWindowController *run = runWindow();
    ASSERT_TRUE(run);
    QPointer<PPTQuizStateWindowController> alive(run);
    EXPECT_EQ(QuizQuestions::shareManager()->count(), 2);
    const int examId = QuestionSlideFormat::integerValue(ppt->readTextBoxByName("ID", 0));
    EXPECT_GT(examId, 0);
    EXPECT_NE(examId, 7);
    EXPECT_EQ(QuizQuestions::shareManager()->nTestID(), examId);
    EXPECT_EQ(run->strPath(), "Presentation1.pptx");

    // One question, then Exit: the run's save is offered under the deck's name.
    QTest::mouseClick(bar(run, "btnNext"), Qt::LeftButton);
    QTest::mouseClick(bar(run, "btnStart"), Qt::LeftButton);
    ASSERT_TRUE(run->bStartFlag());
    QTest::mouseClick(bar(run, "btnStop"), Qt::LeftButton);
    answers.answerAlert(0);
    QTest::mouseClick(bar(run, "btnExit"), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return alive.isNull(); }));
    EXPECT_EQ(savedNames, QStringList{"Presentation1.pptx"});

    // The deck is still there, unsaved, with its slides and the exam ID its run was filed under.
    EXPECT_TRUE(tab->isVisible());
    ASSERT_EQ(ppt->getCountOfSlide(), 2);
    EXPECT_TRUE(ppt->isModified());
    EXPECT_TRUE(tab->btnPPTSave->isEnabled());
    const QString kept = home() + "made.pptx";
    answers.answerAlert(0); // "Yes" to the question of Close
    answers.answerFile(kept);
    QTest::mouseClick(tab->btnPPTClose, Qt::LeftButton);
    EXPECT_EQ(answers.alertTexts().mid(answers.alertTexts().size() - 2),
              (QStringList{"Contents have been changed,do you want to save?", "Saved successfully."}));
    PptxPresentation saved;
    ASSERT_TRUE(saved.loadFile(kept));
    EXPECT_EQ(saved.slideCount(), 2);
    EXPECT_EQ(saved.readText(0, "ID").toInt(), examId);
}

// A Paper Quiz closes the deck as it starts: a deck never saved asks for its file first, over the
// main window; Cancel there starts the run all the same, with no question about leaving it, and
// the deck stays open through the run and after it.
TEST_F(DeckThatRuns, APaperQuizAsksForTheNewDecksFileBeforeItsRunAndCancelKeepsTheDeck)
{
    ASSERT_NO_FATAL_FAILURE(loadMyDeck("Paper Quiz"));
    ASSERT_NO_FATAL_FAILURE(newDeckFromTemplates({"4 Selections 1 Coulumns"}));
    bool runWindowUp = true;
    DialogHooks::setFileResponder([&](const FileDialogRequest &r) {
        EXPECT_TRUE(r.save);
        runWindowUp = runWindow() != nullptr;
        return QString();
    });
    QTest::mouseClick(tab->btnStart, Qt::LeftButton);
    EXPECT_FALSE(runWindowUp) << "the save panel came over the run";
    PPTQuizStateWindowController *run = runWindow();
    ASSERT_TRUE(run);
    QPointer<PPTQuizStateWindowController> alive(run);
    EXPECT_EQ(run->strPath(), "Presentation1.pptx");
    EXPECT_FALSE(answers.alertTexts().contains("Are you sure to exit this Activity?"));
    EXPECT_TRUE(answers.alerts().isEmpty()) << answers.alertTexts().join(" / ").toStdString();
    ASSERT_EQ(ppt->getCountOfSlide(), 1);
    EXPECT_EQ(QuestionSlideFormat::integerValue(ppt->readTextBoxByName("ID", 0)), QuizQuestions::shareManager()->nTestID());

    answers.answerAlert(0);
    QTest::mouseClick(bar(run, "btnExit"), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return alive.isNull(); }));
    EXPECT_EQ(ppt->getCountOfSlide(), 1) << "the deck outlives the run";
    EXPECT_TRUE(tab->bIsPPTChanged());
}

// A deck with a file whose unsaved edits came before a Paper Quiz (opened again on the presentation
// buttons after Load, a slide deleted): the start saves them before it closes the deck.
TEST_F(DeckThatRuns, APaperQuizSavesTheDecksEditsBeforeItClosesIt)
{
    ASSERT_NO_FATAL_FAILURE(loadMyDeck("Paper Quiz"));
    answers.answerFile(myDeck);
    QTest::mouseClick(tab->btnPPTOpen, Qt::LeftButton);
    ASSERT_TRUE(ppt->setIndexOfSelectPPT(2));
    answers.answerAlert(0); // "Yes", delete the second slide
    QTest::mouseClick(tab->btnPPTDel, Qt::LeftButton);
    ASSERT_EQ(ppt->getCountOfSlide(), 1);
    QTest::mouseClick(tab->btnStart, Qt::LeftButton);
    ASSERT_TRUE(runWindow());
    EXPECT_FALSE(ppt->hasPresentation());
    EXPECT_FALSE(tab->bIsPPTChanged());
    PptxPresentation saved;
    ASSERT_TRUE(saved.loadFile(myDeck));
    EXPECT_EQ(saved.slideCount(), 1);
    EXPECT_EQ(saved.readText(0, "ID"), "7");
}

// Save, then Cancel in the save panel: the deck is as it was and the exam ID counter too, so
// that no number is spent on a deck that never kept it.
TEST_F(DeckThatRuns, ASaveThatDidNotHappenSpendsNoExamId)
{
    ASSERT_NO_FATAL_FAILURE(loadMyDeck("Normal Quiz"));
    ASSERT_NO_FATAL_FAILURE(newDeckFromTemplates({"True or False"}));
    const int counter = 40;
    ASSERT_TRUE(XMLControl::sharedXMLUI()->updateExamID(counter));
    const QString idBefore = ppt->readTextBoxByName("ID", 0);
    QTest::mouseClick(tab->btnPPTSave, Qt::LeftButton); // no file answered: the panel's Cancel
    ASSERT_EQ(answers.fileDialogs().size(), 2);
    EXPECT_EQ(ppt->readTextBoxByName("ID", 0), idBefore);
    EXPECT_EQ(examIdCounter(), counter);
    EXPECT_TRUE(ppt->isModified());
    EXPECT_TRUE(tab->bIsPPTChanged());

    // A save that happens takes the next number.
    const QString path = home() + "kept.pptx";
    answers.answerFile(path);
    QTest::mouseClick(tab->btnPPTSave, Qt::LeftButton);
    PptxPresentation saved;
    ASSERT_TRUE(saved.loadFile(path));
    EXPECT_EQ(saved.readText(0, "ID").toInt(), counter + 1);
    EXPECT_EQ(examIdCounter(), counter + 1);
}

// Each save panel of a deck that has no file yet proposes the name the deck goes by, its Save
// ready for a click: Yes on Load's question about the changes, and the start of a Paper Quiz or a
// Homework, which closes the deck. Its name box was empty and Save grey. A name the teacher types
// over the proposed one, with Return, is the deck's from then on: the run that starts, its title
// on the backdrop and its session go by the file the deck was saved to.
TEST_F(DeckThatRuns, TheSavePanelOfADeckWithoutAFileProposesItsName)
{
    struct Road
    {
        const char *activity;
        QPushButton *TabController::*button;
        QString typed; // over the proposed name; empty: the proposed name is kept
    };
    const Road roads[] = {
        {"Normal Quiz", &TabController::btnLoad, {}}, // Load asks about the changes: Yes, its first button
        {"Paper Quiz", &TabController::btnStart, {}},
        {"Homework", &TabController::btnStart, {}},
        {"Homework", &TabController::btnStart, "Deck2.pptx"},
        {"Paper Quiz", &TabController::btnStart, "Deck3"},
    };
    for (const Road &road : roads) {
        const QString &typed = road.typed;
        QPushButton *TabController::*button = road.button;
        SCOPED_TRACE(std::string(road.activity) + " " + typed.toStdString());
        const QString kept = typed.isEmpty() ? QStringLiteral("Presentation1") : QFileInfo(typed).completeBaseName();
        const QString written = home() + kept + ".pptx";
        ASSERT_NO_FATAL_FAILURE(loadMyDeck(road.activity));
        ASSERT_NO_FATAL_FAILURE(newDeckFromTemplates({"True or False"}));
        std::string name = "(no save panel)";
        ModalDriver panels;
        panels.on("FileDialog", [&](QWidget *panel) {
            // Load's own panel, once the deck is saved, has no Save.
            QPushButton *save = panel->findChild<QDialogButtonBox *>("buttonBox")->button(QDialogButtonBox::Save);
            if (!save || !QTest::qWaitFor([&] { return QApplication::activeWindow() == panel; }, kEventWaitMs))
                return static_cast<QDialog *>(panel)->reject();
            auto *nameBox = panel->findChild<QLineEdit *>("fileNameEdit");
            name = nameBox->text().toStdString();
            if (typed.isEmpty()) {
                QTest::mouseClick(save, Qt::LeftButton); // a grey Save takes no click
            } else {
                nameBox->setFocus();
                QTest::keyClick(nameBox, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClicks(nameBox, typed);
                QTest::keyClick(nameBox, Qt::Key_Return);
            }
            if (panel->isVisible())
                static_cast<QDialog *>(panel)->reject();
        });
        const DialogHooks::FileResponder answering = DialogHooks::fileResponder();
        DialogHooks::setFileResponder({});
        QTest::mouseClick(tab.get()->*button, Qt::LeftButton);
        DialogHooks::setFileResponder(answering);
        EXPECT_EQ(name, "Presentation1.pptx");
        PptxPresentation saved;
        EXPECT_TRUE(saved.loadFile(written) && saved.slideCount() == 1) << "the deck is not saved under the name given";
        if (PPTQuizStateWindowController *run = runWindow()) {
            EXPECT_EQ(QFileInfo(run->strPath()).fileName(), kept + ".pptx");
            EXPECT_TRUE(run->backdrop()->txtMessage->text().endsWith("Title:" + kept))
                << run->backdrop()->txtMessage->text().toStdString();
        } else {
            EXPECT_EQ(tab.get()->*button, tab->btnLoad) << "no run started";
        }
        delete runWindow();
        tab.reset();
        ppt->closePresentations();
        QFile::remove(written);
    }
}
