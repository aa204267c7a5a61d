#pragma once

#include "core/store/RecordField.h"
#include "core/store/TovSessionXmlParsedResult.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

// One row of the Report window's session list, built from one entry of the fast session index.
class ReportTable1Element
{
    // Nothing sets it; kept for the windows that pass it on.
    POLLIX_RECORD_FIELD(int, actNo, setActNo, 0)
    POLLIX_RECORD_FIELD(QString, session, setSession, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, testTitle, setTestTitle, QStringLiteral(""))
    // The activity name of the stored Mode; empty for the codes that have none.
    POLLIX_RECORD_FIELD(QString, activityMode, setActivityMode, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, className, setClassName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, subjectName, setSubjectName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, teacherName, setTeacherName, QStringLiteral(""))
    // The creation day as stored, "YYYY-MM-DD".
    POLLIX_RECORD_FIELD(QString, date, setDate, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, type, setType, QStringLiteral(""))
    // "NORMAL" or "COURSE".
    POLLIX_RECORD_FIELD(QString, flagStr, setFlagStr, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, filePath, setFilePath, QStringLiteral(""))
    // 1 a session of the session folder, 2 a points-only session.
    POLLIX_RECORD_FIELD(int, flag, setFlag, 0)
    POLLIX_RECORD_FIELD(QString, strID, setStrID, QStringLiteral(""))
    // The creation time as stored ("YYYY-MM-DD HH:MM:SS +0800").
    POLLIX_RECORD_FIELD(QString, dateZone, setDateZone, QStringLiteral(""))
    // The creation day and time as written in the file, a calendar day and a wall-clock time
    // without a zone, so that no filter shifts a day whatever the machine's zone is. The day is
    // invalid when the file holds none.
    POLLIX_RECORD_FIELD(QDate, day, setDay)
    POLLIX_RECORD_FIELD(QTime, time, setTime)
    POLLIX_RECORD_FIELD(TovSessionXmlParsedResult, result, setResult)
    // Why the session file's header cannot be read; empty when it can. Such a row is named by
    // its file (session) and has nothing else to show.
    POLLIX_RECORD_FIELD(QString, unreadable, setUnreadable, QStringLiteral(""))

public:
    static ReportTable1Element fromResult(const TovSessionXmlParsedResult &entry);
    // Day and time together, the sort key (newest first in the list).
    QDateTime created() const;
    // The file name Export proposes: the session's name with ".xml"; a damaged file's row, named
    // by its file, proposes that file's name as it is.
    QString exportFileName() const;
};
