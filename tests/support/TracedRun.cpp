#include "TracedRun.h"

#include "ChildTestRun.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

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
    QTemporaryDir scratch;
    QString report, log;
    bool traced = false;
    QProcess process;
};

Child::Child(const QString &folder, const QStringList &straceOptions, bool traced) : m_run(std::make_unique<Run>())
{
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
    // target as the second name: the last argument of rename, the one before the flags of renameat2
    const QRegularExpression onto(QStringLiteral("(^|\\s)rename(at2)?\\(.*\"%1\"(\\)|, [A-Z_|0]+\\)) = 0")
                                      .arg(QRegularExpression::escape(target)));
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
