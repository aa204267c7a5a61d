#include "CourseGradeCalculator.h"

#include "core/app/CommonFunc.h"
#include "core/store/DataManager.h"
#include "core/store/GlobalFunctions.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

using GF = GlobalFunctions;

namespace {
// What the computation needs of one ticked session.
struct SessionScores
{
    bool readable = false;
    bool runActivity = false;
    // The session's total mark as a whole number; 0 rates nobody.
    int totalMark = 0;
    SessionPoints points;
};

SessionScores scoresOf(const SessionSelect &row, QString *why)
{
    SessionScores scores;
    std::optional<SessionPoints> points;
    if (!row.filePath().isEmpty()) {
        points = DataManager::getStudentPointsAtPath(row.filePath(), why);
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
    scores.totalMark = GF::intValue(points->totalMark());
    scores.points = *points;
    return scores;
}
} // namespace

float CourseGradeCalculator::oneDecimal(float value)
{
    return QString::asprintf("%.1f", double(value)).toFloat();
}

float CourseGradeCalculator::roundedTotal(float sum)
{
    const float x = 100.0f * sum + 5.0f;
    const float q = std::trunc(x / 10.0f);
    return oneDecimal(q / 10.0f);
}

QString CourseGradeCalculator::letterFor(float total, const QList<ConversionLetter> &letters)
{
    const ConversionLetter *best = nullptr;
    for (const ConversionLetter &l : letters)
        if (float(l.pointFrom()) <= total && (!best || l.pointFrom() > best->pointFrom()))
            best = &l;
    return best ? best->letter() : QStringLiteral("None");
}

float CourseGradeCalculator::classAverage(const QList<StudentMarkGrade> &rows)
{
    if (rows.isEmpty())
        return 0.0f;
    float sum = 0.0f;
    for (const StudentMarkGrade &r : rows)
        sum += r.total();
    return sum / float(rows.size());
}

CourseGradeCalculator::Result CourseGradeCalculator::compute(const QList<SelectSessionType> &types,
                                                             const QList<SessionSelect> &ticked,
                                                             const QList<ConversionLetter> &letters,
                                                             const Progress &progress)
{
    Result result;
    // A period may hold a thousand sessions: they are read side by side.
    std::vector<SessionScores> sessions(size_t(ticked.size()));
    std::vector<QString> whys(size_t(ticked.size()));
    std::atomic<size_t> next{0};
    std::atomic<int> read{0};
    const auto work = [&] {
        for (size_t i = next++; i < sessions.size(); i = next++) {
            sessions[i] = scoresOf(ticked.at(qsizetype(i)), &whys[i]);
            // The students are not counted yet: the bar fills with the sessions first.
            if (progress)
                progress(++read, int(sessions.size()) * 2);
        }
    };
    const unsigned workers = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    std::vector<std::thread> threads;
    for (unsigned k = 1; k < workers && k < sessions.size(); ++k)
        threads.emplace_back(work);
    work();
    for (std::thread &t : threads)
        t.join();
    for (size_t i = 0; i < sessions.size(); ++i) {
        if (sessions[i].readable)
            continue;
        const QString &name = ticked.at(qsizetype(i)).session();
        result.unreadable << (whys[i].isEmpty() ? name : QStringLiteral("%1: %2").arg(name, whys[i]));
    }

    // The grid's students.
    QSet<QString> seen;
    for (const SessionScores &s : sessions) {
        const SessionPoints &p = s.points;
        for (qsizetype i = 0; i < p.studentIDs().size(); ++i) {
            if (seen.contains(p.studentIDs().at(i)))
                continue;
            seen.insert(p.studentIDs().at(i));
            StudentMarkGrade row;
            row.setStudentID(p.studentIDs().at(i));
            row.setStudentName(mergeFirstLastString(p.firstNames().at(i), p.lastNames().at(i)));
            result.rows << row;
        }
    }

    // Which ticked sessions rate each counted type.
    QList<QList<qsizetype>> sessionsOfType;
    for (const SelectSessionType &t : types) {
        QList<qsizetype> of;
        for (qsizetype i = 0; i < ticked.size(); ++i)
            if (ticked.at(i).type() == t.sessionType() && sessions[size_t(i)].readable && sessions[size_t(i)].totalMark != 0)
                of << i;
        sessionsOfType << of;
    }

    const int count = int(result.rows.size());
    const int steps = int(sessions.size()) + count;
    for (int k = 0; k < count; ++k) {
        if (progress)
            progress(int(sessions.size()) + k + 1, steps);
        StudentMarkGrade &row = result.rows[k];
        float sum = 0.0f;
        bool complete = true;
        for (qsizetype t = 0; t < types.size(); ++t) {
            float r = 0.0f;
            int n = 0;
            for (const qsizetype i : sessionsOfType.at(t)) {
                const SessionScores &s = sessions[size_t(i)];
                const float total = float(s.totalMark);
                const QHash<QString, float> &points = s.points.points();
                if (s.runActivity) {
                    r += points.value(row.studentID(), 0.0f) / total;
                    ++n;
                } else if (const auto hit = points.constFind(row.studentID()); hit != points.constEnd()) {
                    r += *hit / total;
                    ++n;
                }
            }
            // Nothing rates the student in this type: 0, and no letter for an incomplete total.
            const float mark = n > 0 ? types.at(t).weight() * (r / float(n)) : 0.0f;
            complete = complete && n > 0;
            row.markArray().append(oneDecimal(mark));
            sum += mark;
        }
        row.setTotal(roundedTotal(sum));
        row.setGrade(complete ? letterFor(row.total(), letters) : QString());
    }
    return result;
}
