#pragma once

#include "core/engine/Brevel_Normal.h"

// The multiple mode on a Brevel receiver (activity number 5); until its own frames are built it
// runs as the normal quiz does.
class Brevel_Multiple : public Brevel_Normal
{
    Q_OBJECT
public:
    explicit Brevel_Multiple(QObject *parent = nullptr) : Brevel_Normal(5, AskedRule::KeepPlace, true, parent) {}
};
