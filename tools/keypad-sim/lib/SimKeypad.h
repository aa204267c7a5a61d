#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

namespace keypadsim {

// One simulated keypad: its hardware id and what the receiver told it.
struct SimKeypad
{
    int id = 0;               // hardware id (small family 0..415, large family 16 bits)
    bool teacher = false;
    int deviceNo = 0;         // given by a login reply (large family); 0 before
    bool loggedIn = false;
    // Logged out (its student's logout, or its class's) and not in again since: it shows the
    // login screen and takes no part (answers, question sets, hand-ins) until a login of its is
    // accepted. Only on models whose keypads log in.
    bool loggedOut = false;
    bool loginRefused = false;
    QString studentId;        // the id typed at the last login; the keypad logs in with it again
    QString name;             // the name it sent with that login
    QByteArray lastReply;     // last frame addressed to this keypad
    QMap<int, QString> uploadAnswers; // homework / paper quiz answers by question number
    int uploadRounds = 0;     // answer sends made on the host's signal or receipt
    bool uploadComplete = false; // the host's receipt said every answer arrived

    // The address its frames carry: the device number once logged in, else its id.
    int address() const { return loggedIn && deviceNo > 0 ? deviceNo : id; }
};

} // namespace keypadsim
