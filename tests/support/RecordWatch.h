#pragma once

#include <QHash>
#include <QList>
#include <QMutex>
#include <QPair>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Keeps count of the sessions, classes and students of a data folder while the program works on
// it: each one there at the first census or seen at a later one must be there at every census
// after, in a file that reads as its store reads it, unless Pollix's own commands took it away
// (DataRemovals) while the watcher's `acting` said that the user acted. A removal told at any
// other time (a start, a timer) excuses nothing. A file seen before that holds other bytes at a
// census must hold what Pollix's own store wrote there (DataSaves), or lie below what Pollix took
// away while the user acted (a restore replaces the data folder): a file rewritten otherwise,
// even one that reads (an empty session), fails. Saves excuse whenever they are told: a keypad's
// log-in or the teacher keypad saves with no step of the user's under way.
//
// Made and checked on the GUI thread while an application delegate is set (the layout of the
// data folder comes from it); removals and saves may be told from any thread.
class RecordWatch
{
public:
    explicit RecordWatch(std::function<bool()> acting);
    ~RecordWatch();
    RecordWatch(const RecordWatch &) = delete;
    RecordWatch &operator=(const RecordWatch &) = delete;

    struct Findings
    {
        QStringList failures; // each record gone or changed unexcused and each file that no longer reads, once
        QStringList removals; // what Pollix took away since the last check, as told
        QStringList saves;    // the files Pollix's stores wrote since the last check, as told
    };
    // Takes a census and compares it with the last one. The first call takes the records to keep.
    Findings check();

private:
    // A file relative to the data folder, and a student's ID (case-folded) or none.
    using Record = QPair<QString, QString>;
    struct FileState
    {
        QString stamp; // size, time of change and inode: the file read again when it changes
        QByteArray digest; // of the bytes last read
        QString problem;
        QStringList students;
    };
    struct Removal
    {
        QString relative; // "" for the data folder itself
        QString studentID;
        bool acted = false;
    };

    struct Save
    {
        QString relative;
        QByteArray digest;
    };

    // The path relative to the data folder; none for a path outside it, "" for the folder itself.
    std::optional<QString> relativeOf(const QString &path) const;
    void told(const QString &path, const QString &studentID);
    void toldSave(const QString &path, const QByteArray &bytes);
    // The records there now; unreadable gets the files that do not read, changed those that
    // hold other bytes than at the census before.
    QSet<Record> census(QStringList &unreadable, QStringList &changed);
    bool excused(const Record &record, const QList<Removal> &removals) const;
    QString describe(const Record &record) const;

    std::function<bool()> m_acting;
    QString m_data;
    QString m_classes;
    QString m_roster;
    QSet<Record> m_kept;
    bool m_first = true;
    QHash<QString, FileState> m_files;
    QSet<QString> m_unreadable;
    QList<Removal> m_lastRemovals;
    // What Pollix's stores said they would write in each file, in the order told, until the file
    // is seen holding it (a write may land a count or more after it was told).
    QHash<QString, QList<QByteArray>> m_toldSaves;
    QMutex m_mutex;
    QList<Removal> m_removals;
    QList<Save> m_saves;
};
