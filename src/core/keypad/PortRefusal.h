#pragma once

#include "platform/SerialPort.h"

#include <QString>

// A port where a receiver may be that could not be opened at all (another program holds it, or
// this account may not use it): the teacher is told which port and what to do, for otherwise
// the program would only say that no receiver was found.
class PortRefusal
{
public:
    // Whether the failure is one the teacher can mend (the port is there but out of reach).
    static bool isTold(SerialPort::OpenError error);
    static QString alertTitle();
    // Names the port and the way to reach it.
    static QString alertText(const QString &path, SerialPort::OpenError error);
};
