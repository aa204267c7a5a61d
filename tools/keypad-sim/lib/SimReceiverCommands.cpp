#include "SimReceiverCommands.h"

#include "SimReceiver.h"

namespace keypadsim {

void SimReceiverCommands::registerSmallFamily(SimReceiver &receiver)
{
    // Identify (5E 80 DE B2 ...) and set channel (5E 80 DE B8 ...); second identify 5E 83 DD.
    receiver.m_handlers[0x5E] = [](SimReceiver &r, const QByteArray &f) {
        const auto b = [&](int i) { return quint8(f[i]); };
        if (f.size() == 3 && b(1) == 0x83) {
            if (r.m_options.model == Model::Envel)
                r.queueOut(QByteArray(1, char(0x7B)) + char(r.m_random() & 0xFF) + char(0xFB), false);
            return;
        }
        if (f.size() != 11)
            return;
        if (f == QByteArray::fromHex("5E80DEB2B0B0B2B0B1B1B7")) {
            const bool f8 = r.m_options.model == Model::Envel || r.m_options.arvelProbeAnswersF8;
            r.queueOut(QByteArray(1, char(0x7B)) + char(r.m_random() & 0xFF) + char(f8 ? 0xF8 : 0xFB), false);
        } else if (b(3) == 0xB8) {
            const int channel = (b(9) & 0x0F) * 10 + (b(10) & 0x0F);
            if (channel <= 49) {
                r.m_options.channel = channel;
                r.queueOut(SimReceiver::smallFrame(0x7A, 0x87), false);
            }
        }
    };
    receiver.m_handlers[0x57] = [](SimReceiver &r, const QByteArray &) {
        r.queueOut(QByteArray(1, char(0x57)) + char(r.m_options.firmwareMajor) + char(r.m_options.firmwareMinor), false);
    };
    receiver.m_handlers[0x59] = [](SimReceiver &r, const QByteArray &f) {
        const quint8 b1 = quint8(f[1]);
        if (b1 == 0x00 && quint8(f[2]) == 0x59)
            r.queueOut(SimReceiver::smallFrame(0x59, quint8(r.m_options.channel << 1)), false);
        else if (b1 == 0xA0)
            r.queueOut(SimReceiver::smallFrame(0x59, quint8(0xA0 | (r.m_options.band & 0x0F))), false);
        else if ((b1 & 0xF0) == 0xB0)
            r.m_options.band = b1 & 0x0F;
    };
    // Receiver on 5A 80 DA; stop input 5B 80 DB, on the infrared model 5A 81 DB.
    receiver.m_handlers[0x5A] = [](SimReceiver &r, const QByteArray &f) {
        if (quint8(f[1]) == 0x80)
            r.m_receiving = true;
        else if (quint8(f[1]) == 0x81 && r.m_options.model == Model::Envel)
            r.m_receiving = false;
    };
    receiver.m_handlers[0x5B] = [](SimReceiver &r, const QByteArray &) { r.m_receiving = false; };
    // Keypad id writing: the keypad waiting for an id confirms it.
    for (int b0 = 0x60; b0 <= 0x6F; ++b0) {
        receiver.m_handlers[quint8(b0)] = [](SimReceiver &r, const QByteArray &f) {
            const quint8 b0 = quint8(f[0]), b1 = quint8(f[1]);
            if (b0 == 0x60 && b1 == 0x80) {
                r.queueOut(SimReceiver::smallFrame(0x40, 0x00), false); // teacher keypad
                return;
            }
            const int id = (b0 & 0x0F) | ((b1 & 0x1F) << 4);
            r.queueOut(SimReceiver::smallFrame(quint8(0x40 | ((id >> 4) & 0x1F)), quint8(id & 0x0F)), false);
        };
    }
}

void SimReceiverCommands::registerLargeFamily(SimReceiver &receiver)
{
    receiver.m_handlers[0xF0] = [](SimReceiver &r, const QByteArray &f) {
        if (f != QByteArray::fromHex("F0000000F0"))
            return;
        QByteArray a;
        a.append(char(0xF0)).append(char(r.m_random() & 0xFF)).append(char(r.m_random() & 0xFF));
        a.append(char(r.info().code)).append(char(r.m_random() & 0xFF));
        r.queueOut(a, false);
    };
    receiver.m_handlers[0xF1] = [](SimReceiver &r, const QByteArray &) {
        r.queueOut(SimReceiver::shortFrame(0xF1, quint8(r.m_random() & 0xFF), quint8(r.m_options.firmwareMajor),
                              quint8(r.m_options.firmwareMinor)),
                   false);
    };
    receiver.m_handlers[0xF2] = [](SimReceiver &r, const QByteArray &f) {
        const quint8 data = quint8(f[3]);
        if (data == 0x80) {
            r.queueOut(SimReceiver::shortFrame(0xF3, 0x00, 0x00, quint8(r.m_options.channel)), false);
        } else if (data == 0x81) {
            const int channel = (quint8(f[2]) - 1) / 2;
            if (channel >= 0 && channel <= 39) {
                r.m_options.channel = channel;
                r.queueOut(SimReceiver::shortFrame(0xF2, 0x00, 0x00, quint8(channel)), false);
            }
        }
    };
    receiver.m_handlers[0xF4] = [](SimReceiver &r, const QByteArray &f) {
        const bool clash = r.m_options.sameChannelConflict ||
                           (r.m_options.neighbourChannel >= 0 && r.m_options.neighbourChannel == r.m_options.channel);
        if (f == QByteArray::fromHex("F400C00236") && clash)
            r.queueOut(QByteArray::fromHex("F500C001E1"), false);
    };
    receiver.m_handlers[0xFE] = [](SimReceiver &r, const QByteArray &f) {
        if (!onBrevelIdWrite(r, f))
            onLoginReply(r, f);
    };
    receiver.m_handlers[0xFB] = [](SimReceiver &r, const QByteArray &f) { r.onUploadCommand(f); };
    receiver.m_handlers[0xF6] = [](SimReceiver &r, const QByteArray &f) { onClassLogout(r, f); };
}

// F6 00 00 03 01 FF FF: the class is over. Every student keypad forgets its device number and
// shows itself logged out (its frames carry its own id again); it logs in anew at the next wake.
void SimReceiverCommands::onClassLogout(SimReceiver &r, const QByteArray &f)
{
    if (f.size() != 8 || f.mid(1, 6) != QByteArray::fromHex("00000301FFFF"))
        return;
    const bool keypadsLogIn = SimReceiver::longestStudentId(r.m_options.model) > 0;
    for (SimKeypad &k : r.m_keypads) {
        k.loggedIn = false;
        k.loggedOut = keypadsLogIn;
        k.deviceNo = 0;
    }
}

// Writing a student id on Brevel: FE 01 00 07, 00 F5 iLo iHi rLo rHi E0, check. The keypad waiting
// for an id takes id i and confirms with an FC frame from that address.
bool SimReceiverCommands::onBrevelIdWrite(SimReceiver &r, const QByteArray &f)
{
    const auto b = [&](int i) { return quint8(f[i]); };
    if (r.m_options.model != Model::Brevel || f.size() != 12 || b(1) != 0x01 || b(2) != 0x00 || b(3) != 0x07 ||
        b(4) != 0x00 || b(5) != 0xF5 || b(10) != 0xE0)
        return false;
    const int id = b(6) | (b(7) << 8);
    SimKeypad &k = r.m_keypads[id];
    k.id = id;
    r.queueOut(SimReceiver::longFrame(0xFC, id, r.randomBytes(1)), false);
    return true;
}

// A login reply addressed to one keypad: accepted with its device number, or refused (00 FF FF).
void SimReceiverCommands::onLoginReply(SimReceiver &r, const QByteArray &f)
{
    if (f.size() < 7)
        return;
    const int address = quint8(f[1]) | (quint8(f[2]) << 8);
    auto it = r.m_keypads.find(address);
    if (it == r.m_keypads.end())
        return;
    QByteArray data = f.mid(4, quint8(f[3]));
    if (r.m_options.model == Model::Corvel && !data.isEmpty() && quint8(data[0]) == 0xF7)
        data.remove(0, 1);
    if (data.size() < 3)
        return;
    it->lastReply = f;
    if (quint8(data[0]) == 0x00 && quint8(data[1]) == 0xFF && quint8(data[2]) == 0xFF) {
        it->loginRefused = true;
        it->loggedIn = false;
        return;
    }
    it->deviceNo = quint8(data[0]) | (quint8(data[1]) << 8);
    it->loggedIn = it->deviceNo > 0;
    it->loggedOut = it->loggedOut && !it->loggedIn;
}

} // namespace keypadsim
