#pragma once

class QApplication;

// What the pollix program sets up before its main window opens: its identity, and the services
// through which the windows of one area reach those of another (question-file reading, the
// activity window, the request list, the link's alerts). Anything that runs the program's
// windows (the program, a scripted demo) goes through here, so they are wired the same way.
namespace PollixProgram {
void setUpApplication(QApplication &app);
void installServices();
} // namespace PollixProgram
