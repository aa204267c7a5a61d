#pragma once

#include "core/engine/Corvel_Normal.h"

// The quick grouping on a Corvel receiver (it stores no activity number); until its own frames are built it runs
// as the normal quiz does.
class Corvel_QuickGroup : public Corvel_Normal
{
    Q_OBJECT
public:
    explicit Corvel_QuickGroup(QObject *parent = nullptr) : Corvel_Normal(0, AskedRule::MoveToEnd, parent) {}
};
