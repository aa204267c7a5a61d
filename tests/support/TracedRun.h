#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
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
    // Waits until the test running in the child has stopped itself (stopHere); its process
    // number, or 0 when it ended or the time ran out first.
    qint64 waitUntilStopped(int timeoutMs = 60000);

private:
    struct Run;
    std::unique_ptr<Run> m_run;
};

// In the child: stops this process, all its threads, until the test continues it (SIGCONT), as a
// Pollix the system stopped or froze for a while would be. Noted first in folder ("stopping"),
// so that the test does not take a moment strace holds the child at a call for the stop.
void stopHere(const QString &folder);

// Runs the current test in a child that holds the application folder folder (its lock) and stops
// itself (stopHere) where it matters; while it is stopped, its lock file goes and another start,
// an InstanceLock of this process, takes the folder, then does meanwhile (as that start would,
// say finish what the journals note), and the child is woken to go on, with the other holding
// the folder until it ends; with otherEnds, the other ends (its lock file gone) before the child is
// woken. A child that never stops is a failure of the test.
Outcome runTakenWhileStopped(const QString &folder, const std::function<void()> &meanwhile = {}, bool otherEnds = false);

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
