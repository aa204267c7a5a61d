#include "TickedSessionScores.h"

#include "core/store/DataManager.h"
#include "core/store/GlobalFunctions.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>

namespace {
TickedSessionScores::Session scoresOf(const SessionSelect &row)
{
    TickedSessionScores::Session scores;
    std::optional<SessionPoints> points;
    if (!row.filePath().isEmpty()) {
        points = DataManager::getStudentPointsAtPath(row.filePath(), &scores.why);
    } else if (const std::optional<QuizEntity> quiz = DataManager::getQuizWhereActNoIs(row.actID())) {
        // A row that names no file: the session of its ID.
        SessionPoints p;
        p.setTotalMark(quiz->totalMark());
        for (const StudentEntity &s : quiz->allStudents()) {
            p.studentIDs() << s.id();
            p.firstNames() << s.firstName();
            p.lastNames() << s.lastName();
        }
        p.setPoints(DataManager::getTotalPointsOfStudentsInQuiz(*quiz));
        points = p;
    }
    if (!points)
        return scores;
    scores.readable = true;
    scores.runActivity = row.flag() == 1;
    scores.totalMark = GlobalFunctions::intValue(points->totalMark());
    scores.points = *points;
    return scores;
}
} // namespace

TickedSessionScores TickedSessionScores::read(const QList<SessionSelect> &ticked, const Progress &progress)
{
    TickedSessionScores table;
    table.m_rows = ticked;
    table.m_sessions.resize(size_t(ticked.size()));
    std::atomic<size_t> next{0};
    std::atomic<int> done{0};
    const auto work = [&] {
        for (size_t i = next++; i < table.m_sessions.size(); i = next++) {
            table.m_sessions[i] = scoresOf(ticked.at(qsizetype(i)));
            if (progress)
                progress(++done, int(ticked.size()));
        }
    };
    const unsigned workers = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    std::vector<std::thread> threads;
    for (unsigned k = 1; k < workers && k < table.m_sessions.size(); ++k)
        threads.emplace_back(work);
    work();
    for (std::thread &t : threads)
        t.join();
    return table;
}

QStringList TickedSessionScores::unreadable() const
{
    QStringList out;
    for (qsizetype i = 0; i < size(); ++i) {
        if (at(i).readable)
            continue;
        const QString &name = row(i).session();
        out << (at(i).why.isEmpty() ? name : QStringLiteral("%1: %2").arg(name, at(i).why));
    }
    return out;
}

bool TickedSessionScores::ratesStudent(qsizetype i, const QString &studentID) const
{
    const Session &s = at(i);
    return s.readable && s.totalMark > 0 && (s.runActivity || s.points.points().contains(studentID));
}

namespace {
double wholePoints(const TickedSessionScores::Session &s, const QString &studentID)
{
    return std::trunc(double(s.points.points().value(studentID, 0.0f)));
}
} // namespace

float TickedSessionScores::percent(qsizetype i, const QString &studentID) const
{
    if (!ratesStudent(i, studentID))
        return 0.0f;
    return float(wholePoints(at(i), studentID) * 100.0 / double(at(i).totalMark));
}

float TickedSessionScores::ratio(qsizetype i, const QString &studentID) const
{
    if (!ratesStudent(i, studentID))
        return 0.0f;
    return float(wholePoints(at(i), studentID)) / float(at(i).totalMark);
}

float TickedSessionScores::averagePercent(qsizetype i) const
{
    const int total = at(i).totalMark;
    return total == 0 ? 0.0f : float(double(row(i).avg()) * 100.0 / double(total));
}
