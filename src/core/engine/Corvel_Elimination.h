#pragma once

#include "core/engine/Corvel_Normal.h"

// The elimination quiz on a Corvel receiver (activity number 4); until its own frames are built it runs
// as the normal quiz does.
class Corvel_Elimination : public Corvel_Normal
{
    Q_OBJECT
public:
    explicit Corvel_Elimination(QObject *parent = nullptr) : Corvel_Normal(4, AskedRule::KeepPlace, parent) {}
};
