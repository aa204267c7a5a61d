#pragma once

#include "QuizEntity.h"

#include <QString>

#include <functional>
#include <optional>

#include <pugixml.hpp>

// Session files: one XML file (root "Session") per run of an activity or per session entered by
// hand, in the session folder. Writes replace files atomically, report their result, and change
// the fast session index only once the disk has changed. Stateless: create one per operation.
class TovQuizXmlDatabase
{
public:
    // Writes a new session file named name + the record's date + ".xml" and adds its index entry.
    // Defaults go into the record first (an empty title or total mark becomes " ", an empty date,
    // start or end time now, an empty first roll-call time now). Path separators in the name become "_";
    // a name already taken gets " (2)", " (3)" ... so no file is replaced. The path written goes to
    // *writtenPath. An attendance record (activity code "13") is written with students and roll
    // call; any other with questions, answers and students, and last the groups' extra points where
    // a group has any. On failure the reason goes to *errorText.
    bool addQuizWithName(const QString &name, QuizEntity &quiz, QString *writtenPath = nullptr,
                         QString *errorText = nullptr);
    // Replaces the session file at path from an edited record (actNo holds the file's ID) and
    // refreshes its index entry. On failure the old file and the entry stay as they were.
    bool upDataQuizForReport(const QString &path, const QuizEntity &quiz, QString *errorText = nullptr);
    // Removes the file and then its index entry; false (entry kept) when the file stays.
    bool deleteQuizWithName(const QString &path);
    // The whole session, in the full or the points-only shape; none when it cannot be loaded.
    std::optional<QuizEntity> getQuizInfoAll(const QString &path) const;
    // True for a points-only file: the element after "TotalMark" is "StartTime".
    bool getQuizInfoIsCorseGrade(const QString &path) const;
    // The title followed by the number of "Questions" elements ("Week 3" with questions: "Week 31").
    QString getQuizMessage(const QString &path) const;
    // Whether the file at path, read back, holds record: its name, its session total, every
    // question, every student with points, every answer with its question and points, each
    // group's extra points. Else false
    // with the reason.
    bool readsBackAs(const QString &path, const QuizEntity &record, QString *errorText = nullptr) const;
    // Replaces target with a copy of source.
    bool copyFileFrom(const QString &source, const QString &target, QString *errorText = nullptr) const;

    // A new session ID: a random UUID in its 36-character lower-case form.
    static QString genUUID();
    static void setUuidGeneratorForTesting(std::function<QString()> generator);
    // The "Version" text of session files.
    static QString versionString();

    // Readers shared with the session queries: the shape of a loaded session and its records.
    static bool isPointsOnlyRoot(pugi::xml_node root);
    // The session a parsed session file holds, in whichever of the two shapes it has.
    static QuizEntity sessionIn(const pugi::xml_document &doc);
    // The root element of every session file.
    static constexpr char kRootName[] = "Session";
    static void readFullSession(pugi::xml_node root, QuizEntity &quiz);
    static void readPointsOnlySession(pugi::xml_node root, QuizEntity &quiz);
};
