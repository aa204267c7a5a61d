#pragma once

#include <QImage>
#include <QMetaType>
#include <QString>

// The payload of the grouping window's outline: a group (not a leaf, number 0) or a student.
class TreeNodeData
{
public:
    TreeNodeData() = default;
    TreeNodeData(const QString &name, int studentNo, bool isLeaf);

    static TreeNodeData leafNodeWithName(const QString &name, int studentNo);
    static TreeNodeData groupNodeWithName(const QString &name);

    int studentNo() const { return m_studentNo; }
    void setStudentNo(int no) { m_studentNo = no; }
    QString studentName() const { return m_studentName; }
    void setStudentName(const QString &name) { m_studentName = name; }
    QImage iconRep() const { return m_iconRep; }
    void setIconRep(const QImage &icon) { m_iconRep = icon; }
    bool isLeaf() const { return m_isLeaf; }
    void setIsLeaf(bool leaf) { m_isLeaf = leaf; }
    QString studentID() const { return m_studentID; }
    void setStudentID(const QString &id) { m_studentID = id; }

private:
    int m_studentNo = 0;
    QString m_studentName;
    QImage m_iconRep;
    bool m_isLeaf = false;
    QString m_studentID;
};

Q_DECLARE_METATYPE(TreeNodeData)
