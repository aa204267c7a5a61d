#include "core/keypad/DeviceController.h"
#include "core/roster/CSVOperator.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovSubjectXmlDatabase.h"
#include "core/store/TovTeacherXmlDatabase.h"
#include "platform/NotificationCenter.h"
#include "support/ControlPresser.h"
#include "support/DialogAnswers.h"
#include "support/ModalDriver.h"
#include "support/PollixTest.h"
#include "support/TableLook.h"
#include "ui/roster/ClassSetController.h"

#include <algorithm>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

namespace {
StudentEntity student(const QString &id, const QString &first, const QString &last, int device, int group = 1)
{
    StudentEntity s;
    s.setId(id);
    s.setFirstName(first);
    s.setLastName(last);
    s.setDeviceNo(device);
    s.setGroupNo(group);
    s.setGender(0);
    return s;
}
} // namespace

class ClassSetControllerTest : public PollixTest
{
protected:
    void SetUp() override
    {
        PollixTest::SetUp();
        ClassSetController::rosterWindows() = {};
        ClassSetController::rosterWindows().login = [this](QWidget *) { return ++logins, loginAnswer; };
    }
    void TearDown() override
    {
        ClassSetController::rosterWindows() = {};
        PollixTest::TearDown();
    }

    void addRoster()
    {
        auto *classes = TovClassXmlDatabase::sharedClassUI();
        classA = classes->addClassWithName("7A");
        classB = classes->addClassWithName("7B");
        ASSERT_GT(classA, 0);
        ASSERT_TRUE(classes->addStudentWithData(student("S2", "Bea", "Zed", 2, 1), classA));
        ASSERT_TRUE(classes->addStudentWithData(student("S1", "Al", "Young", 1, 3), classA));
        ASSERT_TRUE(classes->addStudentWithData(student("", "No", "Id", 9), classA));
        SubjectEntity math;
        math.setName("Math");
        ASSERT_TRUE(TovSubjectXmlDatabase::sharedSubjectUI()->addSubjectWithData(math));
        TeacherEntity lee;
        lee.setFirstName("Ann");
        lee.setLastName("Lee");
        lee.setGender(2);
        ASSERT_TRUE(TovTeacherXmlDatabase::sharedUI()->addTeacherWithData(lee));
    }

    int classA = 0;
    int classB = 0;
    int logins = 0;
    bool loginAnswer = true;
};

TEST_F(ClassSetControllerTest, OpeningWithNoNumbersSelectsFirstOfEachAndOkHandsBackTheChoice)
{
    addRoster();
    ClassSetController dialog;
    dialog.awakeFromNib();
    EXPECT_EQ(dialog.classNo(), classA);
    EXPECT_EQ(dialog.className(), "7A");
    EXPECT_EQ(dialog.subjectName(), "Math");
    EXPECT_EQ(dialog.teacherName(), "Ann Lee");
    EXPECT_EQ(dialog.students().size(), 3);
    EXPECT_EQ(dialog.findChild<QLineEdit *>("textParticipant")->text(), "3");
    EXPECT_EQ(dialog.findChild<QComboBox *>("comboClass")->currentText(), "7A");

    DialogAnswers answers;
    dialog.doOk();
    EXPECT_TRUE(answers.alerts().isEmpty());
    EXPECT_EQ(dialog.result(), 1);
    EXPECT_EQ(dialog.maxGroupNo(), 3);
}

TEST_F(ClassSetControllerTest, EmptyStoresAndVanishedClassAreRefused)
{
    {
        ClassSetController dialog;
        dialog.awakeFromNib();
        EXPECT_EQ(dialog.classNo(), 0);
        EXPECT_EQ(dialog.findChild<QComboBox *>("comboClass")->currentIndex(), -1);
        DialogAnswers answers;
        dialog.doOk();
        EXPECT_EQ(answers.alertTexts(), QStringList{"Class member,teacher and subject cannot be empty."});
        EXPECT_EQ(answers.alerts().first().title, "Pollix");
    }
    addRoster();
    ClassSetController dialog;
    dialog.setClassNo(99);
    dialog.awakeFromNib();
    EXPECT_EQ(dialog.indexOfClassSelected(), -1);
    EXPECT_TRUE(dialog.students().isEmpty());
    DialogAnswers answers;
    dialog.doOk();
    EXPECT_EQ(answers.alertTexts(), QStringList{"Class member,teacher and subject cannot be empty."});

    // Choosing the class by hand lets it through.
    dialog.comboBoxSelectionDidChange(dialog.comboClass, 0);
    dialog.doOk();
    EXPECT_EQ(dialog.result(), 1);
}

TEST_F(ClassSetControllerTest, ClassWithoutStudentsIsRefused)
{
    addRoster();
    ClassSetController dialog;
    dialog.setClassNo(classB);
    dialog.awakeFromNib();
    EXPECT_EQ(dialog.className(), "7B");
    DialogAnswers answers;
    dialog.doOk();
    EXPECT_EQ(answers.alertTexts(), QStringList{"Class member,teacher and subject cannot be empty."});
}

TEST_F(ClassSetControllerTest, SortingTogglesAndTheSortedOrderIsHandedBack)
{
    addRoster();
    ClassSetController dialog;
    dialog.awakeFromNib();
    auto ids = [&] {
        QStringList out;
        for (const StudentInClass &s : dialog.students())
            out << s.studentID();
        return out;
    };
    dialog.tableView("studentID");
    EXPECT_EQ(ids(), (QStringList{"", "S1", "S2"}));
    dialog.tableView("studentID");
    EXPECT_EQ(ids(), (QStringList{"S2", "S1", ""}));
    dialog.tableView("studentID");
    EXPECT_EQ(ids(), (QStringList{"", "S1", "S2"}));
    dialog.tableView("groupNo");
    EXPECT_EQ(dialog.students().last().studentID(), "S1");
}

// A class longer than the list: the student the teacher clicked stays the one highlighted, in
// sight, after a click on a column's title sorts the list (the highlight stayed on its row and
// marked another student, out of sight of the one chosen).
TEST_F(ClassSetControllerTest, TheStudentChosenStaysChosenAndInSightWhenATitleClickSortsTheList)
{
    addRoster();
    QList<StudentEntity> more;
    for (int i = 1; i <= 30; ++i)
        more << student(QStringLiteral("L%1").arg(i, 2, 10, QLatin1Char('0')), QStringLiteral("N%1").arg(99 - i), "Lee", 10 + i);
    ASSERT_TRUE(TovClassXmlDatabase::sharedClassUI()->addSomeStudents(more, classA));
    DeviceController::ShareDeviceController()->setCurDeviceType(1);
    ClassSetController dialog;
    dialog.awakeFromNib();
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTableWidget *list = dialog.tblStudents;
    const int last = list->rowCount() - 1;
    ASSERT_EQ(list->columnCount(), 4);
    ASSERT_EQ(list->item(last, 0)->text(), "L30");
    EXPECT_EQ(TableLook::clickAndScrolledBy(list, list->model()->index(last, 1)), 0);
    ASSERT_EQ(list->selectionModel()->selectedRows().size(), 1);

    for (int column : {1, 1, 0}) {
        TableLook::clickTitle(list, column);
        const QModelIndexList chosen = list->selectionModel()->selectedRows();
        ASSERT_EQ(chosen.size(), 1) << "column " << column;
        EXPECT_EQ(list->item(chosen.first().row(), 0)->text(), "L30") << "column " << column;
        EXPECT_TRUE(TableLook::rowInSightAndCurrent(list, chosen.first().row())) << "column " << column;
    }
}

TEST_F(ClassSetControllerTest, GuardedActionsAskForLoginAndStopWhenRefused)
{
    addRoster();
    ClassSetController dialog;
    dialog.awakeFromNib();
    loginAnswer = false;
    DialogAnswers answers;
    dialog.exportStudents();
    EXPECT_EQ(logins, 1);
    EXPECT_TRUE(answers.fileDialogs().isEmpty());
    EXPECT_EQ(dialog.buttonAdmin->text(), "Login");

    ModalDriver modals;
    dialog.groupClass();
    EXPECT_EQ(modals.opened(), QStringList{"GroupManage"});
    EXPECT_EQ(logins, 1) << "grouping needs no login";

    loginAnswer = true;
    dialog.doLogin();
    EXPECT_EQ(dialog.buttonAdmin->text(), "Logout");
    EXPECT_TRUE(app()->isLogin());
    dialog.doLogin();
    EXPECT_FALSE(app()->isLogin());
}

TEST_F(ClassSetControllerTest, ExportsFollowStoreOrderSkipStudentsWithoutIdAndWriteSexText)
{
    addRoster();
    ClassSetController dialog;
    dialog.awakeFromNib();
    dialog.doLogin();
    DialogAnswers answers;
    answers.answerFile(home() + "students");
    dialog.exportStudents();
    CSVOperator grid;
    ASSERT_TRUE(grid.loadCSVFrom(home() + "students.csv"));
    ASSERT_EQ(grid.numOfRows(), 3);
    EXPECT_EQ(grid.stringAtRow(1, 7), "Birth Date(YYYY-MM-DD)");
    EXPECT_EQ(grid.stringAtRow(2, 2), "S2");
    EXPECT_EQ(grid.stringAtRow(3, 2), "S1");
    EXPECT_EQ(grid.stringAtRow(3, 5), "7A");
    EXPECT_EQ(grid.stringAtRow(3, 6), "3");
    EXPECT_EQ(grid.stringAtRow(3, 13), "UD");

    answers.answerFile(home() + "teachers.csv");
    dialog.exportTeachers();
    ASSERT_TRUE(grid.loadCSVFrom(home() + "teachers.csv"));
    EXPECT_EQ(grid.stringAtRow(1, 2), "Frist Name");
    EXPECT_EQ(grid.stringAtRow(2, 1), "1");
    EXPECT_EQ(grid.stringAtRow(2, 3), "Lee");
    EXPECT_EQ(grid.stringAtRow(2, 7), "Female");
    // Each export says where its file went, the extension the panel's name lacked included.
    ASSERT_EQ(answers.alertTexts(), (QStringList{"Exported successfully.", "Exported successfully."}));
    EXPECT_EQ(answers.alerts()[0].informativeText, "Saved to " + QDir::toNativeSeparators(home() + "students.csv"));
    EXPECT_EQ(answers.alerts()[1].informativeText, "Saved to " + QDir::toNativeSeparators(home() + "teachers.csv"));

    // A file that cannot be made: the grid's message, with the system's reason under it.
    answers.answerFile(home() + "no such folder/teachers.csv");
    dialog.exportTeachers();
    ASSERT_EQ(answers.alerts().size(), 3);
    EXPECT_EQ(answers.alerts()[2].text, "Create file failed");
    EXPECT_FALSE(answers.alerts()[2].informativeText.isEmpty());
}

TEST_F(ClassSetControllerTest, RefusalsBeforeExportAndImport)
{
    ClassSetController dialog;
    dialog.awakeFromNib();
    dialog.doLogin();
    DialogAnswers answers;
    dialog.exportTeachers();
    dialog.exportStudents();
    dialog.importStudents();
    dialog.manageClass();
    EXPECT_EQ(answers.alertTexts(), (QStringList{"No record about teacher in database.", "Choose class to export.",
                                                 "Choose class to import.", "Please add a class first."}));
    EXPECT_TRUE(answers.fileDialogs().isEmpty());
}

TEST_F(ClassSetControllerTest, ChangeNotificationsReloadAndReselect)
{
    addRoster();
    ClassSetController dialog;
    dialog.awakeFromNib();
    TovClassXmlDatabase::sharedClassUI()->addStudentWithData(student("S3", "Cy", "Ng", 3), classB);
    NotificationCenter::defaultCenter()->postNotification("ClassChanged", {{"index", 1}});
    EXPECT_EQ(dialog.className(), "7B");
    EXPECT_EQ(dialog.students().size(), 1);
    NotificationCenter::defaultCenter()->postNotification("SubjectChanged", {{"index", -1}});
    EXPECT_EQ(dialog.subjectNo(), 0);
    EXPECT_EQ(dialog.subjectName(), "");
}

TEST_F(ClassSetControllerTest, SmallFamilyRefusesSharedKeypadNumbersOthersAccept)
{
    addRoster();
    auto *classes = TovClassXmlDatabase::sharedClassUI();
    ASSERT_TRUE(classes->addStudentWithData(student("S7", "Di", "Ho", 7), classB));
    ASSERT_TRUE(classes->addStudentWithData(student("S8", "Ed", "Ho", 7), classB));
    for (int type : {1, 4, 0, 2, 3}) {
        DeviceController::ShareDeviceController()->setCurDeviceType(type);
        ClassSetController dialog;
        dialog.setClassNo(classB);
        dialog.awakeFromNib();
        DialogAnswers answers;
        answers.answerAlert(1); // Cancel: the numbers stay as they are
        dialog.doOk();
        if (type == 1 || type == 4) {
            EXPECT_EQ(answers.alertTexts(), QStringList{"The device NO. in a class cannot be the same"}) << type;
            // The alert names who shares the keypad and the way out.
            EXPECT_TRUE(answers.alerts().first().informativeText.endsWith("Device NO. 7: S7 Di Ho, S8 Ed Ho"))
                << answers.alerts().first().informativeText.toStdString();
            EXPECT_TRUE(dialog.isVisible() || dialog.result() != 1) << type;
        } else {
            EXPECT_TRUE(answers.alerts().isEmpty()) << type;
            EXPECT_EQ(dialog.result(), 1) << type;
        }
        EXPECT_EQ(dialog.tblStudents->columnCount(), (type == 2 || type == 3) ? 3 : 4) << type;
    }

    // Renumber gives the second holder of a number the class's next free one, and the class runs.
    DeviceController::ShareDeviceController()->setCurDeviceType(1);
    ClassSetController dialog;
    dialog.setClassNo(classB);
    dialog.awakeFromNib();
    DialogAnswers answers;
    answers.answerAlert(0);
    dialog.doOk();
    EXPECT_EQ(answers.alertTexts(), QStringList{"The device NO. in a class cannot be the same"});
    EXPECT_EQ(dialog.result(), 1);
    QList<int> numbers;
    for (const StudentEntity &s : classes->getStudentListByClassNo(classB))
        numbers << s.deviceNo();
    std::sort(numbers.begin(), numbers.end());
    EXPECT_EQ(numbers, QList<int>({1, 7})) << "S8 takes 1, the lowest number nobody holds";
}

TEST_F(ClassSetControllerTest, ClassLargerThanTheReceiverServesIsRefused)
{
    addRoster();
    auto *classes = TovClassXmlDatabase::sharedClassUI();
    QList<StudentEntity> many;
    for (int i = 0; i < 401; ++i)
        many << student(QString("B%1").arg(i), "N", QString::number(i), i + 1);
    ASSERT_TRUE(classes->addSomeStudents(many, classB));

    DeviceController::ShareDeviceController()->setCurDeviceType(3);
    {
        ClassSetController dialog;
        dialog.setClassNo(classB);
        dialog.awakeFromNib();
        DialogAnswers answers;
        dialog.doOk();
        EXPECT_TRUE(answers.alerts().isEmpty());
    }
    DeviceController::ShareDeviceController()->setCurDeviceType(0);
    ClassSetController dialog;
    dialog.setClassNo(classB);
    dialog.awakeFromNib();
    DialogAnswers answers;
    dialog.doOk();
    EXPECT_EQ(answers.alertTexts(), QStringList{"The max number of students in a class is 400."});
}

TEST_F(ClassSetControllerTest, EveryEnabledButtonLeadsSomewhereAndMissingWindowsAreNotOffered)
{
    addRoster();
    // As the program is now: no import installed, the login dialog itself.
    ClassSetController::rosterWindows() = {};
    ClassSetController dialog;
    dialog.awakeFromNib();
    for (QPushButton *b : {dialog.buttonStudentImport, dialog.buttonTeacherImport})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();

    dialog.show();
    DialogAnswers answers;
    ControlPresser presser([&] {
        return QStringLiteral("%1 alerts, %2 panels, result %3")
            .arg(answers.alerts().size())
            .arg(answers.fileDialogs().size())
            .arg(dialog.result());
    });
    presser.pressAll(&dialog, {"buttonCancel", "buttonOk"});
    EXPECT_TRUE(presser.inert().isEmpty()) << presser.inert().join(", ").toStdString();
    for (const char *name : {"buttonAdmin", "buttonStudentExport", "buttonTeacherExport", "comboClass", "buttonCancel",
                             "buttonOk", "buttonEditClass", "buttonEditSubject", "buttonEditTeacher",
                             "buttonStudentManager", "buttonStudentGrouping"})
        EXPECT_TRUE(presser.pressed().contains(name)) << name;
    EXPECT_TRUE(presser.dialogsOpened().contains("Login"));
    EXPECT_TRUE(presser.dialogsOpened().contains("GroupManage"));

    // Logged in, each roster button opens its window.
    app()->setIsLogin(true);
    ModalDriver modals;
    for (QPushButton *b : {dialog.buttonEditClass, dialog.buttonEditSubject, dialog.buttonEditTeacher,
                           dialog.buttonStudentManager, dialog.buttonStudentGrouping})
        b->click();
    EXPECT_EQ(modals.opened(),
              (QStringList{"ClassEdit", "SubjectEdit", "TeacherEdit", "ClassManage", "GroupManage"}));

    // An import installed later is offered as it is.
    ClassSetController::rosterWindows().importTeachers = [](QWidget *, const QString &) { return false; };
    dialog.awakeFromNib();
    EXPECT_TRUE(dialog.buttonTeacherImport->isEnabled());
    EXPECT_FALSE(dialog.buttonStudentImport->isEnabled());
}
