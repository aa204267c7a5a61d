#pragma once

#include "core/engine/Dravel_Normal.h"

// The survey on a Dravel receiver (activity number 6); until its own frames are built it runs
// as the normal quiz does.
class Dravel_Survey : public Dravel_Normal
{
    Q_OBJECT
public:
    explicit Dravel_Survey(QObject *parent = nullptr) : Dravel_Normal(6, AskedRule::MoveToEnd, parent) {}
};
