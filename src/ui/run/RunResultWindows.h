#pragma once

class QWidget;
class RunFrameSink;

// The windows the activity window opens for the run's figures, each run modally over it with
// the frames it does not take passed on to the run.
class RunResultWindows
{
public:
    // Result: the window the activity's rule names (summary, histogram, attendance or grouping).
    // forTeacherControl: opened from the teacher keypad (RunChildWindow::setBIsRunForTeacherControl).
    static void openResult(QWidget *window, RunFrameSink *run, int activity, int questionNo, bool forTeacherControl = false);
    // Report: the question report (individual participation) or the group points (group).
    static void openReport(QWidget *window, RunFrameSink *run, int participation, int activity, int questionNo,
                           bool forTeacherControl = false);
    // The points the teacher gives a student who raised a hand (0 when closed without OK).
    static int runHandRaiseMarking(QWidget *window, RunFrameSink *run);
};
