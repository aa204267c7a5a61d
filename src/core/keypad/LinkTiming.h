#pragma once

// The pauses of the receiver link, in milliseconds. The defaults are the hardware's; tests shorten
// them (set before the device controller is created) so that no test waits for seconds.
struct LinkTiming
{
    int settleMs = 1000;         // before opening a port, for the USB bridge to settle
    // At most, for an answer to a probe. A receiver answers within 50 ms, but a busy computer
    // hands its bytes over later (the kernel's tty work waits for the processor too), and a port
    // whose answer was missed is taken for no receiver; an answer ends the wait at once, so only
    // a silent port (a receiver of the other family) costs the whole wait.
    int probeWaitMs = 500;
    // The same, for the large family's answer. That family is asked last: a port silent to it too
    // is taken for no receiver until it is plugged in again, so a late answer is missed for good
    // here, where a late small-family answer still reaches the large family's wait and has the port
    // probed again.
    int largeFamilyProbeWaitMs = 500;
    int scanDelayMs = 50;        // before probing each newly found port
    int sameChannelWaitMs = 1000; // for an answer to the same-channel query
    int silenceTimeoutMs = 100;  // a partial frame is dropped after this much silence
    int ackGraceMs = 1000;       // a listener that returned without acknowledging its frame
    int setupAnswerMs = 1000;    // for the receiver's answer to a set-up command (channel, band)
    int lookAgainMs = 3000;      // between looks at the named ports that hold no receiver

    static LinkTiming current();
    static void setCurrent(const LinkTiming &timing);
    // Short pauses for tests and benchmarks against the simulated receiver.
    static LinkTiming fast();
};
