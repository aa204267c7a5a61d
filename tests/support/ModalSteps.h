#pragma once

#include <QList>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

// Runs one step for each modal window that comes up, in order, inside the window's own event
// loop once it is shown; a step looks at the window and answers it (which may open the next).
class ModalSteps
{
public:
    // delayMs: how long a window is up before its step runs (time to lay out and draw).
    void onEach(QList<std::function<void(QWidget *)>> steps, int delayMs = 0);
    bool allTaken() const { return m_steps.isEmpty(); }

private:
    QTimer m_poll;
    QPointer<QWidget> m_last;
    QList<std::function<void(QWidget *)>> m_steps;
};
