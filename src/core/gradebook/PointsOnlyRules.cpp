#include "PointsOnlyRules.h"

#include "core/reports/ManualSession.h"

#include <algorithm>

namespace {
std::optional<int> digits(const QString &typed, int max)
{
    if (typed.isEmpty() || typed.size() > PointsOnlyRules::kMaxDigits)
        return std::nullopt;
    if (!std::all_of(typed.begin(), typed.end(), [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }))
        return std::nullopt;
    const int value = typed.toInt();
    if (value > max)
        return std::nullopt;
    return value;
}
} // namespace

std::optional<int> PointsOnlyRules::total(const QString &typed)
{
    const std::optional<int> value = digits(typed, kMaxTotal);
    if (!value || *value < 1)
        return std::nullopt;
    return value;
}

std::optional<int> PointsOnlyRules::studentPoints(const QString &typed, int total)
{
    return digits(typed, std::min(total, kMaxTotal));
}

int PointsOnlyRules::neededTotal(int total, const QList<int> &points)
{
    const int highest = points.isEmpty() ? 0 : *std::max_element(points.begin(), points.end());
    return total < highest ? highest : total;
}

QuizEntity PointsOnlyRules::build(const Entry &entry, QList<StudentEntity> students,
                                  const QList<std::pair<QString, int>> &points, const QString &now)
{
    ManualSession::Header header;
    header.name = entry.name;
    header.sessionType = entry.sessionType;
    header.className = entry.className;
    header.subject = entry.subject;
    header.teacherName = entry.teacherName;
    header.day = entry.day;
    header.deviceType = entry.deviceType;
    QuizEntity quiz = ManualSession::stamped(header, now);
    quiz.setQuestionNum(0);
    quiz.setIsCoureGrade(true);
    quiz.setTotalMark(entry.totalMark);
    for (StudentEntity &s : students)
        for (const auto &[id, value] : points)
            if (s.id() == id) {
                s.setTotalMark(QString::number(value));
                break;
            }
    quiz.setAllStudents(students);
    return quiz;
}
