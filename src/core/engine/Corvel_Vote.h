#pragma once

#include "core/engine/Corvel_Normal.h"

// The vote on a Corvel receiver (activity number 7); until its own frames are built it runs
// as the normal quiz does.
class Corvel_Vote : public Corvel_Normal
{
    Q_OBJECT
public:
    explicit Corvel_Vote(QObject *parent = nullptr) : Corvel_Normal(7, AskedRule::MoveToEnd, parent) {}
};
