#pragma once

#include "core/base/TreeNode.h"
#include "core/store/StudentEntity.h"

#include <QImage>
#include <QList>
#include <QString>

#include <utility>

// The outline of the manual grouping: an invisible root, one group node per group ("Group 1",
// "Group 2", ...) and under each the students of that group. Students move between groups by
// drag and drop; groups themselves stay where they are.
class GroupOutline
{
public:
    // Groups 1..groups, each holding the students with that group number in list order;
    // students whose number is outside 1..groups are left out (and keep their number).
    static TreeNodePtr build(const QList<StudentEntity> &students, int groups, const QImage &icon = {});

    static bool isGroup(const TreeNodePtr &node);
    static bool isStudent(const TreeNodePtr &node);
    // A drag of students only; a group in it refuses the whole drag.
    static bool canDrag(const QList<TreeNodePtr> &nodes);
    // Students may be dropped into a group, onto the group itself or between its students; not
    // onto a student, nor between or around the groups.
    static bool canDropInto(const TreeNodePtr &target);
    // Moves the students, in their order, to position in the group (-1: a drop onto the group,
    // its top). A student of the same group above the position moves the position up by one.
    static void moveStudents(const TreeNodePtr &group, int position, const QList<TreeNodePtr> &students);
    // Every student of the outline with its group number (the groups counted from 1 in order).
    static QList<std::pair<QString, int>> groupsOf(const TreeNodePtr &root);
};
