#include "TracedRun.h"

#include "ChildTestRun.h"

#include "platform/InstanceLock.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <csignal>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {
constexpr char kFolderVariable[] = "POLLIX_TRACED_RUN_FOLDER";
} // namespace

namespace TracedRun {

QString childFolder()
{
    return qEnvironmentVariable(kFolderVariable);
}

struct Child::Run
{
    QString folder;
    QTemporaryDir scratch;
    QString report, log;
    bool traced = false;
    QProcess process;
};

Child::Child(const QString &folder, const QStringList &straceOptions, bool traced) : m_run(std::make_unique<Run>())
{
    m_run->folder = folder;
    m_run->traced = traced;
    m_run->report = m_run->scratch.filePath(QStringLiteral("report.json"));
    m_run->log = traced ? m_run->scratch.filePath(QStringLiteral("trace")) : QStringLiteral("/dev/null");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kFolderVariable), folder);
    m_run->process.setProcessEnvironment(env);
    m_run->process.setProcessChannelMode(QProcess::MergedChannels);
    m_run->process.start(QStringLiteral("strace"),
                         QStringList{QStringLiteral("-f"), QStringLiteral("-qq"), QStringLiteral("-o"), m_run->log} +
                             straceOptions +
                             QStringList{QCoreApplication::applicationFilePath(), ChildTestRun::currentTestFilter(),
                                         QStringLiteral("--gtest_output=json:") + m_run->report});
}

Child::~Child()
{
    if (m_run->process.state() != QProcess::NotRunning) {
        m_run->process.kill();
        m_run->process.waitForFinished();
    }
}

Outcome Child::finish(int timeoutMs)
{
    Outcome out;
    QProcess &child = m_run->process;
    out.ended = child.waitForFinished(timeoutMs);
    if (!out.ended) {
        child.kill();
        child.waitForFinished();
    }
    out.output = child.readAll();
    out.killed = child.exitStatus() == QProcess::CrashExit;
    out.passed = !out.killed && child.exitCode() == 0 && ChildTestRun::testsInReport(m_run->report) == 1;
    if (m_run->traced) {
        QFile file(m_run->log);
        if (file.open(QIODevice::ReadOnly))
            for (const QByteArray &line : file.readAll().split('\n'))
                if (!line.isEmpty())
                    out.trace << QString::fromUtf8(line);
    }
    return out;
}

qint64 Child::waitUntilStopped(int timeoutMs)
{
    // The test is strace's child; stopped, its state is "T", or "t" while strace holds it, which
    // it also is for a moment at each call strace traces: stopped means so twice in a row, once
    // the child said it stops.
    const auto stopped = [](qint64 pid) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        const QByteArray line = stat.open(QIODevice::ReadOnly) ? stat.readAll() : QByteArray();
        const qsizetype end = line.lastIndexOf(')');
        return end > 0 && end + 2 < line.size() && (line.at(end + 2) == 'T' || line.at(end + 2) == 't');
    };
    const QString said = m_run->folder + QStringLiteral("/stopping");
    QDeadlineTimer deadline(timeoutMs);
    const qint64 tracer = m_run->process.processId();
    int inARow = 0;
    while (!deadline.hasExpired() && m_run->process.state() != QProcess::NotRunning) {
        QFile children(QStringLiteral("/proc/%1/task/%1/children").arg(tracer));
        const qint64 pid = children.open(QIODevice::ReadOnly) ? children.readAll().trimmed().split(' ').first().toLongLong() : 0;
        inARow = pid > 0 && QFileInfo::exists(said) && stopped(pid) ? inARow + 1 : 0;
        if (inARow == 2) {
            QFile::remove(said);
            return pid;
        }
        m_run->process.waitForFinished(20);
    }
    return 0;
}

void stopHere(const QString &folder)
{
    QFile(folder + QStringLiteral("/stopping")).open(QIODevice::WriteOnly);
    ::raise(SIGSTOP);
}

Outcome runTakenWhileStopped(const QString &folder, const std::function<void()> &meanwhile, bool otherEnds)
{
    Child child(folder, {QStringLiteral("--seccomp-bpf"), QStringLiteral("-e"), QStringLiteral("trace=none")});
    const qint64 pid = child.waitUntilStopped();
    if (pid <= 0) {
        ADD_FAILURE() << "the child did not stop";
        return child.finish();
    }
    EXPECT_TRUE(QFile::remove(folder + QLatin1Char('/') + InstanceLock::lockFileName())) << "the child held no lock";
    InstanceLock other(folder, folder + QStringLiteral("/Data"));
    EXPECT_EQ(other.take(), InstanceLock::Outcome::Taken);
    if (meanwhile)
        meanwhile();
    if (otherEnds)
        other.release();
    EXPECT_EQ(::kill(pid_t(pid), SIGCONT), 0);
    return child.finish();
}

Outcome runCurrentTest(const QString &folder, const QStringList &straceOptions, bool traced)
{
    return Child(folder, straceOptions, traced).finish();
}

bool injected(const QStringList &trace)
{
    for (const QString &line : trace)
        if (line.contains(QLatin1String("(INJECTED)")))
            return true;
    return false;
}

void mark(const QString &folder, int n)
{
    ::mkdir(QFile::encodeName(QStringLiteral("%1/mark-%2").arg(folder).arg(n)).constData(), 0700);
}

QStringList callsBefore(const QStringList &trace, int n)
{
    QStringList out;
    int seen = 0;
    for (const QString &line : trace) {
        if (line.contains(QLatin1String("mkdir(")) && line.contains(QLatin1String("/mark-"))) {
            if (++seen == n)
                return out;
            out.clear();
            continue;
        }
        out << line;
    }
    return {};
}

bool renamedThenSynced(const QStringList &calls, const QString &target, const QString &folder)
{
    // target as the second name: the last argument of rename and renameat, the one before the
    // flags of renameat2; by its whole path, or by its name in a folder held open (as -y shows it)
    const QFileInfo info(target);
    const QRegularExpression onto(QStringLiteral("(^|\\s)rename(at|at2)?\\(.*(\"%1\"|<%2>, \"%3\")(\\)|, [A-Z_|0]+\\)) = 0")
                                      .arg(QRegularExpression::escape(target), QRegularExpression::escape(info.absolutePath()),
                                           QRegularExpression::escape(info.fileName())));
    const QString handle = QStringLiteral("<%1>) = 0").arg(folder);
    bool renamed = false;
    for (const QString &call : calls) {
        if (onto.match(call).hasMatch())
            renamed = true;
        else if (renamed && call.contains(QLatin1String("fsync(")) && call.contains(handle))
            return true;
    }
    return false;
}

} // namespace TracedRun
