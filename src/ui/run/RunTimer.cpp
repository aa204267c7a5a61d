#include "RunTimer.h"

#include <QList>
#include <QPointer>

namespace {

bool g_manual = false;
quint64 g_serial = 0;

QList<RunTimer *> &allTimers()
{
    static QList<RunTimer *> timers;
    return timers;
}

} // namespace

RunTimer::RunTimer(QObject *parent) : QObject(parent)
{
    m_timer.setInterval(1000);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &RunTimer::fire);
    allTimers().append(this);
}

RunTimer::~RunTimer()
{
    allTimers().removeAll(this);
}

void RunTimer::start(std::function<void()> tick)
{
    m_tick = std::move(tick);
    m_active = true;
    m_serial = ++g_serial;
    if (g_manual)
        m_timer.stop();
    else
        m_timer.start();
}

void RunTimer::stop()
{
    m_active = false;
    m_timer.stop();
}

void RunTimer::fire()
{
    if (!m_active || !m_tick)
        return;
    // The tick may restart or stop this timer; keep the callable alive while it runs.
    const std::function<void()> tick = m_tick;
    tick();
}

void RunTimer::after(int ms, QObject *context, std::function<void()> fn)
{
    QTimer::singleShot(g_manual ? 0 : ms, context, std::move(fn));
}

void RunTimer::setManualClock(bool on)
{
    g_manual = on;
    for (RunTimer *t : std::as_const(allTimers())) {
        if (!t->m_active)
            continue;
        if (on)
            t->m_timer.stop();
        else
            t->m_timer.start();
    }
}

bool RunTimer::manualClock()
{
    return g_manual;
}

void RunTimer::advance(int seconds)
{
    for (int s = 0; s < seconds; ++s) {
        struct Due
        {
            QPointer<RunTimer> timer;
            quint64 serial;
        };
        QList<Due> due;
        for (RunTimer *t : std::as_const(allTimers()))
            if (t->m_active)
                due.append({t, t->m_serial});
        for (const Due &d : due)
            // A timer stopped or restarted earlier in this second waits for the next one.
            if (d.timer && d.timer->m_active && d.timer->m_serial == d.serial)
                d.timer->fire();
    }
}
