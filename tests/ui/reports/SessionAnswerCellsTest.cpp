// The answer cells of the session windows: what a teacher may type into them, by the receiver's
// keypads and the question's type.
#include "SessionWindowsFixture.h"

#include "core/engine/StoredAnswers.h"
#include "ui/reports/EditSessionController.h"

#include <QComboBox>
#include <QTabWidget>

using SessionAnswerCellsTest = SessionWindowsFixture;

// A student's answer typed in the entry's answer cell stops where the receiver's keypads stop, as
// the correct answer does: 32 characters with a Dravel, 20 with a Brevel; the file stores no more.
TEST_F(SessionAnswerCellsTest, TheEntrysAnswerCellTakesNoMoreThanTheKeypadsSend)
{
    const QString typed = QStringLiteral("the powerhouse of the cell is the mitochondria"); // 46
    openReportWindow();
    for (const auto &[device, limit] : {std::pair{3, 32}, std::pair{4, 20}}) {
        CreateNewSessionController entry(window.get(), device);
        ASSERT_TRUE(shownActive(&entry));
        entry.textSession->setText(QStringLiteral("Cloze %1").arg(device));
        entry.cboQuestionMode->setCurrentText("Cloze Test");
        ASSERT_EQ(entry.questionArray()[0].quMode(), "Cloze Test");
        entry.textCorrectAnswer->selectAll();
        QTest::keyClicks(entry.textCorrectAnswer, typed);
        EXPECT_EQ(entry.textCorrectAnswer->text(), typed.left(limit)) << device;
        QLineEdit *cell = openCell(entry.tableView, 0, 2);
        ASSERT_TRUE(cell);
        QTest::keyClicks(cell, typed);
        EXPECT_EQ(cell->text(), typed.left(limit)) << device;
        commitCell(cell);
        EXPECT_EQ(entry.tableView->item(0, 2)->text(), typed.left(limit)) << device;
        ASSERT_TRUE(entry.doSave());
        const QuizEntity saved = stored(QStringLiteral("Cloze %1").arg(device));
        ASSERT_EQ(saved.allQuestions().size(), 1);
        EXPECT_EQ(saved.allQuestions()[0].rightAns(), typed.left(limit));
        const StoredAnswers replies(saved);
        EXPECT_EQ(replies.reply("1", 0), typed.left(limit)) << device;
    }
}

// The editor's answer cells, a student's answers among them, take what the question's correct
// answer takes: one letter for a single answer, what the keypads send for a short answer (32
// with a Dravel). What the file holds opens whole in a cell and stays as it was when the cell is
// left: a question entered without a correct answer, a student's "__" for no answer.
TEST_F(SessionAnswerCellsTest, TheEditorsAnswerCellsTakeWhatTheQuestionTakesAndKeepWhatTheFileHolds)
{
    // Question 1 entered without a correct answer.
    const QString file = writeFile("Data/Quiz/First.xml", testData("reports/student-session/input.xml")
                                                              .replace("<CAnswer>A</CAnswer>", "<CAnswer>No Answer</CAnswer>"));
    openReportWindow();
    EditSessionController editor(0, window.get(), row("Quiz, period 2"), 3);
    ASSERT_TRUE(shownActive(&editor));
    const int alertsBefore = int(answers.alertTexts().size());

    // Question 1, a single answer: opened and left, its "No Answer" says nothing.
    QLineEdit *cell = openCell(editor.tableQuestion1, 0, EditSessionController::ColCorrectAnswer);
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->text(), "No Answer");
    commitCell(cell);
    EXPECT_EQ(editor.tableQuestion1->item(0, EditSessionController::ColCorrectAnswer)->text(), "No Answer");
    EXPECT_EQ(answers.alertTexts().size(), alertsBefore) << answers.alertTexts().join(" | ").toStdString();
    // Typed, it takes one letter.
    cell = openCell(editor.tableQuestion1, 0, EditSessionController::ColCorrectAnswer);
    ASSERT_TRUE(cell);
    QTest::keyClicks(cell, "ba");
    EXPECT_EQ(cell->text(), "b");
    commitCell(cell);
    EXPECT_EQ(editor.questionArray()[0].correctAnswer(), "B");

    // Question 3 made a short answer: its correct answer and each student's answer take 32.
    const QString typed = QStringLiteral("the powerhouse of the cell is the mitochondria");
    editor.modeBox(2)->setCurrentText("Short Answer");
    ASSERT_EQ(editor.questionArray()[2].quMode(), "Short Answer");
    cell = openCell(editor.tableQuestion1, 2, EditSessionController::ColCorrectAnswer);
    ASSERT_TRUE(cell);
    QTest::keyClicks(cell, typed);
    commitCell(cell);
    EXPECT_EQ(editor.questionArray()[2].correctAnswer(), typed.left(32));

    // Student 3: no answer ("__") to question 3, which opens whole and is left as it was; the
    // single answer to question 1 takes one letter, the short answer 32.
    int student = -1;
    for (int r = 0; r < editor.studentArray().size(); ++r)
        if (editor.studentArray()[r].stuID() == "3")
            student = r;
    ASSERT_GE(student, 0);
    editor.tabView->setCurrentIndex(1);
    editor.tableStudent2->selectRow(student);
    cell = openCell(editor.tableQuestion2, 2, EditSessionController::Col2Answer);
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->text(), "__");
    commitCell(cell);
    EXPECT_EQ(editor.tableQuestion2->item(2, EditSessionController::Col2Answer)->text(), "__");
    cell = openCell(editor.tableQuestion2, 0, EditSessionController::Col2Answer);
    ASSERT_TRUE(cell);
    QTest::keyClicks(cell, "ab");
    commitCell(cell);
    cell = openCell(editor.tableQuestion2, 2, EditSessionController::Col2Answer);
    ASSERT_TRUE(cell);
    QTest::keyClicks(cell, typed);
    EXPECT_EQ(cell->text(), typed.left(32));
    commitCell(cell);

    ASSERT_TRUE(editor.doSave());
    const QuizEntity saved = DataManager::getQuizAtPath(file).value_or(QuizEntity());
    ASSERT_EQ(saved.allQuestions().size(), 3);
    EXPECT_EQ(saved.allQuestions()[0].rightAns(), "B");
    EXPECT_EQ(saved.allQuestions()[2].rightAns(), typed.left(32));
    const StoredAnswers replies(saved);
    EXPECT_EQ(replies.reply("3", 0), "A");
    EXPECT_EQ(replies.reply("3", 2), typed.left(32));
    EXPECT_EQ(replies.reply("007", 2), "B") << "the other students' answers stay";
}
