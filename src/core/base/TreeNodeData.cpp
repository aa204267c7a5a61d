#include "TreeNodeData.h"

TreeNodeData::TreeNodeData(const QString &name, int studentNo, bool isLeaf)
    : m_studentNo(studentNo), m_studentName(name), m_isLeaf(isLeaf)
{
}

TreeNodeData TreeNodeData::leafNodeWithName(const QString &name, int studentNo)
{
    return TreeNodeData(name, studentNo, true);
}

TreeNodeData TreeNodeData::groupNodeWithName(const QString &name)
{
    return TreeNodeData(name, 0, false);
}
