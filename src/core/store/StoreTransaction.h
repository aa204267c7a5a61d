#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

class AtomicFileSet;

// Several store changes that must land together (a student written to the roster and to the
// class files that hold it): while a transaction is open on the main thread, every store file
// write is held in it instead of going to the disk, and every store read of a held file sees the
// held bytes. commit() then replaces all held files as one change: every file or none.
// A transaction destroyed without a commit drops what it holds; the files stay as they were.
//
// Only the file-based student edits of the class and roster stores belong in a transaction; the
// stores that keep lists in memory (classes, subjects, teachers) change those lists at once.
class StoreTransaction
{
public:
    StoreTransaction();
    ~StoreTransaction();
    StoreTransaction(const StoreTransaction &) = delete;
    StoreTransaction &operator=(const StoreTransaction &) = delete;

    // False when a held file could not be written; no file changed then, and *errorText says
    // which file and why. A transaction opened inside another joins it: its commit writes
    // nothing and the outer one decides.
    bool commit(QString *errorText = nullptr);
    // After a failed commit: the file that could not be written.
    QString failedPath() const;

    // The transaction open now, or none.
    static StoreTransaction *current();

    // The store file writer and reader ask these.
    void hold(const QString &path, const QByteArray &data);
    std::optional<QByteArray> held(const QString &path) const;

private:
    std::unique_ptr<AtomicFileSet> m_files;
    StoreTransaction *m_outer = nullptr;
    bool m_joined = false;
};
