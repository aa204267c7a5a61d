#pragma once

#include "core/engine/ReceivedFrame.h"

#include <QByteArray>

// Keypad frames of the activities, as each model's keypads send them.

// A signal (FB) from device d; Brevel's rush signal carries 40.
inline ReceivedFrame signalFrame(int d, uint8_t data = 0x5A)
{
    return ReceivedFrame::large(0xFB, uint8_t(d & 0xFF), uint8_t(d >> 8), QByteArray(1, char(data)));
}

// A Brevel answer (F7): two bytes, the key kind (2 an answer, 0 and 1 the previous and next
// keys), three more bytes, then the text.
inline ReceivedFrame brevelAnswerFrame(int d, const QByteArray &text, uint8_t kind = 2)
{
    return ReceivedFrame::large(0xF7, uint8_t(d & 0xFF), uint8_t(d >> 8),
                                QByteArray::fromHex("1122") + char(kind) + QByteArray::fromHex("334455") + text);
}

// Arvel keypad k (0 to 415) pressing key "A".."H".
inline ReceivedFrame arvelKey(int k, char letter)
{
    const uint8_t b0 = uint8_t(0x20 + k / 16);
    const uint8_t b1 = uint8_t(((letter - 0x39) << 4) | (k % 16));
    return ReceivedFrame::small(b0, b1, uint8_t(b0 ^ b1));
}

// A Corvel or Dravel answer (F7): two bytes, then the text.
inline ReceivedFrame largeAnswerFrame(int d, const QByteArray &text)
{
    return ReceivedFrame::large(0xF7, uint8_t(d & 0xFF), uint8_t(d >> 8), QByteArray(2, '\0') + text);
}

// Keypad d answering letter on a model (device type 1 to 4).
inline ReceivedFrame answerOnModel(int deviceType, int d, char letter)
{
    switch (deviceType) {
    case 1: return arvelKey(d, letter);
    case 4: return brevelAnswerFrame(d, QByteArray(1, letter));
    default: return largeAnswerFrame(d, QByteArray(1, char(letter | 0x20))); // keyed in lower case
    }
}
