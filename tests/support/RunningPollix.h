#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>

// The program itself (build/src/pollix), started as a teacher would on an application folder of
// its own: offscreen, without USB ports or POLLIX_SERIAL_PORTS, a one-second splash, Pollix's log
// on standard output. Killed when it goes, if it still runs.
struct RunningPollix
{
    explicit RunningPollix(const QString &folder);
    ~RunningPollix();
    RunningPollix(const RunningPollix &) = delete;
    RunningPollix &operator=(const RunningPollix &) = delete;

    // Waits in short steps (a few seconds at most) until its output holds text.
    bool saw(const QByteArray &text);

    QProcess process;
    QByteArray output;
};
