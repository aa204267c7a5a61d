#pragma once

#include "core/engine/Corvel_Elimination.h"
#include "core/engine/Corvel_Normal.h"
#include "core/engine/Corvel_Rush.h"
#include "core/engine/LargeFamilyMultiple.h"

// The multiple mode on a Corvel receiver (activity number 5), with Corvel's normal, rush and
// elimination handlers.
class Corvel_Multiple : public LargeFamilyMultiple
{
    Q_OBJECT
public:
    explicit Corvel_Multiple(QObject *parent = nullptr)
        : LargeFamilyMultiple(std::make_unique<Corvel_Normal>(), std::make_unique<Corvel_Rush>(),
                              std::make_unique<Corvel_Elimination>(), parent)
    {
    }
};
