#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

// The current test run again in a child process under strace, which can kill the child or fail
// its system calls at a chosen step and writes down the calls it makes. The child finds itself
// by childFolder() (empty in the test itself), works in that folder and returns.
namespace TracedRun {

// In the child: the folder it works in; empty in the test.
QString childFolder();

struct Outcome
{
    bool ended = false;  // within the time allowed
    bool killed = false; // by a signal: strace's injected kill
    bool passed = false; // exited 0 having run this one test
    QByteArray output;   // standard output and error
    QStringList trace;   // strace's lines (with traced), each call once
};

// Runs the current test in a child working in folder, under "strace -f -qq" with straceOptions
// ("-e", "trace=rename", ...). With traced the calls are written down (-o) and returned.
Outcome runCurrentTest(const QString &folder, const QStringList &straceOptions, bool traced = false);

// The same, started and left to run while the test does something to it (a signal, a second
// start on its folder); finish() waits for its end.
class Child
{
public:
    Child(const QString &folder, const QStringList &straceOptions, bool traced = false);
    ~Child();
    Child(const Child &) = delete;
    Child &operator=(const Child &) = delete;
    Outcome finish(int timeoutMs = 120000);

private:
    struct Run;
    std::unique_ptr<Run> m_run;
};

// Whether a trace shows a call strace made fail or killed on purpose.
bool injected(const QStringList &trace);

// In the child: a mark in the trace (a folder "mark-<n>" made in folder, so trace mkdir), for
// instance where a call has just told its caller it succeeded.
void mark(const QString &folder, int n);
// The calls between mark n - 1 (or the start) and mark n; none when mark n is not there.
QStringList callsBefore(const QStringList &trace, int n);
// Whether the calls rename something onto target (rename or renameat2) and afterwards sync
// folder; the folder as strace's -y shows a handle ("fsync(5</its/real/path>)").
bool renamedThenSynced(const QStringList &calls, const QString &target, const QString &folder);

} // namespace TracedRun
