#pragma once

#include "core/engine/Arvel_Normal.h"

// The hand raise on an Arvel receiver (activity number 14); until its own key handling is built
// it records keys as the normal quiz does.
class Arvel_HandRaise : public Arvel_Normal
{
    Q_OBJECT
public:
    explicit Arvel_HandRaise(QObject *parent = nullptr) : Arvel_Normal(14, false, parent) {}
};
