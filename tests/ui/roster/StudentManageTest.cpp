#include "RosterWindowTest.h"

#include "core/roster/ImportItemsForStudent.h"
#include "core/roster/ImportPreviewState.h"
#include "core/roster/RosterImporter.h"
#include "platform/AtomicFile.h"
#include "support/AnotherProgram.h"
#include "support/EventWait.h"
#include "support/ModalDriver.h"
#include "support/RealAlerts.h"
#include "support/Shots.h"
#include "support/TableLook.h"
#include "support/WindowOnScreen.h"
#include "support/XvfbRun.h"
#include "ui/controls/PollixAlert.h"
#include "ui/controls/ScreenFit.h"
#include "ui/roster/ClassSetController.h"
#include "ui/roster/StudentManageController.h"
#include "ui/roster/StudentTableView.h"

#include <QApplication>
#include <QDateEdit>
#include <QFile>
#include <QMap>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableWidget>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>

namespace {
class StudentManageTest : public RosterWindowTest
{
protected:
    void SetUp() override
    {
        RosterWindowTest::SetUp();
        c1 = classes->addClassWithName("8C");
        c2 = classes->addClassWithName("9A");
        ASSERT_TRUE(roster->addSomeStudentsToRoster(students("S", 3)));
        ASSERT_TRUE(classes->addSomeStudents(students("S", 3), c1));
    }
    std::unique_ptr<StudentManageController> open(int studentNo, int classIndex = 0)
    {
        auto e = std::make_unique<StudentManageController>();
        e->setStudentToModify(studentNo, classIndex);
        e->awakeFromNib();
        e->show();
        return e;
    }
    // Which buttons are enabled, in the order Add, Modify, Delete, Cancel, Save.
    static QString buttons(const StudentManageController &e)
    {
        QString out;
        for (QPushButton *b : {e.btnAdd, e.btnModify, e.btnDelete, e.btnCancel, e.btnSave})
            out += b->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        return out;
    }
    static void type(QLineEdit *field, const QString &text)
    {
        field->setFocus();
        field->selectAll();
        if (text.isEmpty())
            QTest::keyClick(field, Qt::Key_Delete);
        else
            QTest::keyClicks(field, text);
    }
    int c1 = 0, c2 = 0;
};
} // namespace

TEST_F(StudentManageTest, StatesAndTheirButtons)
{
    auto adding = open(0);
    EXPECT_EQ(adding->winState(), StudentManageController::Adding);
    EXPECT_EQ(buttons(*adding), "10011");
    EXPECT_TRUE(adding->textStudentID->isEnabled());
    EXPECT_TRUE(adding->textStudentID->text().isEmpty());
    adding->btnCancel->click();
    EXPECT_EQ(adding->winState(), StudentManageController::Browsing);
    EXPECT_EQ(buttons(*adding), "10000");
    EXPECT_FALSE(adding->textStudentID->isEnabled());

    auto editing = open(2);
    EXPECT_EQ(editing->winState(), StudentManageController::Modifying);
    EXPECT_EQ(editing->textStudentID->text(), "S2");
    EXPECT_EQ(editing->tblStudents->selectedRows(), QList<int>{1});
    EXPECT_EQ(buttons(*editing), "00011");
    editing->btnCancel->click();
    EXPECT_EQ(buttons(*editing), "11100");
    editing->btnModify->click();
    EXPECT_EQ(editing->winState(), StudentManageController::Modifying);
    // Choosing another row shows it for modifying; showing a student changes nothing, a new
    // birth date or address does.
    editing->tblStudents->selectRow(2);
    EXPECT_EQ(editing->textStudentID->text(), "S3");
    EXPECT_EQ(editing->studentNoToModify(), 3);
    EXPECT_FALSE(editing->isStudentInfoChanged());
    editing->birth->setDate(QDate(2002, 2, 2));
    EXPECT_TRUE(editing->isStudentInfoChanged());
}

TEST_F(StudentManageTest, ARefusedSaveKeepsTheEditsAndTheWindow)
{
    auto e = open(2);
    type(e->textStudentFirstName, "Bea");
    type(e->textStudentID, "");
    ASSERT_TRUE(e->isStudentInfoChanged());
    e->btnSave->click();
    EXPECT_EQ(answers.alertTexts(), QStringList{"Please enter the student ID."});
    EXPECT_EQ(e->winState(), StudentManageController::Modifying);
    EXPECT_TRUE(e->isStudentInfoChanged()) << "the flag goes only with a completed save";
    EXPECT_EQ(e->textStudentFirstName->text(), "Bea");

    // Close asks; Save tries the save, which is refused again: the window stays, edits and all.
    answers.answerAlert(0);
    e->btnClose->click();
    EXPECT_TRUE(e->isVisible());
    EXPECT_EQ(answers.alertTexts().mid(1), (QStringList{"Do you want to update?", "Please enter the student ID."}));
    // The close box does the same, and asks again the next time.
    answers.answerAlert(0);
    e->close();
    EXPECT_TRUE(e->isVisible());
    EXPECT_EQ(answers.alertTexts().size(), 5);
    EXPECT_EQ(e->textStudentFirstName->text(), "Bea");

    // Another row chosen meanwhile: the question, the refused save, and the row goes back.
    answers.answerAlert(0);
    e->tblStudents->selectRow(0);
    EXPECT_EQ(e->textStudentFirstName->text(), "Bea");
    EXPECT_EQ(e->tblStudents->selectedRows(), QList<int>{1});

    // Don't Save leaves the changes: the student as stored, then closing asks nothing.
    answers.answerAlert(1);
    e->btnCancel->click();
    EXPECT_EQ(e->textStudentID->text(), "S2");
    EXPECT_EQ(e->textStudentFirstName->text(), "N2");
    const int asked = int(answers.alertTexts().size());
    e->btnClose->click();
    EXPECT_FALSE(e->isVisible());
    EXPECT_EQ(answers.alertTexts().size(), asked);
    EXPECT_EQ(roster->getAllStudents()->at(1).firstName(), "N2");
}

TEST_F(StudentManageTest, ASavedStudentChangesInRosterAndEveryClassHoldingIt)
{
    ASSERT_TRUE(classes->addStudentWithData(student("S2", "N2", 9, 4), c2));
    auto e = open(2);
    HeardNotifications heard;
    type(e->textStudentFirstName, "Bea");
    type(e->textPhone, "555");
    e->btnSave->click();
    EXPECT_TRUE(answers.alerts().isEmpty()) << answers.alertTexts().join(" | ").toStdString();
    EXPECT_EQ(e->winState(), StudentManageController::Browsing);
    EXPECT_FALSE(e->isStudentInfoChanged());
    EXPECT_EQ(e->textStudentFirstName->text(), "Bea");
    EXPECT_EQ(e->tblStudents->selectedRows(), QList<int>{1});
    EXPECT_EQ(heard.notes, QStringList{"ClassChanged 0"});
    EXPECT_EQ(roster->getAllStudents()->at(1).firstName(), "Bea");
    const StudentEntity there = classes->getStudentListByClassNo(c2).first();
    EXPECT_EQ(there.firstName(), "Bea");
    EXPECT_EQ(there.telephone(), "555");
    EXPECT_EQ(there.groupNo(), 4);

    // A change of letter case only is refused: the class's own copy bears the ID.
    e->btnModify->click();
    type(e->textStudentID, "s2");
    e->btnSave->click();
    EXPECT_EQ(answers.alertTexts(), QStringList{"Student ID s2 already exists."});
    EXPECT_EQ(idsInClass(c1), (QStringList{"S1", "S2", "S3"}));
}

TEST_F(StudentManageTest, ANewStudentWhoseIdIsInTheRosterAsksFirst)
{
    ASSERT_TRUE(roster->addStudentWithData(student("R9", "Old")));
    auto e = open(0);
    type(e->textStudentID, "r9");
    type(e->textStudentLastName, "Only");
    answers.answerAlert(1);
    e->btnSave->click();
    EXPECT_EQ(answers.alertTexts(),
              QStringList{"Student ID r9 exists in student roster, do you want to update it before adding into the class?"});
    EXPECT_EQ(e->winState(), StudentManageController::Adding);
    EXPECT_EQ(idsInClass(c1).size(), 3);
    e->btnSave->click();
    EXPECT_EQ(idsInClass(c1).last(), "r9");
    EXPECT_EQ(roster->getAllStudents()->last().lastName(), "Only");
    EXPECT_EQ(roster->getAllStudents()->size(), 4) << "rewritten, not doubled";
    EXPECT_EQ(e->textStudentID->text(), "r9") << "the saved student shown";
}

TEST_F(StudentManageTest, AFailedWriteIsAnAlertAndTheEditsStay)
{
    auto e = open(1);
    type(e->textStudentFirstName, "Zed");
    const QByteArray before = readFile(roster->studentRosterFilePath());
    AtomicFile::setFailureHook([](const QString &) { return true; });
    e->btnSave->click();
    AtomicFile::setFailureHook({});
    EXPECT_EQ(answers.alertTexts(), QStringList{"The student could not be saved."});
    EXPECT_FALSE(answers.alerts().first().informativeText.isEmpty());
    EXPECT_EQ(readFile(roster->studentRosterFilePath()), before);
    EXPECT_EQ(e->winState(), StudentManageController::Modifying);
    EXPECT_TRUE(e->isStudentInfoChanged());
    EXPECT_FALSE(e->canClose());
}

// Another program changed the shown student (in the roster, this class or another class holding
// it) while the teacher typed: Save keeps the other program's file, says so and how to see it,
// and the typing stays in the window.
TEST_F(StudentManageTest, ASaveOverAStudentAnotherProgramChangedMeanwhileKeepsTheirsAndSaysSo)
{
    ASSERT_TRUE(classes->addStudentWithData(student("S2", "N2", 9, 4), c2));
    struct Row
    {
        const char *label;
        QString file;
        QByteArray from, to;
    };
    const Row rows[] = {
        {"the roster", roster->studentRosterFilePath(), "<ID>S2</ID><Name>N2<", "<ID>S2</ID><Name>Nora<"},
        {"this class", classes->pathByClassNo(c1), "<ID>S2</ID><FName>N2<", "<ID>S2</ID><FName>Nora<"},
        {"another class", classes->pathByClassNo(c2), "<ID>S2</ID><FName>N2<", "<ID>S2</ID><FName>Nora<"},
    };
    const QStringList files{roster->studentRosterFilePath(), classes->pathByClassNo(c1), classes->pathByClassNo(c2)};
    for (const Row &row : rows) {
        const qsizetype asked = answers.alerts().size();
        auto e = open(2);
        type(e->textStudentFirstName, "Bea");
        QMap<QString, QByteArray> before;
        for (const QString &f : files)
            before[f] = readFile(f);
        QByteArray theirs = before[row.file];
        ASSERT_EQ(theirs.count(row.from), 1) << row.label;
        theirs.replace(row.from, row.to);
        {
            QFile other(row.file);
            ASSERT_TRUE(other.open(QIODevice::WriteOnly | QIODevice::Truncate));
            ASSERT_EQ(other.write(theirs), theirs.size());
        }
        before[row.file] = theirs;

        QTest::mouseClick(e->btnSave, Qt::LeftButton);
        ASSERT_EQ(answers.alertTexts().mid(asked), QStringList{"The student could not be saved."}) << row.label;
        const QString said = answers.alerts().at(asked).informativeText;
        EXPECT_TRUE(said.contains(row.file + " was changed by another program since Pollix read it")) << said.toStdString();
        EXPECT_TRUE(said.contains("Close this window and open it again to see the other program's version"))
            << said.toStdString();
        for (const QString &f : files)
            EXPECT_EQ(readFile(f), before[f]) << row.label << ": " << f.toStdString();
        EXPECT_EQ(e->winState(), StudentManageController::Modifying) << row.label;
        EXPECT_EQ(e->textStudentFirstName->text(), "Bea") << row.label;
        EXPECT_TRUE(e->isStudentInfoChanged()) << row.label;

        // Opened again, the window shows the other program's version, and a save goes over it.
        answers.answerAlert(1);
        e->btnClose->click();
        ASSERT_FALSE(e->isVisible()) << row.label;
        auto again = open(2);
        EXPECT_EQ(again->textStudentFirstName->text(), "Nora") << row.label;
        EXPECT_EQ(again->textDeviceNo->text(), "2") << row.label << ": this class's own keypad";
        type(again->textStudentFirstName, "N2");
        QTest::mouseClick(again->btnSave, Qt::LeftButton);
        EXPECT_EQ(answers.alerts().size(), asked + 2) << row.label << ": " << answers.alertTexts().join(" | ").toStdString();
        EXPECT_EQ(again->winState(), StudentManageController::Browsing) << row.label;
    }
}

// The teacher's road from Class Setup: a double-click on a student, a phone number and a last
// name typed; meanwhile another program changes the student's last name in the school roster
// only, and Save is refused. Close, Don't Save, and a double-click on the student again: the
// form shows the roster's last name, which its save replaces, and Save saves over it.
TEST_F(StudentManageTest, AStudentOpenedAgainFromClassSetupShowsWhatItsSaveReplaces)
{
    ClassSetController::rosterWindows() = {};
    ClassSetController::rosterWindows().login = [](QWidget *) { return true; };
    const auto restore = qScopeGuard([] { ClassSetController::rosterWindows() = {}; });
    const QString rosterFile = roster->studentRosterFilePath(), classFile = classes->pathByClassNo(c1);
    ClassSetController setup;
    setup.setClassNo(c1);
    setup.awakeFromNib();
    setup.show();
    int row = -1;
    for (int r = 0; r < setup.tblStudents->rowCount(); ++r)
        for (int c = 0; c < setup.tblStudents->columnCount(); ++c)
            if (setup.tblStudents->item(r, c) && setup.tblStudents->item(r, c)->text() == "S2")
                row = r;
    ASSERT_GE(row, 0);
    const auto doubleClick = [&] {
        const QPoint cell = setup.tblStudents->visualItemRect(setup.tblStudents->item(row, 0)).center();
        QTest::mouseClick(setup.tblStudents->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(setup.tblStudents->viewport(), Qt::LeftButton, {}, cell);
    };

    RealAlerts alerts;
    alerts.click("OK");
    alerts.click("Don't Save");
    ModalDriver modals;
    QByteArray theirs;
    modals.on("StudentManage", [&](QWidget *window) {
        auto *e = static_cast<StudentManageController *>(window);
        EXPECT_EQ(e->textStudentLastName->text(), "L");
        type(e->textPhone, "0123");
        type(e->textStudentLastName, "Mine");
        theirs = AnotherProgram::changeInPlace(rosterFile, "<ID>S2</ID><Name>N2</Name><LastName>L<",
                                               "<ID>S2</ID><Name>N2</Name><LastName>Shellchanged<");
        QTest::mouseClick(e->btnSave, Qt::LeftButton);
        EXPECT_EQ(readFile(rosterFile), theirs);
        QTest::mouseClick(e->btnClose, Qt::LeftButton);
    });
    modals.on("StudentManage", [&](QWidget *window) {
        auto *e = static_cast<StudentManageController *>(window);
        EXPECT_EQ(e->textStudentLastName->text(), "Shellchanged");
        EXPECT_EQ(e->textPhone->text(), "");
        type(e->textPhone, "0456");
        QTest::mouseClick(e->btnSave, Qt::LeftButton);
        EXPECT_EQ(e->winState(), StudentManageController::Browsing);
        QTest::mouseClick(e->btnClose, Qt::LeftButton);
    });
    doubleClick();
    ASSERT_EQ(alerts.seen().size(), 2) << alerts.seen().join(" / ").toStdString() << " in "
                                       << modals.opened().join(", ").toStdString();
    EXPECT_TRUE(alerts.seen().at(0).startsWith("The student could not be saved. | ")) << alerts.seen().at(0).toStdString();
    EXPECT_TRUE(alerts.seen().at(0).contains(rosterFile + " was changed by another program since Pollix read it"));
    EXPECT_EQ(alerts.seen().at(1), "Do you want to update?");
    EXPECT_EQ(modals.opened().count("StudentManage"), 1);
    doubleClick();
    EXPECT_EQ(modals.opened().count("StudentManage"), 2);
    EXPECT_EQ(alerts.seen().size(), 2) << alerts.seen().join(" / ").toStdString();
    for (const QString &file : {rosterFile, classFile}) {
        EXPECT_TRUE(readFile(file).contains("Shellchanged<")) << file.toStdString();
        EXPECT_TRUE(readFile(file).contains("<Telephone>0456</Telephone>")) << file.toStdString();
    }
}

TEST_F(StudentManageTest, DeleteTakesTheStudentFromRosterAndThisClassOnly)
{
    ASSERT_TRUE(classes->addStudentWithData(student("S1"), c2));
    auto e = open(1);
    e->btnCancel->click();
    answers.answerAlert(1);
    e->btnDelete->click();
    EXPECT_EQ(answers.alertTexts(), QStringList{"Are you sure to delete the student : S1"});
    EXPECT_EQ(e->textStudentID->text(), "S1") << "cancelled: shown again";
    EXPECT_EQ(e->tblStudents->selectedRows(), QList<int>{0});
    e->btnDelete->click();
    EXPECT_EQ(idsInClass(c1), (QStringList{"S2", "S3"}));
    EXPECT_EQ(idsInRoster(), (QStringList{"S2", "S3"}));
    EXPECT_EQ(idsInClass(c2), QStringList{"S1"});
    EXPECT_TRUE(e->textStudentID->text().isEmpty());
    EXPECT_FALSE(e->btnDelete->isEnabled());
}

TEST_F(StudentManageTest, AFullClassTakesNoNewStudentAndLargeFamiliesHideTheKeypad)
{
    auto e = open(1);
    e->btnCancel->click();
    ASSERT_TRUE(classes->addSomeStudents(students("F", 397), c1));
    e->btnAdd->click();
    EXPECT_EQ(answers.alertTexts(), QStringList{"The max number of students in a class is 400"});
    EXPECT_EQ(e->winState(), StudentManageController::Browsing);

    useDeviceType(3);
    auto large = open(0, 1);
    EXPECT_TRUE(large->textDeviceNo->isHidden());
    EXPECT_EQ(large->tblStudents->columnCount(), 2);
    type(large->textStudentID, "N1");
    type(large->textStudentFirstName, "Ann");
    large->btnSave->click();
    EXPECT_EQ(classes->getStudentListByClassNo(c2).first().deviceNo(), 1);
}

TEST_F(StudentManageTest, SwitchingClassAsksBeforeDroppingEdits)
{
    auto e = open(2);
    type(e->textStudentFirstName, "Bea");
    answers.answerAlert(1); // leave the changes
    HeardNotifications heard;
    choose(e->comboClass, 1);
    EXPECT_EQ(answers.alertTexts(), QStringList{"Do you want to update?"});
    EXPECT_EQ(heard.notes, QStringList{"ClassChanged 1"});
    EXPECT_EQ(e->winState(), StudentManageController::Browsing);
    EXPECT_TRUE(e->textStudentID->text().isEmpty());
    EXPECT_FALSE(e->textStudentID->isEnabled());
    EXPECT_EQ(e->tblStudents->rowCount(), 0);
}

TEST_F(StudentManageTest, StudentsTypedWhereTheKeypadNumberIsHiddenTakeTheNextFreeNumbers)
{
    // The class holds keypads 1 to 3; a Dravel receiver hides the number field.
    useDeviceType(3);
    auto e = open(0);
    EXPECT_TRUE(e->textDeviceNo->isHidden());
    ASSERT_TRUE(e->btnAdd->isEnabled()) << "the window opened for typing offers Add at once";
    for (const char *id : {"T1", "T2"}) {
        QTest::mouseClick(e->btnAdd, Qt::LeftButton);
        type(e->textStudentID, id);
        type(e->textStudentFirstName, "New");
        QTest::mouseClick(e->btnSave, Qt::LeftButton);
    }
    QList<int> numbers;
    for (const StudentEntity &s : classes->getStudentListByClassNo(c1))
        numbers << s.deviceNo();
    std::sort(numbers.begin(), numbers.end());
    EXPECT_EQ(numbers, QList<int>({1, 2, 3, 4, 5}));
    EXPECT_TRUE(answers.alerts().isEmpty()) << answers.alertTexts().join(" ").toStdString();
}

TEST_F(StudentManageTest, CancelAsksBeforeANewStudentTypedInIsDropped)
{
    auto e = open(0);
    type(e->textStudentID, "S9");
    answers.answerAlert(2); // Cancel: back to the form
    QTest::mouseClick(e->btnCancel, Qt::LeftButton);
    EXPECT_EQ(answers.alertTexts(), QStringList{"Do you want to update?"});
    EXPECT_EQ(e->textStudentID->text(), "S9");
    EXPECT_EQ(e->winState(), StudentManageController::Adding);
    answers.answerAlert(1); // Don't Save: drop it
    QTest::mouseClick(e->btnCancel, Qt::LeftButton);
    EXPECT_TRUE(e->textStudentID->text().isEmpty());
    EXPECT_EQ(e->winState(), StudentManageController::Browsing);
    EXPECT_EQ(classes->getStudentListByClassNo(c1).size(), 3);
}

TEST_F(StudentManageTest, EveryWayFromUnsavedEditsAsksOneQuestionWithAWayBack)
{
    const QStringList question{"Save", "Don't Save", "Cancel"};
    auto e = open(2);
    e->show();
    type(e->textStudentFirstName, "Bea");
    // Cancel while modifying, another row, another class, Escape and Close: the same question
    // each time, and its Cancel leaves the student and the edits as they were.
    const std::function<void()> ways[] = {
        [&] { QTest::mouseClick(e->btnCancel, Qt::LeftButton); },
        [&] { e->tblStudents->selectRow(0); },
        [&] { choose(e->comboClass, 1); },
        [&] { QTest::keyClick(e.get(), Qt::Key_Escape); },
        [&] { QTest::mouseClick(e->btnClose, Qt::LeftButton); },
    };
    for (const auto &way : ways) {
        const qsizetype asked = answers.alerts().size();
        answers.answerAlert(2); // Cancel
        way();
        ASSERT_EQ(answers.alerts().size(), asked + 1);
        EXPECT_EQ(answers.alerts().last().text, "Do you want to update?");
        EXPECT_EQ(answers.alerts().last().buttons, question);
        EXPECT_TRUE(e->isVisible());
        EXPECT_EQ(e->winState(), StudentManageController::Modifying);
        EXPECT_EQ(e->textStudentFirstName->text(), "Bea");
        EXPECT_EQ(e->tblStudents->selectedRows(), QList<int>{1});
        EXPECT_EQ(e->comboClass->currentIndex(), 0);
    }
    EXPECT_EQ(roster->getAllStudents()->at(1).firstName(), "N2") << "nothing written while editing";

    // A new student's form asks the very same question.
    answers.answerAlert(1); // drop the edits of S2
    QTest::mouseClick(e->btnCancel, Qt::LeftButton);
    EXPECT_EQ(e->textStudentFirstName->text(), "N2");
    QTest::mouseClick(e->btnAdd, Qt::LeftButton);
    ASSERT_EQ(e->winState(), StudentManageController::Adding);
    type(e->textStudentID, "S9");
    answers.answerAlert(2);
    QTest::mouseClick(e->btnCancel, Qt::LeftButton);
    EXPECT_EQ(answers.alerts().last().buttons, question);
    EXPECT_EQ(e->textStudentID->text(), "S9");

    // Save from Cancel saves, and the saved student is shown for browsing.
    type(e->textStudentFirstName, "Sia");
    answers.answerAlert(0);
    QTest::mouseClick(e->btnCancel, Qt::LeftButton);
    EXPECT_EQ(e->winState(), StudentManageController::Browsing);
    EXPECT_EQ(idsInClass(c1).last(), "S9");
    EXPECT_EQ(e->textStudentID->text(), "S9");
}

// The question before a student's edits go, answered on the real alert as the teacher does: its
// buttons show whole and say what they do; its Cancel, Escape and close box go back to the form
// with the edits, whether Close or a click on another student asked; Don't Save and Save do what
// they say.
TEST_F(StudentManageTest, TheQuestionsCancelEscapeAndCloseBoxGoBackToTheEdits)
{
    auto e = open(2);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(e.get(), kEventWaitMs));
    type(e->textPhone, "555 0142");
    const auto clickRow = [&](int row) {
        QTest::mouseClick(e->tblStudents->viewport(), Qt::LeftButton, {},
                          e->tblStudents->visualRect(e->tblStudents->model()->index(row, 0)).center());
    };
    QStringList labels;
    int cutLabels = 0;
    const auto lookAtButtons = [&] {
        auto *alert = qobject_cast<PollixAlert *>(QApplication::activeModalWidget());
        if (!alert)
            return;
        labels.clear();
        for (int i = 0; i < alert->buttonCount(); ++i) {
            auto *b = alert->findChild<QPushButton *>(QStringLiteral("alertButton%1").arg(i));
            labels << b->text();
            // Below its size hint a button cuts its label at both ends.
            if (b->width() < b->sizeHint().width())
                ++cutLabels;
        }
    };
    QTimer looker;
    QObject::connect(&looker, &QTimer::timeout, lookAtButtons);
    looker.start(1);

    using Way = RealAlerts::Way;
    const std::pair<const char *, std::function<void()>> asks[] = {
        {"Close", [&] { QTest::mouseClick(e->btnClose, Qt::LeftButton); }},
        {"another student", [&] { clickRow(0); }},
    };
    for (const auto &[name, ask] : asks) {
        for (int way = 0; way < 3; ++way) {
            SCOPED_TRACE(std::string(name) + ", way " + std::to_string(way));
            RealAlerts real;
            if (way == 0)
                real.click(QStringLiteral("Cancel"));
            else
                real.leave(way == 1 ? Way::Escape : Way::CloseBox);
            ask();
            EXPECT_EQ(real.seen(), QStringList{"Do you want to update?"});
            EXPECT_TRUE(real.allTaken());
            EXPECT_EQ(real.unanswered(), 0);
            EXPECT_EQ(real.stuck(), 0);
            EXPECT_TRUE(e->isVisible());
            EXPECT_EQ(e->winState(), StudentManageController::Modifying);
            EXPECT_TRUE(e->isStudentInfoChanged());
            EXPECT_EQ(e->textStudentID->text(), "S2");
            EXPECT_EQ(e->textPhone->text(), "555 0142");
            EXPECT_EQ(e->tblStudents->selectedRows(), QList<int>{1});
        }
    }
    EXPECT_EQ(labels, (QStringList{"Save", "Don't Save", "Cancel"}));
    EXPECT_EQ(cutLabels, 0);
    EXPECT_TRUE(roster->getAllStudents()->at(1).telephone().isEmpty()) << "nothing written while asking";

    // Don't Save, from a click on another student: that student is shown, S2 stays as stored.
    {
        RealAlerts real;
        real.click(QStringLiteral("Don't Save"));
        clickRow(0);
        EXPECT_EQ(e->textStudentID->text(), "S1");
        EXPECT_FALSE(e->isStudentInfoChanged());
    }
    EXPECT_TRUE(roster->getAllStudents()->at(1).telephone().isEmpty());

    // Save, from Close: written to the roster and the class, and the window closes.
    type(e->textPhone, "555 0199");
    {
        RealAlerts real;
        real.click(QStringLiteral("Save"));
        QTest::mouseClick(e->btnClose, Qt::LeftButton);
        EXPECT_EQ(real.seen(), QStringList{"Do you want to update?"});
    }
    EXPECT_FALSE(e->isVisible());
    EXPECT_EQ(roster->getAllStudents()->at(0).telephone(), "555 0199");
    EXPECT_EQ(classes->getStudentListByClassNo(c1).first().telephone(), "555 0199");
}

// The list of students is seen whole beside the form: a click on another student's name, the
// way the teacher moves on, does not slide the list sideways and cut the IDs ("001" for "S001").
TEST_F(StudentManageTest, TheStudentListShowsItsColumnsWholeAndStaysPutWhenANameIsClicked)
{
    // A class longer than the list, as most are: the list scrolls up and down.
    ASSERT_TRUE(roster->addSomeStudentsToRoster(students("T", 24)));
    ASSERT_TRUE(classes->addSomeStudents(students("T", 24), c2));
    for (int type : {3, 1}) {
        SCOPED_TRACE("device type " + std::to_string(type));
        useDeviceType(type);
        auto e = open(1, 1);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(e.get(), kEventWaitMs));
        StudentTableView *list = e->tblStudents;
        ASSERT_EQ(list->rowCount(), 24);
        ASSERT_TRUE(list->verticalScrollBar()->isVisible());
        const int lastColumn = list->columnCount() - 1;
        EXPECT_LE(list->horizontalHeader()->length(), list->viewport()->width()) << "no sideways scrolling";
        // The name as the teacher sees it, towards the list's right edge.
        const QRect name = list->visualRect(list->model()->index(2, lastColumn));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          QPoint(std::min(name.right(), list->viewport()->width()) - 4, name.center().y()));
        EXPECT_EQ(list->selectedRows(), QList<int>{2});
        QCoreApplication::processEvents();
        EXPECT_EQ(list->horizontalScrollBar()->value(), 0);
        EXPECT_EQ(list->visualRect(list->model()->index(2, 0)).left(), 0) << "the ID column starts at the edge";
        EXPECT_TRUE(Shots::drew(e.get(), QStringLiteral("students of a long class, type %1").arg(type)));
    }
}

// The longest names a student may have: 20 letters each typed in the form, and a last name of 30
// letters from a CSV file, with IDs of 12 characters, in a class longer than the list. On a
// small screen and on a laptop's, the IDs and keypad numbers are read whole, the names are cut,
// and a click on a long name, the way the teacher moves on, leaves the list where it is.
TEST_F(StudentManageTest, TheLongestNamesLeaveEveryIdWholeAndAClickLeavesTheListWhereItIs)
{
    for (const QSize screen : {QSize(1024, 768), QSize(1366, 768)})
        EXPECT_EQ(XvfbRun::run(QStringLiteral("StudentManageTest.OnX11TheLongestNamesLeaveEveryIdWhole"), {screen, true}), 0)
            << screen.width() << " x " << screen.height();
}

// Run on a private Xvfb by TheLongestNamesLeaveEveryIdWholeAndAClickLeavesTheListWhereItIs.
TEST_F(StudentManageTest, OnX11TheLongestNamesLeaveEveryIdWhole)
{
    ScreenFit::keepWindowsOnScreen();
    StudentEntity typed = student("WM2024000031", "Maximilianwolfgangus", 31);
    typed.setLastName("Wolfeschlegelsteinha");
    ASSERT_TRUE(roster->addSomeStudentsToRoster(students("T", 24) << typed));
    ASSERT_TRUE(classes->addSomeStudents(students("T", 24) << typed, c2));
    const QString csv = writeFile("long.csv", "Device NO.,Student ID,First Name,Last Name\r\n"
                                              "40,MW2024000040,Bartholomew,Oppenheimerwolfeschlegelsteinb\r\n");
    ImportPreviewState state(ImportItemsForStudent(1).allImportItems());
    QString why;
    ASSERT_EQ(state.loadFile(csv, &why), TovImportPreviewData::Loaded) << why.toStdString();
    RosterImporter importer;
    importer.setClassNoToImport(c2, "9A");
    ASSERT_TRUE(importer.importStudentsUsingPreviewResultData(RosterImporter::studentsFromRecords(state.resultData())));

    const QSize size = QGuiApplication::primaryScreen()->size();
    const QString screen = QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
    for (int type : {3, 1}) {
        SCOPED_TRACE("device type " + std::to_string(type) + " on " + screen.toStdString());
        useDeviceType(type);
        auto e = open(1, 1);
        ASSERT_TRUE(WindowOnScreen::settled(e.get())) << WindowOnScreen::describe(e.get());
        EXPECT_TRUE(WindowOnScreen::problems(e.get()).isEmpty()) << WindowOnScreen::problems(e.get()).join("; ").toStdString();
        StudentTableView *list = e->tblStudents;
        ASSERT_EQ(list->rowCount(), 26);
        ASSERT_EQ(list->columnIdentifiers().value(1), "studentFullName");
        for (const QString id : {"WM2024000031", "MW2024000040"}) {
            const QList<QTableWidgetItem *> found = list->findItems(id, Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1) << id.toStdString();
            const QModelIndex name = list->model()->index(found.first()->row(), 1);
            EXPECT_FALSE(TableLook::showsWhole(list, name)) << "the name is cut";
            EXPECT_EQ(TableLook::clickAndScrolledBy(list, name), 0) << id.toStdString();
            EXPECT_EQ(list->selectedRows(), QList<int>{name.row()});
            EXPECT_FALSE(list->horizontalScrollBar()->isVisible());
            EXPECT_LE(list->horizontalHeader()->length(), list->viewport()->width());
        }
        WindowOnScreen::shot(QStringLiteral("students-%1-type%2").arg(screen).arg(type));
        // Every ID, and under a receiver of keypad numbers every number, is read whole.
        for (int column = 0; column < list->columnCount(); ++column) {
            if (column == 1)
                continue;
            EXPECT_EQ(TableLook::cutIn(list, column).join("; ").toStdString(), "")
                << list->columnIdentifiers().value(column).toStdString();
        }
        EXPECT_EQ(list->columnCount(), type == 1 ? 3 : 2);
    }
}

// A class longer than the list: the student the teacher clicked, shown in the form, stays the
// one chosen, in sight, and the row the arrow keys go on from, after a click on a column's title
// sorts the list (it went out of sight, the keys going on from another row).
TEST_F(StudentManageTest, TheStudentInTheFormStaysChosenAndInSightWhenATitleClickSortsTheList)
{
    QList<StudentEntity> many;
    for (int i = 1; i <= 30; ++i)
        many << student(QStringLiteral("L%1").arg(i, 2, 10, QLatin1Char('0')), QStringLiteral("N%1").arg(99 - i), i);
    ASSERT_TRUE(roster->addSomeStudentsToRoster(many));
    ASSERT_TRUE(classes->addSomeStudents(many, c2));
    auto e = open(0, 1);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(e.get()));
    StudentTableView *list = e->tblStudents;
    const int last = list->rowCount() - 1;
    ASSERT_EQ(list->item(last, 0)->text(), "L30");
    EXPECT_EQ(TableLook::clickAndScrolledBy(list, list->model()->index(last, 1)), 0);
    ASSERT_EQ(e->textStudentID->text(), "L30");

    const int name = int(list->columnIdentifiers().indexOf("studentFullName"));
    for (int column : {name, name, 0}) {
        TableLook::clickTitle(list, column);
        const QList<int> chosen = list->selectedRows();
        ASSERT_EQ(chosen.size(), 1) << "column " << column;
        EXPECT_EQ(list->item(chosen.first(), 0)->text(), "L30") << "column " << column;
        EXPECT_TRUE(TableLook::rowInSightAndCurrent(list, chosen.first())) << "column " << column;
        EXPECT_EQ(e->textStudentID->text(), "L30");
    }
}
