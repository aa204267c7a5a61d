#pragma once

#include "core/engine/Arvel_Normal.h"

// The vote on an Arvel receiver (activity number 7): a key is the keypad's choice, taken as in the
// normal quiz (true or false mapped); a later key changes the choice. The class is added to the
// keypads already taking part.
class Arvel_Vote : public Arvel_Normal
{
    Q_OBJECT
public:
    explicit Arvel_Vote(QObject *parent = nullptr) : Arvel_Normal(7, false, parent) {}
};
