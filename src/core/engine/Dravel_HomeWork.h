#pragma once

#include "core/engine/Dravel_Normal.h"

// The homework on a Dravel receiver (activity number 2); until its own frames are built it runs
// as the normal quiz does.
class Dravel_HomeWork : public Dravel_Normal
{
    Q_OBJECT
public:
    explicit Dravel_HomeWork(QObject *parent = nullptr) : Dravel_Normal(2, AskedRule::KeepPlace, parent) {}
};
