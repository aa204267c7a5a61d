#include "EditorFixture.h"

#include "ui/authoring/AddSLides.h"
#include "ui/authoring/QuestionInfoWindowController.h"
#include "ui/authoring/StandardController.h"
#include "ui/authoring/StandardImportController.h"
#include "ui/authoring/StandardOutlineModel.h"
#include "ui/authoring/StandardSettingController.h"

#include "core/authoring/StandardTree.h"
#include "support/Shots.h"
#include "ui/controls/PollixAlert.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTreeView>
#include "ui/authoring/TitleSetController.h"

// The authoring windows as a person sees them: every window looked at draws, in every run of the
// suite; with a picture folder set (./dev shots) the pictures go there.
namespace {

class EditorScreensTest : public EditorFixture
{
protected:
    void shoot(QWidget *w, const QString &name) { EXPECT_TRUE(Shots::drew(w, name)); }
};

} // namespace

TEST_F(EditorScreensTest, AuthoringWindows)
{
    addTemplate(4);
    addTemplate(25);
    addTemplate(0);
    editor->smallQuestions->selectedQuestionNo(1);
    page(1)->getQuestionTitle()->textview()->setString(QStringLiteral("Which planet is closest to the sun?"));
    for (int k = 0; k < 4; ++k)
        page(1)->setOption(k, QStringList{"Mercury", "Venus", "Earth", "Mars"}[k]);
    editor->showWindow();
    shoot(editor, QStringLiteral("editor"));

    editor->onQuestionInfo();
    shoot(editor->questionInfoWindow(), QStringLiteral("properties"));
    editor->questionInfoWindow()->onNext();
    shoot(editor->questionInfoWindow(), QStringLiteral("properties-vote"));
    editor->questionInfoWindow()->close();

    AddSLides chooser(editor);
    chooser.setAddType(3);
    chooser.awakeFromNib();
    chooser.show();
    shoot(&chooser, QStringLiteral("templates"));
    chooser.hide();

    answers.answerFile(home() + QStringLiteral("planets.px"));
    ASSERT_TRUE(editor->onSaveAs());
    TitleSetController title(editor);
    title.setFilePath(editor->path());
    title.setTeacherName(QStringLiteral("Ms Reed"));
    title.setSubjectName(QStringLiteral("Science"));
    ASSERT_TRUE(title.awakeFromNib());
    title.show();
    shoot(&title, QStringLiteral("title"));
}

TEST_F(EditorScreensTest, StandardsWindows)
{
    writeFile("Template.xml", testData("authoring/standards-round-trip/Template.xml"));
    writeFile("Template_Import.xml", testData("authoring/standards-round-trip/Template.xml"));
    StandardController standards;
    standards.setStandardName(QStringLiteral("MATH.1.b"));
    standards.awakeFromNib();
    standards.textSerchContent->setText(QStringLiteral("reading"));
    standards.cmbSerchSelect->setCurrentIndex(1);
    standards.doSearch();
    standards.show();
    shoot(&standards, QStringLiteral("standards"));

    StandardSettingController settings(&standards);
    settings.setNodeToSetting(standards.nodeSelected());
    settings.awakeFromNib();
    settings.show();
    shoot(&settings, QStringLiteral("standard-setting"));
    settings.hide();

    StandardImportController import(&standards);
    import.awakeFromNib();
    const TreeNodePtr top = StandardTree::top(import.root());
    import.tick(top->childAtIndex(0)->childAtIndex(0)->childAtIndex(1), 1);
    import.outlineView->expandAll();
    import.show();
    shoot(&import, QStringLiteral("standard-import"));
    import.hide();

    PollixAlert alert(QStringLiteral("Pollix ARS"), QStringLiteral("Are you sure to quit without saving?"),
                      {QStringLiteral("Yes"), QStringLiteral("No")}, {}, &standards);
    alert.QWidget::show();
    shoot(&alert, QStringLiteral("standards-alert"));
}
