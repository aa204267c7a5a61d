#pragma once

#include <QElapsedTimer>
#include <QObject>

#include <functional>

class QuizMode;

// The receiver's state during a run, as every run window sets it: idle between questions,
// answering while one runs, the wake frame half a second after the idle state at the earliest,
// and the state told again to a receiver plugged in anew (greeted again when it was lost).
//
// What goes out later than it was planned (the wake that waits its half second) reads the run's
// state as it goes: the teacher may start a question meanwhile, and a call to log in sent then
// would idle the keypads under it.
class RunReceiver : public QObject
{
    Q_OBJECT
public:
    // answering: whether a question of the run runs now (its Start pressed and not yet stopped).
    RunReceiver(std::function<QuizMode *()> modeObject, std::function<bool()> answering, QObject *parent = nullptr);

    // The large family's keypads are told the PC is idle (state 2); the wake frame waits for it.
    // A class logout the last run still owes goes out first.
    void setIdleAtOpening(int deviceType);
    // An Arvel receiver wants one null byte before the run's frames: it goes out with the next
    // wake frame, in the same write. The receiver reads three-byte commands and drops a part of
    // one after a short silence; the null byte and the five-byte wake make two whole commands only
    // when nothing parts them. Sent when the window loads, a null byte that a busy machine kept
    // apart from the wake was dropped, and the wake's last two bytes then swallowed the first
    // command of the run ("receiver on"), so the keypads were not heard.
    void sendNullWithNextWake(int deviceType);
    // Tells the activity object the wake mode (0 login, 1 question, 2 logout) and sends the wake
    // frame; free-style runs tell their activity number first. A call to log in that comes due
    // while a question runs is not sent: the question's own announcement has told the keypads.
    void SendWakeUpMessage(int wakeMode, int freeStyleActivity = -1);
    // Between questions: large family idle (PC state 2), small family's receiver closed.
    void stopAnswering(int deviceType);
    // A receiver came or changed: it is told whether a question runs.
    void handleDeviceChanged(int deviceType);
    // The run's receiver is back after it was lost: it is greeted as at the opening, so that the
    // keypads log in again, and told whether a question runs. While one runs the large family's
    // keypads are told the question instead: a wake answered in the login mode would idle them.
    void greetAgain(int deviceType, int freeStyleActivity = -1);

    // Tests: called as a wake that waited for the keypads' half second comes due, before it
    // looks at the run (where a test presses Start, as a teacher may in that half second).
    static void setWakeDueHook(std::function<void()> hook);

private:
    std::function<QuizMode *()> m_modeObject;
    std::function<bool()> m_answering;
    QElapsedTimer m_pcStateSent;
    bool m_nullDue = false;
};
