#pragma once

#include "core/engine/Brevel_Normal.h"

// The rush quiz on a Brevel receiver (activity number 3); until its own frames are built it
// runs as the normal quiz does.
class Brevel_Rush : public Brevel_Normal
{
    Q_OBJECT
public:
    explicit Brevel_Rush(QObject *parent = nullptr) : Brevel_Normal(3, AskedRule::MoveToEnd, true, parent) {}
};
