#pragma once

// The pauses of the receiver link, in milliseconds. The defaults are the hardware's; tests shorten
// them (set before the device controller is created) so that no test waits for seconds.
struct LinkTiming
{
    int settleMs = 1000;         // before opening a port, for the USB bridge to settle
    // For an answer to a probe: a receiver answers within 50 ms, and an answer ends the wait at
    // once, so only a port that stays silent (a receiver of the other family) or sends no answer
    // among its bytes waits it out. On a busy computer a receiver's bytes reach the program later
    // (the kernel's tty work waits for the processor too), so the time in which the prober was seen
    // to run late does not count (AnswerWait), up to the longest waits below.
    int answerDueMs = 50;
    // The longest wait for the small family's answer, on a busy computer.
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
