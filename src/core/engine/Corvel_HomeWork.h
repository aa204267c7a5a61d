#pragma once

#include "core/engine/Corvel_Normal.h"

// The homework on a Corvel receiver (activity number 2); until its own frames are built it runs
// as the normal quiz does.
class Corvel_HomeWork : public Corvel_Normal
{
    Q_OBJECT
public:
    explicit Corvel_HomeWork(QObject *parent = nullptr) : Corvel_Normal(2, AskedRule::KeepPlace, parent) {}
};
