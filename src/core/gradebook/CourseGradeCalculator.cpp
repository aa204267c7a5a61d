#include "CourseGradeCalculator.h"

#include "core/app/CommonFunc.h"
#include "core/store/DataManager.h"
#include "core/store/GlobalFunctions.h"

#include <QHash>
#include <QSet>

#include <cmath>

using GF = GlobalFunctions;

namespace {
// What the computation needs of one ticked session.
struct SessionScores
{
    bool readable = false;
    bool runActivity = false;
    // The session's total mark as a whole number; 0 rates nobody.
    int totalMark = 0;
    QList<StudentEntity> students;
    // A run activity: each student's points; a points-only session: each listed student's
    // whole-number points (the first line of an ID).
    QHash<QString, float> points;
};

SessionScores scoresOf(const SessionSelect &row, QString *why)
{
    SessionScores scores;
    std::optional<QuizEntity> quiz;
    if (!row.filePath().isEmpty())
        quiz = DataManager::getQuizAtPath(row.filePath(), why);
    else
        quiz = DataManager::getQuizWhereActNoIs(row.actID());
    if (!quiz)
        return scores;
    scores.readable = true;
    scores.runActivity = row.flag() == 1;
    scores.totalMark = GF::intValue(quiz->totalMark());
    scores.students = quiz->allStudents();
    if (scores.runActivity) {
        scores.points = DataManager::getTotalPointsOfStudentsInQuiz(*quiz);
    } else {
        for (const StudentEntity &s : scores.students)
            if (!scores.points.contains(s.id()))
                scores.points.insert(s.id(), float(GF::intValue(s.totalMark())));
    }
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
    QList<SessionScores> sessions;
    sessions.reserve(ticked.size());
    for (const SessionSelect &row : ticked) {
        QString why;
        sessions << scoresOf(row, &why);
        if (!sessions.last().readable)
            result.unreadable << (why.isEmpty() ? row.session() : QStringLiteral("%1: %2").arg(row.session(), why));
    }

    // The grid's students.
    QSet<QString> seen;
    for (const SessionScores &s : sessions) {
        for (const StudentEntity &student : s.students) {
            if (seen.contains(student.id()))
                continue;
            seen.insert(student.id());
            StudentMarkGrade row;
            row.setStudentID(student.id());
            row.setStudentName(mergeFirstLastString(student.firstName(), student.lastName()));
            result.rows << row;
        }
    }

    // Which ticked sessions rate each counted type.
    QList<QList<qsizetype>> sessionsOfType;
    for (const SelectSessionType &t : types) {
        QList<qsizetype> of;
        for (qsizetype i = 0; i < ticked.size(); ++i)
            if (ticked.at(i).type() == t.sessionType() && sessions.at(i).readable && sessions.at(i).totalMark != 0)
                of << i;
        sessionsOfType << of;
    }

    const int count = int(result.rows.size());
    for (int k = 0; k < count; ++k) {
        if (progress)
            progress(k + 1, count);
        StudentMarkGrade &row = result.rows[k];
        float sum = 0.0f;
        bool complete = true;
        for (qsizetype t = 0; t < types.size(); ++t) {
            float r = 0.0f;
            int n = 0;
            for (const qsizetype i : sessionsOfType.at(t)) {
                const SessionScores &s = sessions.at(i);
                const float total = float(s.totalMark);
                if (s.runActivity) {
                    r += s.points.value(row.studentID(), 0.0f) / total;
                    ++n;
                } else if (const auto hit = s.points.constFind(row.studentID()); hit != s.points.constEnd()) {
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
