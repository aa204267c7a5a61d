#pragma once

#include "core/engine/Dravel_Elimination.h"
#include "core/engine/Dravel_Normal.h"
#include "core/engine/Dravel_Rush.h"
#include "core/engine/LargeFamilyMultiple.h"

// The multiple mode on a Dravel receiver (activity number 5), with Dravel's normal, rush and
// elimination handlers.
class Dravel_Multiple : public LargeFamilyMultiple
{
    Q_OBJECT
public:
    explicit Dravel_Multiple(QObject *parent = nullptr)
        : LargeFamilyMultiple(std::make_unique<Dravel_Normal>(), std::make_unique<Dravel_Rush>(),
                              std::make_unique<Dravel_Elimination>(), parent)
    {
    }
};
