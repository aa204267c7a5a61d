#pragma once

#include <functional>
#include <string>

// Runs the current test again in a child process of this test program, set up first by a step
// that runs in the child between fork and exec (a namespace, a mount, another user). The test's
// body then goes on in the child; the parent learns how it went from the child's own report.
namespace ChildTestRun {

enum class Outcome { Passed, Failed, Unavailable };

// `variable`=`value` is added to the child's environment (empty variable: none). `prepare` runs
// in the child before the exec: only async-signal-safe calls (the parent may have other threads),
// on what was made before; false makes the run Unavailable.
Outcome runCurrentTest(const char *variable, const std::string &value, const std::function<bool()> &prepare);

// For `prepare`: writes a /proc file such as uid_map in one write.
bool writeProcFile(const char *path, const char *text);

} // namespace ChildTestRun
