#include "GroupOutline.h"

#include "core/base/CommonFunc.h"
#include "core/base/TreeNodeData.h"

#include <optional>

namespace {
std::optional<TreeNodeData> payload(const TreeNodePtr &node)
{
    if (!node || node->nodeData().metaType() != QMetaType::fromType<TreeNodeData>())
        return std::nullopt;
    return node->nodeData().value<TreeNodeData>();
}
} // namespace

TreeNodePtr GroupOutline::build(const QList<StudentEntity> &students, int groups, const QImage &icon)
{
    TreeNodePtr root = TreeNode::create();
    for (int g = 1; g <= groups; ++g) {
        TreeNodeData group = TreeNodeData::groupNodeWithName(QStringLiteral("Group %1").arg(g));
        group.setIconRep(icon);
        TreeNodePtr groupNode = TreeNode::treeNodeWithData(QVariant::fromValue(group));
        for (const StudentEntity &s : students) {
            if (s.groupNo() != g)
                continue;
            TreeNodeData leaf = TreeNodeData::leafNodeWithName(mergeFirstLastString(s.firstName(), s.lastName()), s.no());
            leaf.setStudentID(s.id());
            leaf.setIconRep(icon);
            groupNode->addChild(TreeNode::treeNodeWithData(QVariant::fromValue(leaf)));
        }
        root->addChild(groupNode);
    }
    return root;
}

bool GroupOutline::isGroup(const TreeNodePtr &node)
{
    const auto data = payload(node);
    return data && !data->isLeaf();
}

bool GroupOutline::isStudent(const TreeNodePtr &node)
{
    const auto data = payload(node);
    return data && data->isLeaf();
}

bool GroupOutline::canDrag(const QList<TreeNodePtr> &nodes)
{
    if (nodes.isEmpty())
        return false;
    for (const TreeNodePtr &node : nodes)
        if (!isStudent(node))
            return false;
    return true;
}

bool GroupOutline::canDropInto(const TreeNodePtr &target)
{
    return isGroup(target);
}

void GroupOutline::moveStudents(const TreeNodePtr &group, int position, const QList<TreeNodePtr> &students)
{
    if (!isGroup(group) || !canDrag(students))
        return;
    int at = position < 0 ? 0 : qMin(position, group->numberOfChildren());
    for (const TreeNodePtr &student : students) {
        const TreeNodePtr from = student->nodeParent();
        if (from == group && group->indexOfChild(student) < at)
            --at;
        student->removeFromParent();
    }
    group->insertChildren(students, at);
}

QList<std::pair<QString, int>> GroupOutline::groupsOf(const TreeNodePtr &root)
{
    QList<std::pair<QString, int>> out;
    int number = 0;
    for (const TreeNodePtr &group : root->children()) {
        if (!isGroup(group))
            continue;
        ++number;
        for (const TreeNodePtr &student : group->children())
            if (const auto data = payload(student); data && data->isLeaf())
                out.append({data->studentID(), number});
    }
    return out;
}
