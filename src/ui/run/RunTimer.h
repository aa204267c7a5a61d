#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

// A repeating one-second timer of the activity window (count-down, sound cut, grid scroll). It
// keeps running while menus track and modal windows run. Tests switch all of them to a manual
// clock and advance it themselves, so no test waits for real seconds.
class RunTimer : public QObject
{
    Q_OBJECT
public:
    explicit RunTimer(QObject *parent = nullptr);
    ~RunTimer() override;

    // (Re)starts the timer: tick runs once a second until stop().
    void start(std::function<void()> tick);
    void stop();
    bool isActive() const { return m_active; }

    // A pause on the GUI thread as a continuation: fn runs once after ms (at the next pass of the
    // event loop under the manual clock). Nothing runs when context is gone by then.
    static void after(int ms, QObject *context, std::function<void()> fn);

    // Tests: timers no longer fire by themselves; advance() lets seconds pass.
    static void setManualClock(bool on);
    static bool manualClock();
    // One second passes, `seconds` times, for every timer active when that second began.
    static void advance(int seconds = 1);

private:
    void fire();

    QTimer m_timer;
    std::function<void()> m_tick;
    bool m_active = false;
    quint64 m_serial = 0;
};
