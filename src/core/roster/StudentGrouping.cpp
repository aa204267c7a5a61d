#include "StudentGrouping.h"

#include <random>
#include <utility>

StudentGrouping::Check StudentGrouping::check(int students, int groups)
{
    if (students <= 0)
        return Check::NoStudents;
    if (groups <= 0)
        return Check::NoGroups;
    if (groups > students)
        return Check::TooManyGroups;
    return Check::Ok;
}

QList<int> StudentGrouping::groupsInOrder(int students, int groups)
{
    QList<int> out;
    if (check(students, groups) != Check::Ok)
        return out;
    const int perGroup = students / groups;
    int group = 0;
    bool wrapped = false;
    for (int i = 0; i < students; ++i) {
        if (wrapped || i % perGroup == 0) {
            if (++group > groups) {
                group = 1;
                wrapped = true;
            }
        }
        out << group;
    }
    return out;
}

QList<int> StudentGrouping::shuffledPositions(int students, quint32 seed)
{
    QList<int> order;
    for (int i = 0; i < students; ++i)
        order << i;
    std::minstd_rand random(seed);
    for (int i = 0; i < students; ++i) {
        const int j = int(random() % quint32(students));
        if (j != i)
            std::swap(order[i], order[j]);
    }
    return order;
}
