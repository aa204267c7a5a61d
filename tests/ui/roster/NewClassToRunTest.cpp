// A teacher's first class, from the class set-up to a quiz run on it: a new subject, teacher
// and class "8C"; ten students copied from the roster and two typed in; three groups, one
// student moved by hand; then a normal quiz on a simulated Dravel receiver, saved as a session.
// With a picture folder set (./dev shots), every window is saved there as a picture on the way.

#include "core/keypad/DeviceController.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovConfigXmlDatabase.h"
#include "core/store/TovStudentRoster.h"
#include "support/DialogAnswers.h"
#include "support/MainWindowForRuns.h"
#include "support/ModalDriver.h"
#include "support/Shots.h"
#include "ui/app/TabController.h"
#include "ui/controls/AddressTextView.h"
#include "ui/controls/PollixAlert.h"
#include "ui/roster/AddStudentModeController.h"
#include "ui/roster/ClassEditController.h"
#include "ui/roster/ClassManageController.h"
#include "ui/roster/ClassSetController.h"
#include "ui/roster/GenderMatrix.h"
#include "ui/roster/GroupManageController.h"
#include "ui/roster/GroupOutlineModel.h"
#include "ui/roster/GroupStudentManualController.h"
#include "ui/roster/StudentManageController.h"
#include "ui/roster/StudentTableView.h"
#include "ui/roster/SubjectEditController.h"
#include "ui/roster/TeacherEditController.h"
#include "ui/run/RunWindowFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMimeData>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeView>

using keypadsim::Model;
using keypadsim::SimReceiver;

namespace {
template <typename Window>
Window *as(QWidget *w)
{
    auto *window = qobject_cast<Window *>(w);
    EXPECT_NE(window, nullptr) << w->objectName().toStdString();
    return window;
}

class NewClassToRunTest : public RunWindowFixture
{
protected:
    void SetUp() override
    {
        RunWindowFixture::SetUp();
        useMainWindowForRuns();
    }
    void TearDown() override
    {
        TabController::resetHooks();
        RunWindowFixture::TearDown();
    }

    static void shot(QWidget *w, const QString &name) { saveShot(w, name); }
    // An alert over a window, looked at as it draws.
    static void alertDrew(QWidget *over, const QString &text, const QString &name)
    {
        PollixAlert alert(QStringLiteral("Pollix ARS"), text, {QStringLiteral("OK")}, {}, over);
        alert.QMessageBox::show();
        EXPECT_TRUE(Shots::drew(&alert, name));
        alert.close();
    }

    void fillRoster()
    {
        QList<StudentEntity> roster;
        const QStringList first{"Ada", "Ben", "Cai", "Dora", "Eli", "Fay", "Gus", "Hana", "Ivo", "Jun", "Kim", "Lev",
                                "Mia", "Ned"};
        for (int i = 0; i < first.size(); ++i) {
            StudentEntity s;
            s.setId(QStringLiteral("R%1").arg(i + 1, 2, 10, QLatin1Char('0')));
            s.setFirstName(first.at(i));
            s.setLastName(QStringLiteral("Roster"));
            s.setGender(1 + i % 2);
            s.setBirthday(QDateTime(QDate(2011, 1 + i % 12, 3), QTime(0, 0)));
            roster << s;
        }
        ASSERT_TRUE(TovStudentRoster::sharedUI()->addSomeStudentsToRoster(roster));
    }

    static void typeStudent(ClassManageController *m, const QString &id, const QString &first, const QString &last)
    {
        for (auto [field, text] : {std::pair{m->textStudentID, id}, std::pair{m->textStudentFirstName, first},
                                   std::pair{m->textStudentLastName, last}}) {
            field->setFocus();
            field->selectAll();
            QTest::keyClicks(field, text);
        }
    }
};
} // namespace

TEST_F(NewClassToRunTest, ANewClassFromTheClassSetUpRunsAQuiz)
{
    SimReceiver *sim = plugIn(Model::Dravel);
    ASSERT_TRUE(sim);
    ASSERT_TRUE(waitFor([&] { return app()->getBHaveDevice(); }));
    ASSERT_TRUE(TovConfigXmlDatabase::sharedConfigUI()->updateSendQuestionState(0));
    fillRoster();
    app()->setIsLogin(true);

    TabController tab;
    tab.awakeFromNib();
    ModalDriver modals;
    DialogAnswers answers;

    modals.on("ClassSet", [&](QWidget *w) {
        auto *setUp = as<ClassSetController>(w);
        shot(setUp, "01-ClassSet-empty");
        setUp->buttonEditSubject->click();
        setUp->buttonEditTeacher->click();
        setUp->buttonEditClass->click();
        EXPECT_EQ(setUp->className(), "8C");
        EXPECT_EQ(setUp->students().size(), 12);
        setUp->buttonStudentGrouping->click();
        EXPECT_EQ(setUp->subjectName(), "Science");
        EXPECT_EQ(setUp->teacherName(), "Mary Major");
        shot(setUp, "10-ClassSet-8C");
        setUp->buttonOk->click();
    });
    modals.on("SubjectEdit", [&](QWidget *w) {
        auto *editor = as<SubjectEditController>(w);
        editor->textSubjectName->setText("Science");
        shot(editor, "02-SubjectEdit");
        editor->btnAdd->click();
        editor->tabView->setCurrentIndex(2);
        shot(editor, "02-SubjectEdit-modify");
        editor->btnCancel->click();
    });
    modals.on("TeacherEdit", [&](QWidget *w) {
        auto *editor = as<TeacherEditController>(w);
        editor->textFirstName_Add->setText("Mary");
        editor->textLastName_Add->setText("Major");
        editor->textTitle_Add->setText("Ms");
        editor->textPhone_Add->setText("555 0199");
        editor->matrixGender_Add->selectCellAtColumn(1);
        editor->textAddress_Add->setPlainText("12 School Lane");
        shot(editor, "03-TeacherEdit");
        editor->btnAdd->click();
        editor->tabView->setCurrentIndex(1);
        shot(editor, "03-TeacherEdit-delete");
        editor->tabView->setCurrentIndex(2);
        shot(editor, "03-TeacherEdit-modify");
        editor->btnCancel->click();
    });
    modals.on("ClassEdit", [&](QWidget *w) {
        auto *editor = as<ClassEditController>(w);
        editor->textClassName->setText("8C");
        shot(editor, "04-ClassEdit");
        editor->btnAdd->click();
    });
    modals.on("AddStudentMode", [&](QWidget *w) {
        auto *mode = as<AddStudentModeController>(w);
        w->findChild<QRadioButton *>("modeToAddStudents_1")->click();
        shot(mode, "05-AddStudentMode");
        mode->btnOK->click();
    });
    modals.on("ClassManage", [&](QWidget *w) {
        auto *manager = as<ClassManageController>(w);
        EXPECT_EQ(manager->comboClass1->currentText(), "8C");
        QList<int> ten;
        for (int i = 0; i < 10; ++i)
            ten << i;
        manager->tblStudentRoster->selectRows(ten);
        shot(manager, "06-ClassManage-roster");
        manager->btnAddFromRoster->click();
        EXPECT_EQ(manager->tblStudentInClass1->rowCount(), 10);
        manager->tabView->setCurrentIndex(1);
        typeStudent(manager, "N01", "Nina", "New");
        manager->textPhone->setText("555 0101");
        shot(manager, "07-ClassManage-new");
        manager->btnAddNew->click();
        typeStudent(manager, "N02", "Omar", "New");
        manager->btnAddNew->click();
        EXPECT_EQ(manager->tblStudentInClass2->rowCount(), 12);
        shot(manager, "07-ClassManage-added");
        manager->btnClose->click();
    });
    modals.on("GroupManage", [&](QWidget *w) {
        auto *grouping = as<GroupManageController>(w);
        grouping->txtGroup->setText("3");
        grouping->btnOrder->click();
        shot(grouping, "08-GroupManage");
        grouping->btnManual->click();
        grouping->btnClose->click();
    });
    modals.on("GroupStudentManual", [&](QWidget *w) {
        auto *manual = as<GroupStudentManualController>(w);
        GroupOutlineModel *model = manual->model();
        ASSERT_EQ(model->rowCount(), 3);
        // The first student of group 1 is dragged onto group 2.
        const QModelIndex group1 = model->index(0, 0), group2 = model->index(1, 0);
        std::unique_ptr<QMimeData> data(model->mimeData({model->index(0, 0, group1)}));
        ASSERT_TRUE(data);
        model->dropMimeData(data.get(), Qt::MoveAction, -1, 0, group2);
        EXPECT_EQ(model->rowCount(model->index(0, 0)), 3);
        EXPECT_EQ(model->rowCount(model->index(1, 0)), 5);
        shot(manual, "09-GroupStudentManual");
        manual->btnSave->click();
    });

    tab.btnClassSet->click();
    EXPECT_EQ(modals.opened(), (QStringList{"ClassSet", "SubjectEdit", "TeacherEdit", "ClassEdit", "AddStudentMode",
                                            "ClassManage", "GroupManage", "GroupStudentManual"}));
    EXPECT_TRUE(answers.alerts().isEmpty()) << answers.alertTexts().join(" | ").toStdString();
    ASSERT_TRUE(tab.bIsClassSetted());

    // Stored: the roster took the two typed students, the class its twelve in three groups.
    auto *classes = TovClassXmlDatabase::sharedClassUI();
    const int no = classes->classNoByName("8C");
    const QList<StudentEntity> inClass = classes->getStudentListByClassNo(no);
    ASSERT_EQ(inClass.size(), 12);
    QList<int> sizes(3, 0);
    for (const StudentEntity &s : inClass)
        ++sizes[s.groupNo() - 1];
    EXPECT_EQ(sizes, (QList<int>{3, 5, 4}));
    EXPECT_EQ(TovStudentRoster::sharedUI()->getAllStudents()->size(), 16);
    auto *qpd = QuizParticipantData::shareManager();
    EXPECT_EQ(qpd->className(), "8C");
    EXPECT_EQ(qpd->arrayClassStudents().size(), 12);
    EXPECT_EQ(qpd->maxGroupNo(), 3);

    // A quiz on the new class: a roster student and a typed-in one log in and answer.
    const QString path = questionFile({{0, QStringLiteral("B"), 10}});
    answers.answerFile(path);
    tab.btnLoad->click();
    ASSERT_TRUE(tab.btnStart->isEnabled());
    tab.btnStart->click();
    for (QWidget *top : QApplication::topLevelWidgets())
        if (auto *run = qobject_cast<QuizStateWindowController *>(top))
            window = run;
    ASSERT_TRUE(window);
    sim->login(0x0101, QStringLiteral("R01"), QStringLiteral("Ada"));
    sim->login(0x0102, QStringLiteral("N01"), QStringLiteral("Nina"));
    ASSERT_TRUE(waitFor([&] { return grid()->count() == 2 && keypadsLoggedIn(sim, 0x0101, 2); }));
    sim->pressTeacherKey(0x8A);
    ASSERT_TRUE(waitFor([&] { return window->bStartFlag(); }));
    sim->answer(0x0101, QStringLiteral("B"));
    sim->answer(0x0102, QStringLiteral("C"));
    ASSERT_TRUE(waitFor([&] { return label("txtLoginAndAnswered") == QStringLiteral("2 / 2"); }));
    shot(window, "11-Run");
    seconds(11);
    ASSERT_TRUE(waitFor([&] { return !window->bStartFlag(); }));

    // Exit, confirmed; the session is saved.
    modals.on("SaveToData", [&](QWidget *w) {
        w->findChild<QPushButton *>("buttonOK")->click();
    });
    button("btnExit")->click();
    ASSERT_TRUE(waitFor([&] { return window.isNull(); }));
    const QStringList sessions = QDir(app()->strQuizXmlDataFilePath()).entryList(QDir::Files);
    ASSERT_EQ(sessions.size(), 1);
    const QByteArray session = readFile(QDir(app()->strQuizXmlDataFilePath()).filePath(sessions.first()));
    EXPECT_TRUE(session.contains("8C"));
    EXPECT_TRUE(session.contains("N01"));
    EXPECT_TRUE(session.contains("Mary Major"));
    EXPECT_TRUE(session.contains("Science"));
}

// The student roster editor and its alert, as they draw.
TEST_F(NewClassToRunTest, StudentEditorPictures)
{
    DeviceController::ShareDeviceController()->setCurDeviceType(1);
    fillRoster();
    auto *classes = TovClassXmlDatabase::sharedClassUI();
    const int no = classes->addClassWithName("8C");
    ASSERT_TRUE(classes->addSomeStudents(TovStudentRoster::sharedUI()->getAllStudents().value(), no));
    StudentManageController editor;
    editor.setStudentToModify(2, 0);
    editor.awakeFromNib();
    editor.show();
    EXPECT_TRUE(Shots::drew(&editor, "12-StudentManage-modify"));
    editor.btnCancel->click();
    EXPECT_TRUE(Shots::drew(&editor, "12-StudentManage-browse"));
    alertDrew(&editor, QStringLiteral("Please enter the student ID."), "12-StudentManage-alert");
}
