#include "ModalSteps.h"

#include <QApplication>

void ModalSteps::onEach(QList<std::function<void(QWidget *)>> steps, int delayMs)
{
    m_steps = std::move(steps);
    QObject::disconnect(&m_poll, nullptr, nullptr, nullptr);
    QObject::connect(&m_poll, &QTimer::timeout, [this, delayMs] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == m_last || !modal->isVisible() || m_steps.isEmpty())
            return;
        m_last = modal;
        // Answered after this tick: an answer that opens the next modal window runs its loop.
        QTimer::singleShot(delayMs, modal, [modal, step = m_steps.takeFirst()] { step(modal); });
    });
    m_poll.start(5);
}
