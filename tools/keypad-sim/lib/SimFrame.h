#pragma once

#include <QByteArray>

namespace keypadsim {

// One entry of the simulator's log: bytes that crossed the line, with the time since start.
struct SimFrame
{
    enum Direction { FromProgram, ToProgram };
    qint64 timeNs = 0;
    Direction direction = FromProgram;
    QByteArray bytes;
    bool refused = false;   // input refused (wrong speed or not raw 8N1)
    bool dropped = false;   // a frame to the program that was not sent on request
    bool corrupted = false; // a frame to the program sent with a damaged byte
};

} // namespace keypadsim
