#include "AnswerWait.h"

#include <poll.h>

namespace {
constexpr qint64 kNsPerMs = 1'000'000;
} // namespace

AnswerWait::AnswerWait(int dueMs, int mostMs, int baudRate)
    : m_dueNs(dueMs * kNsPerMs), m_mostNs(mostMs * kNsPerMs), m_byteNs(10'000'000'000LL / baudRate) // 8N1: 10 bits
{
    m_clock.start();
}

void AnswerWait::heard(qsizetype bytes)
{
    m_lineNs += bytes * m_byteNs;
}

void AnswerWait::nap(int fd)
{
    struct pollfd port {fd, POLLIN, 0};
    ::poll(&port, 1, kNapMs);
    const qint64 now = m_clock.nsecsElapsed();
    passed(now - m_lastNs, kNapMs * kNsPerMs);
    m_lastNs = now;
}

void AnswerWait::passed(qint64 tookNs, qint64 napNs)
{
    m_totalNs += tookNs;
    if (tookNs <= napNs + kLateMs * kNsPerMs)
        m_onTimeNs += tookNs;
}
