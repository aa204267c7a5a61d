#include "XvfbRun.h"

#include "EventWait.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

namespace XvfbRun {

bool onX11()
{
    return qEnvironmentVariableIsSet("POLLIX_ON_X11");
}

int run(const QString &filter, bool windowManager)
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
    if (xvfb.isEmpty() || (windowManager && openbox.isEmpty()))
        return -1;
    // -displayfd lets the server pick a free display and say which, so parallel tests never race
    // for one.
    QProcess server;
    server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                        windowManager ? QStringLiteral("1366x768x24") : QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    if (!server.waitForStarted(kEventWaitMs))
        return -1;
    QByteArray display;
    while (!display.contains('\n') && server.waitForReadyRead(kEventWaitMs))
        display += server.readAllStandardOutput();
    display = display.trimmed();
    if (display.isEmpty()) {
        server.kill();
        server.waitForFinished();
        return -1;
    }

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":") + QString::fromLatin1(display));
    QProcess manager;
    if (windowManager) {
        QProcessEnvironment managerEnv = env;
        managerEnv.insert(QStringLiteral("HOME"), QDir::tempPath());
        manager.setProcessEnvironment(managerEnv);
        manager.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        manager.start(openbox, {});
        // The manager is ready once it has announced itself on the root window.
        const auto announced = [&] {
            QProcess probe;
            probe.setProcessEnvironment(env);
            probe.start(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")});
            return probe.waitForFinished(kEventWaitMs) && probe.readAllStandardOutput().contains("window id");
        };
        bool ready = manager.waitForStarted(kEventWaitMs);
        for (int tries = 0; ready && !announced(); ++tries) {
            if (tries == 100 || manager.waitForFinished(50)) {
                ready = false;
                break;
            }
        }
        if (!ready) {
            manager.kill();
            manager.waitForFinished();
            server.terminate();
            server.waitForFinished();
            return -1;
        }
    }
    QProcess child;
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("POLLIX_ON_X11"), QStringLiteral("1"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=") + filter});
    // Most of a test's own time-out: the child is one test, but the machine may be very busy.
    const bool finished = child.waitForFinished(240000);
    if (!finished)
        child.kill();
    if (windowManager) {
        manager.terminate();
        if (!manager.waitForFinished(5000))
            manager.kill();
    }
    server.terminate();
    if (!server.waitForFinished(5000))
        server.kill();
    return finished && child.exitStatus() == QProcess::NormalExit ? child.exitCode() : 1;
}

} // namespace XvfbRun
