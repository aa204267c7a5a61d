#include "core/base/TreeNode.h"
#include "core/base/TreeNodeData.h"

#include <gtest/gtest.h>

namespace {

QStringList namesOf(const TreeNodePtr &node)
{
    QStringList names;
    for (const TreeNodePtr &c : node->children())
        names << c->nodeData().value<TreeNodeData>().studentName();
    return names;
}

TreeNodePtr student(const QString &name, int no = 1)
{
    return TreeNode::treeNodeWithData(QVariant::fromValue(TreeNodeData::leafNodeWithName(name, no)));
}

} // namespace

TEST(TreeNode, InsertKeepsOrderAndLinksParents)
{
    TreeNodePtr group = TreeNode::treeNodeWithData(QVariant::fromValue(TreeNodeData::groupNodeWithName("G")));
    EXPECT_EQ(group->firstChild(), nullptr);
    EXPECT_EQ(group->childAtIndex(0), nullptr);
    group->addChild(student("A"));
    group->addChild(student("B"));
    const QList<TreeNodePtr> more{student("C"), student("D"), student("E")};
    group->insertChildren(more, 1);
    EXPECT_EQ(namesOf(group), QStringList({"A", "C", "D", "E", "B"}));
    for (const TreeNodePtr &n : more)
        EXPECT_EQ(n->nodeParent(), group);
    EXPECT_EQ(group->indexOfChild(more[2]), 3);
    EXPECT_EQ(group->indexOfChild(student("X")), -1);
    // Indexes past the end append rather than corrupt the list.
    group->insertChild(student("F"), 99);
    EXPECT_EQ(namesOf(group).last(), QStringLiteral("F"));
}

TEST(TreeNode, RemovalTakesEveryOccurrenceAndKeepsTheParentLink)
{
    TreeNodePtr group = TreeNode::create();
    TreeNodePtr a = student("A");
    group->addChild(a);
    group->addChild(student("B"));
    group->addChild(a);
    EXPECT_EQ(group->numberOfChildren(), 3);
    group->removeChild(a);
    EXPECT_EQ(namesOf(group), QStringList({"B"}));
    EXPECT_EQ(a->nodeParent(), group);
    TreeNodePtr b = group->firstChild();
    b->removeFromParent();
    EXPECT_EQ(group->numberOfChildren(), 0);
    // The parent link does not keep the parent alive.
    std::weak_ptr<TreeNode> gone = group;
    group.reset();
    EXPECT_TRUE(gone.expired());
    EXPECT_EQ(a->nodeParent(), nullptr);
    a->removeFromParent(); // no parent left: nothing happens
}

TEST(TreeNode, CopyTakesThePayloadOnly)
{
    TreeNodeData data = TreeNodeData::leafNodeWithName("Ann", 7);
    data.setStudentID("S007");
    TreeNodePtr node = TreeNode::treeNodeWithData(QVariant::fromValue(data));
    node->addChild(student("child"));
    TreeNodePtr parent = TreeNode::create();
    parent->addChild(node);
    TreeNodePtr copy = node->copy();
    EXPECT_EQ(copy->numberOfChildren(), 0);
    EXPECT_EQ(copy->nodeParent(), nullptr);
    const TreeNodeData copied = copy->nodeData().value<TreeNodeData>();
    EXPECT_EQ(copied.studentName(), QStringLiteral("Ann"));
    EXPECT_EQ(copied.studentNo(), 7);
    EXPECT_TRUE(copied.isLeaf());
    EXPECT_EQ(copied.studentID(), QStringLiteral("S007"));
    // The copy's payload is its own.
    TreeNodeData changed = copied;
    changed.setStudentName("Bea");
    copy->setNodeData(QVariant::fromValue(changed));
    EXPECT_EQ(node->nodeData().value<TreeNodeData>().studentName(), QStringLiteral("Ann"));

    const TreeNodeData group = TreeNodeData::groupNodeWithName("Group 1");
    EXPECT_FALSE(group.isLeaf());
    EXPECT_EQ(group.studentNo(), 0);
    // A node made with a parent and children does not join the parent's list nor relink them.
    TreeNodePtr kid = student("K");
    TreeNodePtr made = TreeNode::initWithData(QVariant(), parent, {kid});
    EXPECT_EQ(made->nodeParent(), parent);
    EXPECT_EQ(parent->indexOfChild(made), -1);
    EXPECT_EQ(kid->nodeParent(), nullptr);
}
