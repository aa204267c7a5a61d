#include "TovDravel.h"

bool TovDravel::openDevice()
{
    return openForReading(m_bsdPath, BaudRate);
}

int TovDravel::probeLargeFamily()
{
    static const QByteArray version = QByteArray::fromHex("F0000000F0");
    // F0 ?? ?? model ??: no keypad frame begins with F0.
    const auto answer = exchange(version, 1, [](const DataOfFrame &f) { return f.cmd() == 0xF0; });
    if (!answer)
        return -1;
    switch (answer->dataAt(0)) {
    case 0x7F: return 2;
    case 0x9F: return 3;
    case 0x5F: return 4;
    default: return -1;
    }
}

bool TovDravel::detectDevice(const QString &path)
{
    if (!openForProbe(path, BaudRate))
        return false;
    const int type = probeLargeFamily();
    if (type < 0 || !acceptsType(type)) {
        closeAfterProbe();
        return false;
    }
    m_bsdPath = path;
    setType(type);
    return true;
}
