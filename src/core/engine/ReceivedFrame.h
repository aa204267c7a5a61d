#pragma once

#include <QByteArray>

#include <cstdint>

class DataOfFrame;

// One received keypad frame as the activity objects read it. Reads past the stored bytes give
// 0, so a short or malformed frame can never make a handler read outside it; handlers still check
// the length they need and drop frames that are too short.
class ReceivedFrame
{
public:
    // A large-family frame (type 1): command, address, data bytes.
    static ReceivedFrame large(uint8_t cmd, uint8_t addrLo, uint8_t addrHi, const QByteArray &data);
    // A small-family frame (type 0): the three bytes as received.
    static ReceivedFrame small(uint8_t b0, uint8_t b1, uint8_t b2);
    // The receiver link's frame; its null frame gives a frame of type -1, which no handler takes.
    static ReceivedFrame fromDataOfFrame(const DataOfFrame &frame);

    int type() const { return m_type; }
    uint8_t cmd() const { return m_cmd; }
    uint8_t addrLo() const { return m_addrLo; }
    uint8_t addrHi() const { return m_addrHi; }
    // Number of data bytes (0 for a small-family frame).
    int dataLen() const { return m_type == 0 ? 0 : int(m_data.size()); }
    const QByteArray &bytes() const { return m_data; }
    uint8_t at(int i) const { return i >= 0 && i < m_data.size() ? uint8_t(m_data[i]) : 0; }

    bool isTeacherCommand() const;
    bool isStudentCommand() const;
    uint8_t teacherCommand() const;
    // Small family: the teacher key code, or the student key character ("A" for high nibble 8).
    uint8_t key() const;
    // Large: address high x 256 + low; small: 0 for the teacher, the student keypad id.
    int deviceID() const;

private:
    int m_type = -1;
    uint8_t m_cmd = 0;
    uint8_t m_addrLo = 0;
    uint8_t m_addrHi = 0;
    QByteArray m_data;
};
