#pragma once

#include "core/engine/Brevel_Normal.h"

// The elimination quiz on a Brevel receiver (activity number 4); until its own frames are built it
// runs as the normal quiz does.
class Brevel_Elimination : public Brevel_Normal
{
    Q_OBJECT
public:
    explicit Brevel_Elimination(QObject *parent = nullptr) : Brevel_Normal(4, AskedRule::KeepPlace, true, parent) {}
};
