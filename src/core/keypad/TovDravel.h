#pragma once

#include "TovSerial.h"

// Large-family receiver (115200 baud, short and long frames). One object serves Corvel, Dravel
// and Brevel; the probe's answer sets its type.
class TovDravel : public TovSerial
{
public:
    enum { BaudRate = 115200 };

    bool openDevice() override;
    bool detectDevice(const QString &path) override;

protected:
    // The device type named by the version answer, -1 for none.
    int probeLargeFamily();
    virtual bool acceptsType(int type) const { return type >= 2 && type <= 4; }
};
