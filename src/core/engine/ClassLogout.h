#pragma once

#include "platform/Singleton.h"

#include <QByteArray>

#include <atomic>
#include <functional>

// The class's logout at the end of a run (large family). The run calls the keypads with the
// logout wake frame, and their answer makes whoever listens then (the run, its save dialog, the
// main window) send the logout frame. The answer can come late: once the next run has opened,
// where it reads as the answer to that run's login call, or not at all. Until a logout frame has
// gone out the logout is owed, and the next run sends it as it opens, before it calls the keypads
// to log in: keypads left in under the last run's device numbers would not log in again, and
// nothing they press would count.
//
// A Pollix that starts owes one too: it cannot know what an earlier Pollix left on the keypads,
// and one that ended before its logout went out (killed, a power cut, an end that could not wait
// for the receiver) left them in under numbers no run of this Pollix gave.
class ClassLogout
{
public:
    static ClassLogout *shareManager() { return Singleton<ClassLogout>::instance(); }

    // The logout wake frame went out.
    void called() { m_owed = true; }
    // Keypads may be in under numbers no run of this Pollix gave: the next run's opening (or
    // greeting) sends them out.
    void owe() { m_owed = true; }
    bool owed() const { return m_owed; }
    // Sends the logout frame three times, as the answer to the logout wake asks; it is no longer
    // owed once a frame went out.
    void send(const std::function<bool(const QByteArray &)> &sendFrame);

private:
    ClassLogout() = default;
    friend class Singleton<ClassLogout>;

    std::atomic<bool> m_owed{true};
};
