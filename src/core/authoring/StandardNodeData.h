#pragma once

#include <QImage>
#include <QMetaType>
#include <QString>

// One curriculum standard in the standards tree: its code ("" for the top node, the whole set),
// its title, and its check state in a standards window (0 unticked, 1 ticked, -1 mixed).
class StandardNodeData
{
public:
    StandardNodeData() = default;
    StandardNodeData(const QString &name, const QString &title, bool isLeaf)
        : m_name(name), m_title(title), m_isLeaf(isLeaf) {}
    static StandardNodeData groupDataWithName(const QString &name, const QString &title) { return {name, title, false}; }
    static StandardNodeData leafDataWithName(const QString &name, const QString &title) { return {name, title, true}; }

    QString name() const { return m_name; }
    void setName(const QString &v) { m_name = v; }
    QString title() const { return m_title; }
    void setTitle(const QString &v) { m_title = v; }
    QImage iconRep() const { return m_iconRep; }
    void setIconRep(const QImage &v) { m_iconRep = v; }
    bool isLeaf() const { return m_isLeaf; }
    void setIsLeaf(bool v) { m_isLeaf = v; }
    int cellState() const { return m_cellState; }
    void setCellState(int v) { m_cellState = v; }

    // What a row shows: the title alone for the top node, else "title(code)".
    QString label() const { return m_name.isEmpty() ? m_title : QStringLiteral("%1(%2)").arg(m_title, m_name); }
    // A copy is unticked.
    StandardNodeData copy() const
    {
        StandardNodeData c = *this;
        c.m_cellState = 0;
        return c;
    }

private:
    QString m_name;
    QString m_title;
    QImage m_iconRep;
    bool m_isLeaf = false;
    int m_cellState = 0;
};

Q_DECLARE_METATYPE(StandardNodeData)
