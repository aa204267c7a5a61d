#include "CourseGradeCalculator.h"

#include "TickedSessionScores.h"

#include "core/base/CommonFunc.h"
#include "core/base/PrintfNumber.h"

#include <QSet>

#include <cmath>

float CourseGradeCalculator::oneDecimal(float value)
{
    return PrintfNumber::fixed(double(value), 1).toFloat();
}

float CourseGradeCalculator::roundedTotal(float sum)
{
    const float x = 100.0f * sum + 5.0f;
    const float q = std::trunc(x / 10.0f);
    return oneDecimal(q / 10.0f);
}

int CourseGradeCalculator::letterIndexFor(float total, const QList<ConversionLetter> &letters)
{
    int best = -1;
    for (int i = 0; i < letters.size(); ++i)
        if (float(letters.at(i).pointFrom()) <= total && (best < 0 || letters.at(i).pointFrom() > letters.at(best).pointFrom()))
            best = i;
    return best;
}

QString CourseGradeCalculator::letterFor(float total, const QList<ConversionLetter> &letters)
{
    const int i = letterIndexFor(total, letters);
    return i >= 0 ? letters.at(i).letter() : QStringLiteral("None");
}

QString CourseGradeCalculator::letterOfRow(const StudentMarkGrade &row, const QList<ConversionLetter> &letters)
{
    return row.grade().isEmpty() ? QString() : letterFor(row.total(), letters);
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
    // The students are not counted yet: the bar fills with the sessions first.
    const TickedSessionScores sessions = TickedSessionScores::read(ticked, [&](int read, int total) {
        if (progress)
            progress(read, total * 2);
    });
    result.unreadable = sessions.unreadable();

    // The grid's students.
    QSet<QString> seen;
    for (qsizetype k = 0; k < sessions.size(); ++k) {
        const SessionPoints &p = sessions.at(k).points;
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

    // The ticked sessions of each counted type.
    QList<QList<qsizetype>> sessionsOfType;
    for (const SelectSessionType &t : types) {
        QList<qsizetype> of;
        for (qsizetype i = 0; i < ticked.size(); ++i)
            if (ticked.at(i).type() == t.sessionType())
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
                if (!sessions.ratesStudent(i, row.studentID()))
                    continue;
                r += sessions.ratio(i, row.studentID());
                ++n;
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
