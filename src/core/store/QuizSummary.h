#pragma once

#include "RecordField.h"

#include <QString>

// The header of one session file, its fields named exactly as the file's header elements.
// DateCreated holds the stored time stamp text, or a date's standard text
// "YYYY-MM-DD HH:MM:SS +0800" after an update with a date value.
class QuizSummary
{
    POLLIX_RECORD_FIELD(QString, ID, setID, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, Name, setName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, Title, setTitle, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, Mode, setMode, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, DateCreated, setDateCreated, QStringLiteral(""))
    POLLIX_RECORD_FIELD(int, questionNum, setQuestionNum, 0)
    POLLIX_RECORD_FIELD(QString, Model, setModel, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, Type, setType, QStringLiteral(""))
    POLLIX_RECORD_FIELD(int, Groups, setGroups, 0)
    POLLIX_RECORD_FIELD(int, PassGrade, setPassGrade, 60)
    POLLIX_RECORD_FIELD(QString, ClassName, setClassName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, TeacherName, setTeacherName, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, Subject, setSubject, QStringLiteral(""))
    POLLIX_RECORD_FIELD(bool, isCoureGrade, setIsCoureGrade, false)
    POLLIX_RECORD_FIELD(QString, TotalMark, setTotalMark, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, StartTime, setStartTime, QStringLiteral(""))
    POLLIX_RECORD_FIELD(QString, EndTime, setEndTime, QStringLiteral(""))
    POLLIX_RECORD_FIELD(int, TimeElapsed, setTimeElapsed, 0)

public:
    // Back to the defaults.
    void reset() { *this = QuizSummary(); }
    // Sets the header field named like a file element; false when there is none of that name.
    bool setField(const QString &element, const QString &text);
    // The header fields one per line, as "label: value" (for logging).
    QString description() const;
};
