#pragma once

#include <QList>
#include <QObject>

class QSocketNotifier;

// The signals that end a desktop session's programs (SIGTERM at a logout, a shutdown or a kill,
// SIGHUP when the session or terminal goes, SIGINT for Ctrl+C) end Pollix through its event loop,
// not at once: the handler only writes the signal's number into a pipe, whose reading end is
// watched on the GUI thread, and what the program does before it ends runs from there
// (received). While the object lives it catches them; when it goes, their default action is back.
class ShutdownSignals : public QObject
{
    Q_OBJECT
public:
    explicit ShutdownSignals(QObject *parent = nullptr);
    ~ShutdownSignals() override;

    static QList<int> caught();

signals:
    // On the GUI thread, once per signal received.
    void received(int signalNumber);

private:
    void readPipe();

    QSocketNotifier *m_notifier = nullptr;
};
