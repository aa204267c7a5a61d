#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>

// The program itself (or another of the project's programs, the demo), started as a teacher would
// start it on an application folder of its own, offscreen, without real receivers; its output is
// gathered as it comes. Killed at the end of the test when it still runs. `environment` ("NAME=value"
// entries) is set over those defaults, for example the ports of a simulated receiver.
struct RunningPollix
{
    explicit RunningPollix(const QString &folder, const QString &program = QStringLiteral(POLLIX_BINARY_DIR "/src/pollix"),
                           const QStringList &arguments = {}, const QStringList &environment = {});
    ~RunningPollix();
    RunningPollix(const RunningPollix &) = delete;
    RunningPollix &operator=(const RunningPollix &) = delete;

    // Waits in short steps, at most timeoutMs, until done(output so far) holds.
    bool waitFor(const std::function<bool(const QByteArray &output)> &done, int timeoutMs = 15000);
    // Waits until the output holds text.
    bool saw(const QByteArray &text, int timeoutMs = 15000);
    // The lock file in lockFolder names this process.
    bool holds(const QString &lockFolder) const;
    // Sends the signal and waits for the end; true when it ended by itself with exit code 0.
    bool endsCleanlyOn(int signalNumber, int timeoutMs = 20000);

    QProcess process;
    QByteArray output;
};
