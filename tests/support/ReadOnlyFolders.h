#pragma once

#include <QString>
#include <QTemporaryDir>

// An application folder ("Pollix") with its data folder below it, in a temporary folder, whose
// folders a test makes read-only for this account (as a school image has them); each is made
// writable again at the end, so that the temporary folder can be removed.
class ReadOnlyFolders
{
public:
    ReadOnlyFolders();
    ~ReadOnlyFolders();
    ReadOnlyFolders(const ReadOnlyFolders &) = delete;
    ReadOnlyFolders &operator=(const ReadOnlyFolders &) = delete;

    bool isValid() const;
    QString folder() const { return m_folder; }
    QString data() const { return m_data; }
    // False when the permissions could not be changed.
    bool makeReadOnly(const QString &path);
    bool makeWritable(const QString &path);

private:
    QTemporaryDir m_dir;
    QString m_folder;
    QString m_data;
};
