#include "KilledRuns.h"

#include "TracedRun.h"

#include <QTemporaryDir>

#include <algorithm>

#include <gtest/gtest.h>

namespace KilledRuns {

QString childFolder()
{
    return TracedRun::childFolder();
}

namespace {
// One pass: the n-th call of syscall tampered with by action ("signal=KILL", "error=EIO"), for
// n = 1, 2, ... until a run where no call was tampered with.
int atEvery(const QString &syscall, const QString &action, const QStringList &alsoInject,
            const std::function<void(const QString &)> &prepare, const std::function<void(const QString &, bool)> &check,
            int mostRuns)
{
    const bool kill = action.startsWith(QLatin1String("signal="));
    QStringList traced{syscall};
    QStringList options;
    for (const QString &more : alsoInject) {
        traced << more.section(QLatin1Char(':'), 0, 0);
        options << QStringLiteral("-e") << QStringLiteral("inject=") + more;
    }
    int tampered = 0;
    for (int n = 1; n <= mostRuns; ++n) {
        QTemporaryDir home;
        prepare(home.path());
        const TracedRun::Outcome run = TracedRun::runCurrentTest(
            home.path(),
            QStringList{QStringLiteral("-e"), QStringLiteral("trace=") + traced.join(QLatin1Char(',')), QStringLiteral("-e"),
                        QStringLiteral("inject=%1:%2:when=%3").arg(syscall, action).arg(n)} +
                options,
            !kill);
        if (!run.ended) {
            ADD_FAILURE() << "the child of run " << n << " did not end";
            return tampered;
        }
        const bool hit = kill ? run.killed : TracedRun::injected(run.trace);
        if ((kill && !run.killed && !run.passed) || (!kill && !run.passed)) {
            ADD_FAILURE() << "run " << n << " (" << syscall.toStdString() << ") failed:\n" << run.output.toStdString();
            return tampered;
        }
        check(home.path(), hit);
        if (!hit)
            return tampered;
        ++tampered;
    }
    ADD_FAILURE() << "the change still reached its " << syscall.toStdString() << " call after " << mostRuns << " runs";
    return tampered;
}
} // namespace

int atEveryStep(const std::function<void(const QString &)> &prepare, const std::function<void(const QString &, bool)> &check,
                int mostRuns, const QStringList &alsoInject)
{
    // strace counts each call on its own: one pass kills at every rename, one at every removal,
    // and one at each of their forms relative to a folder held open (FolderHandle), unless
    // alsoInject already makes that call fail.
    const QString kill = QStringLiteral("signal=KILL");
    int killed = 0;
    for (const char *call : {"rename", "unlink", "renameat", "renameat2", "unlinkat"}) {
        const QString syscall = QLatin1String(call);
        const bool tampered = std::any_of(alsoInject.cbegin(), alsoInject.cend(), [&](const QString &more) {
            return more.section(QLatin1Char(':'), 0, 0) == syscall;
        });
        if (!tampered)
            killed += atEvery(syscall, kill, alsoInject, prepare, check, mostRuns);
    }
    return killed;
}

int atEveryCall(const QString &syscall, const std::function<void(const QString &)> &prepare,
                const std::function<void(const QString &, bool)> &check, int mostRuns)
{
    return atEvery(syscall, QStringLiteral("signal=KILL"), {}, prepare, check, mostRuns);
}

int failingAtEveryStep(const char *error, const std::function<void(const QString &)> &prepare,
                       const std::function<void(const QString &, bool)> &check, int mostRuns)
{
    // Each form on its own, as atEveryStep: by path, and relative to a folder held open.
    const QString action = QStringLiteral("error=") + QLatin1String(error);
    int failed = 0;
    for (const char *call : {"rename", "unlink", "renameat", "renameat2", "unlinkat"})
        failed += atEvery(QLatin1String(call), action, {}, prepare, check, mostRuns);
    return failed;
}

} // namespace KilledRuns
