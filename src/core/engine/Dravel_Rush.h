#pragma once

#include "core/engine/LargeFamilyRush.h"

// The rush quiz on a Dravel receiver (activity number 3): the outcome goes to the run's teacher
// keypad.
class Dravel_Rush : public LargeFamilyRush
{
    Q_OBJECT
public:
    explicit Dravel_Rush(QObject *parent = nullptr) : LargeFamilyRush(true, parent) {}

protected:
    ActivityFrames::KeypadAddress resultAddress() const override { return teacherKeypad(); }
};
