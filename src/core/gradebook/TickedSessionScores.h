#pragma once

#include "core/store/SessionSelect.h"

#include "core/store/SessionPoints.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// The points of the sessions ticked for a course grade, each session read once: what the
// computation and the gradebook reports rate the students by. A period may hold a thousand
// sessions, so they are read side by side on a few threads; the order given is kept.
class TickedSessionScores
{
public:
    struct Session
    {
        bool readable = false;
        // A session run with keypads: it rates every student (0 for one who did not answer). A
        // points-only session rates only the students it lists.
        bool runActivity = false;
        // The session's total mark as a whole number.
        int totalMark = 0;
        SessionPoints points;
        // Why it could not be read.
        QString why;
    };
    // read of total sessions read so far; called from the reading threads.
    using Progress = std::function<void(int read, int total)>;

    TickedSessionScores() = default;
    static TickedSessionScores read(const QList<SessionSelect> &ticked, const Progress &progress = {});

    qsizetype size() const { return m_rows.size(); }
    const SessionSelect &row(qsizetype i) const { return m_rows.at(i); }
    const Session &at(qsizetype i) const { return m_sessions.at(size_t(i)); }
    // "name: reason" of each session that could not be read, in order.
    QStringList unreadable() const;

    // Whether session i rates the student, for the course grade and every gradebook report
    // alike: a readable session with a total mark above 0 that is either run with keypads (it
    // rates every student; one who did not answer has 0 points) or a points-only session that
    // lists the student. A session that does not rate a student is neither a 0 nor missed for
    // him: it is left out of his figures.
    bool ratesStudent(qsizetype i, const QString &studentID) const;
    // The student's points in session i, cut to a whole number, in percent of the session's whole
    // total mark (computed in double precision, kept in single); 0 when the session does not rate
    // the student. Unrounded: reports round it once, for display.
    float percent(qsizetype i, const QString &studentID) const;
    // The same as a fraction of the total mark in single precision, as the course grade adds it.
    float ratio(qsizetype i, const QString &studentID) const;
    // Below this percent a session is missed.
    static constexpr int kPassPercent = 60;
    // A rated session the student stayed under 60 percent in (the unrounded percent).
    static bool isMissed(float percent) { return percent < float(kPassPercent); }
    // The class average of session i (kept in points by the session picker, unrounded) in percent
    // of the same total mark, so that reports set it beside a student's percent in one unit: 0
    // when the total mark is 0.
    float averagePercent(qsizetype i) const;

private:
    QList<SessionSelect> m_rows;
    std::vector<Session> m_sessions;
};
