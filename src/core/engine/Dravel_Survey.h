#pragma once

#include "core/engine/Dravel_Normal.h"

// The survey on a Dravel receiver (activity number 6): answers are taken as in the normal quiz, but
// the teacher keypad gets no result frame for it.
class Dravel_Survey : public Dravel_Normal
{
    Q_OBJECT
public:
    explicit Dravel_Survey(QObject *parent = nullptr) : Dravel_Normal(6, AskedRule::MoveToEnd, parent) {}

protected:
    void sendResultOfClass() override {}
};
