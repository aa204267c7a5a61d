// A question set written in the editor from templates, with a picture and a curriculum
// standard, saved, and run in the activity window on a simulated Dravel receiver.
#include "ui/run/RunWindowFixture.h"

#include "core/authoring/StandardTree.h"
#include "support/DialogAnswers.h"
#include "ui/app/QuestionEditorOpener.h"
#include "ui/authoring/AddSLides.h"
#include "ui/authoring/QuestionInfoWindowController.h"
#include "ui/authoring/QuestionsSettingWindowController.h"
#include "ui/authoring/StandardController.h"
#include "ui/authoring/StandardOutlineModel.h"
#include "ui/controls/DialogHooks.h"
#include "ui/run/SaveToDataController.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDir>
#include <QImage>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>

using keypadsim::Model;
using keypadsim::SimReceiver;

namespace {

class EditorToRunTest : public RunWindowFixture
{
protected:
    void TearDown() override
    {
        DialogHooks::setModalResponder({});
        RunWindowFixture::TearDown();
    }
    // Double-clicks template rows in the editor's chooser, then closes it.
    static int chooseTemplates(AddSLides *chooser, const QStringList &rows)
    {
        for (const QString &name : rows)
            chooser->ovDoubleClick(chooser->outlineView->findItems(name, Qt::MatchExactly | Qt::MatchRecursive).first());
        chooser->close();
        return chooser->result();
    }
    static int pickStandard(StandardController *standards, const QString &label)
    {
        const QModelIndexList hits = standards->model->match(standards->model->index(0, 0), Qt::DisplayRole, label, 1,
                                                             Qt::MatchExactly | Qt::MatchRecursive);
        EXPECT_EQ(hits.size(), 1) << label.toStdString();
        standards->model->setData(hits.first(), Qt::Checked, Qt::CheckStateRole);
        standards->doOK();
        return standards->result();
    }
};

} // namespace

TEST_F(EditorToRunTest, AQuizWrittenInTheEditorRunsOnTheKeypads)
{
    SimReceiver *sim = plugIn(Model::Dravel);
    ASSERT_TRUE(sim);
    ASSERT_TRUE(waitFor([&] { return app()->getBHaveDevice(); }));
    writeFile("Template.xml", testData("authoring/standards-round-trip/Template.xml"));
    DialogAnswers answers;

    // Three pages from the template chooser: four options, true or false, three options.
    QPointer<QuestionsSettingWindowController> editor = QuestionEditorOpener::open(nullptr, QString());
    DialogHooks::setModalResponder([](QDialog *d) {
        return chooseTemplates(static_cast<AddSLides *>(d), {"4 Options", "True or False", "3 Options"});
    });
    editor->onAddNewTemplate();
    Questions *canvas = editor->bigQuestions;
    ASSERT_EQ(canvas->questions().size(), 3);

    // Texts and answers through the properties window.
    editor->smallQuestions->selectedQuestionNo(1);
    editor->onQuestionInfo();
    QuestionInfoWindowController *info = editor->questionInfoWindow();
    ASSERT_TRUE(info);
    info->questionTitle->setPlainText(QStringLiteral("Which planet is closest to the sun?"));
    const QStringList planets{"Venus", "Mercury", "Mars", "Earth"};
    for (int k = 0; k < 4; ++k)
        info->options[k]->setPlainText(planets[k]);
    info->answerCells->button(1)->click();
    info->onNext();
    info->questionTitle->setPlainText(QStringLiteral("The sun is a star."));
    info->answerCells->button(0)->click();
    info->onNext();
    info->questionTitle->setPlainText(QStringLiteral("How many moons has Mars?"));
    for (int k = 0; k < 3; ++k)
        info->options[k]->setPlainText(QString::number(k));
    info->answerCells->button(2)->click();
    info->close();

    // A picture on page 1, and the standard of page 1.
    editor->smallQuestions->selectedQuestionNo(1);
    QImage planet(60, 40, QImage::Format_RGB32);
    planet.fill(QColor(0xc0, 0x60, 0x30));
    ASSERT_TRUE(planet.save(home() + "planet.png"));
    ASSERT_TRUE(canvas->importPicture(home() + "planet.png"));
    DialogHooks::setModalResponder([](QDialog *d) { return pickStandard(static_cast<StandardController *>(d), "Geometry(MATH.2)"); });
    editor->onStandard();

    const QString path = home() + "Planets.px";
    answers.answerFile(path);
    ASSERT_TRUE(editor->onSaveAs());
    EXPECT_TRUE(editor->close()) << "saved: closes without a question";
    EXPECT_TRUE(answers.alerts().isEmpty());
    DialogHooks::setModalResponder({});

    ExamPaperInfoPtr file = ExamPaperInfo::loadQuestionFile(path);
    ASSERT_TRUE(file);
    ASSERT_EQ(file->arrayQuestionsInfo().size(), 3);
    const QuestionSetViewPtr first = file->arrayQuestionsInfo()[0];
    EXPECT_TRUE(first->cellArray().last()->igFlag()) << "the picture is in the file";
    EXPECT_EQ(first->strStandardCode(), "MATH.2");
    EXPECT_EQ(first->strAnswer(), "B");

    // The run: three students log in, answer page 1 and page 3; the session keeps the standard.
    makeClass(3);
    sim->clearLogs();
    open(0, 3, path);
    auto *qq = QuizQuestions::shareManager();
    ASSERT_EQ(qq->count(), 3);
    EXPECT_EQ(qq->questionTitle(1), "Which planet is closest to the sun?");
    EXPECT_EQ(qq->optionB(1), "Mercury");
    EXPECT_EQ(qq->answer(2), "True");
    EXPECT_EQ(qq->standard(1), "MATH.2");
    for (int i = 1; i <= 3; ++i)
        sim->login(0x0100 + i, QStringLiteral("S%1").arg(i, 3, 10, QLatin1Char('0')), QStringLiteral("First%1").arg(i));
    ASSERT_TRUE(waitFor([&] { return grid()->count() == 3 && keypadsLoggedIn(sim, 0x0101, 3); }));
    const int d1 = grid()->students()[0].student()->deviceNo();
    const int d2 = grid()->students()[1].student()->deviceNo();

    sim->pressTeacherKey(0x8A);
    ASSERT_TRUE(waitFor([&] { return window->bStartFlag(); }));
    sim->answer(0x0101, QStringLiteral("B"));
    sim->answer(0x0102, QStringLiteral("A"));
    ASSERT_TRUE(waitFor([&] { return grid()->students()[1].state() == StudentLoginView::StateAnswered; }));
    sim->pressTeacherKey(0x8B);
    ASSERT_TRUE(waitFor([&] { return !window->bStartFlag(); }));
    EXPECT_EQ(QuizData::shareManager()->getStudentAnswer(1, d1), "B");
    EXPECT_EQ(QuizData::shareManager()->getStudentAnswer(1, d2), "A");

    sim->pressTeacherKey(0x86);
    sim->pressTeacherKey(0x86);
    ASSERT_TRUE(waitFor([&] { return label("txtPageAndTotalPage") == QStringLiteral("3/3"); }));
    sim->pressTeacherKey(0x8A);
    ASSERT_TRUE(waitFor([&] { return window->bStartFlag(); }));
    sim->answer(0x0101, QStringLiteral("C"));
    ASSERT_TRUE(waitFor([&] { return QuizData::shareManager()->getStudentAnswer(3, d1) == "C"; }));
    sim->pressTeacherKey(0x8B);
    ASSERT_TRUE(waitFor([&] { return !window->bStartFlag(); }));

    // Exit, confirmed and saved from the teacher keypad.
    QTimer poll;
    QPointer<QWidget> answered;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal != answered) {
            answered = modal;
            sim->pressTeacherKey(0x81);
        }
        if (window && window->currentAlert() && window->currentAlert() != answered) {
            answered = window->currentAlert();
            sim->pressTeacherKey(0x81);
        }
    });
    poll.start(5);
    sim->pressTeacherKey(0x85);
    ASSERT_TRUE(waitFor([&] { return window.isNull(); }));
    const QStringList sessions = QDir(app()->strQuizXmlDataFilePath()).entryList(QDir::Files);
    ASSERT_EQ(sessions.size(), 1);
    const QByteArray session = readFile(app()->strQuizXmlDataFilePath() + QLatin1Char('/') + sessions.first());
    EXPECT_TRUE(session.contains("MATH.2"));
    EXPECT_TRUE(session.contains("Which planet is closest to the sun?"));
}
