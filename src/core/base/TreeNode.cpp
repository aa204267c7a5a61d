#include "TreeNode.h"

#include <algorithm>

TreeNodePtr TreeNode::create()
{
    return TreeNodePtr(new TreeNode);
}

TreeNodePtr TreeNode::initWithData(const QVariant &data, const TreeNodePtr &parent, const QList<TreeNodePtr> &children)
{
    TreeNodePtr node = create();
    node->m_nodeData = data;
    node->m_nodeParent = parent;
    node->m_nodeChildren = children;
    return node;
}

TreeNodePtr TreeNode::treeNodeWithData(const QVariant &data)
{
    return initWithData(data, nullptr, {});
}

TreeNodePtr TreeNode::childAtIndex(int index) const
{
    if (index < 0 || index >= m_nodeChildren.size())
        return nullptr;
    return m_nodeChildren.at(index);
}

int TreeNode::indexOfChild(const TreeNode *child) const
{
    for (int i = 0; i < m_nodeChildren.size(); ++i) {
        if (m_nodeChildren.at(i).get() == child)
            return i;
    }
    return -1;
}

void TreeNode::addChild(const TreeNodePtr &child)
{
    insertChild(child, numberOfChildren());
}

void TreeNode::insertChild(const TreeNodePtr &child, int index)
{
    insertChildren({child}, index);
}

void TreeNode::insertChildren(const QList<TreeNodePtr> &children, int index)
{
    int at = std::clamp(index, 0, numberOfChildren());
    for (const TreeNodePtr &child : children) {
        if (!child)
            continue;
        child->m_nodeParent = weak_from_this();
        m_nodeChildren.insert(at++, child);
    }
}

void TreeNode::removeChild(const TreeNodePtr &child)
{
    m_nodeChildren.removeAll(child);
}

void TreeNode::removeFromParent()
{
    if (TreeNodePtr parent = nodeParent())
        parent->removeChild(shared_from_this());
}

TreeNodePtr TreeNode::copy() const
{
    return treeNodeWithData(m_nodeData);
}
