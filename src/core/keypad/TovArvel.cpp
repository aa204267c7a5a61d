#include "TovArvel.h"

bool TovArvel::openDevice()
{
    return openPort(m_bsdPath, BaudRate);
}

TovArvel::ProbeAnswer TovArvel::probeSmallFamily()
{
    static const QByteArray identify = QByteArray::fromHex("5E80DEB2B0B0B2B0B1B1B7");
    static const QByteArray second = QByteArray::fromHex("5E83DD");
    const QByteArray first = exchange(identify, 3);
    if (first.size() < 3 || uint8_t(first[0]) != 0x7B)
        return ProbeAnswer::None;
    if (uint8_t(first[2]) == 0xFB)
        return ProbeAnswer::Radio;
    if (uint8_t(first[2]) != 0xF8)
        return ProbeAnswer::None;
    // 7B ?? F8: only the infrared receiver answers the second question with 7B ?? FB.
    const QByteArray again = exchange(second, 3);
    if (again.size() == 3 && uint8_t(again[0]) == 0x7B && uint8_t(again[2]) == 0xFB)
        return ProbeAnswer::Infrared;
    return ProbeAnswer::Radio;
}

bool TovArvel::detectAs(const QString &path, ProbeAnswer wanted, int type)
{
    if (!openPort(path, BaudRate))
        return false;
    const ProbeAnswer answer = probeSmallFamily();
    clearBuf();
    closePort();
    if (answer != wanted)
        return false;
    m_bsdPath = path;
    setType(type);
    return true;
}

bool TovArvel::detectDevice(const QString &path)
{
    return detectAs(path, ProbeAnswer::Radio, 1);
}
