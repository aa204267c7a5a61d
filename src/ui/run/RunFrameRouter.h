#pragma once

#include "core/keypad/DataOfFrame.h"
#include "core/keypad/TeacherKeyMap.h"

#include <functional>

class Orvenda_AppDelegate;
class PollixAlert;
class QuizMode;

// Sorts the frames a run window receives: students' frames go to the activity object, teacher
// keys to the alert that is up, to the pointer, or to the run's buttons. Three-byte and short
// frames are signalled handled at once; a long frame only after the activity object handled it,
// or earlier when the activity object opens a child window or alert while handling it.
class RunFrameRouter
{
public:
    // What the router asks of its window.
    struct Window
    {
        std::function<QuizMode *()> modeObject;
        std::function<PollixAlert *()> alert;  // the window's alert that is up, or null
        std::function<bool()> childUp;         // a child window holds the teacher's keys
        std::function<void(TeacherKeyMap::Action)> press;
        // What a teacher key means in this window; unset: as in the activity window.
        std::function<TeacherKeyMap::Action(const DataOfFrame &)> keyAction;
        // The alert up only waits for the question to stop: the keypad's Stop goes through it.
        std::function<bool()> alertLetsStopThrough;
    };

    explicit RunFrameRouter(Window window);

    void handleDataReceive();
    void handleLongFrame(const DataOfFrame &frame);
    void handleStudentFrame(const DataOfFrame &frame);
    void releaseFrameInHand();

private:
    void handleDataReceiveArvel(const DataOfFrame &frame);
    void handleDataReceiveCorvel_Dravel(const DataOfFrame &frame);
    void handleShortFrame(const DataOfFrame &frame);
    void RX_TeacherCommandArvel(const DataOfFrame &frame);
    void runTeacherKey(const DataOfFrame &frame);

    Window m_window;
    Orvenda_AppDelegate *appDelegate;
    bool m_frameInHand = false;
};
