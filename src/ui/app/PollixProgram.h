#pragma once

#include <QString>

#include <functional>

class InstanceLock;
class MainwndController;
class QApplication;

// What the pollix program sets up before its main window opens: its identity, and the services
// through which the windows of one area reach those of another (question-file reading, the
// activity window, the request list, the link's alerts). Anything that runs the program's
// windows (the program, a scripted demo) goes through here, so they are wired the same way.
namespace PollixProgram {
void setUpApplication(QApplication &app);
void installServices();
// Takes the application folder for this process, once its folders are found fit to save in
// (StartRecovery::checkFolders: where they are not, it says so and answers false, having made
// nothing there). When a Pollix of this computer runs on it, asks
// that one to bring its window to the front (waiting up to answerWaitMs for it to say it did),
// says in an alert which process holds the folder and whether its window came forward, and
// answers false: the program then ends. A lock made on another computer is shown with that
// computer's name and the lock's age, and the teacher opens the folder anyway or quits. A Pollix
// that is ending once it has finished the archive of replaced data is said to do so. Where no lock
// can be made, an alert names each lock tried and why, and the answer is false: no Pollix goes on
// without one.
bool claimApplicationFolder(InstanceLock &lock, int answerWaitMs = 2000);
// Another start on the folder brings the window the teacher works in to the front: a dialog over
// the main window (the splash, an alert, an editor), else the main window once it is up.
void comeForwardOnRequest(InstanceLock &lock, MainwndController &controller);
// Ends the program now without losing the run: a run that asked questions is saved as the
// end-of-run save would save it, with no question, its keypads are logged out as its Exit would
// log them out (a second at most), the receiver's port is given up, and, once no backup or
// restore is under way (FolderWork), the folder's lock; then end runs (unset: every event loop
// ends, and the program with exit code 0; a test that must go on gives its own). Until then the
// folder stays this program's: a second start is refused.
void endNow(InstanceLock &lock, const QString &reason, std::function<void()> end = {});
// After the main window's loop ended (Quit, its close box): the archive of replaced data still
// being written is finished first, its progress shown in a window of its own (the program's other
// windows gone), with the folder still held; a start meanwhile is told so.
void finishFolderWork(InstanceLock &lock);
// SIGTERM, SIGHUP and SIGINT (a logout, a shutdown, a kill, Ctrl+C) end the program so (endNow).
// Set up before the lock is taken, so that a signal meanwhile ends cleanly too.
void endOnSignals(InstanceLock &lock, std::function<void()> end = {});
// When Pollix on another computer opens the folder anyway, a notice says so at once without
// stopping anything (InstanceLock::takenByOtherComputer: meanwhile no file that is there is
// changed from here): "Quit" calls quit, "Keep Working Here" takes the folder back. When another
// start of this computer took the folder while this one did not answer (takenByOtherStart), a
// notice of the same kind says so, once: "Quit" calls quit, "Go On Here" leaves this Pollix
// working without changing any file that is there, as the folder cannot be taken back.
void warnWhenTakenOver(InstanceLock &lock, std::function<void()> quit);
} // namespace PollixProgram
