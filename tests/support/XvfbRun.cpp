#include "XvfbRun.h"

#include "ChildTestRun.h"

#include "EventWait.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <functional>

#include <X11/Xlib.h>

namespace XvfbRun {

bool onX11()
{
    return qEnvironmentVariableIsSet("POLLIX_ON_X11");
}

namespace {

// The server at display lets this process in.
bool serverAnswers(const QByteArray &display)
{
    Display *d = XOpenDisplay(display.constData());
    if (d)
        XCloseDisplay(d);
    return d != nullptr;
}

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

// Openbox claims the screen (above) before it has started: a window mapped while it starts
// (reads its settings, theme and menus) is never managed, as openbox asks the server for the
// windows already mapped and lets the request to map go. On a busy machine a test's first
// window was mapped then and stayed unframed and unexposed. A probe window, asked again to be
// mapped until the manager frames it (sets its WM_STATE), tells that the manager handles
// windows: the test begins after that.
class ManagedProbe
{
public:
    explicit ManagedProbe(const QByteArray &display) : m_display(XOpenDisplay(display.constData()))
    {
        if (!m_display)
            return;
        m_window = XCreateSimpleWindow(m_display, DefaultRootWindow(m_display), 0, 0, 1, 1, 0, 0, 0);
        m_state = XInternAtom(m_display, "WM_STATE", False);
        XMapWindow(m_display, m_window);
        XFlush(m_display);
    }
    ~ManagedProbe()
    {
        if (!m_display)
            return;
        XDestroyWindow(m_display, m_window);
        XCloseDisplay(m_display);
    }
    ManagedProbe(const ManagedProbe &) = delete;
    ManagedProbe &operator=(const ManagedProbe &) = delete;

    bool managed()
    {
        if (!m_display)
            return false;
        if (m_asked.hasExpired()) {
            XMapWindow(m_display, m_window);
            XFlush(m_display);
            m_asked.setRemainingTime(250);
        }
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char *data = nullptr;
        const bool set = XGetWindowProperty(m_display, m_window, m_state, 0, 2, False, AnyPropertyType, &type, &format, &count,
                                            &after, &data) == Success
                         && type != None && count > 0;
        if (data)
            XFree(data);
        return set;
    }

private:
    Display *m_display = nullptr;
    Window m_window = 0;
    Atom m_state = None;
    QDeadlineTimer m_asked{250};
};

// Ends a helper and waits for it: a process left unreaped still counts as running, and a
// QProcess that still runs cannot start the next one.
void stop(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished();
    }
}

// Waits up to kEventWaitMs for holds(), in steps that notice at once that process ended.
bool waitFor(QProcess &process, const std::function<bool()> &holds)
{
    QDeadlineTimer deadline(kEventWaitMs);
    while (!holds()) {
        if (deadline.hasExpired() || process.state() == QProcess::NotRunning || process.waitForFinished(20))
            return false;
    }
    return true;
}

QByteArray tail(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().right(2000).trimmed() : QByteArray();
}

// Starts Xvfb (and openbox when asked) on a display of its own; false, with both ended and the
// reason logged, when one of them does not come up. Fills in the display's number. What the two
// say goes to files in logs: a pipe nobody reads while the test runs could fill and stop them.
bool startScreen(const Options &options, const QString &logs, QProcess &server, QProcess &manager, QByteArray *display)
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty()) {
        qWarning("XvfbRun: no Xvfb on the PATH");
        return false;
    }
    // -displayfd lets the server pick a free display and say which, so parallel tests never race
    // for one. -noreset: the server is never rebuilt when its last client goes (the checks below
    // come and go), which would shut out a client that comes meanwhile.
    const QString screen = QStringLiteral("%1x%2x24").arg(options.screen.width()).arg(options.screen.height());
    const QString serverLog = logs + QStringLiteral("/xvfb.log"), managerLog = logs + QStringLiteral("/openbox.log");
    server.setStandardErrorFile(serverLog, QIODevice::Append);
    server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-noreset"), QStringLiteral("-screen"),
                        QStringLiteral("0"), screen, QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    if (!server.waitForStarted(kEventWaitMs)) {
        qWarning("XvfbRun: Xvfb did not start: %s", qPrintable(server.errorString()));
        return false;
    }
    display->clear();
    while (!display->contains('\n') && server.waitForReadyRead(kEventWaitMs))
        *display += server.readAllStandardOutput();
    *display = display->trimmed();
    const QByteArray name = ":" + *display;
    if (display->isEmpty() || !waitFor(server, [&] { return serverAnswers(name); })) {
        qWarning("XvfbRun: Xvfb named no display it answers on (%s): %s", server.state() == QProcess::Running ? "still running" : "ended",
                 tail(serverLog).constData());
        stop(server);
        return false;
    }
    if (!options.windowManager)
        return true;
    const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
    if (openbox.isEmpty()) {
        qWarning("XvfbRun: no openbox on the PATH");
        stop(server);
        return false;
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(name));
    manager.setProcessEnvironment(env);
    manager.setProcessChannelMode(QProcess::MergedChannels);
    manager.setStandardOutputFile(managerLog, QIODevice::Append);
    // A manager that ended before it took the screen (as openbox does when it cannot open the
    // display) is started again on the same server.
    for (int start = 0; start < 5; ++start) {
        manager.start(openbox, {QStringLiteral("--sm-disable")});
        if (manager.waitForStarted(kEventWaitMs) && waitFor(manager, [&] { return managerRunning(name); })) {
            ManagedProbe probe(name);
            if (waitFor(manager, [&] { return probe.managed(); }))
                return true;
            qWarning("XvfbRun: openbox took display %s but framed no window in %d s", name.constData(), kEventWaitMs / 1000);
        }
        if (manager.state() == QProcess::Running)
            break;
        manager.waitForFinished();
    }
    qWarning("XvfbRun: openbox did not take display %s (%s): %s", name.constData(),
             manager.state() == QProcess::Running ? "still running" : "ended", tail(managerLog).constData());
    stop(manager);
    stop(server);
    return false;
}

} // namespace

int run(const QString &filter, const Options &options)
{
    // A busy machine now and then keeps Xvfb or openbox from coming up in time: a second and a
    // third screen are tried before the run is given up.
    QProcess server, manager;
    QByteArray display;
    QTemporaryDir logs;
    bool started = false;
    for (int attempt = 0; attempt < 3 && !started; ++attempt)
        started = startScreen(options, logs.path(), server, manager, &display);
    if (!started)
        return -1;

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":") + QString::fromLatin1(display));
    QProcess child;
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("POLLIX_ON_X11"), QStringLiteral("1"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    QTemporaryDir reportFolder;
    const QString report = reportFolder.filePath(QStringLiteral("report.json"));
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=") + filter, QStringLiteral("--gtest_output=json:") + report});
    // Most of a test's own time-out: the child is one test, but the machine may be very busy.
    const bool finished = child.waitForFinished(240000);
    if (!finished)
        child.kill();
    // A half that failed under a window manager says how the manager fared.
    if (options.windowManager && (!finished || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0))
        qWarning("XvfbRun: openbox %s: %s", manager.state() == QProcess::Running ? "still ran" : "had ended",
                 tail(logs.filePath(QStringLiteral("openbox.log"))).constData());
    stop(manager);
    stop(server);
    if (!finished || child.exitStatus() != QProcess::NormalExit)
        return 1;
    if (child.exitCode() != 0)
        return child.exitCode();
    if (ChildTestRun::testsInReport(report) <= 0) {
        qWarning("XvfbRun: no test of this program matches %s", qPrintable(filter));
        return 1;
    }
    return 0;
}

} // namespace XvfbRun
