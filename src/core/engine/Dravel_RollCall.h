#pragma once

#include "core/engine/Dravel_Normal.h"

// The roll call on a Dravel receiver (activity number 8); until its own frames are built it runs
// as the normal quiz does.
class Dravel_RollCall : public Dravel_Normal
{
    Q_OBJECT
public:
    explicit Dravel_RollCall(QObject *parent = nullptr) : Dravel_Normal(8, AskedRule::Append, parent) {}
};
