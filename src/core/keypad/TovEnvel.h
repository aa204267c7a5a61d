#pragma once

#include "TovArvel.h"

// The infrared small-family receiver. Discovery never creates one (infrared receivers are
// refused); it exists for the probe's other answer.
class TovEnvel : public TovArvel
{
public:
    bool detectDevice(const QString &path) override;
};
