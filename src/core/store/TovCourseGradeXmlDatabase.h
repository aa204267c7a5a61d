#pragma once

#include "QuizEntity.h"

#include <QString>

// Points-only session files: sessions that hold no questions, only each student's points, one
// file per session in the points-only folder (root "Session" like a session file, a shorter
// header, students with "SID", "Name", "LastName" and "TotalMark"). Stateless: create one per
// operation. Reading back is TovQuizXmlDatabase::getQuizInfoAll or DataManager; deleting is
// TovQuizXmlDatabase::deleteQuizWithName.
class TovCourseGradeXmlDatabase
{
public:
    // Writes a new file named name + ".xml" (no date is appended: the caller puts one in the
    // name) with a new session ID, then adds its index entry (flag 2). An empty title becomes
    // " " and an empty start time now, written back into the record; path separators in the name
    // become "_"; a name already taken gets " (2)", " (3)" ... so no file is ever replaced.
    bool addQuizWithName(const QString &name, QuizEntity &quiz, QString *writtenPath = nullptr,
                         QString *errorText = nullptr);
    // Replaces the file at path from an edited record: actNo holds the file's ID, date the chosen
    // day ("YYYY-MM-DD"; a date value counts by its day), which becomes the day of "DateCreated"
    // and, unless the record carries a start time, of "StartTime"; both keep the times of day the
    // file held (the current time only for a file without them). The index entry follows only
    // when the file was written;
    // on failure the old file stays as it was.
    bool upDataQuizForReport(const QString &path, const QuizEntity &quiz, QString *errorText = nullptr);
    // A new session ID (the one session files get).
    static QString genUUID();
};
