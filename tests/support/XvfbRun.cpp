#include "XvfbRun.h"

#include "EventWait.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

namespace XvfbRun {

bool onX11()
{
    return qEnvironmentVariableIsSet("POLLIX_ON_X11");
}

int run(const QString &filter)
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty())
        return -1;
    // -displayfd lets the server pick a free display and say which, so parallel tests never race
    // for one.
    QProcess server;
    server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                        QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
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

    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":") + QString::fromLatin1(display));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("POLLIX_ON_X11"), QStringLiteral("1"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=") + filter});
    // Most of a test's own time-out: the child is one test, but the machine may be very busy.
    const bool finished = child.waitForFinished(240000);
    if (!finished)
        child.kill();
    server.terminate();
    if (!server.waitForFinished(5000))
        server.kill();
    return finished && child.exitStatus() == QProcess::NormalExit ? child.exitCode() : 1;
}

} // namespace XvfbRun
