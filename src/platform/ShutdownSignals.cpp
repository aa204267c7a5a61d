#include "ShutdownSignals.h"

#include "Log.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace {
// One pipe for the process: a signal handler may touch nothing but it.
int g_pipe[2] = {-1, -1};

void onSignal(int signalNumber)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    // A full pipe drops the byte: the program is ending already.
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}
} // namespace

QList<int> ShutdownSignals::caught()
{
    return {SIGTERM, SIGHUP, SIGINT};
}

ShutdownSignals::ShutdownSignals(QObject *parent) : QObject(parent)
{
    if (g_pipe[0] >= 0) {
        PollixLog(QStringLiteral("The ending signals are caught already"));
        return;
    }
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        PollixLog(QStringLiteral("The ending signals cannot be caught: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
        g_pipe[0] = g_pipe[1] = -1;
        return;
    }
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ShutdownSignals::readPipe);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signalNumber : caught()) {
        // A signal the program was started to ignore (nohup) stays ignored.
        struct sigaction before = {};
        if (::sigaction(signalNumber, nullptr, &before) == 0 && before.sa_handler == SIG_IGN)
            continue;
        ::sigaction(signalNumber, &action, nullptr);
    }
}

ShutdownSignals::~ShutdownSignals()
{
    if (!m_notifier)
        return;
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int signalNumber : caught()) {
        struct sigaction now = {};
        if (::sigaction(signalNumber, nullptr, &now) == 0 && now.sa_handler == onSignal)
            ::sigaction(signalNumber, &action, nullptr);
    }
    delete m_notifier;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void ShutdownSignals::readPipe()
{
    unsigned char bytes[16];
    ssize_t n = 0;
    while ((n = ::read(g_pipe[0], bytes, sizeof bytes)) > 0) {
        for (ssize_t i = 0; i < n; ++i)
            emit received(int(bytes[i]));
    }
}
