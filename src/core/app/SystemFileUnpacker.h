#pragma once

#include <QString>

// The application folder's first-run files (sounds, user manuals, standards, presentation
// template, the data folders) from the program's own archive ("Pollix", beside the program; its
// entries sit under "Pollix/"). Every start puts in place each file of the archive that the
// folder lacks, whatever else the folder holds (a new folder, one holding only Pollix's own lock
// and side files, a teacher's folder missing some): the decision is taken per entry, never from
// the folder as a whole. A file that is there is never overwritten, except the presentation
// template, which is replaced unless it carries the archive entry's date to the second. The data
// folders are not made while the data folder cannot be used (a restore's replacement of it is
// still noted down, or its data lie beside it): the replacement puts its own in place.
class SystemFileUnpacker
{
public:
    // UnpackedAll: every file of the archive was missing and is now in place; AddedMissing: some
    // were (the template may also have been replaced); ReplacedTemplate: only the template was
    // renewed; Failed: the archive could not be read or a file could not be written (the other
    // files are in place all the same).
    enum Result { NothingDone, UnpackedAll, AddedMissing, ReplacedTemplate, Failed };

    // The archive shipped with the program: beside the executable, or in ../share/pollix/.
    static QString archivePath();
    // The set-up each start runs; failures are logged, never shown. Entries whose path would
    // leave the folder are skipped; so is an entry whose way or place holds a symbolic link
    // (other than the data folder itself), which then fails the start like a file that cannot
    // be written.
    static Result unZipSystemFile(const QString &archive, const QString &applicationFolder);

    static QString templateEntry() { return QStringLiteral("Pollix/template.pptx"); }
};
