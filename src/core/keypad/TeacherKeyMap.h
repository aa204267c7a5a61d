#pragma once

#include <QList>

#include <cstdint>

class DataOfFrame;

// What a key of the teacher keypad means. The keys are the same everywhere; what they do depends
// on the window that has the frames: the run window steps through the run, a dialog or an alert
// takes F1 as OK and F2 as Cancel, the main window starts the activity. Every window that takes
// teacher keys asks here and performs the action it is given.
class TeacherKeyMap
{
public:
    // The keys of the teacher keypad.
    // Ok: the three-byte keypad's OK key, which only the windows that are closed by their OK take.
    enum class Key { None, F1, F2, Ok, Previous, Next, Start, Stop, Result, Report, Exit, Mouse };
    // The window a frame arrives at.
    enum class Context {
        RunWindow,   // the activity window
        Alert,       // an alert whose buttons the keypad presses
        Dialog,      // a dialog that holds work (the save dialog): Exit cancels as F2 does
        MainWindow,  // the main window: the keypad starts the activity
        ResultWindow, // a window of the run's figures: F1 its own command, F2 and Exit close it,
                      // Previous and Next page or move its choice; the large family's Result
                      // and Report keys come through, for the windows that note them
        OkWindow,     // a result window that holds one choice or one set of figures and is done
                      // with OK (the points for a raised hand, the quick-grouping counts): as
                      // ResultWindow, and the three-byte keypad's OK key is OK there too
    };
    enum class Action { None, Previous, Next, Start, Stop, Result, Report, Exit, SendQuestions, Mouse, Ok, Cancel, StripSize };

    struct Row
    {
        int family;      // 0 small (three-byte frames), 1 large
        uint8_t command; // large family: the frame's command (F4 keys, FC mouse); 0 for the small family
        int code;        // the key code (teacherCommand); -1 for any code of the command
        Key key;
    };
    // Every key frame of both families.
    static const QList<Row> &keys();

    // The key a frame carries; None for frames of student keypads and for codes no key has.
    static Key keyOf(const DataOfFrame &frame);
    // What the key means in a window.
    static Action action(Context context, Key key, int family);
    static Action action(Context context, const DataOfFrame &frame);
    // The run over a slide show takes the keys as the activity window does, but for F1: it
    // changes the size of the student strip, except in a paper quiz or homework, where the
    // large family's F1 sends the question set to Dravel keypads (and nothing elsewhere) and the
    // small family's does nothing in a paper quiz.
    static Action slideShowRunAction(const DataOfFrame &frame, int activity, int deviceType);
};
