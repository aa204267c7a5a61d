#include "ModalDriver.h"

#include <QApplication>
#include <QDialog>
#include <QWidget>

ModalDriver::ModalDriver()
{
    connect(&m_timer, &QTimer::timeout, this, &ModalDriver::poll);
    m_timer.start(5);
}

ModalDriver::~ModalDriver() = default;

void ModalDriver::on(const QString &objectName, Handler handler)
{
    m_handlers[objectName] << std::move(handler);
}

void ModalDriver::poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible() || m_seen.contains(modal))
        return;
    m_seen << modal;
    const QString name = modal->objectName();
    m_opened << name;
    QList<Handler> &queue = m_handlers[name];
    Handler handler = m_otherwise;
    if (!queue.isEmpty())
        handler = queue.size() > 1 ? queue.takeFirst() : queue.first();
    QPointer<QWidget> window(modal);
    // Queued, so that the handler runs from the window's event loop and not inside this timer,
    // which must go on firing for the windows the handler opens.
    QMetaObject::invokeMethod(
        this,
        [window, handler] {
            if (!window)
                return;
            if (handler)
                handler(window);
            else if (auto *dialog = qobject_cast<QDialog *>(window.data()))
                dialog->reject();
            else
                window->close();
        },
        Qt::QueuedConnection);
}
