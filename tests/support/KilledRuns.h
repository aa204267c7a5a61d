#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// A change killed at each of its steps, for real: the current test runs again in a child process
// under strace (TracedRun), which sends SIGKILL when the child starts its n-th rename, for n = 1,
// 2, ... until a run ends without being killed; then the same at its n-th removal of a file, and
// at the n-th of each of those made relative to a folder held open (renameat, renameat2,
// unlinkat). The
// child finds itself by childFolder() (empty in the test itself), makes the change there and
// returns.
namespace KilledRuns {

// In the child: the application folder it works in; empty in the test.
QString childFolder();

// For each run: prepare(folder) makes a fresh application folder, the child runs in it and is
// killed at its n-th rename (or removal), then check(folder, killed) looks at what the next start
// finds. alsoInject: more of strace's tampering for every run, as "renameat2:error=EINVAL" (a
// file system that cannot exchange two names). The number of runs killed; a failure is added
// when strace cannot run or the child fails.
int atEveryStep(const std::function<void(const QString &folder)> &prepare,
                const std::function<void(const QString &folder, bool killed)> &check, int mostRuns = 80,
                const QStringList &alsoInject = {});

// The same at every call of one system call alone (as "unlinkat": what a removal through a
// folder held open makes).
int atEveryCall(const QString &syscall, const std::function<void(const QString &folder)> &prepare,
                const std::function<void(const QString &folder, bool killed)> &check, int mostRuns = 80);

// The same, but instead of the kill the n-th rename (then the n-th removal, and each of their
// forms relative to a folder held open) fails with the error named (as "EIO"): the child runs to its end, and check(folder, failed) learns whether a call
// was made to fail. The number of runs with a failed call.
int failingAtEveryStep(const char *error, const std::function<void(const QString &folder)> &prepare,
                       const std::function<void(const QString &folder, bool failed)> &check, int mostRuns = 80);

} // namespace KilledRuns
