#include "SessionWindowsFixture.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/engine/StoredAnswers.h"
#include "core/reports/SessionMerge.h"
#include "core/reports/StudentSessionReport.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovFastQuizXmlDatabase.h"
#include "core/store/TovSubjectXmlDatabase.h"
#include "core/store/TovTeacherXmlDatabase.h"
#include "support/DialogAnswers.h"
#include "ui/controls/MyComboBox.h"
#include "ui/controls/TovTableView.h"
#include "ui/gradebook/GradebookWindows.h"
#include "ui/reports/CreateNewSessionController.h"
#include "ui/reports/EditSessionController.h"
#include "ui/reports/ImportSessionController.h"
#include "ui/reports/MergeController.h"
#include "ui/reports/ReportController.h"
#include "ui/reports/ReportRegistry.h"
#include "ui/reports/ReportWindows.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "support/KilledRuns.h"
#include "support/RealAlerts.h"

#include <functional>
#include <memory>

using SessionWindowsTest = SessionWindowsFixture;

namespace {
// The editor of a session shown over the report window, its name changed as the teacher types it
// (not saved yet).
std::unique_ptr<EditSessionController> renamedInEditor(ReportController *window, const ReportTable1Element &row)
{
    auto editor = std::make_unique<EditSessionController>(0, window, row, 3);
    EXPECT_TRUE(editor->isLoaded());
    editor->show();
    QTest::keyClick(editor->textSession1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor->textSession1, "Quiz, period 2 (redone)");
    emit editor->textSession1->editingFinished();
    return editor;
}
} // namespace

TEST_F(SessionWindowsTest, NewEntersAPaperTestEditFixesAnAnswerMergeJoinsAndTheReportsFollow)
{
    openReportWindow();
    ASSERT_TRUE(window->btnNew1->isEnabled());
    onModal("CreateNewSession", [](QDialog *d) {
        auto *entry = static_cast<CreateNewSessionController *>(d);
        // Students 1..4 answer five questions; the key of question 3 is typed wrongly as D.
        enterPaperTest(entry, "Paper test", {"B", "A", "D", "C", "A"}, {"BBBA", "AACA", "CCCD", "CCCC", "AABA"});
        EXPECT_TRUE(entry->isChanged());
        EXPECT_TRUE(entry->doSave());
        return entry->result();
    });
    window->btnNew1->click();
    ASSERT_TRUE(window->table1Array().size() == 1) << answers.alertTexts().join(" | ").toStdString();
    // The teacher is told where the session went.
    EXPECT_EQ(answers.alerts().last().text, "Saved successfully.");
    EXPECT_TRUE(answers.alerts().last().informativeText.endsWith(QDir::toNativeSeparators(row("Paper test").filePath())));
    const QuizEntity entered = stored("Paper test");
    ASSERT_EQ(entered.allQuestions().size(), 5);
    EXPECT_EQ(entered.actionType(), "Normal Quiz");
    EXPECT_EQ(entered.className(), "Demo Class");
    EXPECT_EQ(entered.allQuestions()[2].rightAns(), "D");
    EXPECT_EQ(entered.allStudentsAns().size(), 20);
    // Per student: 1: B A C C A = 40; 2: 40; 3: B C C C B = 20; 4: A A D C A = 40.
    EXPECT_DOUBLE_EQ(reportAverage("Paper test"), 35.0);

    // Edit: the key of question 3 was C (students 1 to 3 gain 10, student 4 loses 10). The
    // average on screen and in the report moves.
    select({"Paper test"});
    ASSERT_TRUE(window->btnEdit1->isEnabled());
    QString shownBefore, shownAfter;
    onModal("EditSession", [&](QDialog *d) {
        auto *editor = static_cast<EditSessionController *>(d);
        shownBefore = editor->textAvgPoints1->text();
        editor->tableQuestion1->item(2, EditSessionController::ColCorrectAnswer)->setText("c");
        shownAfter = editor->textAvgPoints2->text();
        EXPECT_TRUE(editor->doSave());
        editor->doClose();
        return editor->result();
    });
    window->btnEdit1->click();
    EXPECT_EQ(shownBefore, "35.0");
    EXPECT_EQ(shownAfter, "40.0");
    EXPECT_EQ(stored("Paper test").allQuestions()[2].rightAns(), "C");
    EXPECT_DOUBLE_EQ(reportAverage("Paper test"), 40.0);
    EXPECT_EQ(window->selectedRows().value(0).session(), "Paper test");

    // A second paper of the same class, then both merged by questions into one session.
    onModal("CreateNewSession", [](QDialog *d) {
        auto *entry = static_cast<CreateNewSessionController *>(d);
        enterPaperTest(entry, "Second paper", {"A", "B"}, {"AAAB", "BBBB"});
        entry->doSave();
        return entry->result();
    });
    window->btnNew1->click();
    select({"Paper test", "Second paper"});
    ASSERT_TRUE(window->btnMerge1->isEnabled());
    onModal("Merge", [](QDialog *d) {
        auto *merge = static_cast<MergeController *>(d);
        merge->table2->item(0, 0)->setText("Both papers");
        merge->radioByQuestions->setChecked(true);
        EXPECT_TRUE(merge->doSave());
        return 0;
    });
    window->btnMerge1->click();
    const QuizEntity both = stored("Both papers");
    ASSERT_EQ(both.allQuestions().size(), 7);
    EXPECT_EQ(both.allQuestions()[6].quNo(), 7);
    EXPECT_EQ(both.totalMark(), "70");
    // 40 + (3 * 10 + 4 * 10) / 4.
    EXPECT_DOUBLE_EQ(reportAverage("Both papers"), 57.5);
    EXPECT_EQ(window->table1Array().size(), 3);
}

TEST_F(SessionWindowsTest, EditorWritesTheFileItWasOpenedOnWhateverTheListShowsLater)
{
    const QString original = writeFile("Data/Quiz/First.xml", testData("reports/student-session/input.xml"));
    QByteArray other = testData("reports/student-session/input.xml");
    other.replace("<Title>Week 3</Title>", "<Title>Week 4</Title>").replace("<Name>Quiz, period 2</Name>", "<Name>Other</Name>");
    const QString second = writeFile("Data/Quiz/Second.xml", other);
    openReportWindow();
    select({"Quiz, period 2"});
    EditSessionController editor(0, window.get(), window->selectedRows().first(), 3);
    ASSERT_TRUE(editor.isLoaded());
    // The list now shows only the other session, whose row is the first selected one.
    window->cboTestTitle1->setCurrentText("Week 4");
    ASSERT_EQ(window->selectedRows().value(0).session(), "Other");
    editor.tableQuestion1->item(0, EditSessionController::ColCorrectAnswer)->setText("b");
    ASSERT_TRUE(editor.doSave());
    EXPECT_EQ(readFile(second), other);
    const std::optional<QuizEntity> edited = DataManager::getQuizAtPath(original);
    ASSERT_TRUE(edited);
    EXPECT_EQ(edited->allQuestions()[0].rightAns(), "B");
    // The file keeps its creation time, so the session keeps its place in the list.
    EXPECT_TRUE(readFile(original).contains("<DateCreated>2012-03-23T14:07:09</DateCreated>"));
    // Each answer keeps its time.
    EXPECT_TRUE(readFile(original).contains("<RTime>5</RTime>"));
}

TEST_F(SessionWindowsTest, EditorStaysOpenWithItsEditsWhenASaveFails)
{
    const QString file = storeFirstSession();
    EditSessionController editor(0, window.get(), row("Quiz, period 2"), 3);
    editor.show();
    // A name edited to nothing is told when the field is left, and no save goes through with it.
    const int alertsBefore = answers.alertTexts().size();
    QTest::keyClick(editor.textSession1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor.textSession1, "  ");
    emit editor.textSession1->editingFinished();
    ASSERT_EQ(answers.alertTexts().size(), alertsBefore + 1);
    EXPECT_EQ(answers.alertTexts().last(), "Session Name required.");
    EXPECT_FALSE(editor.doSave());
    EXPECT_EQ(answers.alertTexts().last(), "Please enter the Session Name");
    editor.textSession1->setText("Quiz, period 2");
    // A multiple answer made a single answer keeps its two letters: refused at the save.
    editor.modeBox(1)->setCurrentText("Single Answer");
    EXPECT_EQ(answers.alertTexts().last(), "Invalid answer input.");
    EXPECT_FALSE(editor.doSave());
    EXPECT_FALSE(editor.shouldClose());
    answers.answerAlert(0); // save the changes? Yes
    editor.reject();        // the close box
    EXPECT_TRUE(editor.isVisible());
    editor.btnClose->click();
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(readFile(file), testData("reports/student-session/input.xml"));

    // The disk refuses the write: the reason is told, nothing changes, the window stays.
    editor.modeBox(1)->setCurrentText("Multiple Answer");
    failWritesTo(file);
    EXPECT_FALSE(editor.doSave());
    EXPECT_EQ(answers.alerts().last().text, "The session could not be saved.");
    EXPECT_FALSE(answers.alerts().last().informativeText.isEmpty());
    editor.reject();
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(readFile(file), testData("reports/student-session/input.xml"));
    allowWrites();
    leaveDroppingEdits(editor);
}

// Another program saved the session while it was being edited: Save keeps that version, the alert
// says in whole sentences what happened and what to do, and the Report window's list shows the
// session as the file now holds it.
TEST_F(SessionWindowsTest, ASessionChangedByAnotherProgramWhileEditedStaysAndTheListShowsIt)
{
    const QString file = storeFirstSession();
    EditSessionController editor(0, window.get(), row("Quiz, period 2"), 3);
    ASSERT_TRUE(editor.isLoaded());
    editor.show();
    editor.tableQuestion1->item(0, EditSessionController::ColCorrectAnswer)->setText("b");
    QByteArray theirs = testData("reports/student-session/input.xml");
    theirs.replace("<Title>Week 3</Title>", "<Title>Week 5</Title>").replace("<Name>Quiz, period 2</Name>", "<Name>Redone</Name>");
    {
        QFile other(file);
        ASSERT_TRUE(other.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(other.write(theirs), theirs.size());
    }
    const qsizetype asked = answers.alerts().size();
    QTest::mouseClick(editor.btnSave, Qt::LeftButton);
    ASSERT_EQ(answers.alerts().size(), asked + 1);
    EXPECT_EQ(answers.alerts().last().text, "The session could not be saved.");
    const QString said = answers.alerts().last().informativeText;
    EXPECT_TRUE(said.startsWith(file + " was changed by another program since Pollix read it, so it was not saved over: "
                                       "the other program's version stays. "))
        << said.toStdString();
    EXPECT_TRUE(said.endsWith(" Close this window and open the session again to see the other program's version; your "
                              "changes stay in this window until you close it."))
        << said.toStdString();
    EXPECT_EQ(readFile(file), theirs);
    EXPECT_TRUE(editor.isVisible());
    EXPECT_FALSE(editor.shouldClose());

    // The list and its title choice follow the file, the edited session still chosen.
    ASSERT_EQ(window->table1Array().size(), 1);
    EXPECT_EQ(window->table1Array().first().session(), "Redone");
    EXPECT_EQ(window->selectedRows().value(0).session(), "Redone");
    QStringList titles;
    for (int i = 0; i < window->cboTestTitle1->count(); ++i)
        titles << window->cboTestTitle1->itemText(i);
    EXPECT_TRUE(titles.contains("Week 5")) << titles.join(" | ").toStdString();
    EXPECT_FALSE(titles.contains("Week 3")) << titles.join(" | ").toStdString();
    leaveDroppingEdits(editor);
}

// Data/Quiz moved away and linked back while Pollix runs: Edit, a new name, Save (a click) is
// refused saying that the folder became a link while Pollix was running and what to do, as the
// restore says it; nothing is written on either side of the link, and the window keeps the edits.
TEST_F(SessionWindowsTest, ASaveThroughAFolderThatBecameALinkSaysSoAndTheWayOut)
{
    const QString file = storeFirstSession();
    const std::unique_ptr<EditSessionController> edited = renamedInEditor(window.get(), row("Quiz, period 2"));
    EditSessionController &editor = *edited;
    QTemporaryDir disk2;
    const QString quiz = home() + "Data/Quiz", moved = disk2.path() + "/Quiz";
    ASSERT_TRUE(QDir().rename(quiz, moved));
    ASSERT_TRUE(QFile::link(moved, quiz));
    const qsizetype asked = answers.alerts().size();
    QTest::mouseClick(editor.btnSave, Qt::LeftButton);
    ASSERT_EQ(answers.alerts().size(), asked + 1);
    EXPECT_EQ(answers.alerts().last().text, "The session could not be saved.");
    const QString said = answers.alerts().last().informativeText;
    EXPECT_TRUE(said.contains(QDir::toNativeSeparators(quiz) + " became a link to another folder while Pollix was running"))
        << said.toStdString();
    EXPECT_TRUE(said.contains("Put the folder back in the link's place and try again, or quit Pollix and start it again"))
        << said.toStdString();
    EXPECT_EQ(QDir(moved).entryList(QDir::Files), QStringList{"First.xml"});
    EXPECT_EQ(readFile(moved + "/First.xml"), testData("reports/student-session/input.xml"));
    EXPECT_TRUE(editor.isVisible());
    ASSERT_TRUE(QFile::remove(quiz));
    ASSERT_TRUE(QDir().rename(moved, quiz));
    leaveDroppingEdits(editor);
    EXPECT_EQ(readFile(file), testData("reports/student-session/input.xml"));
}

// Data/Quiz moved to another disk and linked back before Pollix took its folder, and that disk
// unplugged while the session editor is open: Save (a click) is refused saying that the folder the
// link led to cannot be reached now and to plug the disk back in, never that the folder became a
// link nor to put a folder in its place; once the disk is back, Save (a click) saves through the
// link.
TEST_F(SessionWindowsTest, ASaveThroughALinkWhoseDiskWasUnpluggedSaysSoAndSavesOnceItIsBack)
{
    const QString file = writeFile("Data/Quiz/First.xml", testData("reports/student-session/input.xml"));
    QTemporaryDir disk2;
    const QString quiz = home() + "Data/Quiz", disk = QFileInfo(disk2.path()).canonicalFilePath() + "/Quiz";
    ASSERT_TRUE(QDir().rename(quiz, disk));
    ASSERT_TRUE(QFile::link(disk, quiz));
    // Taken as a start takes the application folder, with the link in place.
    Orvenda_AppDelegate::setAppDelegate(Orvenda_AppDelegate::getAppDelegate());
    openReportWindow();
    const std::unique_ptr<EditSessionController> edited = renamedInEditor(window.get(), row("Quiz, period 2"));
    EditSessionController &editor = *edited;
    ASSERT_TRUE(QDir().rename(disk, disk + ".unplugged"));
    const qsizetype asked = answers.alerts().size();
    QTest::mouseClick(editor.btnSave, Qt::LeftButton);
    ASSERT_EQ(answers.alerts().size(), asked + 1);
    EXPECT_EQ(answers.alerts().last().text, "The session could not be saved.");
    const QString said = answers.alerts().last().informativeText;
    EXPECT_TRUE(said.contains(QDir::toNativeSeparators(quiz) + " is a link, and the folder it led to when Pollix started (" +
                              QDir::toNativeSeparators(disk) + ") cannot be reached now"))
        << said.toStdString();
    EXPECT_TRUE(said.contains("Plug the disk it lies on back in, or make the folder reachable again, and try again"))
        << said.toStdString();
    EXPECT_FALSE(said.contains("became a link") || said.contains("link's place")) << said.toStdString();
    EXPECT_FALSE(QFileInfo::exists(disk)) << "nothing made in the unplugged disk's place";
    EXPECT_TRUE(editor.isVisible());
    ASSERT_TRUE(QDir().rename(disk + ".unplugged", disk));
    QTest::mouseClick(editor.btnSave, Qt::LeftButton);
    ASSERT_EQ(answers.alerts().size(), asked + 2);
    EXPECT_TRUE(answers.alerts().last().informativeText.startsWith("The session is saved as"))
        << answers.alerts().last().informativeText.toStdString();
    EXPECT_TRUE(readFile(disk + "/First.xml").contains("Quiz, period 2 (redone)"));
    EXPECT_TRUE(QFileInfo(file).isFile());
}

TEST_F(SessionWindowsTest, PointsOnlyEntryRefusesBadPointsAndRaisesALowTotal)
{
    openReportWindow();
    CreateNewSessionController entry(window.get(), 3);
    entry.tabForms->setCurrentIndex(1);
    entry.cmbClass->setCurrentText("Demo Class");
    ASSERT_EQ(entry.studentListTable->rowCount(), 4);
    entry.textTotalPoint->setText("200");
    for (const char *bad : {"abc", "-5", "201"}) {
        entry.studentListTable->item(0, 2)->setText(bad);
        EXPECT_EQ(answers.alertTexts().last(), "Please enter the correct point .") << bad;
        EXPECT_EQ(entry.studentListTableArray()[0].totalPoints(), 0);
        EXPECT_EQ(entry.studentListTable->item(0, 2)->text(), "0");
    }
    entry.studentListTable->item(1, 2)->setText("120");
    entry.studentListTable->item(2, 2)->setText("200");
    EXPECT_EQ(entry.studentListTableArray()[2].totalPoints(), 200);
    entry.studentListTable->item(2, 2)->setText("90");
    entry.textSession2->setText("Lab report");
    entry.cmbType->setCurrentIndex(1);
    entry.cmbSubject->setCurrentText("Science");
    entry.cmbTeacher->setCurrentIndex(1);
    entry.textTotalPoint->setText("100");
    EXPECT_FALSE(entry.doSave2());
    EXPECT_EQ(answers.alertTexts().last(), "Total Points should be higher than Student Points.");
    EXPECT_EQ(entry.textTotalPoint->text(), "120");
    EXPECT_TRUE(QDir(app()->strCourseGradeFilePath()).entryList(QDir::Files).isEmpty());
    ASSERT_TRUE(entry.doSave2());
    EXPECT_EQ(answers.alerts().last().text, "Saved successfully.");
    EXPECT_TRUE(answers.alerts().last().informativeText.endsWith(QDir::toNativeSeparators(entry.savedPath())));
    const std::optional<QuizEntity> saved = DataManager::getQuizAtPath(entry.savedPath());
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->totalMark(), "120");
    EXPECT_EQ(saved->allStudents()[1].totalMark(), "120");
    EXPECT_EQ(window->table1Array().first().flagStr(), "COURSE");
}

// The points form's own buttons: Close asks about typed points (Cancel keeps them), Save writes
// them and ends the window.
TEST_F(SessionWindowsTest, PointsFormButtonsAskAboutTypedPointsAndSaveThem)
{
    openReportWindow();
    CreateNewSessionController entry(window.get(), 3);
    entry.show();
    entry.tabForms->setCurrentIndex(1);
    EXPECT_FALSE(entry.bntSave->isEnabled());
    entry.cmbClass->setCurrentText("Demo Class");
    entry.studentListTable->item(0, 2)->setText("7");
    EXPECT_TRUE(entry.hasChange());
    answers.answerAlert(2);
    QTest::mouseClick(entry.bntClose, Qt::LeftButton);
    EXPECT_EQ(answers.alertTexts().last(), "Do you want to save the change ?");
    EXPECT_TRUE(entry.isVisible());
    EXPECT_EQ(entry.studentListTableArray()[0].totalPoints(), 7);
    entry.textSession2->setText("Lab 2");
    entry.cmbType->setCurrentIndex(1);
    entry.cmbSubject->setCurrentText("Science");
    entry.cmbTeacher->setCurrentIndex(1);
    ASSERT_TRUE(entry.bntSave->isEnabled());
    QTest::mouseClick(entry.bntSave, Qt::LeftButton);
    EXPECT_EQ(answers.alerts().last().text, "Saved successfully.");
    EXPECT_FALSE(entry.hasChange());
    EXPECT_FALSE(entry.isVisible());
    const std::optional<QuizEntity> saved = DataManager::getQuizAtPath(entry.savedPath());
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->allStudents()[0].totalMark(), "7");
}

TEST_F(SessionWindowsTest, EntryRefusesWhatCannotBeSavedAndAsksBeforeLosingIt)
{
    openReportWindow();
    CreateNewSessionController entry(window.get(), 3);
    // A session entered on paper is a quiz: filed as one unless the teacher says otherwise.
    EXPECT_EQ(entry.cboType->currentText(), "Exam");
    EXPECT_EQ(entry.cboQuestionMode->count(), 5);
    EXPECT_EQ(entry.cboNumOfOptions->currentText(), "4");
    entry.cboClass->setCurrentText("Demo Class");
    // A class switch is confirmed; "No" keeps the class and its rows.
    answers.answerAlert(1);
    entry.cboClass->setCurrentIndex(-1);
    EXPECT_EQ(entry.cboClass->currentText(), "Demo Class");
    EXPECT_EQ(entry.tableArray().size(), 4);

    entry.cboTotalQuestion->setCurrentText("3");
    entry.cboQuestion->setCurrentIndex(1);
    entry.cboQuestionMode->setCurrentText("Multiple Answer");
    entry.textCorrectAnswer->clear();
    QTest::keyClicks(entry.textCorrectAnswer, "abex");
    EXPECT_EQ(entry.textCorrectAnswer->text(), "AB");
    entry.cboQuestion->setCurrentIndex(2);
    entry.cboQuestionMode->setCurrentText("Single Answer");
    entry.textCorrectAnswer->clear();
    QTest::keyClicks(entry.textCorrectAnswer, "d");
    entry.cboNumOfOptions->setCurrentText("3");
    entry.textSession->setText("Quiz");
    EXPECT_FALSE(entry.doSave());
    EXPECT_EQ(answers.alertTexts().last(), "The answer should be within the range of option count.");
    EXPECT_TRUE(QDir(app()->strQuizXmlDataFilePath()).entryList(QDir::Files).isEmpty());
    // Lowering the count is confirmed; "No" keeps every question.
    answers.answerAlert(1);
    entry.cboTotalQuestion->setCurrentText("1");
    EXPECT_EQ(entry.curTotalQuestions(), 3);
    // Closing asks; a refused save keeps the window.
    entry.show();
    answers.answerAlert(0);
    entry.btnClose1->click();
    EXPECT_TRUE(entry.isVisible());
    EXPECT_EQ(answers.alertTexts().last(), "The answer should be within the range of option count.");
    answers.answerAlert(1);
    entry.btnClose1->click();
    EXPECT_FALSE(entry.isVisible());
    EXPECT_EQ(entry.result(), 0);
}

TEST_F(SessionWindowsTest, ImportLandsInsideTheSessionFolderOnceAndTellsFailures)
{
    QByteArray xml = testData("reports/student-session/input.xml");
    xml.replace("<Name>Quiz, period 2</Name>", "<Name>../../escape</Name>");
    QTemporaryDir outside;
    const QString foreign = outside.filePath("from another computer.xml");
    QFile out(foreign);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(xml);
    out.close();
    openReportWindow();
    ASSERT_TRUE(window->btnImport->isEnabled());
    answers.answerFile(foreign);
    bool previewed = false;
    onModal("ImportSession", [&](QDialog *d) {
        auto *import = static_cast<ImportSessionController *>(d);
        // The preview: student 12 answered question 1 with A, worth 10.
        import->questionPointsStandardTableView->selectRow(0);
        EXPECT_EQ(import->studentTableView->rowCount(), int(import->quiz().allStudents().size()));
        EXPECT_EQ(import->sessionName[1]->text(), "../../escape");
        previewed = true;
        EXPECT_TRUE(import->doImport());
        return 0;
    });
    window->btnImport->click();
    ASSERT_TRUE(previewed);
    EXPECT_EQ(answers.alertTexts().last(), "Import was successful.");
    ASSERT_EQ(window->table1Array().size(), 1);
    const ReportTable1Element imported = window->table1Array().first();
    EXPECT_EQ(imported.session(), "../../escape");
    EXPECT_EQ(QFileInfo(imported.filePath()).absolutePath(), QDir(app()->strQuizXmlDataFilePath()).absolutePath());
    EXPECT_EQ(readFile(imported.filePath()), xml);
    EXPECT_EQ(window->curFromDate(), "2012-03-23");

    // The same file again is refused and the window stays.
    ImportSessionController again(foreign, window.get());
    EXPECT_FALSE(again.doImport());
    EXPECT_EQ(answers.alertTexts().last(), "The session already exists.");

    // A copy the disk refuses is told with its reason, never as a success.
    xml.replace("<Name>../../escape</Name>", "<Name>Another</Name>");
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(xml);
    out.close();
    failWritesTo(app()->strQuizXmlDataFilePath());
    ImportSessionController refused(foreign, window.get());
    EXPECT_FALSE(refused.doImport());
    EXPECT_EQ(answers.alerts().last().text, "The session could not be imported.");
    EXPECT_FALSE(answers.alerts().last().informativeText.isEmpty());
    EXPECT_EQ(TovFastQuizXmlDatabase::sharedFastQuiz()->allSessionXmlParsedResults().size(), 1);
}

TEST_F(SessionWindowsTest, MergeKeepsTheSourcesUntilTheNewSessionIsWrittenAndRefusesMismatches)
{
    const QString a = writeFile("Data/Quiz/A.xml", testData("reports/student-session/input.xml"));
    QByteArray otherClass = testData("reports/student-session/input.xml");
    otherClass.replace("<Name>Quiz, period 2</Name>", "<Name>Period 3</Name>")
        .replace("<ClassName>Class 5A</ClassName>", "<ClassName>Class 5B</ClassName>")
        .replace("<DateCreated>2012-03-23T14:07:09</DateCreated>", "<DateCreated>2012-03-22T09:00:00</DateCreated>");
    const QString b = writeFile("Data/Quiz/B.xml", otherClass);
    const qsizetype students = DataManager::getQuizAtPath(a).value_or(QuizEntity()).allStudents().size();
    ASSERT_GT(students, 0);
    openReportWindow();
    select({"Quiz, period 2", "Period 3"});
    MergeController merge(window.get());
    ASSERT_EQ(merge.table1Array().size(), 2);
    // Two classes on one paper: not by questions.
    merge.table2->item(0, 0)->setText("Joined");
    EXPECT_FALSE(merge.doSave());
    EXPECT_EQ(answers.alertTexts().last(), "Please select the same class, subject, test paper to merge .");
    merge.radioByClasses->setChecked(true);
    merge.box->setChecked(true);
    failWritesTo(app()->strQuizXmlDataFilePath() + "/Joined");
    EXPECT_FALSE(merge.doSave());
    EXPECT_EQ(answers.alerts().last().text, "The merged session could not be saved.");
    EXPECT_TRUE(QFileInfo::exists(a));
    EXPECT_TRUE(QFileInfo::exists(b));
    allowWrites();
    ASSERT_TRUE(merge.doSave());
    EXPECT_FALSE(QFileInfo::exists(a));
    EXPECT_FALSE(QFileInfo::exists(b));
    // The new session's file is named, the sources' deletion said nothing more.
    EXPECT_EQ(answers.alertTexts().mid(answers.alertTexts().size() - 2),
              (QStringList{"Are you sure you want to merge these sessions ?", "Saved successfully."}));
    EXPECT_TRUE(answers.alerts().last().informativeText.endsWith(QDir::toNativeSeparators(merge.mergedPath())));
    const std::optional<QuizEntity> joined = DataManager::getQuizAtPath(merge.mergedPath());
    ASSERT_TRUE(joined);
    EXPECT_EQ(joined->className(), "Class 5A/Class 5B");
    EXPECT_EQ(joined->allStudents().size(), 2 * students);
    EXPECT_EQ(window->table1Array().size(), 1);
}

TEST_F(SessionWindowsTest, AMergeThatDeletesItsSourcesKilledAtAnyStepLeavesTheSourcesOrTheMergedSessionNeverBoth)
{
    auto sources = [this](const QString &folder) {
        QByteArray otherClass = testData("reports/student-session/input.xml");
        otherClass.replace("<Name>Quiz, period 2</Name>", "<Name>Period 3</Name>")
            .replace("<ClassName>Class 5A</ClassName>", "<ClassName>Class 5B</ClassName>");
        for (const auto &[name, bytes] : {std::pair{"A.xml", testData("reports/student-session/input.xml")}, std::pair{"B.xml", otherClass}}) {
            QDir().mkpath(folder + "/Data/Quiz");
            QFile f(folder + "/Data/Quiz/" + name);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        }
    };
    if (!KilledRuns::childFolder().isEmpty()) {
        startOn(KilledRuns::childFolder());
        openReportWindow();
        select({"Quiz, period 2", "Period 3"});
        MergeController merge(window.get());
        merge.table2->item(0, 0)->setText("Joined");
        merge.radioByClasses->setChecked(true);
        merge.box->setChecked(true);
        EXPECT_TRUE(merge.doSave());
        return;
    }
    const int killed = KilledRuns::atEveryStep(sources, [&](const QString &folder, bool wasKilled) {
        startOn(folder, true);
        const QStringList files = QDir(folder + "/Data/Quiz").entryList(QDir::Files | QDir::Hidden);
        const bool merged = files.size() == 1 && files.first().startsWith("Joined");
        EXPECT_TRUE(merged || (wasKilled && files == (QStringList{"A.xml", "B.xml"}))) << files.join(", ").toStdString();
        if (merged) {
            EXPECT_EQ(DataManager::getQuizAtPath(folder + "/Data/Quiz/" + files.first()).value_or(QuizEntity()).allStudents().size(),
                      2 * DataManager::getQuizAtPath(testDataPath("reports/student-session/input.xml")).value_or(QuizEntity()).allStudents().size());
        }
    });
    EXPECT_GE(killed, 4) << "the journal, the merged session and two removals";
}

TEST_F(SessionWindowsTest, NewPointsSessionOpensTheEntryOnItsPointsOnlyForm)
{
    openReportWindow();
    QList<int> forms;
    onModal("CreateNewSession", [&forms](QDialog *d) {
        forms << static_cast<CreateNewSessionController *>(d)->tabForms->currentIndex();
        return 0;
    });
    window->btnNew1->click();
    auto *newPoints = window->findChild<QPushButton *>("btnNew2");
    ASSERT_TRUE(newPoints);
    ASSERT_TRUE(newPoints->isEnabled());
    newPoints->click();
    EXPECT_EQ(forms, (QList<int>{0, 1})) << "New enters questions and answers, New Points Session points only";
}

TEST_F(SessionWindowsTest, ASessionStoredWithQuestionsTwoOneThreeKeepsEveryAnswerThroughAnEditorSave)
{
    // Another installation stored the first two questions as 2, 1.
    QByteArray xml = testData("reports/student-session/input.xml");
    xml.replace("<ID>q1</ID><No>1</No>", "<ID>q1</ID><No>2</No>").replace("<ID>q2</ID><No>2</No>", "<ID>q2</ID><No>1</No>");
    const QString file = writeFile("Data/Quiz/Imported.xml", xml);
    const QuizEntity before = DataManager::getQuizAtPath(file).value_or(QuizEntity());
    ASSERT_EQ(before.allQuestions().size(), 3);
    openReportWindow();
    EditSessionController editor(0, window.get(), row("Quiz, period 2"), 3);
    ASSERT_TRUE(editor.isLoaded());
    editor.show();
    // Student 12's answer to the question stored as number 2 (the first one) is shown under it.
    editor.tableStudent2->selectRow(0);
    EXPECT_EQ(editor.tableQuestion2->item(0, EditSessionController::Col2Answer)->text(), "CA");
    // Nothing edited; saved anyway (and once more): every answer stays under its question.
    ASSERT_TRUE(editor.doSave());
    EXPECT_EQ(answers.alerts().last().text, "Saved successfully.");
    EXPECT_TRUE(answers.alerts().last().informativeText.endsWith(QDir::toNativeSeparators(file)));
    const QuizEntity once = DataManager::getQuizAtPath(file).value_or(QuizEntity());
    ASSERT_TRUE(editor.doSave());
    const QuizEntity twice = DataManager::getQuizAtPath(file).value_or(QuizEntity());
    const StoredAnswers was(before);
    for (const QuizEntity *after : {&once, &twice}) {
        const StoredAnswers is(*after);
        for (const StudentEntity &s : before.allStudents())
            for (int p = 0; p < 3; ++p)
                EXPECT_EQ(is.reply(s.id(), p), was.reply(s.id(), p)) << s.id().toStdString() << " " << p;
        EXPECT_EQ(after->allQuestions()[0].quNo(), 2);
        EXPECT_EQ(after->allQuestions()[1].quNo(), 1);
    }
}

TEST_F(SessionWindowsTest, AnUnnamedSessionIsToldAboutOnlyOnAnEditOfItsNameOrAtSave)
{
    QByteArray unnamed = testData("reports/student-session/input.xml");
    unnamed.replace("<Name>Quiz, period 2</Name>", "<Name></Name>");
    const QString file = writeFile("Data/Quiz/Unnamed.xml", unnamed);
    openReportWindow();
    EditSessionController editor(0, window.get(), row(""), 3);
    editor.show();
    editor.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));
    const auto clickCell = [](QTableWidget *table, int row, int column) {
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualItemRect(table->item(row, column)).center());
    };
    const auto clickTab = [&editor](int tab) {
        QTabBar *bar = editor.tabView->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
        ASSERT_EQ(editor.tabView->currentIndex(), tab);
    };

    // Passing through the empty name field on the way to a question and a student says nothing.
    editor.textSession1->setFocus();
    clickCell(editor.tableQuestion1, 1, EditSessionController::ColNo);
    clickTab(1);
    editor.textSession2->setFocus();
    clickCell(editor.tableStudent2, 0, 1);
    clickTab(0);
    EXPECT_TRUE(answers.alerts().isEmpty()) << answers.alertTexts().join(" | ").toStdString();

    // Typing a name and taking it back is an edit: told on leaving, and the field keeps the focus.
    QTest::mouseClick(editor.textSession1, Qt::LeftButton);
    QTest::keyClicks(editor.textSession1, "Q");
    QTest::keyClick(editor.textSession1, Qt::Key_Backspace);
    clickCell(editor.tableQuestion1, 0, EditSessionController::ColNo);
    EXPECT_EQ(answers.alertTexts(), QStringList{"Session Name required."});
    EXPECT_TRUE(editor.textSession1->hasFocus());

    // Save calls the field by the name it has in the window.
    QTest::mouseClick(editor.btnSave, Qt::LeftButton);
    EXPECT_EQ(answers.alertTexts().last(), "Please enter the Session Name");
    QStringList captions;
    for (const QLabel *label : editor.findChildren<QLabel *>())
        captions << label->text();
    EXPECT_TRUE(captions.contains("Session Name:"));
    EXPECT_EQ(readFile(file), unnamed);
    // A name typed and left is an edit that passes.
    QTest::keyClicks(editor.textSession1, "Named at last");
    clickCell(editor.tableQuestion1, 1, EditSessionController::ColNo);
    EXPECT_EQ(answers.alertTexts().size(), 2);
    EXPECT_EQ(editor.textSession2->text(), "Named at last");
}

TEST_F(SessionWindowsTest, PointsOnlySessionsAreNotMergedAndEverySourceStays)
{
    QByteArray points = testData("reports/points-list/input.xml");
    const QString p1 = writeFile("Data/CourseGrade/P1.xml", points);
    points.replace("<Name>Course grade, term 1</Name>", "<Name>Course grade, term 2</Name>")
        .replace("<ID>points-list-id</ID>", "<ID>points-list-2</ID>");
    const QString p2 = writeFile("Data/CourseGrade/P2.xml", points);
    QByteArray quiz = testData("reports/student-session/input.xml");
    const QString q = writeFile("Data/Quiz/Q.xml", quiz);
    openReportWindow();
    bool opened = false;
    onModal("Merge", [&opened](QDialog *) {
        opened = true;
        return 0;
    });
    select({"Course grade, term 1", "Course grade, term 2"});
    ASSERT_TRUE(window->btnMerge1->isEnabled());
    window->btnMerge1->click();
    EXPECT_FALSE(opened);
    EXPECT_EQ(answers.alertTexts().last(), SessionMerge::kindRefusal(2, 2));
    // A points-only session beside a question session is not offered at all, and the window
    // says why, on the button and on its status line, as the teacher picks the rows.
    window->show();
    const auto clickRow = [this](const QString &session, Qt::KeyboardModifiers keys) {
        for (int i = 0; i < window->table1Array().size(); ++i)
            if (window->table1Array()[i].session() == session)
                QTest::mouseClick(window->table1->viewport(), Qt::LeftButton, keys,
                                  window->table1->visualRect(window->table1->model()->index(i, 1)).center());
    };
    clickRow("Course grade, term 1", Qt::NoModifier);
    clickRow("Quiz, period 2", Qt::ControlModifier);
    ASSERT_EQ(window->selectedRows().size(), 2);
    EXPECT_FALSE(window->btnMerge1->isEnabled());
    EXPECT_EQ(window->btnMerge1->toolTip(), SessionMerge::kindRefusal(1, 2));
    EXPECT_EQ(window->lblStatus1->text(), SessionMerge::kindRefusal(1, 2));
    EXPECT_TRUE(window->lblStatus1->isVisible());
    // One session chosen: nothing to merge, nothing to say.
    clickRow("Quiz, period 2", Qt::NoModifier);
    EXPECT_TRUE(window->btnMerge1->toolTip().isEmpty());
    EXPECT_TRUE(window->lblStatus1->text().isEmpty());

    // The merge dialog refuses them too, before anything is written, whatever is ticked.
    select({"Course grade, term 1", "Course grade, term 2"});
    MergeController merge(window.get());
    merge.table2->item(0, 0)->setText("Joined");
    merge.box->setChecked(true);
    EXPECT_FALSE(merge.doSave());
    EXPECT_EQ(answers.alertTexts().last(), SessionMerge::kindRefusal(2, 2));
    for (const QString &path : {p1, p2, q})
        EXPECT_TRUE(QFileInfo::exists(path)) << path.toStdString();
    EXPECT_EQ(QDir(app()->strQuizXmlDataFilePath()).entryList(QDir::Files).size(), 1);
    EXPECT_EQ(QDir(app()->strCourseGradeFilePath()).entryList(QDir::Files).size(), 2);
}

TEST_F(SessionWindowsTest, ImportRefusesAFileThatIsNoSessionBeforeShowingIt)
{
    QTemporaryDir outside;
    const QString classFile = outside.filePath("class.xml");
    QFile out(classFile);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("<?xml version=\"1.0\"?><Class><Name>5A</Name><Students><Student><ID>1</ID></Student></Students></Class>");
    out.close();
    openReportWindow();
    bool previewed = false;
    onModal("ImportSession", [&previewed](QDialog *) {
        previewed = true;
        return 0;
    });
    answers.answerFile(classFile);
    window->btnImport->click();
    EXPECT_FALSE(previewed);
    EXPECT_EQ(answers.alerts().last().text, "The file cannot be imported.");
    EXPECT_TRUE(answers.alerts().last().informativeText.contains("<Class>"));
    EXPECT_TRUE(window->table1Array().isEmpty());
}

TEST_F(SessionWindowsTest, ANewSessionNameOfBlanksIsToldWhenTheFieldIsLeftByTabOrByAClick)
{
    openReportWindow();
    CreateNewSessionController entry(window.get(), 3);
    ASSERT_TRUE(shownActive(&entry));

    // Passing through the empty field says nothing.
    QTest::mouseClick(entry.textSession, Qt::LeftButton);
    QTest::keyClick(entry.textSession, Qt::Key_Tab);
    EXPECT_TRUE(answers.alerts().isEmpty()) << answers.alertTexts().join(" | ").toStdString();

    // Blanks, then Tab: told, the blanks are gone and the field keeps the focus.
    QTest::mouseClick(entry.textSession, Qt::LeftButton);
    QTest::keyClicks(entry.textSession, "   ");
    QTest::keyClick(entry.textSession, Qt::Key_Tab);
    QCoreApplication::processEvents();
    EXPECT_EQ(answers.alertTexts(), QStringList{"Session name should not be empty."});
    EXPECT_TRUE(entry.textSession->hasFocus());
    EXPECT_EQ(entry.textSession->text(), "");

    // Still no name: a click on another field tells again, and so does Return.
    QTest::mouseClick(entry.textTestTitle, Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(answers.alertTexts().size(), 2);
    EXPECT_TRUE(entry.textSession->hasFocus());
    QTest::keyClick(entry.textSession, Qt::Key_Return);
    EXPECT_EQ(answers.alertTexts().size(), 3);

    // A name passes; its surrounding blanks are dropped.
    QTest::keyClicks(entry.textSession, " Quiz 4 ");
    QTest::mouseClick(entry.textTestTitle, Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(answers.alertTexts().size(), 3);
    EXPECT_TRUE(entry.textTestTitle->hasFocus());
    EXPECT_EQ(entry.textSession->text(), "Quiz 4");
    // Leaving for the points-only form leaves the field too: a click on its tab, or Ctrl+Tab, is
    // held with the same words, the form and the field keeping the focus.
    QTest::mouseClick(entry.textSession, Qt::LeftButton);
    entry.textSession->selectAll();
    QTest::keyClick(entry.textSession, Qt::Key_Space);
    QTabBar *bar = entry.tabForms->tabBar();
    QSignalSpy switches(entry.tabForms, &QTabWidget::currentChanged);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    QCoreApplication::processEvents();
    EXPECT_EQ(switches.count(), 0) << "the points form is not even shown";
    EXPECT_EQ(answers.alertTexts().mid(3), QStringList{"Session name should not be empty."});
    EXPECT_TRUE(entry.textSession->hasFocus());
    QTest::keyClick(entry.textSession, Qt::Key_Tab, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(switches.count(), 0);
    EXPECT_EQ(answers.alertTexts().mid(3), QStringList(2, "Session name should not be empty."));
    EXPECT_TRUE(entry.textSession->hasFocus());
    // With a name the click shows the points form, without a word.
    QTest::keyClicks(entry.textSession, "Quiz 5");
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    EXPECT_EQ(entry.tabForms->currentIndex(), 1);
    EXPECT_EQ(answers.alertTexts().size(), 5) << answers.alertTexts().join(" | ").toStdString();
    // A field the focus only passed through holds nothing: back and forth by Ctrl+Tab.
    QTest::keyClick(entry.textSession2, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(entry.tabForms->currentIndex(), 0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(entry.tabForms->currentIndex(), 1);
    EXPECT_EQ(answers.alertTexts().size(), 5);
}

// Save and Close are no leaving of the field to tell about: Save says so itself, Close asks about
// the changes, and an alert on the way would swallow their click.
TEST_F(SessionWindowsTest, SaveOrCloseClickedAfterABlankNameIsToldOnceAndClosesTheWindow)
{
    openReportWindow();
    CreateNewSessionController entry(window.get(), 3);
    ASSERT_TRUE(shownActive(&entry));
    QTest::mouseClick(entry.textSession, Qt::LeftButton);
    QTest::keyClicks(entry.textSession, "   ");

    QTest::mouseClick(entry.btnSave1, Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(answers.alertTexts(), QStringList{"Session name should not be empty."}) << "told once, by Save";
    EXPECT_TRUE(entry.isVisible());

    // Blanks typed again: Close asks only about the changes.
    QTest::mouseClick(entry.textSession, Qt::LeftButton);
    QTest::keyClicks(entry.textSession, "  ");
    answers.answerAlert(1); // No: the new session goes
    QTest::mouseClick(entry.btnClose1, Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(answers.alertTexts().mid(1), QStringList{"Do you want to save the changes to contents?"});
    EXPECT_FALSE(entry.isVisible());
}

// The question about an edited session comes up for real: Escape on it, or its close box, goes
// back to the editor with the edits, whichever way out of the editor asked it.
TEST_F(SessionWindowsTest, EscapeOrTheCloseBoxOnTheEditorsQuestionKeepsItsEdits)
{
    const QString file = storeFirstSession();
    EditSessionController editor(0, window.get(), row("Quiz, period 2"), 3);
    ASSERT_TRUE(shownActive(&editor));
    QTest::mouseClick(editor.textSession1, Qt::LeftButton);
    QTest::keyClick(editor.textSession1, Qt::Key_End);
    QTest::keyClicks(editor.textSession1, ", again");
    for (const auto &wayOut : RealAlerts::waysOut(&editor, editor.btnClose)) {
        for (RealAlerts::Way way : {RealAlerts::Way::Escape, RealAlerts::Way::CloseBox}) {
            RealAlerts real;
            real.leave(way);
            wayOut();
            EXPECT_EQ(real.seen(), QStringList{"Do you want to save the changes to contents?"});
            EXPECT_EQ(real.stuck(), 0);
            EXPECT_TRUE(editor.isVisible());
            EXPECT_EQ(editor.textSession1->text().toStdString(), "Quiz, period 2, again");
        }
    }
    EXPECT_EQ(readFile(file), testData("reports/student-session/input.xml"));
    RealAlerts real;
    real.click(1); // No: the edits go
    QTest::mouseClick(editor.btnClose, Qt::LeftButton);
    EXPECT_FALSE(editor.isVisible());
    EXPECT_EQ(readFile(file), testData("reports/student-session/input.xml"));
}

// The window holds two forms: a save of either ends it, but not before the other form's edits are
// asked about. Escape or the close box on that question keeps the window with them.
TEST_F(SessionWindowsTest, ASaveOfEitherFormAsksAboutTheOtherFormsEditsBeforeTheWindowGoes)
{
    openReportWindow();
    const auto typePoints = [](CreateNewSessionController &entry) {
        entry.tabForms->setCurrentIndex(1);
        entry.cmbClass->setCurrentText("Demo Class");
        entry.studentListTable->item(0, 2)->setText("7");
        entry.textSession2->setText("Lab 2");
        entry.cmbType->setCurrentIndex(1);
        entry.cmbSubject->setCurrentText("Science");
        entry.cmbTeacher->setCurrentIndex(1);
        entry.tabForms->setCurrentIndex(0);
    };
    const auto typeName = [](CreateNewSessionController &entry, const char *name) {
        QTest::mouseClick(entry.textSession, Qt::LeftButton);
        QTest::keyClicks(entry.textSession, name);
    };
    const QDir quizzes(app()->strQuizXmlDataFilePath());
    const QDir pointsOnly(app()->strCourseGradeFilePath());
    {
        CreateNewSessionController entry(window.get(), 3);
        ASSERT_TRUE(shownActive(&entry));
        typePoints(entry);
        typeName(entry, "Quiz by hand");
        ASSERT_TRUE(entry.isChanged());
        RealAlerts real;
        real.click(0); // Saved successfully.
        real.leave(RealAlerts::Way::Escape);
        QTest::mouseClick(entry.btnSave1, Qt::LeftButton);
        ASSERT_EQ(real.seen().size(), 2);
        EXPECT_TRUE(real.seen()[0].startsWith("Saved successfully."));
        EXPECT_EQ(real.seen()[1], "Do you want to save the change ?");
        EXPECT_EQ(real.stuck(), 0);
        EXPECT_TRUE(entry.isVisible()) << "the points typed are not lost";
        EXPECT_TRUE(entry.hasChange());
        EXPECT_EQ(entry.studentListTableArray()[0].totalPoints(), 7);
        EXPECT_EQ(quizzes.entryList(QDir::Files).size(), 1);
        EXPECT_FALSE(entry.btnSave1->isEnabled()) << "the session is not written twice";
        // Saving the points too ends the window without a question.
        entry.tabForms->setCurrentIndex(1);
        real.click(0);
        QTest::mouseClick(entry.bntSave, Qt::LeftButton);
        EXPECT_EQ(real.seen().size(), 3);
        EXPECT_FALSE(entry.isVisible());
        EXPECT_EQ(entry.result(), 0);
        EXPECT_EQ(pointsOnly.entryList(QDir::Files).size(), 1);
    }
    {
        // The other way round: the points saved while the full form holds a name.
        CreateNewSessionController entry(window.get(), 3);
        ASSERT_TRUE(shownActive(&entry));
        typePoints(entry);
        typeName(entry, "Second quiz");
        entry.tabForms->setCurrentIndex(1);
        RealAlerts real;
        real.click(0);
        real.leave(RealAlerts::Way::CloseBox);
        QTest::mouseClick(entry.bntSave, Qt::LeftButton);
        ASSERT_EQ(real.seen().size(), 2);
        EXPECT_EQ(real.seen()[1], "Do you want to save the changes to contents?");
        EXPECT_EQ(real.stuck(), 0);
        EXPECT_TRUE(entry.isVisible());
        EXPECT_EQ(entry.textSession->text(), "Second quiz");
        EXPECT_EQ(pointsOnly.entryList(QDir::Files).size(), 2);
        EXPECT_FALSE(entry.bntSave->isEnabled());
        // No leaves the name unsaved and ends the window.
        real.click(1);
        QTest::mouseClick(entry.bntClose, Qt::LeftButton);
        EXPECT_FALSE(entry.isVisible());
        EXPECT_EQ(quizzes.entryList(QDir::Files).size(), 1);
    }
    {
        // Close, Yes: the full form is saved, and the window waits for the points question.
        CreateNewSessionController entry(window.get(), 3);
        ASSERT_TRUE(shownActive(&entry));
        typePoints(entry);
        typeName(entry, "Third quiz");
        RealAlerts real;
        real.click(0); // Yes
        real.click(0); // Saved successfully.
        real.leave(RealAlerts::Way::Escape);
        QTest::mouseClick(entry.btnClose1, Qt::LeftButton);
        ASSERT_EQ(real.seen().size(), 3);
        EXPECT_EQ(real.seen()[2], "Do you want to save the change ?");
        EXPECT_TRUE(entry.isVisible());
        EXPECT_TRUE(entry.hasChange());
        EXPECT_EQ(quizzes.entryList(QDir::Files).size(), 2);
    }
}

// The close box leaves the focus where it is: an answer or a correct answer still being typed in
// its cell counts among the edits asked about, as it does for a click on Close.
TEST_F(SessionWindowsTest, ACellStillBeingTypedIsAskedAboutByTheCloseBox)
{
    const auto typeInto = [](QTableWidget *table, int row, int column, const char *text) {
        QLineEdit *field = openCell(table, row, column);
        ASSERT_TRUE(field);
        field->selectAll();
        QTest::keyClicks(field, text);
    };
    const QString file = storeFirstSession();
    {
        CreateNewSessionController entry(window.get(), 3);
        ASSERT_TRUE(shownActive(&entry));
        ASSERT_FALSE(entry.isChanged());
        typeInto(entry.tableView, 0, 2, "B");
        RealAlerts real;
        real.leave(RealAlerts::Way::Escape);
        RealAlerts::closeBox(&entry);
        EXPECT_EQ(real.seen(), QStringList{"Do you want to save the changes to contents?"});
        EXPECT_TRUE(entry.isVisible());
        EXPECT_EQ(entry.tableView->item(0, 2)->text(), "B");
    }
    {
        EditSessionController editor(0, window.get(), row("Quiz, period 2"), 3);
        ASSERT_TRUE(shownActive(&editor));
        typeInto(editor.tableQuestion1, 0, 2, "B");
        RealAlerts real;
        real.leave(RealAlerts::Way::CloseBox);
        RealAlerts::closeBox(&editor);
        EXPECT_EQ(real.seen(), QStringList{"Do you want to save the changes to contents?"});
        EXPECT_EQ(real.stuck(), 0);
        EXPECT_TRUE(editor.isVisible());
        EXPECT_EQ(editor.tableQuestion1->item(0, 2)->text(), "B");
    }
    EXPECT_EQ(readFile(file), testData("reports/student-session/input.xml"));
}
