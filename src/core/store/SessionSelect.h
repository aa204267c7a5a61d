#pragma once

#include "core/store/RecordField.h"

#include <QString>

// One row of the gradebook's session picker: a stored session of one class, subject and teacher.
class SessionSelect
{
    POLLIX_RECORD_FIELD(int, actNum, setActNum, 0)
    POLLIX_RECORD_FIELD(bool, isSelect, setIsSelect, false)
    POLLIX_RECORD_FIELD(QString, session, setSession, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, className, setClassName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, subjectName, setSubjectName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, teacherName, setTeacherName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(int, sessionNum, setSessionNum, 0)
    POLLIX_RECORD_FIELD(QString, type, setType, QStringLiteral(""))
    POLLIX_RECORD_FIELD(int, points, setPoints, 0)
    POLLIX_RECORD_FIELD(int, totalStudents, setTotalStudents, 0)
    // The class average in points, unrounded; shown to 0.1.
    POLLIX_RECORD_FIELD(float, avg, setAvg, 0.0f)
    // The session's day, "YYYY-MM-DD".
    POLLIX_RECORD_FIELD(QString, date, setDate, QStringLiteral(""))
    // 1: a session of the session folder; 2: a points-only session.
    POLLIX_RECORD_FIELD(int, flag, setFlag, 0)
    POLLIX_RECORD_FIELD(QString, actID, setActID, QStringLiteral(""))
    // The file the row was read from. Imported sessions may share an ID, so a row is opened by
    // its path (DataManager::getQuizAtPath), not by actID.
    POLLIX_RECORD_FIELD(QString, filePath, setFilePath, QStringLiteral(""))
};
