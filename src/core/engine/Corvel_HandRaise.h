#pragma once

#include "core/engine/Corvel_Normal.h"

// The hand raise on a Corvel receiver (it stores no activity number); until its own frames are built it runs
// as the normal quiz does.
class Corvel_HandRaise : public Corvel_Normal
{
    Q_OBJECT
public:
    explicit Corvel_HandRaise(QObject *parent = nullptr) : Corvel_Normal(0, AskedRule::MoveToEnd, parent) {}
};
