#pragma once

class DataOfFrame;

// Where a window opened during a run sends the keypad frames it does not act on itself, so that
// logins and answers keep reaching the run while it is up: the activity window, which hands them
// to its activity object.
class RunFrameSink
{
public:
    virtual ~RunFrameSink() = default;
    // A long frame; the sink signals it handled once the run has handled it.
    virtual void handleLongFrame(const DataOfFrame &frame) = 0;
    // A three-byte student frame, already signalled handled.
    virtual void handleStudentFrame(const DataOfFrame &frame) = 0;
};
