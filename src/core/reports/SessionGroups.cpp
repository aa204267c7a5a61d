#include "SessionGroups.h"

#include "StudentIdOrder.h"

#include "core/base/CommonFunc.h"
#include "core/store/DataManager.h"

#include <algorithm>

QList<StudentIdNameAnswer> SessionGroups::attendingStudents(const QuizEntity &quiz)
{
    // Every student's points in one pass over the answers, not one pass per student.
    const QHash<QString, float> points = DataManager::getTotalPointsOfStudentsInQuiz(quiz);
    QList<StudentIdNameAnswer> students;
    for (const StudentEntity &s : DataManager::getAttendStudentInfoInOneQuiz(quiz)) {
        StudentIdNameAnswer student;
        student.setStudentID(s.id());
        student.setStudentName(mergeFirstLastString(s.firstName(), s.lastName()));
        student.setStudentNo(s.no());
        student.setGroupNo(s.groupNo());
        student.setTotalPoint(int(points.value(s.id(), 0.0f)));
        students.append(student);
    }
    return students;
}

void SessionGroups::sortById(QList<StudentIdNameAnswer> &students)
{
    sortByStudentId(students);
}

QList<GroupAndStudentsPoint> SessionGroups::groups(const QList<StudentIdNameAnswer> &students, const QuizEntity &quiz)
{
    QList<GroupAndStudentsPoint> groups;
    for (const StudentIdNameAnswer &student : students) {
        auto group = std::find_if(groups.begin(), groups.end(), [&](const GroupAndStudentsPoint &g) {
            return g.groupNo() == student.groupNo();
        });
        if (group == groups.end()) {
            GroupAndStudentsPoint added;
            added.setGroupNo(student.groupNo());
            groups.append(added);
            group = groups.end() - 1;
        }
        group->studentPointArray().append(student);
    }
    std::stable_sort(groups.begin(), groups.end(), [](const GroupAndStudentsPoint &a, const GroupAndStudentsPoint &b) {
        return a.groupNo() < b.groupNo();
    });
    for (GroupAndStudentsPoint &group : groups) {
        int sum = 0;
        for (const StudentIdNameAnswer &member : group.studentPointArray())
            sum += member.totalPoint();
        group.setPoint(sum);
        group.setAppendPoint(DataManager::getAppendMarkByGroupNo(group.groupNo(), quiz));
        group.setTotalPoint(group.point() + group.appendPoint());
    }
    return groups;
}
