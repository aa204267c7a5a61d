#include "PacedSequencer.h"

#include <QTimer>

PacedSequencer::PacedSequencer(QObject *parent) : QObject(parent)
{
}

void PacedSequencer::append(const QList<Step> &steps)
{
    m_steps.append(steps);
    if (!m_running)
        runNext();
}

void PacedSequencer::clear()
{
    m_steps.clear();
    m_running = false;
    ++m_generation;
}

void PacedSequencer::runNext()
{
    // Steps without a pause run in a loop, not by recursion, so a long series of them cannot
    // deepen the stack. A step that clears the series ends this loop; a series it starts anew
    // runs by itself.
    const quint64 generation = m_generation;
    while (!m_steps.isEmpty()) {
        m_running = true;
        const Step step = m_steps.takeFirst();
        if (step.delayMs > 0) {
            QTimer::singleShot(step.delayMs, this, [this, action = step.action, generation] {
                if (generation != m_generation)
                    return;
                if (action)
                    action();
                if (generation == m_generation)
                    runNext();
            });
            return;
        }
        if (step.action)
            step.action();
        if (generation != m_generation)
            return;
    }
    m_running = false;
}
