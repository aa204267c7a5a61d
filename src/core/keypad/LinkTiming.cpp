#include "LinkTiming.h"

#include <mutex>

namespace {
std::mutex g_mutex;
LinkTiming g_timing;
} // namespace

LinkTiming LinkTiming::current()
{
    std::lock_guard lock(g_mutex);
    return g_timing;
}

void LinkTiming::setCurrent(const LinkTiming &timing)
{
    std::lock_guard lock(g_mutex);
    g_timing = timing;
}

LinkTiming LinkTiming::fast()
{
    LinkTiming t;
    t.settleMs = 0;
    // An answer ends the wait at once; the margin is for a simulator on a busy machine. Only a
    // silent port (a receiver of the other family) costs the whole wait, which the tests keep at
    // these bounds whether or not the prober ran on time: every large-family receiver they plug in
    // pays the small family's in silence, so that one stays short; the large family's is paid only
    // by a port silent to both. On a machine running the suite beside busy processes, a request
    // reached the simulated receiver more than a quarter of a second after it was written, now and
    // then.
    t.answerDueMs = 2000;
    t.probeWaitMs = 250;
    t.largeFamilyProbeWaitMs = 2000;
    t.scanDelayMs = 0;
    t.sameChannelWaitMs = 60;
    t.silenceTimeoutMs = 100;
    t.ackGraceMs = 2000;
    // The answer ends this wait too; only a receiver that stays silent pays it, and the tests of
    // that case set a short wait of their own.
    t.setupAnswerMs = 10000;
    t.lookAgainMs = 50;
    return t;
}
