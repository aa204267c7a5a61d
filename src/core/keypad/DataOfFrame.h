#pragma once

#include <QByteArray>
#include <QMetaType>

#include <array>
#include <cstdint>

// One frame received from the receiver, of either family.
//
// Small family (Envel, Arvel): three bytes, all kept in data(); cmd, addr and crc stay 0.
// Large family (Corvel, Dravel, Brevel): command, address (low, high), up to 64 data bytes and the
// check byte as received (the check byte is not verified here).
//
// Frames are small values and are passed by value: Orvenda_AppDelegate::frameToHandle() returns a
// copy, so a listener may keep it as long as it likes. A default-constructed frame is the "no frame"
// value (isNull() true); listeners must tolerate it.
class DataOfFrame
{
public:
    static constexpr uint8_t MaxDataLen = 64;

    DataOfFrame() = default; // the null frame
    explicit DataOfFrame(int type) : m_type(type) {}

    static DataOfFrame DataOfFrameArvel() { return DataOfFrame(0); }
    static DataOfFrame DataOfFrameCorvel() { return DataOfFrame(1); }

    bool isNull() const { return m_type < 0; }
    int type() const { return m_type; }

    uint8_t cmd() const { return m_cmd; }
    void setCmd(uint8_t cmd) { m_cmd = cmd; }
    const uint8_t *addr() const { return m_addr.data(); }
    void setAddr(const uint8_t *addr);
    void setAddr(uint8_t low, uint8_t high) { m_addr = {low, high}; }
    // 0 for a small-family frame, else the number of data bytes stored.
    uint8_t dataLen() const { return m_type == 1 ? m_dataLen : 0; }
    void setDataLen(uint8_t len) { m_dataLen = len <= MaxDataLen ? len : MaxDataLen; }
    const uint8_t *data() const { return m_data.data(); }
    // Bounds-checked data byte; 0 past the stored length, so a short frame never reads stale bytes.
    uint8_t dataAt(int index) const { return index >= 0 && index < m_dataLen ? m_data[index] : 0; }
    // Clears all data bytes and copies len of them; refuses (returns false) a length outside 0..64.
    bool setData(const uint8_t *bytes, int len);
    uint8_t crc() const { return m_crc; }
    void setCrc(uint8_t crc) { m_crc = crc; }

    bool isTeacherCommand() const;
    bool isStudentCommand() const;
    bool isShortFrame() const;
    bool isLongFrame() const;
    uint8_t teacherCommand() const;
    // Small-family keypad frames: teacher key code, or the student key character.
    uint8_t key() const;
    // Large: address high * 256 + low; small: 0 for the teacher keypad, else the student keypad id.
    int deviceID() const;

    // The frame as it came off the line (for logs and tests).
    QByteArray bytes() const;
    // Whether its last byte is the XOR of every byte before it, as in every keypad frame that
    // arrived whole; false for a damaged frame and for the receiver's answers that carry no check.
    bool checkByteRight() const;

    bool operator==(const DataOfFrame &other) const;

private:
    int m_type = -1;
    uint8_t m_cmd = 0;
    std::array<uint8_t, 2> m_addr{};
    uint8_t m_dataLen = 0;
    std::array<uint8_t, MaxDataLen> m_data{};
    uint8_t m_crc = 0;
};

Q_DECLARE_METATYPE(DataOfFrame)
