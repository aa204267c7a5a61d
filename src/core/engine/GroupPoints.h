#pragma once

#include <QList>
#include <QString>

// The points of each group of a group run (groups 1 .. the run's group count): what its members
// scored on the question in hand and over every recorded question, the extra points the teacher
// gives a group per question, and the final sum. Scores are read once, when the object is made;
// the extra points are read on every call, so edits show at once.
class GroupPoints
{
public:
    GroupPoints(int activity, int q);

    int groupCount() const { return int(m_total.size()); }
    // Points of group g (1-based) on the question in hand: "0" when that question was not recorded.
    QString currentText(int g) const;
    QString totalText(int g) const;
    // The teacher's extra points of group g on the question in hand.
    int appendPoints(int g) const;
    void setAppendPoints(int g, int points) const;
    // The total plus the extra points given on every question asked.
    int finalPoints(int g) const;
    // The extra points group g was given on every question asked: what its session keeps.
    static int runAppendPoints(int g);

private:
    int m_q;
    QList<int> m_current; // empty when the question in hand has no record
    QList<int> m_total;
};
