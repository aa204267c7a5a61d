#pragma once

#include <QList>

class QWidget;
class QWindow;

// Which window a window opened now belongs to. A run keeps its windows above the others (the
// activity window, the run bar and the slide show): a window that opens without an owner sits in
// the ordinary layer below them, unseen, and a modal one there blocks the run with nothing to
// click. Owned by the window the teacher is on (its Qt parent), the window manager keeps it above
// its owner, in the owner's layer, and hands it the keys as it opens.
namespace WindowOwner {

// The window of this program the teacher is on: a modal dialog, else the active window, else a
// window kept above the others (the teacher is in another program meanwhile: a run's window,
// the larger of two), else any shown window; nullptr when none is shown. Never besides nor a
// window it owns.
QWidget *front(const QWidget *besides = nullptr);

// Gives window, when it has no owner, the front window as its owner, its kind and flags kept.
// Its life stays with whoever made it: when the owner goes first the window is not deleted with
// it but let go, and, if shown, passed to the front window then.
void adopt(QWidget *window);

// Keeps a top-level window above the others or lets it back to the normal level, in place: made
// anew (QWidget::setWindowFlags), it flashes, and the windows it owns lose their tie to it.
void keepAbove(QWidget *window, bool above);

// A window that never owns another (a notice, which goes by itself while what opened over it
// would stay).
void setOwnsNothing(QWidget *window);

// Stands the windows of a run, bottom to top: over a slide show its backdrop (none over an answer
// sheet), the show while it is on, then the run's own windows (its bar first, then the others:
// its strip, the students not in the class beside the slide; a null one is left out); with
// neither a show nor a backdrop (the activity window is the bar) the others in front of the
// bar; in front of them all, whatever opened over the run (a question, the save, a report), so
// that nothing of the run ever hides it. Called again whenever one of them comes or goes. A
// window manager keeps a window above the one it is transient for, in that one's layer or
// higher: the run's windows are the show's transients while it is on, else the backdrop's, else
// the bar's. Kept only above the others, they would fall behind the backdrop, an undecorated
// screen-sized window that a window manager puts in front of every window kept on top while no
// window has the keys (the main window hidden as the run opens, the show just ended). The keys
// are the show's while it is on, else the bar's: as the run opens, and, for as long as the bar
// lives, whenever a window of the program goes while it holds them (the show, a question over
// the bar), unless it was opened over another window of the program than the run's, which takes
// them back; and whenever another of the run's windows takes them (a click on the strip or the
// list, or on the bar while the show is on), once the window manager has given them to it.
void standRun(const QList<QWidget *> &runWindows, QWindow *show, QWidget *backdrop);

// One of a run's windows comes forward (the students not in the class, as another logs in): the
// run stands again, whatever opened over it staying in front. A window of no run is raised.
void toFrontOfRun(QWidget *window);

} // namespace WindowOwner
