#include "DataOfFrame.h"

#include "platform/Log.h"

#include <cstring>

void DataOfFrame::setAddr(const uint8_t *addr)
{
    if (!addr) {
        PollixLog(QStringLiteral("newAddr"));
        return;
    }
    m_addr = {addr[0], addr[1]};
}

bool DataOfFrame::setData(const uint8_t *bytes, int len)
{
    if (len < 0 || len > MaxDataLen) {
        PollixLog(QStringLiteral("nLen >= 0 && nLen <= 64"));
        return false;
    }
    if (len > 0 && !bytes) {
        PollixLog(QStringLiteral("newData"));
        return false;
    }
    m_data.fill(0);
    if (len > 0)
        std::memcpy(m_data.data(), bytes, size_t(len));
    m_dataLen = uint8_t(len);
    return true;
}

bool DataOfFrame::isTeacherCommand() const
{
    if (m_type == 0)
        return m_data[0] == 0x00;
    if (m_type == 1)
        return m_addr[1] == 0xEF;
    return false;
}

bool DataOfFrame::isStudentCommand() const
{
    if (m_type == 0)
        return m_data[0] >= 0x20 && m_data[0] <= 0x39;
    if (m_type == 1)
        return m_addr[1] != 0xEF;
    return false;
}

bool DataOfFrame::isShortFrame() const
{
    if (m_type == 0)
        return true;
    return m_type == 1 && m_cmd >= 0xF0 && m_cmd <= 0xF4;
}

bool DataOfFrame::isLongFrame() const
{
    return m_type == 1 && m_cmd >= 0xF5;
}

uint8_t DataOfFrame::teacherCommand() const
{
    if (!isTeacherCommand())
        return 0;
    return m_type == 0 ? m_data[1] : m_data[0];
}

uint8_t DataOfFrame::key() const
{
    if (m_type != 0)
        return 0;
    if (isTeacherCommand())
        return m_data[1];
    return uint8_t((m_data[1] >> 4) + 0x39);
}

int DataOfFrame::deviceID() const
{
    if (m_type == 1)
        return m_addr[1] * 256 + m_addr[0];
    if (m_type == 0 && isStudentCommand())
        return (m_data[0] - 0x20) * 16 + (m_data[1] & 0x0F);
    return 0;
}

QByteArray DataOfFrame::bytes() const
{
    QByteArray out;
    if (m_type == 0) {
        out.append(reinterpret_cast<const char *>(m_data.data()), 3);
    } else if (m_type == 1) {
        out.append(char(m_cmd));
        out.append(char(m_addr[0]));
        out.append(char(m_addr[1]));
        if (isShortFrame()) {
            out.append(char(m_data[0]));
        } else {
            out.append(char(m_dataLen));
            out.append(reinterpret_cast<const char *>(m_data.data()), m_dataLen);
        }
        out.append(char(m_crc));
    }
    return out;
}

bool DataOfFrame::checkByteRight() const
{
    const QByteArray all = bytes();
    uint8_t x = 0;
    for (char c : all)
        x ^= uint8_t(c);
    return !all.isEmpty() && x == 0;
}

bool DataOfFrame::operator==(const DataOfFrame &o) const
{
    return m_type == o.m_type && bytes() == o.bytes();
}
