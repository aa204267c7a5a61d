#pragma once

#include "core/store/RecordField.h"

#include <QString>

// One row of the Progressive Report: a session of the course grade with the student's percent.
class PregressReportData
{
public:
    enum Flag { SessionRow = 1, MissedRow = 2 };

    POLLIX_RECORD_FIELD(QString, session, setSession, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, sessionType, setSessionType, QStringLiteral(""))
    // The student's percent, "%.1f".
    POLLIX_RECORD_FIELD(QString, point, setPoint, QStringLiteral(""))
    // The session's class average, in percent of its total mark like the student's.
    POLLIX_RECORD_FIELD(float, sessionAvg, setSessionAvg, 0.0f)
    POLLIX_RECORD_FIELD(QString, date, setDate, QStringLiteral(""))
    POLLIX_RECORD_FIELD(int, flag, setFlag, SessionRow)
};
