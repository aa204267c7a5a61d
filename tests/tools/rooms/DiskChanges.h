#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Where the sources change a file or folder by its path, or by a raw descriptor call of their own,
// rather than through the folder held open (FolderHandle): removals, renames, copies, links, new
// folders, files opened to be written, temporary files and folders, streams, settings and
// pictures or PDFs written to a file they name. Read from the text alone, with comments and the
// insides of literals left out. What a call is made on is told from the declarations in the text
// and in its class's header: a variable, member or parameter of a file class, a device (a PDF or
// a picture written into a buffer), a function of the source's own that shares a name with one of
// the C library.
class DiskChanges
{
public:
    struct Change
    {
        QString file; // below the root looked at; empty for a text
        int line = 0;
        // What changes the disk, as one name for each way: "::rename", "std::remove",
        // "QFile::remove", "QFile.remove" (a QFile's own, or a temporary's), "QDir.mkpath",
        // "QFile.open" (to write, or with a mode that cannot be read from the text), "::open" (to
        // write), "QTemporaryFile", "fopen", "zipOpen", "std::ofstream", "QSettings",
        // "QPdfWriter" (made with a file name), "QImage.save" (to a file name), "::mkstemp",
        // "std::filesystem::remove", ...
        QString call;
        // The function whose body holds it, as its definition names it ("Class::method", or the
        // bare name of a free function); empty outside every function (a declaration).
        QString function;
    };
    // A file where some of these are allowed, and why: calls names them as Change does; every one
    // is allowed there when it is empty. functions names where in the file (as Change does; an
    // empty name for outside every function); anywhere in the file when it is empty.
    struct Allowed
    {
        QString file;
        QStringList calls;
        QString reason;
        QStringList functions;
    };

    // Every change in the source files in and below folder of root, but those allowed, in file and
    // line order. A source file's header of the same name beside it is read for its declarations.
    static QList<Change> changesBelow(const QString &root, const QString &folder, const QList<Allowed> &allowed);
    // Every change in one source text, in line order; declarations: its header's text, for what
    // its members and functions are.
    static QList<Change> changesIn(const QByteArray &text, const QByteArray &declarations = QByteArray());
    // The text with comments, preprocessor lines and the insides of string and character literals
    // blanked; every line stays where it was.
    static QByteArray codeOnly(const QByteArray &text);

    static QString describe(const Change &change);
};
