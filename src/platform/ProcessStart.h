#pragma once

#include <QString>

// Which run of a program a process number stands for. A number is given again to another process
// once its own has ended (after a restart of the computer, the same few low numbers go to the
// system's first programs), and a process of another user answers a signal with EPERM, so "is a
// process of that number running" says nothing about whether the very process that noted
// something down still runs. The number together with the moment the process started, on this
// boot of the computer, does.
namespace ProcessStart {

// What tells process pid's run apart ("<boot id>/<start time in clock ticks>"); empty when no
// process of that number runs (or the system does not say).
QString of(qint64 pid);

// Whether the process that of() described as start still runs.
bool stillRuns(qint64 pid, const QString &start);

} // namespace ProcessStart
