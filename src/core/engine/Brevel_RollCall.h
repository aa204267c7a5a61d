#pragma once

#include "core/engine/Brevel_Normal.h"

// The roll call on a Brevel receiver (activity number 8); until its own frames are built it
// runs as the normal quiz does.
class Brevel_RollCall : public Brevel_Normal
{
    Q_OBJECT
public:
    explicit Brevel_RollCall(QObject *parent = nullptr) : Brevel_Normal(8, AskedRule::Append, true, parent) {}
};
