#include "core/keypad/DeviceController.h"
#include "platform/AtomicFile.h"
#include "platform/PPTEditorMSO.h"
#include "support/DialogAnswers.h"
#include "support/PollixTest.h"
#include "support/SlideDecks.h"
#include "ui/app/PresentationTools.h"
#include "ui/app/TabController.h"
#include "ui/authoring/AddSLides.h"
#include "ui/authoring/TitleSetController.h"
#include "ui/presentation/PPTQuestionInfoWindowController.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace {

class DeckTools : public PollixTest
{
protected:
    void SetUp() override
    {
        PollixTest::SetUp();
        PresentationTools::install();
        ppt = PPTEditorMSO::shareManager();
        ppt->setTemplatePath(SlideDecks::shippedTemplate());
    }
    void TearDown() override
    {
        TabController::resetHooks();
        AddSLides::hooks() = {};
        PollixTest::TearDown();
    }
    QString deck(const QList<QList<SlideDecks::ShapeSpec>> &slides, const QString &name)
    {
        const QString path = home() + name;
        EXPECT_TRUE(SlideDecks::writeDeck(slides, path));
        EXPECT_TRUE(ppt->openPPT(path));
        return path;
    }
    static QTreeWidgetItem *row(QTreeWidget *tree, const QString &text)
    {
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            if ((*it)->text(0) == text)
                return *it;
        return nullptr;
    }

    DialogAnswers answers;
    PPTEditorMSO *ppt = nullptr;
};

} // namespace

TEST_F(DeckTools, TitleDialogShowsAndKeepsTheFirstSlidesIdAndMemo)
{
    const QString path = deck({{{"ID", "17"}, {"Memo", "Bring a ruler"}, {"Qu_Title", "One"}}, {{"ID", "99"}}}, "Week 3.final.pptx");
    TitleSetController dialog;
    dialog.setFilePath(path);
    dialog.setBIsPPT(true);
    ASSERT_TRUE(dialog.awakeFromNib());
    EXPECT_EQ(dialog.txtID->text(), "17");
    EXPECT_EQ(dialog.txtMemo->text(), "Bring a ruler");
    EXPECT_EQ(dialog.txtTestTitle->text(), "Week 3");
    EXPECT_TRUE(dialog.txtTestTitle->isReadOnly());

    // An empty ID is refused and nothing is written.
    dialog.txtID->clear();
    dialog.onOK();
    EXPECT_EQ(answers.alertTexts(), QStringList{"Exam ID should not be empty."});
    EXPECT_EQ(ppt->readTextBoxByName("ID", 0), "17");

    dialog.txtID->setText("42");
    dialog.txtMemo->setText("Calculators allowed");
    dialog.onOK();
    EXPECT_EQ(dialog.result(), 1);
    PptxPresentation saved;
    ASSERT_TRUE(saved.loadFile(path));
    EXPECT_EQ(saved.readText(0, "ID"), "42");
    EXPECT_EQ(saved.readText(0, "Memo"), "Calculators allowed");
    EXPECT_EQ(saved.readText(1, "ID"), "99");
    EXPECT_EQ(saved.readText(0, "Qu_Title"), "One");
}

TEST_F(DeckTools, TitleDialogOnADeckWithoutTheBoxesAddsThemAndAFailedSaveKeepsItOpen)
{
    const QString path = deck({{{"Qu_Title", "Only a title"}}}, "Plain.pptx");
    TitleSetController dialog;
    dialog.setFilePath(path);
    dialog.setBIsPPT(true);
    ASSERT_TRUE(dialog.awakeFromNib());
    EXPECT_EQ(dialog.txtID->text(), "0");
    dialog.txtID->setText("7");
    dialog.txtMemo->setText("memo");
    AtomicFile::setFailureHook([](const QString &) { return true; });
    dialog.onOK();
    EXPECT_EQ(answers.alertTexts(), QStringList{"The presentation could not be saved."});
    EXPECT_NE(dialog.result(), 1);
    // Given up there, the deck keeps no ID the teacher did not save.
    EXPECT_EQ(ppt->readTextBoxByName("ID", 0), "");
    EXPECT_EQ(dialog.txtID->text(), "7");
    AtomicFile::setFailureHook({});
    dialog.onOK();
    EXPECT_EQ(dialog.result(), 1);
    PptxPresentation saved;
    ASSERT_TRUE(saved.loadFile(path));
    EXPECT_EQ(saved.readText(0, "ID"), "7");
    EXPECT_EQ(saved.readText(0, "Memo"), "memo");

    // With no slide there is nothing to show: the dialog does not open.
    ppt->newPPT(QString());
    TitleSetController empty;
    empty.setFilePath(path);
    empty.setBIsPPT(true);
    EXPECT_EQ(empty.runModal(), 0);
    EXPECT_EQ(answers.alertTexts().last(), "Error format!");
}

// Over a deck never saved, OK asks for a file name: Cancel there is no failure. No alert, and
// the dialog stays with what was typed; a file name then saves it.
TEST_F(DeckTools, TitleDialogStaysWithItsTextsWhenItsSavePanelIsCancelled)
{
    ASSERT_TRUE(ppt->newPPT(QString()));
    ASSERT_TRUE(ppt->copySlideByIndex(3) && ppt->pasteSlide());
    TitleSetController dialog;
    dialog.setBIsPPT(true);
    ASSERT_TRUE(dialog.awakeFromNib());
    dialog.show();
    dialog.txtID->selectAll();
    QTest::keyClicks(dialog.txtID, "314");
    QTest::mouseClick(dialog.btnOK, Qt::LeftButton);
    ASSERT_EQ(answers.fileDialogs().size(), 1);
    EXPECT_TRUE(answers.alerts().isEmpty()) << answers.alertTexts().join(" / ").toStdString();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.result(), 1);
    EXPECT_EQ(dialog.txtID->text(), "314");
    EXPECT_NE(ppt->readTextBoxByName("ID", 0), "314");

    const QString path = home() + "Week 4.pptx";
    answers.answerFile(path);
    QTest::mouseClick(dialog.btnOK, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), 1);
    PptxPresentation saved;
    ASSERT_TRUE(saved.loadFile(path));
    EXPECT_EQ(saved.readText(0, "ID"), "314");
}

TEST_F(DeckTools, MainWindowsAddOpensThePickerWhichCopiesTemplateSlidesUntilItCloses)
{
    SlideDecks::quietMainWindow();
    DeviceController::ShareDeviceController()->setCurDeviceType(3);
    TabController tab;
    tab.awakeFromNib();
    EXPECT_FALSE(tab.btnPPTAdd->isEnabled());
    tab.btnPPTNew->click();
    ASSERT_TRUE(tab.btnPPTAdd->isEnabled());
    tab.btnPPTAdd->click();
    auto *picker = tab.findChild<AddSLides *>();
    ASSERT_TRUE(picker);
    EXPECT_FALSE(tab.btnPPTSave->isEnabled());
    for (const char *name : {"True or False", "4 Selections 1 Coulumns", "Level of Agreement"}) {
        QTreeWidgetItem *item = row(picker->outlineView, QString::fromLatin1(name));
        ASSERT_TRUE(item) << name;
        picker->ovDoubleClick(item);
    }
    EXPECT_EQ(ppt->getCountOfSlide(), 3);
    EXPECT_EQ(ppt->readTextBoxByName("mode", 0), "True or False");
    EXPECT_EQ(ppt->getAllOptionCountbySlidePos(1), 4);
    EXPECT_TRUE(tab.bIsPPTChanged());
    picker->close();
    EXPECT_TRUE(tab.btnPPTSave->isEnabled());
    EXPECT_TRUE(tab.btnPPTDel->isEnabled());
    EXPECT_TRUE(tab.btnPPTNew->isEnabled());

    // A template that is gone is told, and nothing is added.
    ppt->setTemplatePath(home() + "missing.pptx");
    tab.btnPPTAdd->click();
    picker = tab.findChild<AddSLides *>();
    ASSERT_TRUE(picker);
    picker->ovDoubleClick(row(picker->outlineView, "True or False"));
    EXPECT_EQ(answers.alertTexts().last(), "The slide could not be added.");
    EXPECT_EQ(ppt->getCountOfSlide(), 3);
    picker->close();
}

// Given up after its save failed, the title dialog leaves the deck as its file is: nothing is
// left for a later way out to ask about, or for the run's end to write (and fail at) again.
TEST_F(DeckTools, TitleDialogGivenUpAfterAFailedSaveLeavesTheDeckUnchanged)
{
    const QString path = deck({{{"ID", "17"}, {"Memo", "Bring a ruler"}, {"Qu_Title", "One"}}}, "Week 5.pptx");
    ASSERT_FALSE(ppt->isModified());
    TitleSetController dialog;
    dialog.setFilePath(path);
    dialog.setBIsPPT(true);
    ASSERT_TRUE(dialog.awakeFromNib());
    dialog.show();
    dialog.txtID->selectAll();
    QTest::keyClicks(dialog.txtID, "42");
    AtomicFile::setFailureHook([](const QString &) { return true; });
    QTest::mouseClick(dialog.btnOK, Qt::LeftButton);
    AtomicFile::setFailureHook({});
    ASSERT_EQ(answers.alertTexts(), QStringList{"The presentation could not be saved."});
    ASSERT_TRUE(dialog.isVisible());
    QTest::keyClick(dialog.txtID, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(ppt->readTextBoxByName("ID", 0), "17");
    EXPECT_FALSE(ppt->isModified());

    // The slide question editor over it closes without a question.
    PPTQuestionInfoWindowController editor;
    editor.awakeFromNib();
    editor.show();
    EXPECT_TRUE(editor.close());
    EXPECT_EQ(answers.alertTexts(), QStringList{"The presentation could not be saved."})
        << answers.alertTexts().join(" / ").toStdString();
}
