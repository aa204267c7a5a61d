#include "RosterWindowTest.h"

#include "core/base/TreeNodeData.h"
#include "core/roster/GroupOutline.h"
#include "platform/AtomicFile.h"
#include "support/ModalDriver.h"
#include "ui/roster/GroupManageController.h"
#include "ui/roster/GroupOutlineModel.h"
#include "ui/roster/GroupStudentManualController.h"
#include "ui/roster/StudentTableView.h"

#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

namespace {
QList<int> groupsOf(const QList<StudentEntity> &list)
{
    QList<int> out;
    for (const StudentEntity &s : list)
        out << s.groupNo();
    return out;
}

// The names under each group of an outline.
QStringList names(const TreeNodePtr &root)
{
    QStringList out;
    for (const TreeNodePtr &group : root->children()) {
        QStringList line{group->nodeData().value<TreeNodeData>().studentName() + ":"};
        // First names: the test students' last names are all "L".
        for (const TreeNodePtr &s : group->children())
            line << s->nodeData().value<TreeNodeData>().studentName().section(' ', 0, 0);
        out << line.join(' ');
    }
    return out;
}

class GroupingTest : public RosterWindowTest
{
protected:
    void SetUp() override
    {
        RosterWindowTest::SetUp();
        c1 = classes->addClassWithName("8C");
    }
    std::unique_ptr<GroupManageController> open()
    {
        auto g = std::make_unique<GroupManageController>();
        g->setClassIndex(0);
        g->awakeFromNib();
        return g;
    }
    int c1 = 0;
};
} // namespace

TEST_F(GroupingTest, InOrderElevenStudentsInThreeGroupsGiveFourFourThree)
{
    ASSERT_TRUE(classes->addSomeStudents(students("S", 11), c1));
    auto g = open();
    EXPECT_EQ(g->txtParticipant->text(), "11");
    EXPECT_EQ(g->txtGroup->text(), "1") << "every student is in group 1: one group, not one per student";
    g->txtGroup->setText("3");
    HeardNotifications heard;
    g->btnOrder->click();
    EXPECT_EQ(groupsOf(classes->getStudentListByClassNo(c1)), (QList<int>{1, 1, 1, 2, 2, 2, 3, 3, 3, 1, 2}));
    EXPECT_TRUE(readFile(classes->pathByClassNo(c1)).contains("<Splits>3</Splits>"));
    EXPECT_EQ(heard.notes, QStringList{"ClassChanged 0"});
    EXPECT_EQ(g->tblStudent->item(9, 2)->text(), "1");
    EXPECT_EQ(classes->maxGroupNoInClass(c1), 3);
    EXPECT_EQ(open()->txtGroup->text(), "3") << "opened again, the window shows the groups the class is in";
}

TEST_F(GroupingTest, ChecksBeforeGroupingAndAGroupFieldOfAtMostNinetyNine)
{
    auto g = open();
    g->btnRandom->click();
    ASSERT_TRUE(classes->addSomeStudents(students("S", 10), c1));
    const int big = classes->addClassWithName("Hall");
    ASSERT_TRUE(classes->addSomeStudents(students("H", 120), big));
    g = open();
    g->txtGroup->setText("11");
    g->btnManual->click();
    g->txtGroup->setText("0");
    g->btnOrder->click();
    EXPECT_EQ(answers.alertTexts(),
              (QStringList{"Please add student to this class first.",
                           "The number of groups cannot exceed the number of students.",
                           "The group number should be greater than 0."}));
    EXPECT_EQ(g->txtGroup->selectedText(), "0");

    choose(g->cmbClass, 1);
    EXPECT_EQ(g->txtParticipant->text(), "120");
    EXPECT_EQ(g->txtGroup->text(), "1") << "the class is one group until it is split";
}

TEST_F(GroupingTest, RandomGroupsAreWholeAndAFailedWriteChangesNothing)
{
    ASSERT_TRUE(classes->addSomeStudents(students("S", 12), c1));
    auto g = open();
    g->txtGroup->setText("4");
    g->btnRandom->click();
    QList<int> sizes(4, 0);
    for (int group : groupsOf(classes->getStudentListByClassNo(c1)))
        ++sizes[group - 1];
    EXPECT_EQ(sizes, (QList<int>{3, 3, 3, 3}));

    const QByteArray before = readFile(classes->pathByClassNo(c1));
    AtomicFile::setFailureHook([](const QString &) { return true; });
    g->txtGroup->setText("2");
    g->btnOrder->click();
    AtomicFile::setFailureHook({});
    EXPECT_EQ(answers.alertTexts(), QStringList{"The groups could not be saved."});
    EXPECT_FALSE(answers.alerts().first().informativeText.isEmpty());
    EXPECT_EQ(readFile(classes->pathByClassNo(c1)), before);
}

TEST_F(GroupingTest, OutlineMovesStudentsOnlyIntoGroups)
{
    QList<StudentEntity> list = students("S", 5);
    list[0].setGroupNo(1);
    list[1].setGroupNo(1);
    list[2].setGroupNo(1);
    list[3].setGroupNo(2);
    list[4].setGroupNo(7); // outside the groups: left out, and kept
    for (qsizetype i = 0; i < list.size(); ++i)
        list[i].setNo(int(i + 1));
    TreeNodePtr root = GroupOutline::build(list, 2);
    EXPECT_EQ(names(root), (QStringList{"Group 1: N1 N2 N3", "Group 2: N4"}));
    const TreeNodePtr g1 = root->childAtIndex(0), g2 = root->childAtIndex(1);

    EXPECT_FALSE(GroupOutline::canDrag({g1}));
    EXPECT_FALSE(GroupOutline::canDrag({g1->childAtIndex(0), g2}));
    EXPECT_FALSE(GroupOutline::canDropInto(root)) << "between or around the groups";
    EXPECT_FALSE(GroupOutline::canDropInto(g2->childAtIndex(0))) << "onto a student";

    // The first of a group dropped at the end of its own group goes last.
    GroupOutline::moveStudents(g1, 3, {g1->childAtIndex(0)});
    EXPECT_EQ(names(root), (QStringList{"Group 1: N2 N3 N1", "Group 2: N4"}));
    // Two students onto another group: at its top, in their order.
    GroupOutline::moveStudents(g2, -1, {g1->childAtIndex(0), g1->childAtIndex(2)});
    EXPECT_EQ(names(root), (QStringList{"Group 1: N3", "Group 2: N2 N1 N4"}));
    const QList<std::pair<QString, int>> groups = GroupOutline::groupsOf(root);
    EXPECT_EQ(groups.size(), 4);
    EXPECT_EQ(groups.at(1), (std::pair<QString, int>{"S2", 2}));
}

TEST_F(GroupingTest, ADragBetweenGroupsIsWrittenToTheClassFileOnSave)
{
    QList<StudentEntity> list = students("S", 5);
    list[3].setGroupNo(2);
    list[4].setGroupNo(9);
    ASSERT_TRUE(classes->addSomeStudents(list, c1));
    GroupStudentManualController manual;
    manual.setClassToGroup(c1, "8C");
    manual.setNumOfGroup(2);
    manual.awakeFromNib();
    GroupOutlineModel *model = manual.model();
    const QModelIndex group1 = model->index(0, 0), group2 = model->index(1, 0);
    EXPECT_EQ(model->flags(group1) & Qt::ItemIsSelectable, 0) << "group rows are not chosen";
    EXPECT_EQ(model->mimeData({group1}), nullptr) << "a group is not dragged";

    std::unique_ptr<QMimeData> data(model->mimeData({model->index(1, 0, group1)}));
    ASSERT_TRUE(data);
    EXPECT_TRUE(data->hasFormat("MyCustomOutlineViewPboardType"));
    EXPECT_FALSE(model->canDropMimeData(data.get(), Qt::MoveAction, -1, 0, model->index(0, 0, group2)));
    EXPECT_FALSE(model->canDropMimeData(data.get(), Qt::MoveAction, 1, 0, QModelIndex()));
    ASSERT_TRUE(model->canDropMimeData(data.get(), Qt::MoveAction, 1, 0, group2));
    model->dropMimeData(data.get(), Qt::MoveAction, 1, 0, group2);
    EXPECT_EQ(names(manual.root()), (QStringList{"Group 1: N1 N3", "Group 2: N4 N2"}));
    const QModelIndexList selected = manual.outlineView->selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected.first(), model->index(1, 0, model->index(1, 0))) << "the moved student is selected";

    // Closing without Save keeps the file as it was; Save writes the groups.
    const QByteArray before = readFile(classes->pathByClassNo(c1));
    manual.btnClose->click();
    EXPECT_EQ(manual.result(), 0);
    EXPECT_EQ(readFile(classes->pathByClassNo(c1)), before);
    manual.btnSave->click();
    EXPECT_EQ(manual.result(), 1);
    EXPECT_EQ(groupsOf(classes->getStudentListByClassNo(c1)), (QList<int>{1, 2, 1, 2, 9}));
}

// Another program moved a student to another group while the teacher dragged students: Save
// keeps that program's file and says so; a change of a student whose group the save leaves as it
// is does not stop a later save, and stays.
TEST_F(GroupingTest, AManualGroupingSavesOverNoStudentAnotherProgramChangedMeanwhile)
{
    QList<StudentEntity> list = students("S", 4);
    list[2].setGroupNo(2);
    list[3].setGroupNo(2);
    ASSERT_TRUE(classes->addSomeStudents(list, c1));
    const QString file = classes->pathByClassNo(c1);
    // The other program's save, written into the file in place.
    const auto changedElsewhere = [&](const QByteArray &from, const QByteArray &to) {
        QByteArray bytes = readFile(file);
        EXPECT_EQ(bytes.count(from), 1) << from.toStdString();
        bytes.replace(from, to);
        QFile other(file);
        EXPECT_TRUE(other.open(QIODevice::WriteOnly | QIODevice::Truncate));
        other.write(bytes);
        return bytes;
    };
    // The second student of the first group dragged to the top of the second.
    const auto drag = [](GroupStudentManualController &manual) {
        GroupOutlineModel *model = manual.model();
        std::unique_ptr<QMimeData> data(model->mimeData({model->index(1, 0, model->index(0, 0))}));
        ASSERT_TRUE(data);
        model->dropMimeData(data.get(), Qt::MoveAction, 0, 0, model->index(1, 0));
    };

    GroupStudentManualController manual;
    manual.setClassToGroup(c1, "8C");
    manual.setNumOfGroup(2);
    manual.awakeFromNib();
    manual.show();
    drag(manual);
    ASSERT_EQ(names(manual.root()), (QStringList{"Group 1: N1", "Group 2: N2 N3 N4"}));
    const QByteArray theirs = changedElsewhere("<ID>S3</ID><FName>N3</FName><LName>L</LName><DNo>3</DNo><GNo>2<",
                                               "<ID>S3</ID><FName>N3</FName><LName>L</LName><DNo>3</DNo><GNo>1<");
    QTest::mouseClick(manual.btnSave, Qt::LeftButton);
    ASSERT_EQ(answers.alertTexts(), QStringList{"The groups could not be saved."});
    const QString said = answers.alerts().first().informativeText;
    EXPECT_TRUE(said.contains(file + " was changed by another program since Pollix read it")) << said.toStdString();
    EXPECT_TRUE(said.contains("Close this window and open it again to see the other program's version"))
        << said.toStdString();
    EXPECT_EQ(readFile(file), theirs);
    EXPECT_TRUE(manual.isVisible());
    EXPECT_EQ(names(manual.root()), (QStringList{"Group 1: N1", "Group 2: N2 N3 N4"})) << "the grouping stays";

    GroupStudentManualController again;
    again.setClassToGroup(c1, "8C");
    again.setNumOfGroup(2);
    again.awakeFromNib();
    again.show();
    EXPECT_EQ(names(again.root()), (QStringList{"Group 1: N1 N2 N3", "Group 2: N4"}));
    changedElsewhere("<ID>S4</ID><FName>N4</FName>", "<ID>S4</ID><FName>Nell</FName>");
    drag(again);
    QTest::mouseClick(again.btnSave, Qt::LeftButton);
    EXPECT_EQ(answers.alerts().size(), 1) << answers.alertTexts().join(" | ").toStdString();
    EXPECT_EQ(again.result(), 1);
    EXPECT_EQ(groupsOf(classes->getStudentListByClassNo(c1)), (QList<int>{1, 2, 1, 2}));
    EXPECT_EQ(classes->getStudentListByClassNo(c1).at(3).firstName(), "Nell");
}

TEST_F(GroupingTest, ManualGroupingFirstGroupsInOrderWhenGroupsWouldBeLost)
{
    QList<StudentEntity> list = students("S", 4);
    list[3].setGroupNo(4);
    ASSERT_TRUE(classes->addSomeStudents(list, c1));
    auto g = open();
    g->txtGroup->setText("2");
    ModalDriver modals;
    QStringList shown;
    modals.on("GroupStudentManual", [&](QWidget *w) {
        shown = names(static_cast<GroupStudentManualController *>(w)->root());
        static_cast<GroupStudentManualController *>(w)->btnClose->click();
    });
    g->btnManual->click();
    EXPECT_EQ(shown, (QStringList{"Group 1: N1 N2", "Group 2: N3 N4"}));
    EXPECT_EQ(groupsOf(classes->getStudentListByClassNo(c1)), (QList<int>{1, 1, 2, 2}));
}
