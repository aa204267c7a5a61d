#pragma once

#include <QList>
#include <QVariant>

#include <memory>

class TreeNode;
using TreeNodePtr = std::shared_ptr<TreeNode>;

// One node of an outline: a payload of any kind (a TreeNodeData for the grouping window, a
// standard for the standards tree) and an ordered list of child nodes. A node holds its children
// and its payload; its parent link does not keep the parent alive. Nodes live in shared pointers
// so that one node may be listed in several places while a window moves it.
class TreeNode : public std::enable_shared_from_this<TreeNode>
{
public:
    // No parent, no children, no payload.
    static TreeNodePtr create();
    // Keeps the payload, links the parent without joining its children, and takes the list as
    // its children without changing their parent links.
    static TreeNodePtr initWithData(const QVariant &data, const TreeNodePtr &parent, const QList<TreeNodePtr> &children);
    static TreeNodePtr treeNodeWithData(const QVariant &data);

    TreeNode(const TreeNode &) = delete;
    TreeNode &operator=(const TreeNode &) = delete;

    QVariant nodeData() const { return m_nodeData; }
    void setNodeData(const QVariant &data) { m_nodeData = data; }
    TreeNodePtr nodeParent() const { return m_nodeParent.lock(); }
    void setNodeParent(const TreeNodePtr &parent) { m_nodeParent = parent; }

    QList<TreeNodePtr> children() const { return m_nodeChildren; }
    int numberOfChildren() const { return int(m_nodeChildren.size()); }
    // Null for an index outside the list (asking for it is the caller's mistake).
    TreeNodePtr childAtIndex(int index) const;
    // -1 when the node is not a child of this one.
    int indexOfChild(const TreeNode *child) const;
    int indexOfChild(const TreeNodePtr &child) const { return indexOfChild(child.get()); }
    TreeNodePtr firstChild() const { return m_nodeChildren.isEmpty() ? nullptr : m_nodeChildren.first(); }

    // Each sets the new children's parent to this node; indexes are clamped to the list.
    void addChild(const TreeNodePtr &child);
    void insertChild(const TreeNodePtr &child, int index);
    void insertChildren(const QList<TreeNodePtr> &children, int index);
    // Removes every occurrence; the removed node keeps its parent link.
    void removeChild(const TreeNodePtr &child);
    void removeChildren() { m_nodeChildren.clear(); }
    void removeFromParent();

    // A new node with a copy of the payload, no parent and no children.
    TreeNodePtr copy() const;

private:
    TreeNode() = default;

    std::weak_ptr<TreeNode> m_nodeParent;
    QList<TreeNodePtr> m_nodeChildren;
    QVariant m_nodeData;
};
