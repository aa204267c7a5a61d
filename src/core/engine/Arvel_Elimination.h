#pragma once

#include "core/engine/Arvel_Normal.h"

// The elimination quiz on an Arvel receiver (activity number 4); until its own key handling is built
// it records keys as the normal quiz does.
class Arvel_Elimination : public Arvel_Normal
{
    Q_OBJECT
public:
    explicit Arvel_Elimination(QObject *parent = nullptr) : Arvel_Normal(4, true, parent) {}
};
