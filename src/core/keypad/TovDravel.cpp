#include "TovDravel.h"

bool TovDravel::openDevice()
{
    return openPort(m_bsdPath, BaudRate);
}

int TovDravel::probeLargeFamily()
{
    static const QByteArray version = QByteArray::fromHex("F0000000F0");
    const QByteArray answer = exchange(version, 5);
    if (answer.size() < 5 || uint8_t(answer[0]) != 0xF0)
        return -1;
    switch (uint8_t(answer[3])) {
    case 0x7F: return 2;
    case 0x9F: return 3;
    case 0x5F: return 4;
    default: return -1;
    }
}

bool TovDravel::detectDevice(const QString &path)
{
    if (!openPort(path, BaudRate))
        return false;
    const int type = probeLargeFamily();
    clearBuf();
    closePort();
    if (type < 0 || !acceptsType(type))
        return false;
    m_bsdPath = path;
    setType(type);
    return true;
}
