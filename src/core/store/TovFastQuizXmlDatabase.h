#pragma once

#include "TovSessionXmlParsedResult.h"

#include <QList>
#include <QString>

#include <functional>

class QuizEntity;
template <typename T> class Singleton;

// The fast session index: one header entry per file of the session folder (flag 1) and the
// points-only folder (flag 2), read by scanning only the start of each file. The session writers
// keep it in step with the disk: they change an entry only after the file was written or removed.
// Entries stay in insertion order; nothing sorts them. Main thread only.
class TovFastQuizXmlDatabase
{
public:
    // Progress while loading: files done, files in all (both folders).
    using Progress = std::function<void(int done, int total)>;

    // Created empty; nothing is loaded until reloadQuiz().
    static TovFastQuizXmlDatabase *sharedFastQuiz();

    // Empties the list, then loads both folders.
    void reloadQuiz(const Progress &progress = {});
    // Appends one entry per file of each folder that exists (a missing folder is skipped).
    void loadQuiz(const Progress &progress = {});
    // The entries loadQuiz() appends, read from both folders now; the index is left as it is.
    static QList<TovSessionXmlParsedResult> readHeaders(const Progress &progress = {});

    const QList<TovSessionXmlParsedResult> &allSessionXmlParsedResults() const { return m_results; }
    // Appends an entry the caller parsed itself (the import windows do).
    void addQSessionResult(const TovSessionXmlParsedResult &result);
    // A new entry for a file just written from quiz.
    void addQuizWithPath(const QString &path, const QString &uuid, int flag, const QuizEntity &quiz);
    // Refreshes the entry of path from quiz. dateCreated: "Default" takes the record's date
    // (a date value as its standard text "YYYY-MM-DD HH:MM:SS +0800"), "" keeps the entry's,
    // any other text is taken as it is. Mode, ID and flag stay. No entry: nothing happens.
    void updateQuizWithPath(const QString &path, const QString &dateCreated, const QuizEntity &quiz);
    void deleteQuizWithPath(const QString &path);
    // Reads the head of path's file again into its entry (a save refused over another program's
    // version of it). No entry: nothing happens.
    void readAgainWithPath(const QString &path);
    // The first entry whose path equals path exactly; valid until the list next changes.
    const TovSessionXmlParsedResult *session_resultByPath(const QString &path) const;

private:
    friend class Singleton<TovFastQuizXmlDatabase>;
    TovFastQuizXmlDatabase() = default;

    qsizetype indexOfPath(const QString &path) const;

    QList<TovSessionXmlParsedResult> m_results;
};
