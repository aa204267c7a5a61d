#pragma once

#include "TovDravel.h"

// A large-family probe that accepts only the Corvel answer.
class TovCorvel : public TovDravel
{
protected:
    bool acceptsType(int type) const override { return type == 2; }
};
