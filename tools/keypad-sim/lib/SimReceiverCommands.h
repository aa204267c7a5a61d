#pragma once

#include <QByteArray>

namespace keypadsim {

class SimReceiver;

// The receiver commands a receiver of each family answers by itself, put into its command table
// when it is made: identify, version, channel and band, receiver on and stop input, keypad id
// writes (small family); identify, version, channel, the same-channel query, login replies and
// Brevel id writes, answer uploads and the class's logout (large family). Models of more of the
// keypads' side add to the table through SimReceiver::setCommandHandler.
class SimReceiverCommands
{
public:
    static void registerSmallFamily(SimReceiver &receiver);
    static void registerLargeFamily(SimReceiver &receiver);

private:
    static void onLoginReply(SimReceiver &r, const QByteArray &frame);
    static bool onBrevelIdWrite(SimReceiver &r, const QByteArray &frame);
    static void onClassLogout(SimReceiver &r, const QByteArray &frame);
};

} // namespace keypadsim
