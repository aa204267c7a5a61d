#include "XvfbRun.h"

#include "EventWait.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QDeadlineTimer>
#include <QStandardPaths>
#include <QThread>

#include <X11/Xlib.h>

namespace XvfbRun {

bool onX11()
{
    return qEnvironmentVariableIsSet("POLLIX_ON_X11");
}

namespace {

// True once a window manager has claimed the display's screen (_NET_SUPPORTING_WM_CHECK on the
// root window), so that the test's first window is already managed.
bool managerRunning(const QByteArray &display)
{
    Display *d = XOpenDisplay(display.constData());
    if (!d)
        return false;
    const Atom check = XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", True);
    bool found = false;
    if (check != None) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char *data = nullptr;
        if (XGetWindowProperty(d, DefaultRootWindow(d), check, 0, 1, False, AnyPropertyType, &type, &format, &count,
                               &after, &data) == Success) {
            found = type != None && count > 0;
            if (data)
                XFree(data);
        }
    }
    XCloseDisplay(d);
    return found;
}

} // namespace

int run(const QString &filter, const Options &options)
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty()) {
        qWarning("XvfbRun: no Xvfb on the PATH");
        return -1;
    }
    // -displayfd lets the server pick a free display and say which, so parallel tests never race
    // for one.
    QProcess server;
    const QString screen = QStringLiteral("%1x%2x24").arg(options.screen.width()).arg(options.screen.height());
    server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                        screen, QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    if (!server.waitForStarted(kEventWaitMs)) {
        qWarning("XvfbRun: Xvfb did not start: %s", qPrintable(server.errorString()));
        return -1;
    }
    QByteArray display;
    while (!display.contains('\n') && server.waitForReadyRead(kEventWaitMs))
        display += server.readAllStandardOutput();
    display = display.trimmed();
    if (display.isEmpty()) {
        qWarning("XvfbRun: Xvfb named no display (%s)", server.state() == QProcess::Running ? "still running" : "ended");
        server.kill();
        server.waitForFinished();
        return -1;
    }

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":") + QString::fromLatin1(display));
    const auto stopServer = [&server] {
        server.terminate();
        if (!server.waitForFinished(5000))
            server.kill();
    };
    QProcess manager;
    if (options.windowManager) {
        const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
        if (openbox.isEmpty()) {
            qWarning("XvfbRun: no openbox on the PATH");
            stopServer();
            return -1;
        }
        manager.setProcessEnvironment(env);
        manager.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        manager.start(openbox, {QStringLiteral("--sm-disable")});
        manager.waitForStarted(kEventWaitMs);
        const QByteArray name = ":" + display;
        QDeadlineTimer deadline(kEventWaitMs);
        while (!managerRunning(name) && !deadline.hasExpired() && manager.state() == QProcess::Running)
            QThread::msleep(20);
        if (!managerRunning(name)) {
            qWarning("XvfbRun: openbox did not take display %s (%s)", name.constData(),
                     manager.state() == QProcess::Running ? "still running" : "ended");
            manager.kill();
            manager.waitForFinished();
            stopServer();
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
    if (manager.state() != QProcess::NotRunning) {
        manager.terminate();
        if (!manager.waitForFinished(5000))
            manager.kill();
    }
    stopServer();
    return finished && child.exitStatus() == QProcess::NormalExit ? child.exitCode() : 1;
}

} // namespace XvfbRun
