#pragma once

#include "core/engine/Corvel_Normal.h"

// The roll call on a Corvel receiver (activity number 8); until its own frames are built it runs
// as the normal quiz does.
class Corvel_RollCall : public Corvel_Normal
{
    Q_OBJECT
public:
    explicit Corvel_RollCall(QObject *parent = nullptr) : Corvel_Normal(8, AskedRule::Append, parent) {}
};
