// The frame builders the receiver and its tests share: a keypad's frame as the receiver sends it.
#include "SimReceiver.h"

namespace keypadsim {

quint8 SimReceiver::xorOf(const QByteArray &bytes)
{
    quint8 x = 0;
    for (char c : bytes)
        x ^= quint8(c);
    return x;
}

QByteArray SimReceiver::shortFrame(quint8 cmd, quint8 addrLow, quint8 addrHigh, quint8 data)
{
    QByteArray f;
    f.append(char(cmd)).append(char(addrLow)).append(char(addrHigh)).append(char(data));
    f.append(char(xorOf(f)));
    return f;
}

QByteArray SimReceiver::longFrame(quint8 cmd, int address, const QByteArray &data)
{
    QByteArray f;
    f.append(char(cmd)).append(char(address & 0xFF)).append(char((address >> 8) & 0xFF));
    f.append(char(data.size() & 0xFF));
    f.append(data);
    f.append(char(xorOf(f)));
    return f;
}

QByteArray SimReceiver::smallFrame(quint8 b0, quint8 b1)
{
    QByteArray f;
    f.append(char(b0)).append(char(b1)).append(char(b0 ^ b1));
    return f;
}

} // namespace keypadsim
