#include "TovArvel.h"

namespace {

// 7B ?? FB or 7B ?? F8 (the byte between is the receiver's own).
bool identifyAnswer(const DataOfFrame &f)
{
    return f.data()[0] == 0x7B && (f.data()[2] == 0xFB || f.data()[2] == 0xF8);
}

} // namespace

bool TovArvel::openDevice()
{
    return openForReading(m_bsdPath, BaudRate);
}

TovArvel::ProbeAnswer TovArvel::probeSmallFamily()
{
    static const QByteArray identify = QByteArray::fromHex("5E80DEB2B0B0B2B0B1B1B7");
    static const QByteArray second = QByteArray::fromHex("5E83DD");
    const auto first = exchange(identify, 0, identifyAnswer);
    if (!first)
        return ProbeAnswer::None;
    if (first->data()[2] == 0xFB)
        return ProbeAnswer::Radio;
    // 7B ?? F8: only the infrared receiver answers the second question, with 7B ?? FB (a late
    // second answer to the first question is no answer to this one).
    const auto again = exchange(second, 0,
                                [](const DataOfFrame &f) { return identifyAnswer(f) && f.data()[2] == 0xFB; });
    return again ? ProbeAnswer::Infrared : ProbeAnswer::Radio;
}

bool TovArvel::detectAs(const QString &path, ProbeAnswer wanted, int type)
{
    if (!openForProbe(path, BaudRate))
        return false;
    const ProbeAnswer answer = probeSmallFamily();
    if (answer != wanted) {
        closeAfterProbe();
        return false;
    }
    m_bsdPath = path;
    setType(type);
    return true;
}

bool TovArvel::detectDevice(const QString &path)
{
    return detectAs(path, ProbeAnswer::Radio, 1);
}
