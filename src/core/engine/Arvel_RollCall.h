#pragma once

#include "core/engine/Arvel_Normal.h"

// The roll call on an Arvel receiver (activity number 8); until its own key handling is built
// it records keys as the normal quiz does.
class Arvel_RollCall : public Arvel_Normal
{
    Q_OBJECT
public:
    explicit Arvel_RollCall(QObject *parent = nullptr) : Arvel_Normal(8, false, parent) {}
};
