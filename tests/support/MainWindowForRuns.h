#pragma once

// The main window as the tests of whole runs use it: its hooks afresh, no splash and no system
// choice at its set-up (the receiver is the simulator's), and Start handing the run to the
// activity window as the program does.
void useMainWindowForRuns();

class QuizStateWindowController;
// The activity window that Start opened, or nullptr.
QuizStateWindowController *activityWindowShown();
