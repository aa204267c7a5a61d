#pragma once

#include "core/engine/LargeFamilyRush.h"

// The rush quiz on a Corvel receiver (activity number 3): the outcome goes back to the keypad that
// asked for it.
class Corvel_Rush : public LargeFamilyRush
{
    Q_OBJECT
public:
    explicit Corvel_Rush(QObject *parent = nullptr) : LargeFamilyRush(false, parent) {}

protected:
    ActivityFrames::KeypadAddress resultAddress() const override { return frameAddress(); }
};
