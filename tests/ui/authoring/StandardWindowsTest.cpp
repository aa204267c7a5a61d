#include "EditorFixture.h"

#include "core/authoring/StandardTree.h"
#include "ui/authoring/StandardController.h"
#include "ui/authoring/StandardImportController.h"
#include "ui/authoring/StandardOutlineModel.h"
#include "ui/authoring/StandardSettingController.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

namespace {

class StandardWindowsTest : public EditorFixture
{
protected:
    void SetUp() override
    {
        EditorFixture::SetUp();
        standardsFile = writeFile("Template.xml", testData("authoring/standards-round-trip/Template.xml"));
    }
    // The node shown with that label.
    static TreeNodePtr find(const StandardController &w, const QString &label)
    {
        const QModelIndexList hits = w.model->match(w.model->index(0, 0), Qt::DisplayRole, label, 1,
                                                    Qt::MatchExactly | Qt::MatchRecursive);
        return hits.isEmpty() ? nullptr : w.model->nodeForIndex(hits.first());
    }
    static void select(StandardController &w, const TreeNodePtr &node)
    {
        w.outlineView->setCurrentIndex(w.model->indexForNode(node));
    }
    static void click(StandardOutlineModel *model, const TreeNodePtr &node, bool on)
    {
        model->setData(model->indexForNode(node), on ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
    }
    // Settings dialogs opened by the window are filled in and saved as given.
    void answerSettings(const QString &code, const QString &title)
    {
        DialogHooks::setModalResponder([code, title](QDialog *d) {
            auto *s = qobject_cast<StandardSettingController *>(d);
            if (!s)
                return 0;
            s->textCode->setText(code);
            s->textTitle->setPlainText(title);
            s->btnSave->click();
            return s->result();
        });
    }
    QString standardsFile;
};

} // namespace

TEST_F(StandardWindowsTest, ThePickOfAQuestionIsShownChangedAndGivenBack)
{
    StandardController w;
    w.setStandardName(QStringLiteral("MATH.1.b"));
    w.awakeFromNib();
    ASSERT_TRUE(w.nodeSelected());
    EXPECT_EQ(StandardTree::data(w.nodeSelected()).title(), "Place value");
    EXPECT_TRUE(w.outlineView->isExpanded(w.model->indexForNode(find(w, "Numbers and operations(MATH.1)"))));
    EXPECT_FALSE(w.btnOK->isEnabled());
    EXPECT_EQ(w.cmbSerchSelect->currentText(), "Code");

    // Single choice: ticking another standard unticks the pick.
    const TreeNodePtr geometry = find(w, "Geometry(MATH.2)");
    click(w.model, geometry, true);
    EXPECT_EQ(w.nodeSelected(), geometry);
    EXPECT_EQ(StandardTree::data(find(w, "Place value(MATH.1.b)")).cellState(), 0);
    EXPECT_TRUE(w.btnOK->isEnabled());
    click(w.model, find(w, "State Standards"), true);
    EXPECT_FALSE(w.btnOK->isEnabled()) << "the whole set is no standard";
    click(w.model, geometry, true);
    EXPECT_TRUE(w.btnOK->isEnabled());
    EXPECT_EQ(w.standardNameSelected(), "MATH.2");
    EXPECT_EQ(w.standardTitleSelected(), "Geometry");
    // Unticking the pick leaves none: a single blank for code and title.
    click(w.model, geometry, false);
    EXPECT_FALSE(w.nodeSelected());
    EXPECT_EQ(w.standardNameSelected(), " ");

    // Through the editor: OK tags the page; Close leaves it.
    addTemplate(4);
    DialogHooks::setModalResponder([this](QDialog *d) {
        auto *s = static_cast<StandardController *>(d);
        click(s->model, find(*s, "Comprehension: main idea.(READ.1)"), true);
        s->btnOK->click();
        return s->result();
    });
    editor->onStandard();
    EXPECT_EQ(page(1)->strStandardCode(), "READ.1");
    EXPECT_EQ(page(1)->strStandardTitle(), "Comprehension: main idea.");
    DialogHooks::setModalResponder([this](QDialog *d) {
        auto *s = static_cast<StandardController *>(d);
        EXPECT_EQ(StandardTree::data(s->nodeSelected()).name(), "READ.1") << "the page's standard is preset";
        click(s->model, find(*s, "Geometry(MATH.2)"), true);
        s->close();
        return s->result();
    });
    editor->onStandard();
    EXPECT_EQ(page(1)->strStandardCode(), "READ.1");
}

TEST_F(StandardWindowsTest, AddingEditingAndDeletingAreSavedOnlyBySaveAndAskedAboutOtherwise)
{
    StandardController w;
    w.awakeFromNib();
    select(w, find(w, "Science(SCI)"));
    answerSettings(QStringLiteral("SCI.1"), QStringLiteral("Living\nthings"));
    w.doAdd();
    const TreeNodePtr added = find(w, "Livingthings(SCI.1)");
    ASSERT_TRUE(added) << "line feeds are removed, not replaced";
    EXPECT_FALSE(StandardTree::data(find(w, "Science(SCI)")).isLeaf());
    EXPECT_TRUE(w.btnSave->isEnabled());
    EXPECT_EQ(readFile(standardsFile), testData("authoring/standards-round-trip/Template.xml")) << "nothing written yet";

    // OK with unsaved changes asks, as Close does; "No" keeps the window.
    answers.answerAlert(1);
    w.doOK();
    EXPECT_EQ(answers.alertTexts().last(), "Are you sure to quit without saving?");
    answers.answerAlert(1);
    EXPECT_FALSE(w.close());

    w.doSave();
    EXPECT_FALSE(w.btnSave->isEnabled());
    TreeNodePtr reread = TreeNode::create();
    ASSERT_EQ(StandardTree::readFromXml(standardsFile, reread), StandardTree::Read::Done);
    EXPECT_EQ(StandardTree::data(StandardTree::top(reread)->childAtIndex(2)->childAtIndex(0)).name(), "SCI.1");

    // A code a sibling already has is refused; under another parent it is fine.
    DialogHooks::setModalResponder([](QDialog *d) {
        auto *s = static_cast<StandardSettingController *>(d);
        s->textCode->setText(QStringLiteral("MATH.2"));
        s->textTitle->setPlainText(QStringLiteral("Shapes"));
        s->btnSave->click();
        const int refused = s->result();
        EXPECT_TRUE(s->isVisible() || refused == 0);
        s->textCode->setText(QStringLiteral("MATH.3"));
        s->btnSave->click();
        return s->result();
    });
    select(w, find(w, "Mathematics(MATH)"));
    w.doAdd();
    EXPECT_EQ(answers.alertTexts().last(),
              "A standard with code \"MATH.2\" already exists under this state standard. Please enter a unique standard code.");
    EXPECT_TRUE(find(w, "Shapes(MATH.3)"));
    answerSettings(QStringLiteral("MATH.2"), QStringLiteral("Shapes"));
    select(w, find(w, "Reading(READ)"));
    w.doAdd();
    EXPECT_TRUE(find(w, "Shapes(MATH.2)"));

    // Editing by double-click makes the edited standard the pick.
    answerSettings(QStringLiteral("READ.1"), QStringLiteral("Main idea"));
    w.edit(find(w, "Comprehension: main idea.(READ.1)"));
    EXPECT_EQ(StandardTree::data(w.nodeSelected()).title(), "Main idea");
    EXPECT_EQ(StandardTree::data(w.nodeSelected()).cellState(), 1);
    // Adding keeps the pick, ticked as it is given back.
    answerSettings(QStringLiteral("READ.2"), QStringLiteral("Vocabulary"));
    select(w, find(w, "Reading(READ)"));
    w.doAdd();
    EXPECT_EQ(StandardTree::data(w.nodeSelected()).cellState(), 1);
    EXPECT_EQ(w.standardNameSelected(), "READ.1");

    // Deleting: nothing selected asks for a selection; the last child leaves a leaf.
    w.outlineView->selectionModel()->clear();
    w.doDelete();
    EXPECT_EQ(answers.alertTexts().last(), "Please select the standard which you want to delete.");
    select(w, find(w, "Livingthings(SCI.1)"));
    answers.answerAlert(0);
    w.doDelete();
    EXPECT_FALSE(find(w, "Livingthings(SCI.1)"));
    EXPECT_TRUE(StandardTree::data(find(w, "Science(SCI)")).isLeaf());
    answers.answerAlert(0); // quit without saving
    EXPECT_TRUE(w.close());
    EXPECT_EQ(w.result(), 0);
}

TEST_F(StandardWindowsTest, AFileReadOnlyInPartIsNeverSavedOver)
{
    const QByteArray damaged = testData("authoring/standards-no-title/Template.xml");
    writeFile("Template.xml", damaged);
    StandardController w;
    w.awakeFromNib();
    EXPECT_TRUE(w.readMessage->isVisibleTo(&w));
    EXPECT_TRUE(find(w, "Numbers and operations(MATH.1)")) << "what could be read is shown";
    select(w, find(w, "Mathematics(MATH)"));
    answerSettings(QStringLiteral("MATH.9"), QStringLiteral("Data"));
    w.doAdd();
    EXPECT_TRUE(w.hasUnsavedChanges());
    EXPECT_FALSE(w.btnSave->isEnabled());
    w.doSave();
    EXPECT_EQ(readFile(standardsFile), damaged);

    // Export of what is shown still works, and says so.
    answers.answerFile(home() + "export");
    w.doExport();
    EXPECT_EQ(answers.alertTexts().last(), "Exported Successfully.");
    EXPECT_EQ(answers.alerts().last().informativeText, "Saved to " + QDir::toNativeSeparators(home() + "export.xml"));
    TreeNodePtr exported = TreeNode::create();
    EXPECT_EQ(StandardTree::readFromXml(home() + "export.xml", exported), StandardTree::Read::Done);
}

TEST_F(StandardWindowsTest, SearchMarksHitsAndSaysWhenThereIsNone)
{
    StandardController w;
    w.awakeFromNib();
    w.textSerchContent->setText(QStringLiteral(" MATH.1 "));
    w.doSearch();
    ASSERT_EQ(w.arraySearchNode().size(), 2);
    EXPECT_TRUE(w.model->isHit(w.arraySearchNode()[1]));
    EXPECT_TRUE(w.outlineView->isExpanded(w.model->indexForNode(find(w, "Reading(READ)"))));
    EXPECT_TRUE(w.model->data(w.model->indexForNode(w.arraySearchNode()[0]), Qt::BackgroundRole).isValid());
    w.cmbSerchSelect->setCurrentIndex(1);
    w.textSerchContent->setText(QStringLiteral("chemistry"));
    w.doSearch();
    EXPECT_TRUE(w.arraySearchNode().isEmpty());
    EXPECT_EQ(answers.alertTexts().last(), "Your search standard is not found.");
}

TEST_F(StandardWindowsTest, ReturnInTheSearchFieldSearchesAndNeverPressesOK)
{
    StandardController w;
    w.awakeFromNib();
    w.show();
    int ended = -1;
    QObject::connect(&w, &QDialog::finished, [&ended](int code) { ended = code; });
    click(w.model, find(w, "Geometry(MATH.2)"), true);
    ASSERT_TRUE(w.btnOK->isEnabled());
    ASSERT_TRUE(w.btnOK->isDefault());

    QTest::keyClicks(w.textSerchContent, QStringLiteral("MATH.1"));
    QTest::keyClick(w.textSerchContent, Qt::Key_Return);
    EXPECT_EQ(w.arraySearchNode().size(), 2);
    EXPECT_TRUE(answers.alerts().isEmpty());
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(ended, -1);

    // Nothing found: the alert is answered and the window is still there, pick and all; the
    // keypad's Enter is no different.
    w.textSerchContent->clear();
    QTest::keyClicks(w.textSerchContent, QStringLiteral("NOPE.9"));
    QTest::keyClick(w.textSerchContent, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(answers.alertTexts(), QStringList{"Your search standard is not found."});
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(ended, -1);
    EXPECT_EQ(w.nodeSelected(), find(w, "Geometry(MATH.2)"));

    // Outside a text field Return still means OK.
    QTest::keyClick(w.outlineView, Qt::Key_Return);
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.standardNameSelected(), "MATH.2");
}

TEST_F(StandardWindowsTest, ImportBringsTheTickedPartUnderTheSelectedStandard)
{
    writeFile("Template_Import.xml", testData("authoring/standards-round-trip/Template.xml"));
    DialogHooks::setModalResponder([](QDialog *d) {
        auto *import = qobject_cast<StandardImportController *>(d);
        if (!import)
            return 0;
        EXPECT_TRUE(import->txtTemplate->text().endsWith("Template_Import.xml"));
        const TreeNodePtr top = StandardTree::top(import->root());
        const TreeNodePtr placeValue = top->childAtIndex(0)->childAtIndex(0)->childAtIndex(1);
        import->model->setData(import->model->indexForNode(placeValue), Qt::Checked, Qt::CheckStateRole);
        EXPECT_EQ(import->model->data(import->model->indexForNode(top), Qt::CheckStateRole), Qt::PartiallyChecked);
        import->doOK();
        return import->result();
    });
    StandardController w;
    w.awakeFromNib();
    select(w, find(w, "Science(SCI)"));
    w.doImport();
    const TreeNodePtr science = find(w, "Science(SCI)");
    ASSERT_EQ(science->numberOfChildren(), 1);
    const TreeNodePtr brought = science->childAtIndex(0);
    EXPECT_EQ(StandardTree::data(brought).title(), "State Standards");
    ASSERT_EQ(brought->numberOfChildren(), 1);
    EXPECT_EQ(brought->childAtIndex(0)->childAtIndex(0)->childAtIndex(0)->numberOfChildren(), 0);
    EXPECT_EQ(StandardTree::data(brought->childAtIndex(0)->childAtIndex(0)->childAtIndex(0)).name(), "MATH.1.b");
    EXPECT_TRUE(w.hasUnsavedChanges());

    // The import window on its own: a file that is no standards file is refused and shows nothing.
    StandardImportController import;
    import.awakeFromNib();
    answers.answerFile(testDataPath("authoring/standards-no-title/Template.xml"));
    import.doBrowse();
    EXPECT_EQ(answers.alertTexts().last(), "Wrong xml template.");
    EXPECT_TRUE(answers.alerts().last().informativeText.contains("Title")) << "the reason goes with the refusal";
    EXPECT_EQ(import.root()->numberOfChildren(), 0);
    EXPECT_TRUE(import.txtTemplate->text().isEmpty());

    // Browse pressed by the teacher on a file that is no XML at all: refused with the reason.
    answers.answerFile(writeFile("notes.xml", "<not xml"));
    QTest::mouseClick(import.findChild<QPushButton *>("btnBrowse"), Qt::LeftButton);
    EXPECT_EQ(answers.alertTexts().last(), "Wrong xml template.");
    EXPECT_FALSE(answers.alerts().last().informativeText.isEmpty());
}

TEST_F(StandardWindowsTest, TheCodeFieldTakesLettersDigitsAndFullStopsOnly)
{
    StandardSettingController s;
    s.setNodeToAdd(TreeNode::create());
    s.awakeFromNib();
    s.show();
    s.textCode->setFocus();
    QTest::keyClicks(s.textCode, QStringLiteral("MA TH-1.a"));
    EXPECT_EQ(s.textCode->text(), "MATH1.a");
    QTest::keyClicks(s.textCode, QString(30, QLatin1Char('x')));
    EXPECT_EQ(s.textCode->text().size(), 20);
    EXPECT_FALSE(s.btnSave->isEnabled()) << "no title yet";
    s.textTitle->setPlainText(QStringLiteral("  "));
    EXPECT_FALSE(s.btnSave->isEnabled());
    s.textTitle->setPlainText(QStringLiteral("Fractions"));
    EXPECT_TRUE(s.btnSave->isEnabled());
}

// The top entry names the whole set and the file keeps no code for it: its window says so and
// takes a title alone, while every standard below it keeps the code typed.
TEST_F(StandardWindowsTest, TheTopEntrySaysWhyItHasNoCodeAndTheStandardsBelowKeepTheirs)
{
    ASSERT_TRUE(QFile::remove(standardsFile));
    StandardController w;
    w.awakeFromNib();
    const auto settingsOfTop = [](const QString &title) {
        DialogHooks::setModalResponder([title](QDialog *d) {
            auto *s = qobject_cast<StandardSettingController *>(d);
            if (!s)
                return 0;
            EXPECT_TRUE(s->isTopEntry());
            EXPECT_TRUE(s->topNote->isVisibleTo(s));
            EXPECT_GE(s->height(), s->heightForWidth(s->width())) << "room for the note's lines";
            EXPECT_FALSE(s->textCode->isEnabled());
            EXPECT_TRUE(s->textCode->text().isEmpty());
            s->textTitle->setPlainText(title);
            EXPECT_TRUE(s->btnSave->isEnabled()) << "a title is all the top entry needs";
            s->btnSave->click();
            return s->result();
        });
    };
    // The first entry of an empty tree is its top.
    settingsOfTop(QStringLiteral("Science standards"));
    w.doAdd();
    ASSERT_TRUE(find(w, "Science standards"));
    answerSettings(QStringLiteral("SCI"), QStringLiteral("Science"));
    w.outlineView->selectionModel()->clear();
    w.doAdd();
    ASSERT_TRUE(find(w, "Science(SCI)"));
    w.doSave();
    EXPECT_TRUE(readFile(standardsFile).contains("<_SCI Title=\"Science\""));

    StandardController again;
    again.awakeFromNib();
    EXPECT_TRUE(find(again, "Science(SCI)")) << "the code is there after reopening";
    settingsOfTop(QStringLiteral("State science"));
    again.edit(find(again, "Science standards"));
    EXPECT_TRUE(find(again, "State science"));

    // Any other standard's window has its code and no note.
    DialogHooks::setModalResponder([](QDialog *d) {
        auto *s = qobject_cast<StandardSettingController *>(d);
        if (!s)
            return 0;
        EXPECT_FALSE(s->isTopEntry());
        EXPECT_FALSE(s->topNote->isVisibleTo(s));
        EXPECT_TRUE(s->textCode->isEnabled());
        EXPECT_EQ(s->textCode->text(), "SCI");
        s->textCode->clear();
        EXPECT_FALSE(s->btnSave->isEnabled()) << "a standard needs its code";
        return 0;
    });
    again.edit(find(again, "Science(SCI)"));
}
