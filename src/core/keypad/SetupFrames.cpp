#include "SetupFrames.h"

#include "FrameBuilder.h"

namespace {

QByteArray small(uint8_t b0, uint8_t b1, uint8_t b2)
{
    QByteArray f;
    f.append(char(b0)).append(char(b1)).append(char(b2));
    return f;
}

QByteArray small(uint8_t b0, uint8_t b1)
{
    return small(b0, b1, uint8_t(b0 ^ b1));
}

bool isSmall(const DataOfFrame &frame)
{
    return !frame.isNull() && frame.type() == 0;
}

bool isLarge(const DataOfFrame &frame, uint8_t cmd)
{
    return !frame.isNull() && frame.type() == 1 && frame.cmd() == cmd;
}

} // namespace

QByteArray SetupFrames::getChannel()
{
    return FrameBuilder::shortFrame(0xF2, 0x00, 0x00, 0x80);
}

QByteArray SetupFrames::setChannel(int channel)
{
    if (channel < 0 || channel > kMaxLargeChannel)
        return {};
    return FrameBuilder::shortFrame(0xF2, 0x00, uint8_t(2 * channel + 1), 0x81);
}

QByteArray SetupFrames::sameChannelQuery()
{
    return FrameBuilder::shortFrame(0xF4, 0x00, 0xC0, 0x02);
}

QByteArray SetupFrames::sameChannelAnswer()
{
    return QByteArray::fromHex("F500C001E1");
}

QByteArray SetupFrames::brevelStudentId(int id, quint16 random)
{
    if (id < 1 || id > 0xFFFF)
        return {};
    QByteArray data;
    data.append(char(0x00)).append(char(0xF5));
    FrameBuilder::appendWord(data, id);
    FrameBuilder::appendWord(data, random);
    data.append(char(0xE0));
    return FrameBuilder::longFrame(0xFE, 0x01, 0x00, data);
}

QByteArray SetupFrames::pcState(quint8 state)
{
    return FrameBuilder::longFrame(0xF5, 0x00, 0x00, QByteArray(1, char(state)));
}

QByteArray SetupFrames::registrationNameBytes(const QString &name)
{
    QByteArray bytes = name.toUtf8();
    if (bytes.size() <= kMaxRegistrationNameBytes)
        return bytes;
    int cut = kMaxRegistrationNameBytes;
    // Back up over continuation bytes (10xxxxxx) to the start of the character that does not fit.
    while (cut > 0 && (uint8_t(bytes[cut]) & 0xC0) == 0x80)
        --cut;
    bytes.truncate(cut);
    return bytes;
}

QByteArray SetupFrames::registrationReply(int keypad, int number, const QString &name)
{
    if (keypad < 0 || keypad > 0xFFFF || number < 0 || number > 0xFFFF)
        return {};
    QByteArray data;
    FrameBuilder::appendWord(data, number);
    data.append(registrationNameBytes(name));
    return FrameBuilder::longFrame(0xF6, uint8_t(keypad & 0xFF), uint8_t(keypad >> 8), data);
}

int SetupFrames::channelAnswer(const DataOfFrame &frame)
{
    return isLarge(frame, 0xF3) ? frame.dataAt(0) : -1;
}

int SetupFrames::channelSetAnswer(const DataOfFrame &frame)
{
    return isLarge(frame, 0xF2) ? frame.dataAt(0) : -1;
}

bool SetupFrames::isBrevelIdConfirmation(const DataOfFrame &frame, int id)
{
    return id > 0 && isLarge(frame, 0xFC) && frame.deviceID() == id;
}

QString SetupFrames::registrationName(const DataOfFrame &frame)
{
    if (!isLarge(frame, 0xFD))
        return {};
    if (frame.isTeacherCommand())
        return QStringLiteral("Teacher");
    QByteArray bytes(reinterpret_cast<const char *>(frame.data()), frame.dataLen());
    const int end = int(bytes.indexOf('\0'));
    if (end >= 0)
        bytes.truncate(end);
    return QString::fromUtf8(bytes);
}

QByteArray SetupFrames::arvelStudentId(int id)
{
    if (id < 1 || id > 415)
        return {};
    return small(uint8_t(0x60 | (id & 0x0F)), uint8_t(0x80 | ((id >> 4) & 0x1F)));
}

QByteArray SetupFrames::arvelTeacherId()
{
    return small(0x60, 0x80);
}

QByteArray SetupFrames::arvelGetChannel()
{
    return small(0x59, 0x00);
}

QByteArray SetupFrames::arvelSetChannel(int channel)
{
    if (channel < 0 || channel > kMaxArvelChannel)
        return {};
    QByteArray f = small(0x5E, 0x80);
    f.append(QByteArray(6, char(0xB8)));
    f.append(char(0xB0 | (channel / 10))).append(char(0xB0 | (channel % 10)));
    return f;
}

QByteArray SetupFrames::arvelGetBand()
{
    return small(0x59, 0xA0);
}

QByteArray SetupFrames::arvelSetBand(int band)
{
    if (band < 0 || band > kMaxBand)
        return {};
    // The receiver wants 59 as the third byte here, not the check byte.
    return small(0x59, uint8_t(0xB0 | band), 0x59);
}

QByteArray SetupFrames::receiverOn()
{
    return small(0x5A, 0x80);
}

QByteArray SetupFrames::arvelStopInput()
{
    return small(0x5B, 0x80);
}

QByteArray SetupFrames::envelStopInput()
{
    return small(0x5A, 0x81);
}

bool SetupFrames::isArvelIdConfirmation(const DataOfFrame &frame, int id)
{
    if (!isSmall(frame) || id < 1)
        return false;
    return frame.data()[0] == uint8_t(0x40 | ((id >> 4) & 0x1F)) && frame.data()[1] == uint8_t(id & 0x0F);
}

bool SetupFrames::isArvelTeacherIdConfirmation(const DataOfFrame &frame)
{
    return isSmall(frame) && frame.data()[0] == 0x40 && frame.data()[1] == 0x00;
}

int SetupFrames::arvelChannelAnswer(const DataOfFrame &frame)
{
    if (!isSmall(frame) || (frame.data()[0] != 0x59 && frame.data()[0] != 0x7A))
        return -1;
    // The band's answer (59 Ax) and the set's (7A 87) come in the same form: a channel beyond
    // the receiver's channels is one of them, late, not a channel.
    const int channel = frame.data()[1] >> 1;
    return channel <= kMaxArvelChannel ? channel : -1;
}

bool SetupFrames::isArvelChannelSetAnswer(const DataOfFrame &frame)
{
    return isSmall(frame) && frame.data()[0] == 0x7A && frame.data()[1] == 0x87;
}

int SetupFrames::arvelBandAnswer(const DataOfFrame &frame)
{
    if (!isSmall(frame) || frame.data()[0] != 0x59 || (frame.data()[1] >> 4) != 0x0A)
        return -1;
    return frame.data()[1] & 0x0F;
}
