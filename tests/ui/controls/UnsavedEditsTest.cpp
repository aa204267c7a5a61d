// Every window that holds edits the teacher typed is left the same ways (Escape, the close box,
// its own Cancel or Close button), and every one of them asks first: keeping on editing leaves
// the window up with the edit, dropping the edits closes it.

#include "support/DialogAnswers.h"
#include "support/PollixTest.h"
#include "support/RealAlerts.h"

#include "core/authoring/StandardTree.h"
#include "core/roster/ImportItemsForStudent.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovStudentRoster.h"
#include "ui/app/LoginSetCtrl.h"
#include "ui/authoring/StandardController.h"
#include "ui/authoring/StandardOutlineModel.h"
#include "ui/authoring/StandardSettingController.h"
#include "ui/reports/CreateNewSessionController.h"
#include "ui/roster/ClassEditController.h"
#include "ui/roster/GroupOutlineModel.h"
#include "ui/roster/GroupStudentManualController.h"
#include "ui/roster/ImportPreviewController.h"
#include "ui/roster/StudentManageController.h"
#include "ui/roster/TeacherEditController.h"

#include <QApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTreeView>

#include <functional>
#include <memory>

namespace {

// One window that can hold edits: how to open it with an edit typed, whether the edit is still
// there, which button leaves it, and which answers of its question keep or drop the edit.
struct HeldWindow
{
    QString name;
    std::function<std::unique_ptr<QWidget>()> openWithEdit;
    std::function<bool(QWidget *)> editKept;
    QString leaveButton;
    int keepEditing;
    int dropEdits;
};

enum class Way { Escape, CloseBox, LeaveButton };

class UnsavedEditsTest : public PollixTest
{
protected:
    void SetUp() override
    {
        PollixTest::SetUp();
        classNo = TovClassXmlDatabase::sharedClassUI()->addClassWithName(QStringLiteral("8C"));
        QList<StudentEntity> students;
        for (int i = 1; i <= 3; ++i) {
            StudentEntity s;
            s.setId(QStringLiteral("S%1").arg(i));
            s.setFirstName(QStringLiteral("N%1").arg(i));
            s.setDeviceNo(i);
            s.setGroupNo(1);
            students << s;
        }
        ASSERT_TRUE(TovStudentRoster::sharedUI()->addSomeStudentsToRoster(students));
        ASSERT_TRUE(TovClassXmlDatabase::sharedClassUI()->addSomeStudents(students, classNo));
        writeFile(QStringLiteral("Template.xml"), testData(QStringLiteral("authoring/standards-round-trip/Template.xml")));
        csv = writeFile(QStringLiteral("roster.csv"), "1,A1,Ann,Lee\r\n2,B2,Bo,Chan\r\n");
    }

    // Types into a field the way the teacher does: focus, then keys.
    static void type(QWidget *field, const QString &text)
    {
        field->setFocus();
        QTest::keyClicks(field, text);
    }

    static void show(QWidget *w)
    {
        w->show();
        QApplication::setActiveWindow(w);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    }

    QList<HeldWindow> windows()
    {
        QList<HeldWindow> out;
        out << HeldWindow{QStringLiteral("student editor"),
                          [] {
                              auto e = std::make_unique<StudentManageController>();
                              e->setStudentToModify(0, 0);
                              e->awakeFromNib();
                              show(e.get());
                              type(e->textStudentFirstName, QStringLiteral("Ann"));
                              return std::unique_ptr<QWidget>(std::move(e));
                          },
                          [](QWidget *w) {
                              return static_cast<StudentManageController *>(w)->textStudentFirstName->text() == "Ann";
                          },
                          QStringLiteral("btnClose"), 2, 1};
        out << HeldWindow{QStringLiteral("standards window"),
                          [this] {
                              auto s = std::make_unique<StandardController>();
                              s->awakeFromNib();
                              show(s.get());
                              const QModelIndex top = s->model->index(0, 0);
                              s->outlineView->setCurrentIndex(s->model->index(0, 0, top));
                              answers.answerAlert(0); // yes, delete it
                              s->findChild<QPushButton *>(QStringLiteral("btnDelete"))->click();
                              return std::unique_ptr<QWidget>(std::move(s));
                          },
                          [](QWidget *w) { return static_cast<StandardController *>(w)->btnSave->isEnabled(); },
                          QStringLiteral("btnClose"), 1, 0};
        out << HeldWindow{QStringLiteral("standard settings"),
                          [this] {
                              standards = std::make_unique<StandardController>();
                              standards->awakeFromNib();
                              auto s = std::make_unique<StandardSettingController>();
                              s->setNodeToAdd(standards->topNode());
                              s->awakeFromNib();
                              show(s.get());
                              type(s->textCode, QStringLiteral("ART.1"));
                              return std::unique_ptr<QWidget>(std::move(s));
                          },
                          [](QWidget *w) { return static_cast<StandardSettingController *>(w)->textCode->text() == "ART.1"; },
                          QStringLiteral("btnClose"), 1, 0};
        out << HeldWindow{QStringLiteral("import preview"),
                          [this] {
                              auto p = std::make_unique<ImportPreviewController>(csv, ImportItemsForStudent().allImportItems());
                              show(p.get());
                              QTest::mouseClick(p->btnAdd, Qt::LeftButton);
                              // The new row's first cell is being edited: the number goes in.
                              QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("3"));
                              QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                              p->tvPreviewData->setFocus();
                              return std::unique_ptr<QWidget>(std::move(p));
                          },
                          [](QWidget *w) {
                              return static_cast<ImportPreviewController *>(w)->state().previewData().numOfRows() == 3;
                          },
                          QStringLiteral("btnCancel"), 1, 0};
        out << HeldWindow{QStringLiteral("new session"),
                          [] {
                              auto n = std::make_unique<CreateNewSessionController>(nullptr, 3);
                              show(n.get());
                              type(n->textSession, QStringLiteral("Quiz 1"));
                              return std::unique_ptr<QWidget>(std::move(n));
                          },
                          [](QWidget *w) { return static_cast<CreateNewSessionController *>(w)->textSession->text() == "Quiz 1"; },
                          QStringLiteral("btnClose1"), 2, 1};
        out << HeldWindow{QStringLiteral("points-only form"),
                          [] {
                              auto n = std::make_unique<CreateNewSessionController>(nullptr, 3);
                              show(n.get());
                              n->tabForms->setCurrentIndex(1);
                              type(n->textSession2, QStringLiteral("Lab report"));
                              return std::unique_ptr<QWidget>(std::move(n));
                          },
                          [](QWidget *w) {
                              return static_cast<CreateNewSessionController *>(w)->textSession2->text() == "Lab report";
                          },
                          QStringLiteral("bntClose"), 2, 1};
        out << HeldWindow{QStringLiteral("class editor"),
                          [] {
                              auto c = std::make_unique<ClassEditController>();
                              c->awakeFromNib();
                              show(c.get());
                              type(c->textClassName, QStringLiteral("9B"));
                              return std::unique_ptr<QWidget>(std::move(c));
                          },
                          [](QWidget *w) { return static_cast<ClassEditController *>(w)->textClassName->text() == "9B"; },
                          QStringLiteral("btnCancel"), 1, 0};
        out << HeldWindow{QStringLiteral("teacher editor"),
                          [] {
                              auto t = std::make_unique<TeacherEditController>();
                              t->awakeFromNib();
                              show(t.get());
                              type(t->textFirstName_Add, QStringLiteral("Ann"));
                              return std::unique_ptr<QWidget>(std::move(t));
                          },
                          [](QWidget *w) { return static_cast<TeacherEditController *>(w)->textFirstName_Add->text() == "Ann"; },
                          QStringLiteral("btnCancel"), 1, 0};
        out << HeldWindow{QStringLiteral("login setup"),
                          [] {
                              auto l = std::make_unique<LoginSetCtrl>();
                              show(l.get());
                              type(l->textNewUserName, QStringLiteral("head"));
                              return std::unique_ptr<QWidget>(std::move(l));
                          },
                          [](QWidget *w) { return static_cast<LoginSetCtrl *>(w)->textNewUserName->text() == "head"; },
                          QStringLiteral("btnClose"), 1, 0};
        out << HeldWindow{QStringLiteral("manual grouping"),
                          [this] {
                              auto g = std::make_unique<GroupStudentManualController>();
                              g->setClassToGroup(classNo, QStringLiteral("8C"));
                              g->setNumOfGroup(2);
                              g->awakeFromNib();
                              show(g.get());
                              // What a drag of the first student into group 2 drops there.
                              GroupOutlineModel *model = g->model();
                              const QModelIndex group1 = model->index(0, 0), group2 = model->index(1, 0);
                              std::unique_ptr<QMimeData> dragged(model->mimeData({model->index(0, 0, group1)}));
                              model->dropMimeData(dragged.get(), Qt::MoveAction, 0, 0, group2);
                              return std::unique_ptr<QWidget>(std::move(g));
                          },
                          [](QWidget *w) {
                              GroupOutlineModel *model = static_cast<GroupStudentManualController *>(w)->model();
                              return model->rowCount(model->index(0, 0)) == 2 && model->rowCount(model->index(1, 0)) == 1;
                          },
                          QStringLiteral("btnClose"), 1, 0};
        return out;
    }

    static void leave(QWidget *w, Way way, const QString &button)
    {
        switch (way) {
        case Way::Escape: {
            // The key goes where the teacher's keys go: the focused control, which passes it on.
            QWidget *focus = QApplication::focusWidget();
            QTest::keyClick(focus && w->isAncestorOf(focus) ? focus : w, Qt::Key_Escape);
            break;
        }
        case Way::CloseBox:
            w->close();
            break;
        case Way::LeaveButton:
            QTest::mouseClick(w->findChild<QPushButton *>(button), Qt::LeftButton);
            break;
        }
    }

    DialogAnswers answers;
    int classNo = 0;
    QString csv;
    std::unique_ptr<StandardController> standards;
};

} // namespace

TEST_F(UnsavedEditsTest, EveryWayOutOfEveryWindowWithEditsAsks)
{
    for (const HeldWindow &held : windows()) {
        for (Way way : {Way::Escape, Way::CloseBox, Way::LeaveButton}) {
            const QString where = QStringLiteral("%1, way %2").arg(held.name).arg(int(way));
            std::unique_ptr<QWidget> w = held.openWithEdit();
            ASSERT_TRUE(w->isVisible()) << where.toStdString();
            ASSERT_TRUE(held.editKept(w.get())) << where.toStdString();
            const qsizetype asked = answers.alerts().size();

            answers.answerAlert(held.keepEditing);
            leave(w.get(), way, held.leaveButton);
            EXPECT_EQ(answers.alerts().size(), asked + 1) << where.toStdString();
            EXPECT_TRUE(w->isVisible()) << where.toStdString();
            EXPECT_TRUE(held.editKept(w.get())) << where.toStdString();

            answers.answerAlert(held.dropEdits);
            leave(w.get(), way, held.leaveButton);
            EXPECT_EQ(answers.alerts().size(), asked + 2) << where.toStdString();
            EXPECT_FALSE(w->isVisible()) << where.toStdString();
        }
    }
}

TEST_F(UnsavedEditsTest, AWindowWithoutEditsGoesWithoutAQuestion)
{
    StudentManageController e;
    e.setStudentToModify(0, 0);
    e.awakeFromNib();
    show(&e);
    QTest::keyClick(&e, Qt::Key_Escape);
    EXPECT_FALSE(e.isVisible());
    StandardController s;
    s.awakeFromNib();
    show(&s);
    s.close();
    EXPECT_FALSE(s.isVisible());
    EXPECT_TRUE(answers.alerts().isEmpty());
}

// The question comes up for real and the teacher presses Escape on it, or its close box: that is
// the way back to the window, whatever the question's buttons (Yes and No alone, or a third to
// keep editing): the window stays with the edit. Only a button of the question leaves. Return on
// a question whose first button drops the edits ("Are you sure to quit without saving?") keeps
// them too; where the first button saves, Return saves.
TEST_F(UnsavedEditsTest, EscapeOrTheCloseBoxOnTheQuestionGoesBackToTheWindowWithTheEdits)
{
    for (const HeldWindow &held : windows()) {
        std::unique_ptr<QWidget> w = held.openWithEdit();
        const bool firstDrops = held.dropEdits == 0;
        for (Way way : {Way::Escape, Way::CloseBox, Way::LeaveButton}) {
            for (RealAlerts::Way onAlert : {RealAlerts::Way::Escape, RealAlerts::Way::CloseBox, RealAlerts::Way::Return}) {
                if (onAlert == RealAlerts::Way::Return && !firstDrops)
                    continue;
                const QString where = QStringLiteral("%1, way %2, alert left by %3").arg(held.name).arg(int(way)).arg(int(onAlert));
                RealAlerts real;
                real.leave(onAlert);
                leave(w.get(), way, held.leaveButton);
                EXPECT_EQ(real.seen().size(), 1) << where.toStdString();
                EXPECT_EQ(real.stuck(), 0) << where.toStdString();
                EXPECT_TRUE(w->isVisible()) << where.toStdString();
                EXPECT_TRUE(held.editKept(w.get())) << where.toStdString();
            }
        }
        RealAlerts real;
        real.click(held.dropEdits);
        leave(w.get(), Way::LeaveButton, held.leaveButton);
        EXPECT_FALSE(w->isVisible()) << held.name.toStdString();
        EXPECT_EQ(real.stuck() + real.unanswered(), 0) << held.name.toStdString();
    }
}
