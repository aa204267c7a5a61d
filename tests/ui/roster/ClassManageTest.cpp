#include "RosterWindowTest.h"

#include "support/RealAlerts.h"
#include "ui/roster/AddStudentModeController.h"
#include "ui/roster/ClassManageController.h"
#include "ui/roster/StudentTableView.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QApplication>
#include <QTest>

namespace {
class ClassManageTest : public RosterWindowTest
{
protected:
    void SetUp() override
    {
        RosterWindowTest::SetUp();
        c1 = classes->addClassWithName("8C");
        c2 = classes->addClassWithName("9A");
    }
    // The manager on the first class.
    std::unique_ptr<ClassManageController> open(int classIndex = 0)
    {
        auto m = std::make_unique<ClassManageController>();
        m->setClassIndex(classIndex);
        m->awakeFromNib();
        return m;
    }
    static void type(QLineEdit *field, const QString &text)
    {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
    }
    int c1 = 0, c2 = 0;
};
} // namespace

TEST_F(ClassManageTest, CopyingIntoAFullClassTellsTheLimitAndStopsAtIt)
{
    ASSERT_TRUE(classes->addSomeStudents(students("C", 399), c1));
    ASSERT_TRUE(roster->addSomeStudentsToRoster(students("R", 5)));
    auto m = open();
    EXPECT_FALSE(m->btnAddFromRoster->isEnabled());
    m->tblStudentRoster->selectRows({0, 1, 2, 3, 4});
    ASSERT_TRUE(m->btnAddFromRoster->isEnabled());
    HeardNotifications heard;
    m->btnAddFromRoster->click();
    EXPECT_EQ(classes->studentCountInClass(c1), 400);
    EXPECT_EQ(idsInClass(c1).last(), "R1");
    // The four that found no room are told of, under the limit's own text.
    EXPECT_EQ(answers.alertTexts(), QStringList{"The max number of students in a class is 400."});
    EXPECT_EQ(answers.alerts().first().title, "Pollix");
    EXPECT_EQ(heard.notes, QStringList{"ClassChanged 0"});
    EXPECT_TRUE(m->tblStudentRoster->selectedRows().isEmpty());
    EXPECT_EQ(m->tblStudentInClass1->rowCount(), 400);

    m->tblStudentRoster->selectRows({4});
    m->btnAddFromRoster->click();
    EXPECT_EQ(answers.alertTexts().size(), 2);
    EXPECT_EQ(classes->studentCountInClass(c1), 400);
}

TEST_F(ClassManageTest, ATypedStudentGoesToRosterAndClassUnlessItsIdIsTakenInAnyCase)
{
    ASSERT_TRUE(roster->addStudentWithData(student("R01")));
    auto m = open();
    EXPECT_FALSE(m->btnAddNew->isEnabled());
    type(m->textStudentID, "r01");
    EXPECT_FALSE(m->btnAddNew->isEnabled()) << "no name yet";
    type(m->textStudentLastName, "Lee");
    ASSERT_TRUE(m->btnAddNew->isEnabled());
    m->btnAddNew->click();
    EXPECT_EQ(answers.alertTexts(), QStringList{"The student ID: r01 already exists."});
    EXPECT_EQ(idsInRoster(), QStringList{"R01"});
    EXPECT_TRUE(idsInClass(c1).isEmpty());
    EXPECT_EQ(m->textStudentID->selectedText(), "r01");

    type(m->textStudentID, "N01");
    type(m->textDeviceNo, "7");
    type(m->textGroupNo, "2");
    m->btnAddNew->click();
    EXPECT_EQ(idsInRoster(), (QStringList{"R01", "N01"}));
    EXPECT_EQ(idsInClass(c1), QStringList{"N01"});
    const StudentEntity added = classes->getStudentListByClassNo(c1).first();
    EXPECT_EQ(added.lastName(), "Lee");
    EXPECT_EQ(added.deviceNo(), 7);
    EXPECT_EQ(added.groupNo(), 2);
    EXPECT_TRUE(m->textStudentID->text().isEmpty()) << "the form is cleared";
    EXPECT_EQ(m->textDeviceNo->text(), "1");
    EXPECT_FALSE(m->btnAddNew->isEnabled());
    EXPECT_EQ(m->tblStudentRoster->rowCount(), 2);
}

// A new student typed and not yet added: Close, the close box and Escape ask first, and Escape
// or the close box on the question keep the form; once added (the form cleared) they just close.
TEST_F(ClassManageTest, EveryWayOutAsksBeforeATypedStudentIsDropped)
{
    auto m = open();
    m->show();
    m->tabView->setCurrentIndex(1);
    type(m->textStudentID, "N07");
    for (RealAlerts::Way way : {RealAlerts::Way::Escape, RealAlerts::Way::CloseBox}) {
        RealAlerts real;
        for (int i = 0; i < 3; ++i)
            real.leave(way);
        for (const auto &wayOut : RealAlerts::waysOut(m.get(), m->btnClose)) {
            wayOut();
            EXPECT_TRUE(m->isVisible());
            EXPECT_EQ(m->textStudentID->text(), "N07");
        }
        EXPECT_EQ(real.seen(), QStringList(3, QStringLiteral("Are you sure to quit without saving?")));
        EXPECT_EQ(real.stuck(), 0);
    }
    type(m->textStudentFirstName, "Nia");
    m->btnAddNew->click();
    EXPECT_EQ(idsInClass(c1), QStringList{"N07"});
    {
        RealAlerts real;
        RealAlerts::pressEscape(m.get());
        EXPECT_TRUE(real.seen().isEmpty());
    }
    EXPECT_FALSE(m->isVisible());
}

TEST_F(ClassManageTest, StudentsAddedToALongClassAreChosenAndScrolledIntoView)
{
    ASSERT_TRUE(classes->addSomeStudents(students("C", 60), c1));
    ASSERT_TRUE(roster->addSomeStudentsToRoster(students("R", 3)));
    auto m = open();
    m->resize(1024, 700);
    m->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m.get()));
    const auto inView = [](StudentTableView *table, int row) {
        return table->viewport()->rect().contains(table->visualItemRect(table->item(row, 0)));
    };
    const auto click = [](QWidget *w, QPoint at = {}) {
        QTest::mouseClick(w, Qt::LeftButton, {}, at.isNull() ? w->rect().center() : at);
    };

    // New Student, typed and added: the last of 61, chosen and in sight in the form's table.
    QTabBar *tabs = m->tabView->tabBar();
    click(tabs, tabs->tabRect(1).center());
    ASSERT_EQ(m->tabView->currentIndex(), 1);
    ASSERT_FALSE(inView(m->tblStudentInClass2, 59)) << "the class is longer than its table";
    type(m->textStudentID, "N61");
    type(m->textStudentFirstName, "Nina");
    click(m->btnAddNew);
    ASSERT_EQ(m->tblStudentInClass2->rowCount(), 61);
    EXPECT_EQ(m->tblStudentInClass2->students().at(60).studentID(), "N61");
    EXPECT_EQ(m->tblStudentInClass2->selectedRows(), QList<int>{60});
    EXPECT_TRUE(inView(m->tblStudentInClass2, 60));
    EXPECT_EQ(m->tblStudentInClass1->selectedRows(), QList<int>{60});

    // From the Roster: the students copied are the ones chosen and shown beside the roster.
    click(tabs, tabs->tabRect(0).center());
    QApplication::processEvents();
    m->tblStudentInClass1->scrollToTop();
    const auto rosterRow = [&](int row) {
        return m->tblStudentRoster->visualItemRect(m->tblStudentRoster->item(row, 0)).center();
    };
    click(m->tblStudentRoster->viewport(), rosterRow(0));
    QTest::mouseClick(m->tblStudentRoster->viewport(), Qt::LeftButton, Qt::ControlModifier, rosterRow(2));
    click(m->btnAddFromRoster);
    ASSERT_EQ(m->tblStudentInClass1->rowCount(), 63);
    EXPECT_EQ(m->tblStudentInClass1->selectedRows(), (QList<int>{61, 62}));
    EXPECT_TRUE(inView(m->tblStudentInClass1, 61));
    EXPECT_TRUE(m->btnRemoveFromClass->isEnabled()) << "the chosen students can be taken out again at once";
    EXPECT_TRUE(answers.alerts().isEmpty());
}

TEST_F(ClassManageTest, NumberFieldsStayInRangeAsTheyAreTyped)
{
    auto m = open();
    type(m->textGroupNo, "0");
    EXPECT_EQ(m->textGroupNo->text(), "1");
    type(m->textGroupNo, "45");
    EXPECT_EQ(m->textGroupNo->text(), "45");
    EXPECT_EQ(m->textGroupNo->selectedText(), "45") << "the next key replaces it";
    type(m->textDeviceNo, "150");
    EXPECT_EQ(m->textDeviceNo->text(), "150");
    type(m->textDeviceNo, "450");
    EXPECT_EQ(m->textDeviceNo->text(), "400");
    type(m->textStudentID, "A'b-1");
    EXPECT_EQ(m->textStudentID->text(), "Ab1") << "letters and digits only";
    m->textDeviceNo->setText("0");
    emit m->textDeviceNo->editingFinished();
    EXPECT_EQ(m->textDeviceNo->text(), "1");
}

TEST_F(ClassManageTest, LargeFamilyHidesTheKeypadNumberAndStoresOne)
{
    useDeviceType(3);
    auto m = open();
    EXPECT_TRUE(m->textDeviceNo->isHidden());
    EXPECT_TRUE(m->labelDeviceNo->isHidden());
    type(m->textStudentID, "N1");
    type(m->textStudentFirstName, "Ann");
    m->btnAddNew->click();
    EXPECT_EQ(classes->getStudentListByClassNo(c1).first().deviceNo(), 1);
}

TEST_F(ClassManageTest, WithoutAClassNothingCanBeAddedAndChoosingOneFollowsInBothLists)
{
    ASSERT_TRUE(classes->addStudentWithData(student("S9"), c2));
    auto m = open(-1);
    type(m->textStudentID, "N1");
    type(m->textStudentFirstName, "Ann");
    EXPECT_FALSE(m->btnAddNew->isEnabled());
    HeardNotifications heard;
    choose(m->comboClass2, 1);
    EXPECT_EQ(m->comboClass1->currentIndex(), 1);
    EXPECT_EQ(m->tblStudentInClass1->rowCount(), 1);
    EXPECT_EQ(heard.notes, QStringList{"ClassChanged 1"});
    EXPECT_TRUE(m->btnAddNew->isEnabled()) << "the form typed before now has a class";
}

TEST_F(ClassManageTest, RemovingLeavesTheRosterAndSortingKeepsTheSelection)
{
    ASSERT_TRUE(roster->addSomeStudentsToRoster(students("S", 3)));
    ASSERT_TRUE(classes->addSomeStudents(students("S", 3), c1));
    auto m = open();
    m->tblStudentInClass1->selectRows({0, 2});
    m->btnRemoveFromClass->click();
    EXPECT_EQ(idsInClass(c1), QStringList{"S2"});
    EXPECT_EQ(idsInRoster().size(), 3);

    m->tblStudentRoster->selectRows({0});
    m->tblStudentRoster->sortByColumn("studentID");
    m->tblStudentRoster->sortByColumn("studentID");
    EXPECT_EQ(m->tblStudentRoster->orderType(), 1);
    EXPECT_EQ(m->tblStudentRoster->students().first().studentID(), "S3");
    EXPECT_EQ(m->tblStudentRoster->selectedRows(), QList<int>{2}) << "S1 stays selected at its new row";
}

TEST_F(ClassManageTest, AddStudentModeTellsTheChosenWayOrNothing)
{
    AddStudentModeController mode;
    mode.setImportAvailable(false);
    EXPECT_FALSE(mode.findChild<QRadioButton *>("modeToAddStudents_2")->isEnabled());
    mode.btnCancel->click();
    EXPECT_EQ(mode.result(), 0);
    EXPECT_EQ(mode.switchType(), -1);
    mode.findChild<QRadioButton *>("modeToAddStudents_1")->click();
    mode.btnOK->click();
    EXPECT_EQ(mode.result(), 1);
    EXPECT_EQ(mode.switchType(), 1);
}

// A click on Close takes the keys to the button; No on its question goes back to the student
// being typed, with the keys in the field typed in: left on Close, Return asked again and the
// next Return dropped the student.
TEST_F(ClassManageTest, NoOnTheClosingQuestionGivesTheKeysBackToTheFieldTypedIn)
{
    auto m = open();
    m->show();
    m->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m.get()));
    m->tabView->setCurrentIndex(1);
    m->textStudentID->setFocus();
    QTest::keyClicks(m->textStudentID, "N07");
    RealAlerts real;
    real.click(1); // No: keep editing
    QTest::mouseClick(m->btnClose, Qt::LeftButton);
    EXPECT_EQ(real.seen(), QStringList{"Are you sure to quit without saving?"});
    ASSERT_TRUE(m->isVisible());
    // The window manager hands the keys back to the window.
    m->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m.get()));
    EXPECT_EQ(QApplication::focusWidget(), m->textStudentID);
    QTest::keyClicks(QApplication::focusWidget(), "8");
    EXPECT_EQ(m->textStudentID->text(), "N078");
}
