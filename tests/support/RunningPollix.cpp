#include "RunningPollix.h"

#include "platform/InstanceLock.h"

#include <QElapsedTimer>
#include <QProcessEnvironment>

#include <csignal>

RunningPollix::RunningPollix(const QString &folder, const QString &program, const QStringList &arguments,
                             const QStringList &environment)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("POLLIX_HOME", folder);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("POLLIX_NO_UDEV", "1");
    env.insert("POLLIX_SPLASH_SECONDS", "1");
    env.insert("QT_LOGGING_RULES", "pollix.info=true");
    env.remove("POLLIX_SERIAL_PORTS");
    for (const QString &entry : environment)
        env.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    // The program starts with the ending signals' default actions, as from a terminal, whatever
    // the suite was started under (nohup ignores SIGHUP, and an ignored signal stays ignored
    // across exec).
    process.setChildProcessModifier([] {
        for (int signalNumber : {SIGTERM, SIGHUP, SIGINT})
            ::signal(signalNumber, SIG_DFL);
    });
    process.start(program, arguments);
}

RunningPollix::~RunningPollix()
{
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(5000);
    }
}

bool RunningPollix::waitFor(const std::function<bool(const QByteArray &)> &done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done(output) && timer.elapsed() < timeoutMs && process.state() != QProcess::NotRunning) {
        process.waitForReadyRead(100);
        output += process.readAll();
    }
    output += process.readAll();
    return done(output);
}

bool RunningPollix::saw(const QByteArray &text, int timeoutMs)
{
    return waitFor([&text](const QByteArray &out) { return out.contains(text); }, timeoutMs);
}

bool RunningPollix::holds(const QString &lockFolder) const
{
    const std::optional<InstanceLock::Owner> owner =
        InstanceLock::readOwner(lockFolder + QLatin1Char('/') + InstanceLock::lockFileName());
    return owner && owner->pid == process.processId();
}

bool RunningPollix::endsCleanlyOn(int signalNumber, int timeoutMs)
{
    if (process.state() == QProcess::NotRunning || ::kill(pid_t(process.processId()), signalNumber) != 0)
        return false;
    const bool ended = process.waitForFinished(timeoutMs);
    output += process.readAll();
    return ended && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}
