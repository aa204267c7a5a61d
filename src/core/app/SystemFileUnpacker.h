#pragma once

#include <QDateTime>
#include <QString>

// First-run set-up of the application folder from the program's own archive ("Pollix", beside the
// program; its entries sit under "Pollix/"). A missing folder gets the whole archive; an existing
// one only gets a fresh presentation template when the archive's differs in date.
class SystemFileUnpacker
{
public:
    enum Result { NothingDone, UnpackedAll, ReplacedTemplate, Failed };

    // The archive shipped with the program: beside the executable, or in ../share/pollix/.
    static QString archivePath();
    // The whole set-up; failures leave the folder as it is and are only logged.
    static Result unZipSystemFile(const QString &archive, const QString &applicationFolder);

    // Every entry under "Pollix/" into folder; false when the archive cannot be read or a file
    // cannot be written. Entries whose path would leave the folder are skipped.
    static bool unZipAllFileFrom(const QString &archive, const QString &folder);
    // One entry (path inside the archive) to target, unless target already has the entry's date
    // to the second. replaced tells whether the file was written.
    static bool unzipFile(const QString &archive, const QString &entry, const QString &target, bool *replaced = nullptr);

    static QString templateEntry() { return QStringLiteral("Pollix/template.pptx"); }
};
