#pragma once

#include <QString>

#include <functional>

// A change killed at each of its steps, for real: the current test runs again in a child
// process under strace, which sends SIGKILL when the child starts its n-th rename, for n = 1, 2,
// ... until a run ends without being killed; then the same at its n-th removal of a file. The child finds itself by childFolder() (empty in
// the test itself), makes the change there and returns.
namespace KilledRuns {

// In the child: the application folder it works in; empty in the test.
QString childFolder();

// For each run: prepare(folder) makes a fresh application folder, the child runs in it and is
// killed at its n-th rename (or removal), then check(folder, killed) looks at what the next start
// finds. The number of runs killed; a failure is added when strace cannot run or the child fails.
int atEveryStep(const std::function<void(const QString &folder)> &prepare,
                  const std::function<void(const QString &folder, bool killed)> &check, int mostRuns = 80);

} // namespace KilledRuns
