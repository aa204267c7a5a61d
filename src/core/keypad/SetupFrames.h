#pragma once

#include "DataOfFrame.h"

#include <QByteArray>
#include <QString>

// The receiver set-up commands (channel, band, keypad ids, key test, registration) and the
// answers that confirm them. Builders return the whole frame, check byte included; a value
// outside its range gives an empty frame, so nothing is sent. Readers return -1 (or false) for a
// frame that is not the answer asked about.
class SetupFrames
{
public:
    static constexpr int kMaxLargeChannel = 39; // Corvel, Dravel, Brevel
    static constexpr int kMaxArvelChannel = 49;
    static constexpr int kMaxBand = 3;
    static constexpr int kMaxKeypadId = 400; // ids that can be written and shown in the key test
    static constexpr int kMaxRegistrationNameBytes = 58; // reply head (6 bytes + name) fits a check

    // ---- large family --------------------------------------------------------------------------
    static QByteArray getChannel();                  // F2 00 00 80 72
    static QByteArray setChannel(int channel);       // F2 00 (2c+1) 81 check
    static QByteArray sameChannelQuery();            // F4 00 C0 02 36
    static QByteArray sameChannelAnswer();           // F5 00 C0 01 E1 (five bytes, no check)
    // FE 01 00 07, 00 F5 iLo iHi rLo rHi E0, check: the keypad waiting for an id takes id.
    static QByteArray brevelStudentId(int id, quint16 random);
    static QByteArray pcState(quint8 state);         // F5 00 00 01 s check
    // F6 kLo kHi len, nLo nHi name, check: keypad k is number n. The name goes as UTF-8, cut at a
    // character boundary so that the frame can be built.
    static QByteArray registrationReply(int keypad, int number, const QString &name);
    static QByteArray registrationNameBytes(const QString &name);

    static int channelAnswer(const DataOfFrame &frame);    // F3: the channel, else -1
    static int channelSetAnswer(const DataOfFrame &frame); // F2: the channel set, else -1
    static bool isBrevelIdConfirmation(const DataOfFrame &frame, int id); // FC from address id
    // FD: the name a Corvel or Dravel keypad registers with ("Teacher" for the teacher keypad).
    static QString registrationName(const DataOfFrame &frame);

    // ---- small family --------------------------------------------------------------------------
    static QByteArray arvelStudentId(int id);        // (60|i&0F) (80|(i>>4)&1F) xor, ids 1..415
    static QByteArray arvelTeacherId();              // 60 80 E0
    static QByteArray arvelGetChannel();             // 59 00 59
    static QByteArray arvelSetChannel(int channel);  // 5E 80 DE B8 x6 (B0|c/10) (B0|c%10)
    static QByteArray arvelGetBand();                // 59 A0 F9
    static QByteArray arvelSetBand(int band);        // 59 (B0|b) 59
    static QByteArray receiverOn();                  // 5A 80 DA
    static QByteArray arvelStopInput();              // 5B 80 DB
    static QByteArray envelStopInput();              // 5A 81 DB

    static bool isArvelIdConfirmation(const DataOfFrame &frame, int id);
    static bool isArvelTeacherIdConfirmation(const DataOfFrame &frame);
    static int arvelChannelAnswer(const DataOfFrame &frame);  // 59 or 7A: b1 >> 1, at most 49
    static bool isArvelChannelSetAnswer(const DataOfFrame &frame); // 7A 87
    static int arvelBandAnswer(const DataOfFrame &frame);     // 59 Ab: b
};
