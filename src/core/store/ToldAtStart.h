#pragma once

#include "platform/LeftAlone.h"

// What the start found and left as it is because Pollix did not make it is told to the teacher
// once, not at every start: a note in the application folder (".told-at-start") keeps, for each
// thing told, its path and what the disk says of it (device, inode, size, time of its last
// change), so that a thing put in its place, or changed since, is told again; a line of a record
// that Pollix writes again (LeftAlone::line) is kept by what the line says. The note is read
// back as any record (a regular file of at most 1 MB, Pollix's lines only); one that is not is
// left as it is, and everything found is told again, with that note itself, as long as it stays.
class ToldAtStart
{
public:
    // What of found the teacher was not told yet, in found's order. Where the note is none
    // Pollix wrote, all of found and then the note itself, and *noteRefused is set: nothing can
    // be noted as told then.
    static LeftAloneList untold(const LeftAloneList &found, bool *noteRefused = nullptr);
    // Notes that found has been told: the note then names found alone, so that a thing gone and
    // back later is told again. False, with the reason, when the note could not be written (it is
    // none Pollix wrote, or the application folder may not be written): found comes again.
    static bool noteTold(const LeftAloneList &found, QString *errorText = nullptr);

    // The note's name in the application folder.
    static QString noteName();
};
