#include "GradebookUiFixture.h"
#include "support/AnotherProgram.h"
#include "support/GradebookSeeds.h"
#include "support/RealAlerts.h"

#include "core/store/TovGradeLetterXmlDatabase.h"
#include "core/store/TovPeriodXmlDatabase.h"
#include "core/store/TovWeightAndSessionTypeXmlDatabase.h"
#include "platform/AtomicFileSet.h"
#include "ui/controls/MyComboBox.h"
#include "ui/gradebook/GradebookSettingsParent.h"
#include "ui/gradebook/SubjectGradeSettingController.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>

namespace {
struct RecordingParent : GradebookSettingsParent
{
    void refreshPeriod2() override { calls << "period"; }
    void refreshWeight2() override { calls << "weight"; }
    void refreshConversion2() override { calls << "conversion"; }
    void refreshSessionTypes() override { calls << "types"; }
    QStringList calls;
};

class SubjectGradeSettingTest : public GradebookUiFixture
{
protected:
    static QStringList storedPeriods()
    {
        QStringList out;
        for (const PeriodEntity &p : TovPeriodXmlDatabase::sharedUI()->periodList())
            out << p.unique_title();
        return out;
    }
    RecordingParent parent;
};
} // namespace

TEST_F(SubjectGradeSettingTest, PeriodsAreCheckedAsTypedAndSavedAsTyped)
{
    SubjectGradeSettingController w(0, &parent);
    w.show();
    EXPECT_EQ(w.tabView->currentIndex(), 0);
    EXPECT_FALSE(w.btnSave1->isEnabled());
    // Every Delete waits for something selected to act on (a list's template row is not).
    EXPECT_FALSE(w.btnDelete1->isEnabled());
    EXPECT_FALSE(w.btnDelete2->isEnabled());
    EXPECT_FALSE(w.btnDelete3->isEnabled());
    EXPECT_FALSE(w.btnDeleteRight3->isEnabled());
    EXPECT_FALSE(w.btnDelete4->isEnabled());
    w.doAdd1();
    w.doAdd1();
    EXPECT_EQ(column(w.table1, 0), (QStringList{"New Period 1", "New Period 2"}));
    EXPECT_TRUE(w.btnSave1->isEnabled());
    EXPECT_TRUE(w.btnDelete1->isEnabled());
    w.table1->clearSelection();
    EXPECT_FALSE(w.btnDelete1->isEnabled());

    // Blanks only: refused, and the pending code holds the tab until the teacher types.
    editCell(w.table1, 0, 0, "   ");
    EXPECT_EQ(answers.alertTexts().last(), "The Title should not be empty.");
    EXPECT_EQ(w.flag(), 1);
    ASSERT_TRUE(openEditor(w.table1));
    w.tabView->setCurrentIndex(3);
    EXPECT_EQ(w.tabView->currentIndex(), 0);
    EXPECT_EQ(answers.alertTexts().last(), "The Title should not be empty.");
    // Still editing: a save is held as well.
    w.doSave1();
    EXPECT_EQ(answers.alertTexts().last(), "Please press Enter.");
    EXPECT_TRUE(storedPeriods().isEmpty());

    QLineEdit *field = openEditor(w.table1);
    field->setText(QStringLiteral("  Fall \"A\" & B's \\ "));
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(w.flag(), 0);
    editCell(w.table1, 1, 0, "Fall \"A\" & B's \\");
    EXPECT_EQ(answers.alertTexts().last(), "The Title already exists.");
    QTest::keyClick(openEditor(w.table1), Qt::Key_Escape);

    editCell(w.table1, 0, 1, "2012-09-01");
    editCell(w.table1, 0, 2, "2012-08-31");
    EXPECT_EQ(answers.alertTexts().last(), "Beginning date should be earlier than ending date.");
    QTest::keyClick(openEditor(w.table1), Qt::Key_Escape);
    editCell(w.table1, 0, 2, "2013-01");
    EXPECT_EQ(answers.alertTexts().last(), "Please enter the date as YYYY-MM-DD.");
    QTest::keyClick(openEditor(w.table1), Qt::Key_Escape);
    editCell(w.table1, 0, 2, "2013-01-31");
    editCell(w.table1, 1, 1, "2999-02-01");
    EXPECT_EQ(answers.alertTexts().last(), "Ending date should be later than beginning date.");
    QTest::keyClick(openEditor(w.table1), Qt::Key_Escape);

    w.doSave1();
    EXPECT_FALSE(w.isChanged(0));
    EXPECT_EQ(parent.calls, QStringList{"period"});
    const QString today = QDate::currentDate().toString("yyyy-MM-dd");
    EXPECT_EQ(storedPeriods(), (QStringList{"Fall \"A\" & B's \\(2012-09-01~2013-01-31)",
                                            QStringLiteral("New Period 2(%1~%1)").arg(today)}));
    shoot(&w, "settings-periods");

    // Reopened and saved again, the title stays as it was typed.
    SubjectGradeSettingController again(0, &parent);
    editCell(again.table1, 1, 0, "Spring");
    again.doSave1();
    TovPeriodXmlDatabase::sharedUI()->loadPeriods();
    EXPECT_EQ(storedPeriods().first(), "Fall \"A\" & B's \\(2012-09-01~2013-01-31)");
}

TEST_F(SubjectGradeSettingTest, LeavingATabOrTheWindowAsksAndAFailedSaveKeepsTheEdits)
{
    PeriodEntity a, b;
    a.setTitle("A");
    b.setTitle("B");
    TovPeriodXmlDatabase::sharedUI()->addWithData(a);
    TovPeriodXmlDatabase::sharedUI()->addWithData(b);
    SubjectGradeSettingController w(0, &parent);
    w.show();
    w.table1->selectAll();
    answers.answerAlert(0); // Yes, delete
    w.doDelete1();
    EXPECT_EQ(w.table1->rowCount(), 0);
    answers.answerAlert(1); // No at the tab question: both come back
    w.tabView->setCurrentIndex(3);
    EXPECT_EQ(w.tabView->currentIndex(), 3);
    EXPECT_EQ(answers.alertTexts().last(), "Do you want to save the changes to Grading Period setting?");
    EXPECT_EQ(column(w.table1, 0), (QStringList{"A", "B"}));

    // Swapping two titles in one save keeps each period's own days.
    w.tabView->setCurrentIndex(0);
    editCell(w.table1, 0, 0, "B");
    EXPECT_EQ(answers.alertTexts().last(), "The Title already exists.");
    QTest::keyClick(openEditor(w.table1), Qt::Key_Escape);
    editCell(w.table1, 0, 0, "C");
    editCell(w.table1, 1, 0, "A");
    editCell(w.table1, 0, 0, "B");

    // A save that cannot write keeps the window open, the edits and the question.
    const QString file = home() + "Data/Periods.xml";
    AtomicFile::setFailureHook([file](const QString &p) { return p == file; });
    answers.answerAlert(0); // Yes, save
    w.doClose();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(answers.alertTexts().last(), "The grading periods could not be saved.");
    EXPECT_FALSE(answers.alerts().last().informativeText.isEmpty());
    EXPECT_TRUE(w.isChanged(0));
    AtomicFile::setFailureHook({});
    answers.answerAlert(0);
    w.close();
    EXPECT_FALSE(w.isVisible());
    TovPeriodXmlDatabase::sharedUI()->loadPeriods();
    EXPECT_EQ(storedPeriods().size(), 2);
}

TEST_F(SubjectGradeSettingTest, AWeightListSavesOnlyAtAHundredPercentAndARefusalKeepsItsEdits)
{
    SubjectGradeSettingController w(1, &parent);
    w.show();
    EXPECT_EQ(w.btnSave2->text(), "Add");
    EXPECT_EQ(w.textTotal2->text(), "0.0%");
    EXPECT_EQ(column(w.selectSessionTable2, 1).mid(0, 3), (QStringList{"Attendance", "Exam", "Game"}));
    type(w.textWeightTitle2, "Main");
    QTest::keyClick(w.textWeightTitle2, Qt::Key_Return);
    w.cboClass2->setCurrentText("7A");
    emit w.cboClass2->activated(w.cboClass2->currentIndex());
    w.selectSessionTable2->item(1, 0)->setCheckState(Qt::Checked);
    editCell(w.selectSessionTable2, 1, 2, "60");
    w.selectSessionTable2->item(3, 0)->setCheckState(Qt::Checked);
    editCell(w.selectSessionTable2, 3, 2, "50");
    EXPECT_EQ(w.textTotal2->text(), "110.0%");

    // Yes at the tab question with a sum of 110: the alert, and the tab and its edits stay.
    answers.answerAlert(0);
    w.tabView->setCurrentIndex(2);
    EXPECT_EQ(answers.alertTexts().mid(answers.alertTexts().size() - 2),
              (QStringList{"Do you want to save the changes to Weight setting?", "The sum of Weights must be 100."}));
    EXPECT_EQ(w.tabView->currentIndex(), 1);
    EXPECT_TRUE(w.isChanged(1));
    EXPECT_TRUE(TovWeightAndSessionTypeXmlDatabase::sharedUI()->weightList().isEmpty());

    editCell(w.selectSessionTable2, 3, 2, "40");
    EXPECT_EQ(w.textTotal2->text(), "100.0%");
    shoot(&w, "settings-weights");
    w.doSave2();
    ASSERT_EQ(TovWeightAndSessionTypeXmlDatabase::sharedUI()->weightList().size(), 1);
    const WeightEntity main = TovWeightAndSessionTypeXmlDatabase::sharedUI()->weightList().at(0);
    EXPECT_EQ(main.title(), "Main");
    EXPECT_EQ(main.className(), "7A");
    EXPECT_EQ(column(w.weightListTable2, 0), (QStringList{"(New weight list)", "Main"}));
    EXPECT_EQ(parent.calls, QStringList{"weight"});

    // A new list of the same title is refused; the stored one may keep its own.
    type(w.textWeightTitle2, "Main");
    QTest::keyClick(w.textWeightTitle2, Qt::Key_Return);
    w.selectSessionTable2->item(0, 0)->setCheckState(Qt::Checked);
    editCell(w.selectSessionTable2, 0, 2, "100");
    w.doSave2();
    EXPECT_EQ(answers.alertTexts().last(), "The Title already exists.");
    answers.answerAlert(1); // No: the template goes back to empty
    w.weightListTable2->setCurrentCell(1, 0);
    EXPECT_EQ(w.textWeightTitle2->text(), "Main");
    EXPECT_TRUE(w.btnDelete2->isEnabled());
    EXPECT_EQ(w.btnSave2->text(), "Save");
    EXPECT_EQ(w.textTotal2->text(), "100.0%");
}

TEST_F(SubjectGradeSettingTest, LetterScalesMustCoverZeroToHundred)
{
    SubjectGradeSettingController w(2, &parent);
    w.show();
    EXPECT_EQ(column(w.letterGradeTable3, 0), (QStringList{"Letter1", "Letter2", "Letter3", "Letter4", "Letter5"}));
    type(w.textConversionTitle3, "Five");
    QTest::keyClick(w.textConversionTitle3, Qt::Key_Return);
    editCell(w.letterGradeTable3, 1, 0, "Letter1");
    EXPECT_EQ(answers.alertTexts().last(), "The letter should not be duplicated.");
    QTest::keyClick(openEditor(w.letterGradeTable3), Qt::Key_Escape);
    editCell(w.letterGradeTable3, 1, 2, "90");
    w.doSave3();
    EXPECT_EQ(answers.alertTexts().last(), "Point ranges overlap.");
    EXPECT_EQ(w.flag(), 10);
    editCell(w.letterGradeTable3, 1, 2, "89");
    w.doAddRight3();
    EXPECT_EQ(column(w.letterGradeTable3, 0).last(), "Letter6");
    w.doSave3();
    EXPECT_EQ(answers.alertTexts().last(), "Point ranges overlap.");
    w.letterGradeTable3->selectRow(5);
    EXPECT_TRUE(w.btnDeleteRight3->isEnabled());
    w.doDeleteRight3();
    EXPECT_FALSE(w.btnDeleteRight3->isEnabled());
    editCell(w.letterGradeTable3, 0, 0, "A+");
    w.doSave3();
    ASSERT_EQ(TovGradeLetterXmlDatabase::sharedUI()->gradeLetterList().size(), 1);
    EXPECT_EQ(TovGradeLetterXmlDatabase::sharedUI()->gradeLetterList().at(0).letterList().at(0).letter(), "A+");
    EXPECT_EQ(column(w.conversionListTable3, 0), (QStringList{"(New letter scale)", "Five"}));
    EXPECT_EQ(w.textConversionTitle3->text(), "");
    shoot(&w, "settings-letters");

    // Deleting a scale goes to the store at once; the template row cannot be deleted.
    w.doDelete3();
    EXPECT_EQ(TovGradeLetterXmlDatabase::sharedUI()->gradeLetterList().size(), 1);
    w.conversionListTable3->setCurrentCell(1, 0);
    EXPECT_TRUE(w.btnDelete3->isEnabled());
    answers.answerAlert(0);
    w.doDelete3();
    EXPECT_TRUE(TovGradeLetterXmlDatabase::sharedUI()->gradeLetterList().isEmpty());
    EXPECT_EQ(w.conversionListTable3->rowCount(), 1);
    EXPECT_FALSE(w.btnDelete3->isEnabled());
}

// The letter scales worked with the mouse: Add Letter, Delete Letter and Save; a title typed over
// the stored scale and left by a click on the template row is asked about, and No gives the
// stored title back; Add goes back to the template.
TEST_F(SubjectGradeSettingTest, TheScaleButtonsAndTheListAskBeforeAnEditIsLost)
{
    SubjectGradeSettingController w(2, &parent);
    w.show();
    const auto clickRow = [&](int row) {
        QTest::mouseClick(w.conversionListTable3->viewport(), Qt::LeftButton, {},
                          w.conversionListTable3->visualItemRect(w.conversionListTable3->item(row, 0)).center());
    };
    type(w.textConversionTitle3, "Five");
    QTest::keyClick(w.textConversionTitle3, Qt::Key_Return);
    QTest::mouseClick(w.btnAddRight3, Qt::LeftButton);
    EXPECT_EQ(column(w.letterGradeTable3, 0).last(), "Letter6");
    w.letterGradeTable3->selectRow(5);
    QTest::mouseClick(w.btnDeleteRight3, Qt::LeftButton);
    EXPECT_EQ(w.letterGradeTable3->rowCount(), 5);
    QTest::mouseClick(w.btnSave3, Qt::LeftButton);
    ASSERT_EQ(TovGradeLetterXmlDatabase::sharedUI()->gradeLetterList().size(), 1);
    EXPECT_EQ(column(w.conversionListTable3, 0), (QStringList{"(New letter scale)", "Five"}));

    clickRow(1);
    EXPECT_EQ(w.textConversionTitle3->text(), "Five");
    EXPECT_EQ(w.btnSave3->text(), "Save");
    type(w.textConversionTitle3, "Six");
    EXPECT_TRUE(w.isChanged(2));
    answers.answerAlert(1);
    clickRow(0);
    EXPECT_EQ(answers.alertTexts().last(), "Do you want to save the changes to Letter setting?");
    EXPECT_EQ(w.btnSave3->text(), "Add");
    EXPECT_FALSE(w.isChanged(2));
    clickRow(1);
    EXPECT_EQ(w.textConversionTitle3->text(), "Five");
    EXPECT_EQ(TovGradeLetterXmlDatabase::sharedUI()->gradeLetterList().at(0).title(), "Five");
    QTest::mouseClick(w.btnAdd3, Qt::LeftButton);
    EXPECT_EQ(w.btnSave3->text(), "Add");
    EXPECT_EQ(w.textConversionTitle3->text(), "");
}

TEST_F(SubjectGradeSettingTest, SessionTypesInUseStayAndRenamesReachTheWeightLists)
{
    TovWeightAndSessionTypeXmlDatabase *store = TovWeightAndSessionTypeXmlDatabase::sharedUI();
    SessionTypeEntity quiz, essay;
    quiz.setName("Quiz");
    essay.setName("Essay");
    store->addSessionTypeWithData(quiz);
    store->addSessionTypeWithData(essay);
    WeightEntity w1;
    w1.setTitle("Main");
    SessionTypeInWeight counted;
    counted.setSessionTypeNo(quiz.no());
    counted.setIsSelect(true);
    counted.setWeight(100);
    w1.sessionTypesInWeight() << counted;
    store->addWeightWithData(w1);

    SubjectGradeSettingController w(3, &parent);
    w.show();
    EXPECT_EQ(w.tabView->currentIndex(), 3);
    // Opened, the window reads the file as a load does (the types in name order, numbered
    // anew), and the lists that name them by number follow.
    EXPECT_EQ(column(w.table4, 0).mid(7), (QStringList{"Essay", "Quiz"}));
    EXPECT_EQ(parent.calls, (QStringList{"period", "weight", "conversion", "types"}));
    parent.calls.clear();
    w.table4->selectAll();
    EXPECT_TRUE(w.btnDelete4->isEnabled());
    w.doDelete4();
    EXPECT_EQ(answers.alertTexts().last(), "It must be at least one session type exist.");
    w.table4->clearSelection();
    w.table4->selectRow(8); // Quiz
    w.doDelete4();
    EXPECT_EQ(answers.alertTexts().last(), "The Session Type 'Quiz' is used by the weight list, cannot be deleted.");
    w.table4->clearSelection();
    w.table4->selectRow(1); // Exam, built in
    w.doDelete4();
    EXPECT_EQ(answers.alertTexts().last(), "The Session Type 'Exam' is built in, cannot be deleted.");

    // Quiz and Essay swap names, a new type is added.
    editCell(w.table4, 8, 0, "Essay");
    EXPECT_EQ(answers.alertTexts().last(), "The Session Type already exists.");
    QTest::keyClick(openEditor(w.table4), Qt::Key_Escape);
    editCell(w.table4, 8, 0, "Tmp");
    editCell(w.table4, 7, 0, "Quiz");
    editCell(w.table4, 8, 0, "Essay");
    w.doAdd4();
    EXPECT_EQ(column(w.table4, 0).last(), "New Type 1");
    shoot(&w, "settings-types");
    w.doSaveClose4();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(parent.calls, QStringList{"types"});
    QStringList names;
    for (const SessionTypeEntity &t : store->sessionTypeList())
        names << t.name();
    EXPECT_EQ(names.mid(7), (QStringList{"Quiz", "Essay", "New Type 1"}));
    // The weight list counts what was Quiz, now called Essay.
    store->loadWeights();
    for (const SessionTypeInWeight &e : store->weightList().at(0).sessionTypesInWeight())
        EXPECT_EQ(e.isSelect(), e.sessionType() == "Essay") << e.sessionType().toStdString();
}

TEST_F(SubjectGradeSettingTest, APeriodSaveThatCannotFinishWritesNoneOfItsChangesAndTheNextSaveWritesThemAll)
{
    PeriodEntity a, b;
    a.setTitle("A");
    b.setTitle("B");
    TovPeriodXmlDatabase::sharedUI()->addWithData(a);
    TovPeriodXmlDatabase::sharedUI()->addWithData(b);
    const QString file = home() + "Data/Periods.xml";
    const QByteArray before = readFile(file);
    SubjectGradeSettingController w(0, &parent);
    w.show();
    // A removal, a rename and a new period: three writes of the file, one change.
    w.table1->selectRow(0);
    answers.answerAlert(0); // Yes, delete
    w.doDelete1();
    editCell(w.table1, 0, 0, "B2");
    w.doAdd1();

    AtomicFileSet::setMoveFailureHook([file](const QString &p) { return p == file; });
    QTest::mouseClick(w.btnSave1, Qt::LeftButton);
    AtomicFileSet::setMoveFailureHook({});
    EXPECT_EQ(answers.alertTexts().last(), "The grading periods could not be saved.");
    EXPECT_EQ(readFile(file), before);
    EXPECT_EQ(storedPeriods().size(), 2);
    EXPECT_TRUE(w.isChanged(0));
    EXPECT_EQ(column(w.table1, 0).mid(0, 1), QStringList{"B2"});

    QTest::mouseClick(w.btnSave1, Qt::LeftButton);
    EXPECT_FALSE(w.isChanged(0));
    TovPeriodXmlDatabase::sharedUI()->loadPeriods();
    QStringList titles;
    for (const PeriodEntity &p : TovPeriodXmlDatabase::sharedUI()->periodList())
        titles << p.title();
    EXPECT_EQ(titles, (QStringList{"B2", "New Period 1"}));
}

// The teacher's own clicks on the tab bar while a cell or a title is being typed: the tab stays
// and the typing with it, until Enter ends the edit; only then is the tab's question asked.
TEST_F(SubjectGradeSettingTest, AClickOnAnotherTabWhileTypingIsHeldUntilEnter)
{
    SubjectGradeSettingController w(0, &parent);
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QTabBar *bar = w.tabView->tabBar();
    const auto clickTab = [bar](int tab) { QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center()); };
    w.doAdd1();
    const qsizetype asked = answers.alerts().size();

    // A cell being typed in.
    w.table1->setCurrentCell(0, 0);
    w.table1->editItem(w.table1->item(0, 0));
    QLineEdit *cell = openEditor(w.table1);
    ASSERT_TRUE(cell);
    ASSERT_TRUE(cell->hasFocus());
    QTest::keyClicks(cell, "Autumn");
    QSignalSpy switches(w.tabView, &QTabWidget::currentChanged);
    clickTab(3);
    EXPECT_EQ(switches.count(), 0) << "the other page is not even shown";
    EXPECT_TRUE(cell->hasFocus());
    EXPECT_EQ(w.tabView->currentIndex(), 0);
    EXPECT_EQ(answers.alertTexts().mid(asked), QStringList{"Please press Enter."});
    EXPECT_EQ(openEditor(w.table1), cell) << "the edit stays open";
    EXPECT_EQ(cell->text(), "Autumn");
    EXPECT_EQ(w.table1Array.at(0).periodTitle(), "New Period 1");
    QTest::keyClick(cell, Qt::Key_Return);
    EXPECT_EQ(w.table1Array.at(0).periodTitle(), "Autumn");
    answers.answerAlert(1); // No: the new period goes
    clickTab(1);
    EXPECT_EQ(answers.alertTexts().last(), "Do you want to save the changes to Grading Period setting?");
    EXPECT_EQ(w.tabView->currentIndex(), 1);

    // The weight list's title likewise.
    QTest::mouseClick(w.textWeightTitle2, Qt::LeftButton);
    QTest::keyClicks(w.textWeightTitle2, "Main");
    switches.clear();
    clickTab(2);
    EXPECT_EQ(switches.count(), 0);
    EXPECT_TRUE(w.textWeightTitle2->hasFocus());
    EXPECT_EQ(w.tabView->currentIndex(), 1);
    EXPECT_EQ(answers.alertTexts().last(), "Please press Enter.");
    EXPECT_FALSE(w.shouldChange());
    EXPECT_EQ(w.textWeightTitle2->text(), "Main");
    QTest::keyClick(w.textWeightTitle2, Qt::Key_Return);
    answers.answerAlert(1);
    clickTab(2);
    EXPECT_EQ(answers.alertTexts().last(), "Do you want to save the changes to Weight setting?");
    EXPECT_EQ(w.tabView->currentIndex(), 2);
}

// A refused cell holds the tabs with its alert only until the teacher types in it again.
TEST_F(SubjectGradeSettingTest, AKeystrokeInACellClearsThePendingError)
{
    SubjectGradeSettingController w(3, &parent);
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QTabBar *bar = w.tabView->tabBar();
    w.doAdd4();
    const int added = w.table4->rowCount() - 1;
    editCell(w.table4, added, 0, "  ");
    EXPECT_EQ(answers.alertTexts().last(), "The Session Type should not be empty.");
    EXPECT_EQ(w.flag(), 5);
    QLineEdit *cell = openEditor(w.table4);
    ASSERT_TRUE(cell);
    QTest::keyClick(cell, Qt::Key_Escape);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
    EXPECT_EQ(w.tabView->currentIndex(), 3) << "the code is still pending";
    EXPECT_EQ(answers.alertTexts().last(), "The Session Type should not be empty.");

    w.table4->editItem(w.table4->item(added, 0));
    cell = openEditor(w.table4);
    ASSERT_TRUE(cell);
    QTest::keyClick(cell, Qt::Key_X);
    EXPECT_EQ(w.flag(), 0);
    QTest::keyClick(cell, Qt::Key_Escape);
    answers.answerAlert(1); // No: the new type goes
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
    EXPECT_EQ(answers.alertTexts().last(), "Do you want to save the changes to contents?");
    EXPECT_EQ(w.tabView->currentIndex(), 0);
}

// Each question about a tab's edits comes up for real; Escape or its close box is the way back:
// the window, the tab and the list stay as they were, edits and all. Only "No" drops them.
TEST_F(SubjectGradeSettingTest, EscapeOrTheCloseBoxOnATabsQuestionKeepsTheWindowTheTabAndTheList)
{
    SubjectGradeSettingController w(0, &parent);
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QTabBar *bar = w.tabView->tabBar();
    QTest::mouseClick(w.btnAdd1, Qt::LeftButton);
    ASSERT_TRUE(w.isChanged(0));
    const QString question = "Do you want to save the changes to Grading Period setting?";
    const auto kept = [&w](const char *where) {
        EXPECT_TRUE(w.isVisible()) << where;
        EXPECT_EQ(w.tabView->currentIndex(), 0) << where;
        EXPECT_TRUE(w.isChanged(0)) << where;
        EXPECT_EQ(column(w.table1, 0), QStringList{"New Period 1"}) << where;
    };
    for (RealAlerts::Way way : {RealAlerts::Way::Escape, RealAlerts::Way::CloseBox}) {
        RealAlerts real;
        for (int i = 0; i < 4; ++i)
            real.leave(way);
        for (const auto &wayOut : RealAlerts::waysOut(&w, w.btnClose1)) {
            wayOut();
            kept("the window's Close, close box or Escape");
        }
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(3).center());
        kept("a click on another tab");
        EXPECT_EQ(real.seen(), QStringList(4, question));
        EXPECT_EQ(real.stuck(), 0);
    }
    EXPECT_TRUE(TovPeriodXmlDatabase::sharedUI()->periodList().isEmpty());

    // A letter scale being changed, and a click on another scale of the list.
    {
        RealAlerts real;
        real.click(1); // No: the new period goes
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
        ASSERT_EQ(w.tabView->currentIndex(), 2);
    }
    type(w.textConversionTitle3, "Five");
    QTest::keyClick(w.textConversionTitle3, Qt::Key_Return);
    QTest::mouseClick(w.btnSave3, Qt::LeftButton);
    ASSERT_EQ(column(w.conversionListTable3, 0), (QStringList{"(New letter scale)", "Five"}));
    const auto clickRow = [&w](int row) {
        QTest::mouseClick(w.conversionListTable3->viewport(), Qt::LeftButton, {},
                          w.conversionListTable3->visualItemRect(w.conversionListTable3->item(row, 0)).center());
    };
    clickRow(1);
    type(w.textConversionTitle3, "Six");
    QTest::keyClick(w.textConversionTitle3, Qt::Key_Return);
    for (RealAlerts::Way way : {RealAlerts::Way::Escape, RealAlerts::Way::CloseBox}) {
        RealAlerts real;
        real.leave(way);
        clickRow(0);
        QCoreApplication::processEvents();
        EXPECT_EQ(real.seen(), QStringList{"Do you want to save the changes to Letter setting?"});
        EXPECT_EQ(w.conversionListTable3->currentRow(), 1);
        // The scale whose edits are shown is the one marked in the list, not the one clicked.
        const QModelIndexList marked = w.conversionListTable3->selectionModel()->selectedRows();
        ASSERT_EQ(marked.size(), 1);
        EXPECT_EQ(marked.first().row(), 1);
        EXPECT_EQ(w.textConversionTitle3->text(), "Six");
        EXPECT_TRUE(w.isChanged(2));
    }
    RealAlerts real;
    real.click(1);
    QTest::mouseClick(w.btnClose3, Qt::LeftButton);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(real.unanswered() + real.stuck(), 0);
    EXPECT_EQ(TovGradeLetterXmlDatabase::sharedUI()->gradeLetterList().at(0).title(), "Five");
}

// Ctrl+Tab (and Ctrl+Shift+Tab) while a cell or a title is being typed is held as a click on a
// tab is: the real alert says so, and the typing has the focus again once it is answered.
TEST_F(SubjectGradeSettingTest, CtrlTabWhileTypingIsHeldAsAClickIsAndTheTypingKeepsTheFocus)
{
    SubjectGradeSettingController w(0, &parent);
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    // Once the alert is gone the window system makes the window active again, which gives the
    // focus back to the control that had it.
    const auto backFromTheAlert = [&w] {
        w.activateWindow();
        return QTest::qWaitForWindowActive(&w);
    };
    QTest::mouseClick(w.btnAdd1, Qt::LeftButton);
    w.table1->setCurrentCell(0, 0);
    w.table1->editItem(w.table1->item(0, 0));
    QPointer<QLineEdit> cell = openEditor(w.table1);
    ASSERT_TRUE(cell);
    QTest::keyClicks(cell, "Autumn");
    QSignalSpy switches(w.tabView, &QTabWidget::currentChanged);
    {
        RealAlerts real;
        real.click(0);
        real.click(0);
        QTest::keyClick(cell, Qt::Key_Tab, Qt::ControlModifier);
        ASSERT_TRUE(backFromTheAlert());
        ASSERT_TRUE(cell) << "the edit stays open";
        EXPECT_TRUE(cell->hasFocus());
        QTest::keyClick(cell, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        ASSERT_TRUE(backFromTheAlert());
        ASSERT_TRUE(cell);
        EXPECT_TRUE(cell->hasFocus());
        EXPECT_EQ(real.seen(), QStringList(2, "Please press Enter."));
    }
    EXPECT_EQ(switches.count(), 0) << "the other page is not even shown";
    EXPECT_EQ(openEditor(w.table1), cell.data());
    EXPECT_EQ(cell->text(), "Autumn");
    EXPECT_EQ(w.table1Array.at(0).periodTitle(), "New Period 1");
    // Typing goes on where it was.
    QTest::keyClicks(QApplication::focusWidget(), " term");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(w.table1Array.at(0).periodTitle(), "Autumn term");

    // Once the edit is ended, Ctrl+Tab asks the tab's question as a click does, and goes on.
    answers.answerAlert(1); // No
    QTest::keyClick(w.table1, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(answers.alertTexts().last(), "Do you want to save the changes to Grading Period setting?");
    EXPECT_EQ(w.tabView->currentIndex(), 1);

    // The weight list's title likewise.
    QTest::mouseClick(w.textWeightTitle2, Qt::LeftButton);
    QTest::keyClicks(w.textWeightTitle2, "Main");
    {
        RealAlerts real;
        real.click(0);
        QTest::keyClick(w.textWeightTitle2, Qt::Key_Tab, Qt::ControlModifier);
        ASSERT_TRUE(backFromTheAlert());
        EXPECT_TRUE(w.textWeightTitle2->hasFocus());
        EXPECT_EQ(real.seen(), QStringList{"Please press Enter."});
    }
    EXPECT_EQ(w.tabView->currentIndex(), 1);
    EXPECT_FALSE(w.shouldChange());
    QTest::keyClicks(QApplication::focusWidget(), " list");
    EXPECT_EQ(w.textWeightTitle2->text(), "Main list");
}

// The close box leaves the focus where it is: a period title still being typed in its cell is
// ended as a click on Close ends it, and counts among the edits the window asks about.
TEST_F(SubjectGradeSettingTest, ACellStillBeingTypedIsAskedAboutByTheCloseBox)
{
    PeriodEntity fall;
    fall.setTitle("Fall");
    fall.setDateFrom("2024-09-01");
    fall.setDateTo("2024-12-20");
    TovPeriodXmlDatabase::sharedUI()->addWithData(fall);
    SubjectGradeSettingController w(0, &parent);
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    ASSERT_FALSE(w.isChanged(0));
    ASSERT_TRUE(typeInCell(w.table1, 0, 0, "Autumn"));
    RealAlerts real;
    real.leave(RealAlerts::Way::Escape);
    RealAlerts::closeBox(&w);
    EXPECT_EQ(real.seen(), QStringList{"Do you want to save the changes to Grading Period setting?"});
    EXPECT_EQ(real.stuck(), 0);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.table1Array.at(0).periodTitle(), "Autumn");
    EXPECT_EQ(storedPeriods(), QStringList{"Fall(2024-09-01~2024-12-20)"});
}

namespace {

void clickRow(QTableWidget *table, int row)
{
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualItemRect(table->item(row, 0)).center());
}

// A text pasted into a field, as from another program's clipboard.
void paste(QLineEdit *field, const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
}
} // namespace

// Each tab's save refused over another program's change to its record: the alert, Close and No
// at the tab's question close the window; opened again, it shows the other program's version,
// and its save goes over that version, which the teacher saw.
TEST_F(SubjectGradeSettingTest, ASaveRefusedOverAnotherProgramIsSeenWhenOpenedAgainAndSavedOver)
{
    using W = SubjectGradeSettingController;
    PeriodEntity term;
    term.setTitle("Term");
    term.setDateFrom("2012-09-01");
    term.setDateTo("2013-01-31");
    ASSERT_GT(TovPeriodXmlDatabase::sharedUI()->addWithData(term), 0);
    SessionTypeEntity essay;
    essay.setName("Essay");
    ASSERT_GT(TovWeightAndSessionTypeXmlDatabase::sharedUI()->addSessionTypeWithData(essay), 0);
    WeightEntity weights = GradebookSeeds::examOnlyWeights("Main");
    ASSERT_GT(TovWeightAndSessionTypeXmlDatabase::sharedUI()->addWeightWithData(weights), 0);
    LetterGradeEntity scale = GradebookSeeds::twoLetterScale("Main");
    ASSERT_GT(TovGradeLetterXmlDatabase::sharedUI()->addWithData(scale), 0);
    const QString periods = home() + "Data/" + TovPeriodXmlDatabase::kFileName;
    const QString weightsFile = home() + "Data/" + TovWeightAndSessionTypeXmlDatabase::kFileName;
    const QString letters = home() + "Data/" + TovGradeLetterXmlDatabase::kFileName;

    struct Row
    {
        const char *label;
        int tab;
        QString file;
        QByteArray from, to; // the other program's change
        std::function<QString(W &)> shown; // the record as the window shows it
        QPushButton *W::*save;
        QPushButton *W::*close;
        const char *refusal;
        const char *question;
        QByteArray saved; // the file after the save in the window opened again
    };
    const auto typeTitle = [](QTableWidget *W::*list, QLineEdit *W::*title, const QString &text) {
        return [=](W &w) {
            clickRow(w.*list, 1);
            type(w.*title, text);
            QTest::keyClick(w.*title, Qt::Key_Return);
        };
    };
    const auto titleShown = [](QTableWidget *W::*list, QLineEdit *W::*title) {
        return [=](W &w) {
            clickRow(w.*list, 1);
            return (w.*title)->text();
        };
    };
    const auto typeCell = [](QTableWidget *W::*table, int row, int column, const QString &text) {
        return [=](W &w) {
            QLineEdit *field = typeInCell(w.*table, row, column, text);
            ASSERT_TRUE(field);
            QTest::keyClick(field, Qt::Key_Return);
        };
    };
    const auto cellShown = [](QTableWidget *W::*table, int row) { return [=](W &w) { return (w.*table)->item(row, 0)->text(); }; };
    const Row rows[] = {
        {"a grading period", 0, periods, "<Name>Term</Name>", "<Name>Theirs</Name>", cellShown(&W::table1, 0),
         &W::btnSave1, &W::btnClose1, "The grading periods could not be saved.",
         "Do you want to save the changes to Grading Period setting?",
         "<Name>Theirs</Name><PeriodFrom>2012-08-01</PeriodFrom>"},
        {"a weight list", 1, weightsFile, "<Title>Main</Title>", "<Title>Theirs</Title>",
         titleShown(&W::weightListTable2, &W::textWeightTitle2), &W::btnSave2, &W::btnClose2,
         "The weight list could not be saved.", "Do you want to save the changes to Weight setting?", "<Title>Ours</Title>"},
        {"a letter scale", 2, letters, "<Title>Main</Title>", "<Title>Theirs</Title>",
         titleShown(&W::conversionListTable3, &W::textConversionTitle3), &W::btnSave3, &W::btnClose3,
         "The letter scale could not be saved.", "Do you want to save the changes to Letter setting?", "<Title>Ours</Title>"},
        {"a session type", 3, weightsFile, "<GradeSessionTypes><Type><SessionTypeName>Essay<",
         "<GradeSessionTypes><Type><SessionTypeName>Theirs<",
         cellShown(&W::table4, 7), &W::btnSave4, &W::btnClose4, "The session types could not be saved.",
         "Do you want to save the changes to contents?", "<SessionTypeName>Ours</SessionTypeName>"},
    };
    // The teacher's typing before the refusal, and in the window opened again.
    const std::pair<std::function<void(W &)>, std::function<void(W &)>> typing[] = {
        {typeCell(&W::table1, 0, 0, "Mine"), typeCell(&W::table1, 0, 1, "2012-08-01")},
        {typeTitle(&W::weightListTable2, &W::textWeightTitle2, "Mine"),
         typeTitle(&W::weightListTable2, &W::textWeightTitle2, "Ours")},
        {typeTitle(&W::conversionListTable3, &W::textConversionTitle3, "Mine"),
         typeTitle(&W::conversionListTable3, &W::textConversionTitle3, "Ours")},
        {typeCell(&W::table4, 7, 0, "Mine"), typeCell(&W::table4, 7, 0, "Ours")},
    };
    for (int i = 0; i < 4; ++i) {
        const Row &row = rows[i];
        RealAlerts alerts;
        alerts.click("OK");
        alerts.click("No");
        {
            W w(row.tab, &parent);
            w.show();
            typing[i].first(w);
            const QByteArray theirs = AnotherProgram::changeInPlace(row.file, row.from, row.to);
            QTest::mouseClick(w.*row.save, Qt::LeftButton);
            ASSERT_EQ(alerts.seen().size(), 1) << row.label;
            EXPECT_TRUE(alerts.seen().at(0).startsWith(QString(row.refusal) + " | ")) << alerts.seen().at(0).toStdString();
            EXPECT_TRUE(alerts.seen().at(0).contains("was changed by another program since Pollix read it")) << row.label;
            EXPECT_TRUE(alerts.seen().at(0).contains("Close this window and open it again")) << row.label;
            EXPECT_EQ(readFile(row.file), theirs) << row.label;
            QTest::mouseClick(w.*row.close, Qt::LeftButton);
            ASSERT_EQ(alerts.seen().size(), 2) << row.label;
            EXPECT_EQ(alerts.seen().at(1), row.question) << row.label;
            EXPECT_FALSE(w.isVisible()) << row.label;
            EXPECT_TRUE(alerts.allTaken()) << row.label;
        }
        W again(row.tab, &parent);
        again.show();
        EXPECT_EQ(row.shown(again), "Theirs") << row.label;
        typing[i].second(again);
        QTest::mouseClick(again.*row.save, Qt::LeftButton);
        EXPECT_EQ(alerts.seen().size(), 2) << row.label << ": " << alerts.seen().join(" / ").toStdString();
        EXPECT_FALSE(again.isChanged(row.tab)) << row.label;
        EXPECT_TRUE(readFile(row.file).contains(row.saved)) << row.label << ": " << readFile(row.file).toStdString();
    }
}

// A text that the file gives back otherwise than Pollix wrote it (a line break pasted from
// another program ends in a carriage return, which a reader takes for a line feed) is the same
// record: each is pasted into a field and saved, and a second edit of the same record saves from
// the same window.
TEST_F(SubjectGradeSettingTest, ATextTheFileGivesBackOtherwiseSavesAgainFromTheSameWindow)
{
    using W = SubjectGradeSettingController;
    const QString periods = home() + "Data/" + TovPeriodXmlDatabase::kFileName;
    const QString letters = home() + "Data/" + TovGradeLetterXmlDatabase::kFileName;
    const QString weightsFile = home() + "Data/" + TovWeightAndSessionTypeXmlDatabase::kFileName;
    struct Row
    {
        const char *label;
        int tab;
        QString text;
        QByteArray firstSaved; // what the file holds after the first save: the text as it came
    };
    const Row rows[] = {
        {"a period's title with a carriage return", 0, "Fall\rterm", "Fall&#13;term</Name>"},
        {"a period's title with a Windows line break", 0, "Fall\r\nterm", "Fall&#13;\nterm</Name>"},
        {"a period's title ending in a carriage return", 0, "Spring\r", "Spring&#13;</Name>"},
        {"a period's title with a line feed", 0, "Fall\nterm", "Fall\nterm</Name>"},
        {"a period's title with a tab", 0, "Fall\tterm", "Fall\tterm</Name>"},
        {"a weight list's title with a carriage return", 1, "Main\rlist", "Main&#13;list</Title>"},
        {"a letter's notes of blanks only", 2, "   ", "<Note>   </Note>"},
        {"a letter's notes with a carriage return", 2, "good\rwork", "<Note>good&#13;work</Note>"},
        {"a session type with a carriage return", 3, "Lab\rwork", "Lab&#13;work</SessionTypeName>"},
    };
    // For each tab: a new record given the text, saved; then another field of it, saved again.
    using Steps = std::function<void(W &, const QString &own, const QString &text)>;
    const auto pasteInCell = [](QTableWidget *table, int row, int column, const QString &text) {
        QLineEdit *field = typeInCell(table, row, column, "x");
        ASSERT_TRUE(field);
        paste(field, text);
        QTest::keyClick(field, Qt::Key_Return);
    };
    const Steps first[] = {
        [&](W &w, const QString &own, const QString &text) {
            w.doAdd1();
            pasteInCell(w.table1, w.table1->rowCount() - 1, 0, own + text);
            QTest::mouseClick(w.btnSave1, Qt::LeftButton);
        },
        [&](W &w, const QString &own, const QString &text) {
            paste(w.textWeightTitle2, own + text);
            QTest::keyClick(w.textWeightTitle2, Qt::Key_Return);
            w.selectSessionTable2->item(1, 0)->setCheckState(Qt::Checked);
            editCell(w.selectSessionTable2, 1, 2, "100");
            QTest::mouseClick(w.btnSave2, Qt::LeftButton);
        },
        [&](W &w, const QString &own, const QString &text) {
            type(w.textConversionTitle3, "Scale " + own);
            QTest::keyClick(w.textConversionTitle3, Qt::Key_Return);
            pasteInCell(w.letterGradeTable3, 4, 3, text);
            QTest::mouseClick(w.btnSave3, Qt::LeftButton);
        },
        [&](W &w, const QString &own, const QString &text) {
            w.doAdd4();
            pasteInCell(w.table4, w.table4->rowCount() - 1, 0, own + text);
            QTest::mouseClick(w.btnSave4, Qt::LeftButton);
        },
    };
    const Steps second[] = {
        [&](W &w, const QString &, const QString &) {
            editCell(w.table1, w.table1->rowCount() - 1, 1, "2012-08-01");
            QTest::mouseClick(w.btnSave1, Qt::LeftButton);
        },
        [&](W &w, const QString &, const QString &) {
            clickRow(w.weightListTable2, w.weightListTable2->rowCount() - 1);
            w.cboClass2->setCurrentText("7A");
            emit w.cboClass2->activated(w.cboClass2->currentIndex());
            QTest::mouseClick(w.btnSave2, Qt::LeftButton);
        },
        [&](W &w, const QString &, const QString &) {
            clickRow(w.conversionListTable3, w.conversionListTable3->rowCount() - 1);
            editCell(w.letterGradeTable3, 0, 3, "fine");
            QTest::mouseClick(w.btnSave3, Qt::LeftButton);
        },
        [&](W &w, const QString &own, const QString &) {
            editCell(w.table4, w.table4->rowCount() - 1, 0, "Labs " + own);
            QTest::mouseClick(w.btnSave4, Qt::LeftButton);
        },
    };
    const QByteArray secondSaved[] = {"<PeriodFrom>2012-08-01</PeriodFrom>", "<ClassName>7A</ClassName>", "<Note>fine</Note>",
                                      "Labs "};
    const QString files[] = {periods, weightsFile, letters, weightsFile};
    int n = 0;
    for (const Row &row : rows) {
        const qsizetype asked = answers.alerts().size();
        const QString own = QString::number(++n);
        W w(row.tab, &parent);
        w.show();
        first[row.tab](w, own, row.text);
        EXPECT_TRUE(readFile(files[row.tab]).contains(row.firstSaved)) << row.label;
        EXPECT_FALSE(w.isChanged(row.tab)) << row.label;
        second[row.tab](w, own, row.text);
        EXPECT_EQ(answers.alertTexts().mid(asked), QStringList()) << row.label;
        EXPECT_FALSE(w.isChanged(row.tab)) << row.label;
        EXPECT_TRUE(readFile(files[row.tab]).contains(secondSaved[row.tab] + (row.tab == 3 ? own.toUtf8() : QByteArray())))
            << row.label;
    }
}
