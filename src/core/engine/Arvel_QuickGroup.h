#pragma once

#include "core/engine/Arvel_Normal.h"

// The quick grouping on an Arvel receiver (activity number 13); until its own key handling is built
// it records keys as the normal quiz does.
class Arvel_QuickGroup : public Arvel_Normal
{
    Q_OBJECT
public:
    explicit Arvel_QuickGroup(QObject *parent = nullptr) : Arvel_Normal(13, false, parent) {}
};
