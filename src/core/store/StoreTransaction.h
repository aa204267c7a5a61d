#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <tuple>

class AtomicFileSet;

// Several store changes that must land together (a student written to the roster and to the
// class files that hold it): while a transaction is open on the main thread, every store file
// write is held in it instead of going to the disk, and every store read of a held file sees the
// held bytes. commit() then replaces all held files as one change: every file or none.
// A transaction destroyed without a commit drops what it holds; the files stay as they were.
//
// The commit goes through AtomicFileSet, so a change cut short by a kill is finished at the next
// start. Stores that keep lists in memory change those lists at once: after a failed commit the
// caller loads them again.
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

    // Runs change (a series of store calls) as one change of the files: inside a transaction that
    // is committed when change answers true. When change or the commit fails, nothing is written
    // and each store named is put back as it was before (stores that keep their records in
    // memory change them as they go). *errorText says why.
    template <typename... Stores>
    static bool runAsOne(const std::function<bool(QString *why)> &change, QString *errorText, Stores *...stores)
    {
        const std::tuple<Stores...> before(*stores...);
        bool done = false;
        {
            StoreTransaction transaction;
            done = change(errorText) && transaction.commit(errorText);
        }
        if (!done)
            std::apply([&](const Stores &...saved) { ((*stores = saved), ...); }, before);
        return done;
    }

    // The transaction open now, or none.
    static StoreTransaction *current();

    // The store file writer and reader ask these.
    void hold(const QString &path, const QByteArray &data);
    std::optional<QByteArray> held(const QString &path) const;
    // A file removed by the change: it reads as missing until the commit removes it.
    void holdRemoval(const QString &path);
    bool removes(const QString &path) const;

private:
    std::unique_ptr<AtomicFileSet> m_files;
    StoreTransaction *m_outer = nullptr;
    bool m_joined = false;
};
