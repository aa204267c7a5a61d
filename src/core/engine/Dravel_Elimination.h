#pragma once

#include "core/engine/Dravel_Normal.h"

// The elimination quiz on a Dravel receiver (activity number 4); until its own frames are built it runs
// as the normal quiz does.
class Dravel_Elimination : public Dravel_Normal
{
    Q_OBJECT
public:
    explicit Dravel_Elimination(QObject *parent = nullptr) : Dravel_Normal(4, AskedRule::KeepPlace, parent) {}
};
