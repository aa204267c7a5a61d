#include "KilledRuns.h"

#include "ChildTestRun.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
constexpr char kFolderVariable[] = "POLLIX_KILLED_RUN_FOLDER";
} // namespace

namespace KilledRuns {

QString childFolder()
{
    return qEnvironmentVariable(kFolderVariable);
}

namespace {
int atEvery(const char *syscall, const std::function<void(const QString &)> &prepare,
            const std::function<void(const QString &, bool)> &check, int mostRuns)
{
    const QString filter = ChildTestRun::currentTestFilter();
    QTemporaryDir reports;
    int killed = 0;
    for (int n = 1; n <= mostRuns; ++n) {
        QTemporaryDir home;
        prepare(home.path());
        const QString report = reports.filePath(QStringLiteral("run-%1.json").arg(n));
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(kFolderVariable, home.path());
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QStringLiteral("strace"),
                    {QStringLiteral("-f"), QStringLiteral("-qq"), QStringLiteral("-o"), QStringLiteral("/dev/null"),
                     QStringLiteral("-e"), QStringLiteral("trace=%1").arg(QLatin1String(syscall)), QStringLiteral("-e"),
                     QStringLiteral("inject=%1:signal=KILL:when=%2").arg(QLatin1String(syscall)).arg(n),
                     QCoreApplication::applicationFilePath(), filter, QStringLiteral("--gtest_output=json:") + report});
        if (!child.waitForFinished(120000)) {
            ADD_FAILURE() << "the child of run " << n << " did not end";
            return killed;
        }
        const QByteArray output = child.readAll();
        const bool wasKilled = child.exitStatus() == QProcess::CrashExit;
        if (!wasKilled && (child.exitCode() != 0 || ChildTestRun::testsInReport(report) != 1)) {
            ADD_FAILURE() << "run " << n << " (" << syscall << ") failed:\n" << output.toStdString();
            return killed;
        }
        check(home.path(), wasKilled);
        if (!wasKilled)
            return killed;
        ++killed;
    }
    ADD_FAILURE() << "the change was still being killed at its " << syscall << " calls after " << mostRuns << " runs";
    return killed;
}
} // namespace

int atEveryStep(const std::function<void(const QString &)> &prepare,
                const std::function<void(const QString &, bool)> &check, int mostRuns)
{
    // strace counts each call on its own: one pass kills at every rename, one at every removal.
    return atEvery("rename", prepare, check, mostRuns) + atEvery("unlink", prepare, check, mostRuns);
}

} // namespace KilledRuns
