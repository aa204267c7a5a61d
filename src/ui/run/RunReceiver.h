#pragma once

#include <QElapsedTimer>
#include <QObject>

#include <functional>

class QuizMode;

// The receiver's state during a run, as every run window sets it: idle between questions,
// answering while one runs, the wake frame half a second after the idle state at the earliest,
// and the state told again to a receiver plugged in anew.
class RunReceiver : public QObject
{
    Q_OBJECT
public:
    RunReceiver(std::function<QuizMode *()> modeObject, QObject *parent = nullptr);

    // The large family's keypads are told the PC is idle (state 2); the wake frame waits for it.
    void setIdleAtOpening(int deviceType);
    // Tells the activity object the wake mode (0 login, 1 question, 2 logout) and sends the wake
    // frame; free-style runs tell their activity number first.
    void SendWakeUpMessage(int wakeMode, int freeStyleActivity = -1);
    // Between questions: large family idle (PC state 2), small family's receiver closed.
    void stopAnswering(int deviceType);
    // A receiver came or changed: it is told whether a question runs.
    void handleDeviceChanged(int deviceType, bool answering);

private:
    std::function<QuizMode *()> m_modeObject;
    QElapsedTimer m_pcStateSent;
};
