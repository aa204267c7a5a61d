#pragma once

#include "core/engine/Arvel_Normal.h"

// The survey on an Arvel receiver (activity number 6); until its own key handling is built
// it records keys as the normal quiz does.
class Arvel_Survey : public Arvel_Normal
{
    Q_OBJECT
public:
    explicit Arvel_Survey(QObject *parent = nullptr) : Arvel_Normal(6, false, parent) {}
};
