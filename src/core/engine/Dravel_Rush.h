#pragma once

#include "core/engine/Dravel_Normal.h"

// The rush quiz on a Dravel receiver (activity number 3); until its own frames are built it runs
// as the normal quiz does.
class Dravel_Rush : public Dravel_Normal
{
    Q_OBJECT
public:
    explicit Dravel_Rush(QObject *parent = nullptr) : Dravel_Normal(3, AskedRule::KeepPlace, parent) {}
};
