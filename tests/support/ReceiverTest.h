#pragma once

#include "EventWait.h"
#include "PollixTest.h"

#include "SimReceiver.h"

#include <memory>
#include <vector>

// Fixture for keypad flows: simulated receivers on pseudo-terminals, found by the real
// discovery and read through the real serial code, with the link's pauses shortened.
class ReceiverTest : public PollixTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts a simulated receiver (not yet known to the program).
    keypadsim::SimReceiver *makeReceiver(keypadsim::Model model, keypadsim::SimReceiver::Options options = {});
    // Starts one, lets the program probe it, and waits until it is open and read (or refused as
    // no receiver of its kind). A port the program could not open at all is a failure that names
    // the reason, and gives nullptr: a helper that asserts on it stops, and its caller must stop
    // too (ASSERT_NO_FATAL_FAILURE, or an assertion on what the helper returns).
    keypadsim::SimReceiver *plugIn(keypadsim::Model model, keypadsim::SimReceiver::Options options = {});
    // What plugIn does once the receiver is made: false where the port could not be opened at all.
    bool probe(keypadsim::SimReceiver *sim);
    // Starts the link afresh with these ports in POLLIX_SERIAL_PORTS, as Pollix starts with the
    // variable set, and waits until they are probed (and a receiver among them opened). Every
    // process-wide object starts afresh with it.
    bool restartLinkNaming(const QStringList &ports);
    // Waits until discovery and opening are over.
    bool waitIdle(int timeoutMs = kEventWaitMs);
    // The bytes of every command the program sent the receiver since its last clearLogs.
    static QList<QByteArray> programFrames(const keypadsim::SimReceiver *sim);
    // Processes events until pred holds.
    static bool waitFor(const std::function<bool()> &pred, int timeoutMs = kEventWaitMs);
    // Frames the link has handed to its listener so far.
    static quint64 framesHandedOn();
    // Processes events until the link has handed `count` frames more than `before` to its listener
    // and holds none back: a key that must change nothing has then been heard.
    static bool waitHandedOn(quint64 before, int count = 1);
    // Whether keypads first .. first + count - 1 have taken the replies to their logins: only then
    // do their frames carry the device numbers the run gave them. The run's own count of logins
    // holds as soon as the replies are sent, before the keypads have them.
    static bool keypadsLoggedIn(const keypadsim::SimReceiver *sim, int first, int count);
    // How long the same-channel query listens. A test that expects the clash listens long (the
    // answer ends the wait); one without a clash keeps the short wait, which it pays in full.
    static void setSameChannelWait(int ms);
    // The pause before each open of a port (none by default in tests), which the hardware needs
    // for its USB bridge: what keypads send meanwhile waits on the port when it is opened.
    static void setSettle(int ms);

    std::vector<std::unique_ptr<keypadsim::SimReceiver>> receivers;
};
