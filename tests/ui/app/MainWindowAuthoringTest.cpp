#include "core/authoring/ExamPaperInfo.h"
#include "core/keypad/DeviceController.h"
#include "support/DialogAnswers.h"
#include "support/PollixTest.h"
#include "ui/app/QuestionEditorOpener.h"
#include "ui/app/TabController.h"
#include "ui/authoring/QuestionsSettingWindowController.h"
#include "ui/authoring/TitleSetController.h"
#include "ui/controls/DialogHooks.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>

namespace {

// The main window with the authoring windows installed, as the program starts it.
class MainWindowAuthoringTest : public PollixTest
{
protected:
    void SetUp() override
    {
        PollixTest::SetUp();
        TabController::resetHooks();
        auto &h = TabController::hooks();
        h.runSplash = [](QWidget *) {};
        h.runSystemChoice = [](QWidget *) {};
        h.runLogin = [](QWidget *) { return true; };
        QuestionEditorOpener::install();
        DeviceController::ShareDeviceController()->setCurDeviceType(3);
        window = std::make_unique<TabController>();
        window->awakeFromNib();
        window->show();
    }
    void TearDown() override
    {
        QList<QPointer<QuestionsSettingWindowController>> editors;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *editor = qobject_cast<QuestionsSettingWindowController *>(w))
                editors << editor;
        for (const auto &editor : editors)
            delete editor.data();
        window.reset();
        DialogHooks::setModalResponder({});
        TabController::resetHooks();
        DeviceController::ShareDeviceController()->setCurDeviceType(-1);
        PollixTest::TearDown();
    }
    static QuestionsSettingWindowController *openEditor()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *editor = qobject_cast<QuestionsSettingWindowController *>(w); editor && editor->isVisible())
                return editor;
        return nullptr;
    }
    QString questionFile(const QString &name)
    {
        ExamPaperInfo set;
        set.setArrayQuestionsInfo({QuestionSetView::createTemplate(4, QSizeF(800, 600))});
        set.setNExamPaperID(5);
        set.setStrExamPaperTitle(QStringLiteral("Week 1"));
        const QString path = home() + name;
        EXPECT_TRUE(set.writeToFile(path));
        return path;
    }
    DialogAnswers answers;
    std::unique_ptr<TabController> window;
};

} // namespace

TEST_F(MainWindowAuthoringTest, NewAndOpenLeadToTheEditorAndBack)
{
    window->tabView->setCurrentIndex(1);
    ASSERT_TRUE(window->btnPXNew->isEnabled());
    ASSERT_TRUE(window->btnPXOpen->isEnabled());
    window->btnPXNew->click();
    QuestionsSettingWindowController *editor = openEditor();
    ASSERT_TRUE(editor);
    EXPECT_FALSE(window->isVisible()) << "the main window steps aside";
    EXPECT_TRUE(editor->bigQuestions->questions().isEmpty());
    EXPECT_TRUE(editor->close());
    EXPECT_TRUE(window->isVisible());

    // Open checks the file first; a file that is no question file never reaches the editor.
    answers.answerFile(writeFile("bad.px", "not a question file"));
    window->btnPXOpen->click();
    EXPECT_EQ(answers.alertTexts().last(), "Error format!");
    EXPECT_FALSE(openEditor());
    const QString path = questionFile(QStringLiteral("week1.px"));
    answers.answerFile(path);
    window->btnPXOpen->click();
    editor = openEditor();
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->bigQuestions->questions().size(), 1);
    EXPECT_EQ(editor->windowTitle(), "Question Setting(" + path + ")");
}

TEST_F(MainWindowAuthoringTest, TitleOfALoadedFile)
{
    const QString path = questionFile(QStringLiteral("week1.px"));
    answers.answerFile(path);
    window->btnLoad->click();
    ASSERT_TRUE(window->btnTitleSet->isEnabled());
    QString shown;
    DialogHooks::setModalResponder([&](QDialog *d) {
        auto *title = static_cast<TitleSetController *>(d);
        shown = title->txtTestTitle->text();
        title->txtMemo->setText(QStringLiteral("bring calculators"));
        title->onOK();
        return title->result();
    });
    window->btnTitleSet->click();
    EXPECT_EQ(shown, "Week 1");
    EXPECT_EQ(ExamPaperInfo::loadQuestionFile(path)->strMemo(), "bring calculators");
}
