#pragma once

#include "platform/DesktopOpener.h"

#include <QString>

class QWidget;

// How the program hands a file to the desktop's program for it (a manual, a document) and tells
// the teacher when that fails: an alert over the window names the file and why: it is not there,
// or no program on this computer opens files of its kind.
namespace DesktopFiles {

// Opens a file handed over as a run starts (the document beside an answer sheet): a failure is
// told by a notice that waits for nothing, so that the run goes on meanwhile.
void openBesideRun(QWidget *window, const QString &path);
// The alert of a failed hand-off, for a hand-off that starts elsewhere; with waitsForNothing, a
// notice (PollixAlert::notice) instead of a modal alert.
DesktopOpener::Failed alertOver(QWidget *window, bool waitsForNothing = false);

} // namespace DesktopFiles
