#pragma once

#include "core/engine/Dravel_Normal.h"

// The vote on a Dravel receiver (activity number 7); until its own frames are built it runs
// as the normal quiz does.
class Dravel_Vote : public Dravel_Normal
{
    Q_OBJECT
public:
    explicit Dravel_Vote(QObject *parent = nullptr) : Dravel_Normal(7, AskedRule::MoveToEnd, parent) {}
};
