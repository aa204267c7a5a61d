#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

class QWidget;

// Works the windows that the code under test runs modally: whenever a modal window comes up,
// its objectName is noted and the handler given for that name runs on it (from the window's own
// event loop, so a handler may open further modal windows, which are handled in turn). A
// window without a handler of its own goes to the otherwise() handler, or is closed with
// reject(). Handlers for a name run in the order given, one per showing; the last one stays for
// later showings.
class ModalDriver : public QObject
{
    Q_OBJECT
public:
    using Handler = std::function<void(QWidget *window)>;

    ModalDriver();
    ~ModalDriver() override;

    void on(const QString &objectName, Handler handler);
    // The handler for a window whose name has none (instead of reject()).
    void otherwise(Handler handler) { m_otherwise = std::move(handler); }
    // objectName of every modal window seen, in order.
    const QStringList &opened() const { return m_opened; }

private:
    void poll();

    QTimer m_timer;
    QHash<QString, QList<Handler>> m_handlers;
    Handler m_otherwise;
    QList<QPointer<QWidget>> m_seen;
    QStringList m_opened;
};
