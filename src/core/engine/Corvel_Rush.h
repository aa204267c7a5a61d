#pragma once

#include "core/engine/Corvel_Normal.h"

// The rush quiz on a Corvel receiver (activity number 3); until its own frames are built it runs
// as the normal quiz does.
class Corvel_Rush : public Corvel_Normal
{
    Q_OBJECT
public:
    explicit Corvel_Rush(QObject *parent = nullptr) : Corvel_Normal(3, AskedRule::KeepPlace, parent) {}
};
