#pragma once

#include <QByteArray>
#include <QString>

// The four frames the main window sends to keypads, and what they share. Each builder returns the
// whole frame with its check byte.
class MainWindowFrames
{
public:
    MainWindowFrames() = delete;

    // XOR of the first length bytes; bytes must be given and length within 0..64, else the log
    // line "Error data or length." and 0.
    static unsigned char getCRC(const unsigned char *bytes, int length, bool *ok = nullptr);
    // The keypad's mode byte for an activity number: 0-4 as is, 5 -> 12, 6 -> 7, 7 -> 8, 8 -> 9.
    static int actModeTransToDeviceMode(int activityNo);
    // A name as the keypads show it: each character's low byte; more than 14 characters become
    // the first 12 and "..". No separator.
    static QByteArray nameBytes(const QString &name);

    // F6 00 00 03 01 FF FF F4: every keypad leaves the class.
    static QByteArray studentLogoutClass();
    // F3 00 EF state X to the teacher keypad (10 no class set up, 11 no file loaded).
    static QByteArray wrongState(int state);
    // F9 00 EF L class EE teacher EE mode countL countH 00 00 teacherID [F7] X.
    static QByteArray quizMsgToTeacher(const QString &className, const QString &teacherName, int mode,
                                       int studentCount, int teacherID, bool corvel);
    // F9 idL idH L class EE teacher EE countL countH X.
    static QByteArray classMsgToDevice(int deviceId, const QString &className, const QString &teacherName,
                                       int studentCount);
};
