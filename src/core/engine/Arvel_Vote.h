#pragma once

#include "core/engine/Arvel_Normal.h"

// The vote on an Arvel receiver (activity number 7); until its own key handling is built
// it records keys as the normal quiz does.
class Arvel_Vote : public Arvel_Normal
{
    Q_OBJECT
public:
    explicit Arvel_Vote(QObject *parent = nullptr) : Arvel_Normal(7, false, parent) {}
};
