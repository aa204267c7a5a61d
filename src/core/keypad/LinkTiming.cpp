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
    // The probe keeps the program's wait: shorter, a busy machine hands a simulator's answer
    // over too late for it, and the receiver is taken for none.
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
