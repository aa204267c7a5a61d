#pragma once

#include "TovSerial.h"

// Small-family receiver (28800 baud, three-byte frames). The probe accepts the radio model.
class TovArvel : public TovSerial
{
public:
    enum { BaudRate = 28800 };
    enum class ProbeAnswer { None, Radio, Infrared };

    bool openDevice() override;
    bool detectDevice(const QString &path) override;

protected:
    // Runs the small-family identify exchange on an open port.
    ProbeAnswer probeSmallFamily();
    // Opens, probes, closes; keeps the path and sets the type when the answer is the wanted one.
    bool detectAs(const QString &path, ProbeAnswer wanted, int type);
};
