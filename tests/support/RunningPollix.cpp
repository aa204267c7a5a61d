#include "RunningPollix.h"

#include <QElapsedTimer>
#include <QProcessEnvironment>

RunningPollix::RunningPollix(const QString &folder)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("POLLIX_HOME", folder);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("POLLIX_NO_UDEV", "1");
    env.insert("POLLIX_SPLASH_SECONDS", "1");
    env.insert("QT_LOGGING_RULES", "pollix.info=true");
    env.remove("POLLIX_SERIAL_PORTS");
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral(POLLIX_BINARY_DIR "/src/pollix"), {});
}

RunningPollix::~RunningPollix()
{
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(5000);
    }
}

bool RunningPollix::saw(const QByteArray &text)
{
    QElapsedTimer timer;
    timer.start();
    while (!output.contains(text) && timer.elapsed() < 15000 && process.state() != QProcess::NotRunning) {
        process.waitForReadyRead(100);
        output += process.readAll();
    }
    output += process.readAll();
    return output.contains(text);
}
