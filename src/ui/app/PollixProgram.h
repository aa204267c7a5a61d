#pragma once

class InstanceLock;
class QApplication;

// What the pollix program sets up before its main window opens: its identity, and the services
// through which the windows of one area reach those of another (question-file reading, the
// activity window, the request list, the link's alerts). Anything that runs the program's
// windows (the program, a scripted demo) goes through here, so they are wired the same way.
namespace PollixProgram {
void setUpApplication(QApplication &app);
void installServices();
// Takes the application folder for this process. When another Pollix runs on it, asks that one
// to bring its window to the front, says so in an alert (which process, on which computer) and
// answers false: the program then ends.
bool claimApplicationFolder(InstanceLock &lock);
} // namespace PollixProgram
