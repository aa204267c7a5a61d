#pragma once

#include "core/engine/Corvel_Normal.h"

// The survey on a Corvel receiver (activity number 6); until its own frames are built it runs
// as the normal quiz does.
class Corvel_Survey : public Corvel_Normal
{
    Q_OBJECT
public:
    explicit Corvel_Survey(QObject *parent = nullptr) : Corvel_Normal(6, AskedRule::KeepPlace, parent) {}
};
