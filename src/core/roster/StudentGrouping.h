#pragma once

#include <QList>
#include <QtGlobal>

// How the students of a class are split into numbered groups (1..G) by the grouping windows.
class StudentGrouping
{
public:
    // What stops a grouping of S students into G groups.
    enum class Check { Ok, NoStudents, NoGroups, TooManyGroups };
    static Check check(int students, int groups);

    // The group of each student of a list of S in list order: the first S/G students form group
    // 1, the next S/G group 2, ... up to group G; the rest then go one each to groups 1, 2, ...
    // (11 students in 3 groups: 4, 4, 3). Needs check() to be Ok.
    static QList<int> groupsInOrder(int students, int groups);

    // The positions 0..S-1 in the order the random grouping takes them: for each position i
    // from the first, a random j below S is drawn and i and j swap. The same seed (the time in
    // seconds) gives the same order.
    static QList<int> shuffledPositions(int students, quint32 seed);
};
