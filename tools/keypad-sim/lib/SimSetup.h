#pragma once

#include "SimReceiver.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <cstdio>

namespace keypadsim {

// The keypads' side of the receiver set-up windows, beside what SimReceiver answers itself
// (channel and band, the same-channel query, keypad id writes with their confirmations): the
// registration of Corvel and Dravel keypads by name, and what the program told the keypads
// during a key test (registration numbers, the PC state). Written from the keypads' behaviour,
// not from the program's code. Read from the receiver's log, so it holds what was sent since the
// last clearLogs.
class SimSetup
{
public:
    explicit SimSetup(SimReceiver &receiver) : m_sim(receiver) {}

    // A keypad in the key test sends its name (FD, the name's UTF-8 bytes) and waits for its
    // registration number. The teacher keypad's FD carries no name of its own.
    void registerName(int id, const QByteArray &nameBytes);
    void registerName(int id, const QString &name) { registerName(id, name.toUtf8()); }
    void registerTeacher();

    struct Registration
    {
        int number = -1;     // -1: no reply yet
        QByteArray name;     // the name bytes of the reply
    };
    // The last registration reply (F6 nLo nHi name) the keypad at this address got after asking.
    Registration registration(int id) const;
    Registration teacherRegistration() const;

    // The last PC state (F5 00 00 01 s) the program announced; -1 none.
    int pcState() const;
    // Keypad ids the program wrote (Arvel three-byte frames and Brevel FE frames), in order.
    QList<int> writtenIds() const;

    // Text commands of pollix-keypad-sim: "register ID NAME", "tregister", "setup" (reports what
    // the keypads were told); false when words are none of them.
    bool runCommand(const QStringList &words, FILE *out);

private:
    Registration registrationTo(int address, qint64 sinceNs) const;

    SimReceiver &m_sim;
    mutable std::mutex m_mutex;
    QMap<int, qint64> m_askedAt; // address -> time of its last registration request
};

} // namespace keypadsim
