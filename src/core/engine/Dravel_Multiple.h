#pragma once

#include "core/engine/Dravel_Normal.h"

// The multiple mode on a Dravel receiver (activity number 5); until its own frames are built it runs
// as the normal quiz does.
class Dravel_Multiple : public Dravel_Normal
{
    Q_OBJECT
public:
    explicit Dravel_Multiple(QObject *parent = nullptr) : Dravel_Normal(5, AskedRule::KeepPlace, parent) {}
};
