#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>

// Replaces several files as one change: either every file gets its new bytes or every file
// stays as it was. Each new file is first written whole beside its target (through AtomicFile,
// so a full disk or a read-only folder stops the change there, before any target was touched).
// Only when all are on the disk are they moved into place, each old file kept under a second
// name until the last move is done, so that a move that fails puts the earlier ones back.
class AtomicFileSet
{
public:
    // A later add of the same path replaces its bytes.
    void add(const QString &path, const QByteArray &data);
    bool isEmpty() const { return m_files.isEmpty(); }
    QStringList paths() const;
    // The bytes added for path, if any.
    std::optional<QByteArray> dataFor(const QString &path) const;

    // False when any file could not be replaced; every target is then as it was, and
    // *errorText names the file and the reason.
    bool commit(QString *errorText = nullptr);
    // After a failed commit: the file that could not be replaced.
    const QString &failedPath() const { return m_failedPath; }

    // Tests: make the move of a path into place fail (as a folder removed meanwhile would), to
    // see the earlier moves taken back. Return true to fail that path's move.
    static void setMoveFailureHook(std::function<bool(const QString &path)> hook);

private:
    QList<std::pair<QString, QByteArray>> m_files;
    QString m_failedPath;
};
