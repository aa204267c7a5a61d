#pragma once

#include "core/engine/Arvel_Normal.h"

// The rush quiz on an Arvel receiver (activity number 3); until its own key handling is built
// it records keys as the normal quiz does.
class Arvel_Rush : public Arvel_Normal
{
    Q_OBJECT
public:
    explicit Arvel_Rush(QObject *parent = nullptr) : Arvel_Normal(3, true, parent) {}
};
