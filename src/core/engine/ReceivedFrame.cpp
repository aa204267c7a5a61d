#include "ReceivedFrame.h"

#include "core/keypad/DataOfFrame.h"

ReceivedFrame ReceivedFrame::large(uint8_t cmd, uint8_t addrLo, uint8_t addrHi, const QByteArray &data)
{
    ReceivedFrame f;
    f.m_type = 1;
    f.m_cmd = cmd;
    f.m_addrLo = addrLo;
    f.m_addrHi = addrHi;
    f.m_data = data.left(64);
    return f;
}

ReceivedFrame ReceivedFrame::small(uint8_t b0, uint8_t b1, uint8_t b2)
{
    ReceivedFrame f;
    f.m_type = 0;
    f.m_data = QByteArray(1, char(b0)) + char(b1) + char(b2);
    return f;
}

bool ReceivedFrame::isTeacherCommand() const
{
    return m_type == 0 ? at(0) == 0x00 : m_addrHi == 0xEF;
}

bool ReceivedFrame::isStudentCommand() const
{
    return m_type == 0 ? (at(0) >= 0x20 && at(0) <= 0x39) : m_addrHi != 0xEF;
}

uint8_t ReceivedFrame::teacherCommand() const
{
    if (!isTeacherCommand())
        return 0;
    return m_type == 0 ? at(1) : at(0);
}

uint8_t ReceivedFrame::key() const
{
    if (isTeacherCommand())
        return at(1);
    return uint8_t((at(1) >> 4) + 0x39);
}

int ReceivedFrame::deviceID() const
{
    if (m_type == 1)
        return m_addrHi * 256 + m_addrLo;
    if (!isStudentCommand())
        return 0;
    return (at(0) - 0x20) * 16 + (at(1) & 0x0F);
}

ReceivedFrame ReceivedFrame::fromDataOfFrame(const DataOfFrame &frame)
{
    if (frame.type() == 0)
        return small(frame.data()[0], frame.data()[1], frame.data()[2]);
    if (frame.type() == 1)
        return large(frame.cmd(), frame.addr()[0], frame.addr()[1],
                     QByteArray(reinterpret_cast<const char *>(frame.data()), frame.dataLen()));
    return ReceivedFrame();
}
