#pragma once

#include "core/engine/Corvel_Normal.h"

// The survey on a Corvel receiver (activity number 6): answers are taken as in the normal quiz, but
// the teacher keypad gets no result frame for it.
class Corvel_Survey : public Corvel_Normal
{
    Q_OBJECT
public:
    explicit Corvel_Survey(QObject *parent = nullptr) : Corvel_Normal(6, AskedRule::KeepPlace, parent) {}

protected:
    void sendResultOfClass() override {}
};
