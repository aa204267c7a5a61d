#pragma once

#include <QList>
#include <QObject>

#include <functional>

// Runs steps one after another on the thread that owns it, each after its own pause. A pause is
// a timer continuation, never a sleep, so the GUI thread keeps handling events meanwhile (keypad
// frames, clicks) while a paced series of frames goes out. A step without a pause runs at once,
// inside the call that reaches it. Steps added while a series runs go after it. The sequencer's
// end (its owner's) drops the steps not yet run.
class PacedSequencer : public QObject
{
    Q_OBJECT
public:
    struct Step
    {
        int delayMs = 0;              // the pause before the action
        std::function<void()> action; // may be empty: a pause only
    };

    explicit PacedSequencer(QObject *parent = nullptr);

    void append(const QList<Step> &steps);
    // Drops the steps not yet run; a pause under way ends without running anything.
    void clear();
    // Steps are waiting or a pause is under way.
    bool isRunning() const { return m_running; }

private:
    void runNext();

    QList<Step> m_steps;
    bool m_running = false;
    quint64 m_generation = 0; // a cleared series' timer finds a newer generation and stops
};
