#pragma once

#include <QString>

#include <functional>

class QObject;

// Hands a file to the program that the desktop opens files of its kind with (xdg-open: the
// desktop's own opener, or without a desktop the programs xdg-open knows), without waiting for
// that program. Whether anything opens the file is known only once xdg-open ends (Qt's hand-off
// answers only that xdg-open started): a failure comes back then, so the teacher can be told.
// Without a desktop xdg-open runs the program in its stead and ends with it, maybe long after
// the file showed: an error of that program (its exit status, handed on) is no failure to open
// and is only logged; only xdg-open's own "nothing opens this" comes back as NoProgram.
class DesktopOpener
{
public:
    enum class Failure {
        NotThere,  // no file at the path
        NoProgram, // nothing on this computer opens it: no program for its kind, or no xdg-open
    };
    // path as handed in; why: what xdg-open said (its last line), or that it is missing.
    using Failed = std::function<void(const QString &path, Failure failure, const QString &why)>;

    // failed runs on the calling thread, at most once, and never once context (when one is
    // given) is gone.
    static void openFile(const QString &path, QObject *context, Failed failed);
};
