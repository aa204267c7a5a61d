#include "NodeData.h"

NodeDataPtr NodeData::create(const QString &path, NodeData *parent)
{
    auto node = std::make_shared<NodeData>();
    node->m_relativePath = path.section(QLatin1Char('/'), -1);
    node->m_parent = parent;
    return node;
}

NodeDataPtr NodeData::addChild(const QString &path, bool isLeaf, int line)
{
    NodeDataPtr child = create(path, this);
    child->setIsLeaf(isLeaf);
    child->setLine(line);
    m_children.append(child);
    return child;
}

QString NodeData::fullPath() const
{
    return m_parent ? m_parent->fullPath() + QLatin1Char('/') + m_relativePath : m_relativePath;
}
