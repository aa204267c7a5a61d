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
    t.probeWaitMs = 50;
    t.scanDelayMs = 0;
    t.sameChannelWaitMs = 60;
    t.silenceTimeoutMs = 100;
    t.ackGraceMs = 2000;
    return t;
}
