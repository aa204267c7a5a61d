#include "FrameBuilder.h"

#include "platform/Log.h"

uint8_t FrameBuilder::getCRC(const QByteArray &bytes, int len, bool *ok)
{
    if (len < 0 || len > kMaxFrameBytes || len > bytes.size()) {
        PollixLog(QStringLiteral("Error data or length."));
        if (ok)
            *ok = false;
        return 0;
    }
    uint8_t crc = 0;
    for (int i = 0; i < len; ++i)
        crc ^= uint8_t(bytes[i]);
    if (ok)
        *ok = true;
    return crc;
}

QByteArray FrameBuilder::withCheck(const QByteArray &head)
{
    bool ok = false;
    const uint8_t crc = getCRC(head, int(head.size()), &ok);
    if (!ok)
        return QByteArray();
    QByteArray out = head;
    out.append(char(crc));
    return out;
}

QByteArray FrameBuilder::longFrame(uint8_t cmd, uint8_t addrLo, uint8_t addrHi, const QByteArray &data)
{
    if (data.size() > kMaxFrameBytes) {
        PollixLog(QStringLiteral("Error data or length."));
        return QByteArray();
    }
    QByteArray head;
    head.reserve(int(data.size()) + 5);
    head.append(char(cmd));
    head.append(char(addrLo));
    head.append(char(addrHi));
    head.append(char(data.size()));
    head.append(data);
    return withCheck(head);
}

QByteArray FrameBuilder::shortFrame(uint8_t cmd, uint8_t addrLo, uint8_t addrHi, uint8_t data)
{
    QByteArray head;
    head.append(char(cmd));
    head.append(char(addrLo));
    head.append(char(addrHi));
    head.append(char(data));
    return withCheck(head);
}

QByteArray FrameBuilder::textBytes(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar c : text)
        out.append(char(c.unicode() & 0xFF));
    return out;
}

QByteArray FrameBuilder::nameBytes(const QString &name)
{
    if (name.size() <= 14)
        return textBytes(name);
    return textBytes(name.left(12)) + QByteArray("..");
}

void FrameBuilder::appendWord(QByteArray &out, int value)
{
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}
