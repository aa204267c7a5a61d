#pragma once

#include <QString>

#include <functional>
#include <string>

// Runs the current test again in a child process of this test program, set up first by a step
// that runs in the child between fork and exec (a namespace, a mount, another user). The test's
// body then goes on in the child; the parent learns how it went from the child's own report.
namespace ChildTestRun {

enum class Outcome { Passed, Failed, Unavailable };

// How a child that exited ended: its exit status, and whether its own report says the test
// passed. A sanitizer's report at the process's end gives an exit status of its own (1, like a
// failed test) after the test passed; a caller that judges such reports itself tells the two apart.
struct Ending
{
    int exitStatus = -1;
    bool testPassed = false;
};

// `variable`=`value` is added to the child's environment (empty variable: none). `prepare` runs
// in the child before the exec: only async-signal-safe calls (the parent may have other threads),
// on what was made before; false makes the run Unavailable. `ending`, when given, learns how a
// child that exited ended.
Outcome runCurrentTest(const char *variable, const std::string &value, const std::function<bool()> &prepare,
                       Ending *ending = nullptr);

// For `prepare`: writes a /proc file such as uid_map in one write.
bool writeProcFile(const char *path, const char *text);

// For `prepare`: a user namespace of the child's own (with the other namespaces of `flags`), the
// child's user and group mapped to the ids the maps name ("inside outside 1"); false when the
// system allows none.
bool enterUserNamespace(int flags, const char *uidMap, const char *gidMap);

// "--gtest_filter=" for the test running now, so that a child runs that test and no other.
QString currentTestFilter();

// How many tests a child's JSON report (--gtest_output=json:path) says it ran; -1 when there is
// no report to read. A filter that matched nothing passes quietly, so a child's run is judged by
// its report, not by its exit code alone.
int testsInReport(const QString &path);

} // namespace ChildTestRun
