#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// Builds the frames the host sends to keypads. Never throws: a frame whose bytes before the
// check byte would not fit in 0 to 64 bytes is refused ("Error data or length." is logged) and
// comes back empty, so the caller sends nothing.
class FrameBuilder
{
public:
    static constexpr int kMaxFrameBytes = 64;

    // XOR of the first len bytes; false in ok when len lies outside 0 to 64 or the buffer is shorter.
    static uint8_t getCRC(const QByteArray &bytes, int len, bool *ok = nullptr);

    // command, address low, address high, length, data, check; empty when refused.
    static QByteArray longFrame(uint8_t cmd, uint8_t addrLo, uint8_t addrHi, const QByteArray &data);
    // command, address low, address high, one data byte, check.
    static QByteArray shortFrame(uint8_t cmd, uint8_t addrLo, uint8_t addrHi, uint8_t data);
    // The given bytes followed by their check byte; empty when refused.
    static QByteArray withCheck(const QByteArray &head);

    // One byte per character (the low 8 bits of its code).
    static QByteArray textBytes(const QString &text);
    // Names: at most 14 characters whole, longer ones as the first 12 and "..".
    static QByteArray nameBytes(const QString &name);
    // Two bytes, low first.
    static void appendWord(QByteArray &out, int value);
};
