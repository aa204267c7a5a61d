#pragma once

#include "core/store/RecordField.h"

#include <QString>

// One row of the Academic Summary Report (and a type row of the Course Grade Summary): a session
// type with the student's sessions of it, or that type's missed sessions.
class AcademicSummary
{
    POLLIX_RECORD_FIELD(QString, sessionType, setSessionType, QStringLiteral(""))
    POLLIX_RECORD_FIELD(int, count, setCount, 0)
    // The sum of the student's percents over the type's sessions.
    POLLIX_RECORD_FIELD(float, totalPoints, setTotalPoints, 0.0f)
    // The sum of those sessions' class averages, each in percent of its session's total mark.
    POLLIX_RECORD_FIELD(float, totalAvg, setTotalAvg, 0.0f)
    // Titles of the type's sessions under 60 percent, separated by a blank.
    POLLIX_RECORD_FIELD(QString, missedSessions, setMissedSessions, QStringLiteral(""))
    POLLIX_RECORD_FIELD(bool, hasMissedSession, setHasMissedSession, false)

public:
    // "%@(%d)": the type and its count.
    QString typeText() const { return QStringLiteral("%1(%2)").arg(m_sessionType).arg(m_count); }
    // The student's average percent over the type (count is at least 1 on a type row).
    float averagePercent() const { return m_count > 0 ? m_totalPoints / float(m_count) : 0.0f; }
    float averageOfSessions() const { return m_count > 0 ? m_totalAvg / float(m_count) : 0.0f; }
};
