#pragma once

#include "core/engine/Corvel_Normal.h"

// The multiple mode on a Corvel receiver (activity number 5); until its own frames are built it runs
// as the normal quiz does.
class Corvel_Multiple : public Corvel_Normal
{
    Q_OBJECT
public:
    explicit Corvel_Multiple(QObject *parent = nullptr) : Corvel_Normal(5, AskedRule::KeepPlace, parent) {}
};
