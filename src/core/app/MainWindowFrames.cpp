#include "MainWindowFrames.h"

#include "platform/Log.h"

namespace {
const char kSeparator = char(0xEE);
}

unsigned char MainWindowFrames::getCRC(const unsigned char *bytes, int length, bool *ok)
{
    if (!bytes || length < 0 || length > 64) {
        PollixLog(QStringLiteral("Error data or length."));
        if (ok)
            *ok = false;
        return 0;
    }
    unsigned char crc = 0;
    for (int i = 0; i < length; ++i)
        crc ^= bytes[i];
    if (ok)
        *ok = true;
    return crc;
}

int MainWindowFrames::actModeTransToDeviceMode(int activityNo)
{
    switch (activityNo) {
    case 5: return 12;
    case 6: return 7;
    case 7: return 8;
    case 8: return 9;
    default: return activityNo;
    }
}

QByteArray MainWindowFrames::nameBytes(const QString &name)
{
    const QString text = name.size() > 14 ? name.left(12) : name;
    QByteArray out;
    for (QChar c : text)
        out.append(char(c.unicode() & 0xFF));
    if (name.size() > 14)
        out.append("..");
    return out;
}

QByteArray MainWindowFrames::withCheckByte(QByteArray frame)
{
    bool ok = false;
    const unsigned char crc = getCRC(reinterpret_cast<const unsigned char *>(frame.constData()), int(frame.size()), &ok);
    if (!ok)
        return QByteArray();
    frame.append(char(crc));
    return frame;
}

QByteArray MainWindowFrames::studentLogoutClass()
{
    return withCheckByte(QByteArray::fromHex("F6000003" "01FFFF"));
}

QByteArray MainWindowFrames::wrongState(int state)
{
    QByteArray f = QByteArray::fromHex("F300EF");
    f.append(char(state & 0xFF));
    return withCheckByte(f);
}

QByteArray MainWindowFrames::quizMsgToTeacher(const QString &className, const QString &teacherName, int mode,
                                              int studentCount, int teacherID, bool corvel)
{
    QByteArray body = nameBytes(className);
    body.append(kSeparator);
    body.append(nameBytes(teacherName));
    body.append(kSeparator);
    body.append(char(mode & 0xFF));
    body.append(char(studentCount & 0xFF));
    body.append(char((studentCount >> 8) & 0xFF));
    body.append(char(0));
    body.append(char(0));
    body.append(char(teacherID & 0xFF));
    if (corvel)
        body.append(char(0xF7));
    QByteArray f = QByteArray::fromHex("F900EF");
    f.append(char(body.size()));
    f.append(body);
    return withCheckByte(f);
}

QByteArray MainWindowFrames::classMsgToDevice(int deviceId, const QString &className, const QString &teacherName,
                                              int studentCount)
{
    QByteArray body = nameBytes(className);
    body.append(kSeparator);
    body.append(nameBytes(teacherName));
    body.append(kSeparator);
    body.append(char(studentCount & 0xFF));
    body.append(char((studentCount >> 8) & 0xFF));
    QByteArray f;
    f.append(char(0xF9));
    f.append(char(deviceId & 0xFF));
    f.append(char((deviceId >> 8) & 0xFF));
    f.append(char(body.size()));
    f.append(body);
    return withCheckByte(f);
}
