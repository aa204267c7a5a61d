#include "MainWindowFrames.h"

#include "core/base/ActivityCodes.h"
#include "core/engine/ActivityFrames.h"
#include "core/keypad/FrameBuilder.h"
#include "platform/Log.h"

// The main window's frames are built as the activities' are: same check byte, name rule and
// length limit.

unsigned char MainWindowFrames::getCRC(const unsigned char *bytes, int length, bool *ok)
{
    if (!bytes) {
        PollixLog(QStringLiteral("Error data or length."));
        if (ok)
            *ok = false;
        return 0;
    }
    const QByteArray view = QByteArray::fromRawData(reinterpret_cast<const char *>(bytes), qMax(0, length));
    return FrameBuilder::getCRC(view, length, ok);
}

int MainWindowFrames::actModeTransToDeviceMode(int activityNo)
{
    return ActivityFrames::teacherMode(activityNo, 0, 0);
}

QByteArray MainWindowFrames::nameBytes(const QString &name)
{
    return FrameBuilder::nameBytes(name);
}

QByteArray MainWindowFrames::studentLogoutClass()
{
    return ActivityFrames::studentLogoutClass();
}

QByteArray MainWindowFrames::wrongState(int state)
{
    return FrameBuilder::shortFrame(0xF3, 0x00, 0xEF, uint8_t(state & 0xFF));
}

QByteArray MainWindowFrames::quizMsgToTeacher(const QString &className, const QString &teacherName, int mode,
                                              int studentCount, int teacherID, bool corvel)
{
    // Before a run nobody is logged in: the count is 0. No Brevel tail here.
    return ActivityFrames::quizMsgToTeacher(corvel ? DeviceType::Corvel : DeviceType::Dravel, {0x00, 0xEF}, className, teacherName, mode, studentCount,
                                            0, uint8_t(teacherID & 0xFF));
}

QByteArray MainWindowFrames::classMsgToDevice(int deviceId, const QString &className, const QString &teacherName,
                                              int studentCount)
{
    return ActivityFrames::classMsg(ActivityFrames::KeypadAddress::word(deviceId), className, teacherName, studentCount);
}
