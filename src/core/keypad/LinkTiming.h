#pragma once

// The pauses of the receiver link, in milliseconds. The defaults are the hardware's; tests shorten
// them (set before the device controller is created) so that no test waits for seconds.
struct LinkTiming
{
    int settleMs = 1000;         // before opening a port, for the USB bridge to settle
    int probeWaitMs = 50;        // at most, for an answer to a probe
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
