#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Where the sources change a file or folder by its path, or by a raw descriptor call of their own,
// rather than through the folder held open (FolderHandle): removals, renames, copies, links, new
// folders, files opened to be written, temporary files and folders. Read from the text alone, with
// comments and the insides of literals left out.
class DiskChanges
{
public:
    struct Change
    {
        QString file; // below the root looked at; empty for a text
        int line = 0;
        // What changes the disk, as one name for each way: "::rename", "std::remove",
        // "QFile::remove", "QFile.remove" (a QFile's own, or a temporary's), "QDir.mkpath",
        // "QFile.open" (to write), "::open" (to write), "QTemporaryFile", "fopen", "zipOpen",
        // "std::filesystem::remove", ...
        QString call;
    };
    // A file where some of these are allowed, and why: calls names them as Change does; every one
    // is allowed there when it is empty.
    struct Allowed
    {
        QString file;
        QStringList calls;
        QString reason;
    };

    // Every change in the source files in and below folder of root, but those allowed, in file and
    // line order.
    static QList<Change> changesBelow(const QString &root, const QString &folder, const QList<Allowed> &allowed);
    // Every change in one source text, in line order.
    static QList<Change> changesIn(const QByteArray &text);
    // The text with comments, preprocessor lines and the insides of string and character literals
    // blanked; every line stays where it was.
    static QByteArray codeOnly(const QByteArray &text);

    static QString describe(const Change &change);
};
