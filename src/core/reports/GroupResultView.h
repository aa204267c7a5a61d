#pragma once

#include "GroupAndStudentsPoint.h"
#include "GroupResultLayout.h"

#include <QList>

class ReportPainter;

// One page of the Group Result: the title bar, the column heads and one row per group.
class GroupResultView
{
public:
    GroupResultView(const GroupResultLayout &layout, const QList<GroupAndStudentsPoint> &groups);

    void paint(ReportPainter &painter) const;

private:
    const GroupResultLayout &m_layout;
    QList<GroupAndStudentsPoint> m_groups;
};
