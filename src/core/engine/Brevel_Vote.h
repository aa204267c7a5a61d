#pragma once

#include "core/engine/Brevel_Normal.h"

// The vote on a Brevel receiver (activity number 7); until its own frames are built it
// runs as the normal quiz does.
class Brevel_Vote : public Brevel_Normal
{
    Q_OBJECT
public:
    explicit Brevel_Vote(QObject *parent = nullptr) : Brevel_Normal(7, AskedRule::MoveToEnd, true, parent) {}
};
