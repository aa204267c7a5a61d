#include "LoopWatchdog.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

LoopWatchdog::LoopWatchdog(int stallMs, const QString &reportFile)
    : m_stallMs(stallMs), m_reportFile(reportFile.toStdString()), m_lastBeat(nowMs())
{
    m_beat.setInterval(100);
    QObject::connect(&m_beat, &QTimer::timeout, [this] { m_lastBeat = nowMs(); });
    m_beat.start();
    m_thread = std::thread([this] { watch(); });
}

LoopWatchdog::~LoopWatchdog()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_stop.notify_all();
    m_thread.join();
}

qint64 LoopWatchdog::nowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void LoopWatchdog::setDoing(const QString &doing)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_doing = doing.toStdString();
}

void LoopWatchdog::hold(int ms)
{
    m_holdUntil = nowMs() + ms;
}

void LoopWatchdog::watchLoop()
{
    m_lastBeat = nowMs();
    m_holdUntil = 0;
}

void LoopWatchdog::watch()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stop.wait_for(lock, std::chrono::milliseconds(200), [this] { return m_stopping; })) {
        const qint64 now = nowMs();
        const qint64 holdUntil = m_holdUntil;
        const bool stalled = holdUntil > 0 ? now > holdUntil : now - m_lastBeat > m_stallMs;
        if (!stalled)
            continue;
        const std::string text = (holdUntil > 0 ? "walk: the work between two event loops did not end in time while "
                                                : "walk: the event loop stopped answering for "
                                                      + std::to_string((now - m_lastBeat) / 1000) + " s while ")
                                 + m_doing + "\n";
        std::fputs(text.c_str(), stderr);
        std::fflush(stderr);
        const int fd = ::open(m_reportFile.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
        if (fd >= 0) {
            [[maybe_unused]] const ssize_t n = ::write(fd, text.data(), text.size());
            ::close(fd);
        }
        std::abort();
    }
}
