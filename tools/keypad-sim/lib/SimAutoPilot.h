#pragma once

#include "SimActivity.h"
#include "SimQuestionSet.h"
#include "SimReceiver.h"
#include "SimRunPlay.h"

#include <QStringList>

#include <atomic>
#include <cstdio>
#include <memory>
#include <mutex>
#include <random>
#include <thread>

namespace keypadsim {

// A class that plays along on its own: when the program wakes the keypads, each answers as it
// stands, as real keypads do whether or not anyone presses a key: one out that holds a student ID
// (typed at an earlier login, refused or not) logs in with it again, and with students about, one
// that never had one logs in as student "S001".. (keypad n as student n); the first of those in
// (any of them on a model without logins) answers the wake call. When a question starts each keypad
// acts after a short, random pause, as the activity asks (SimRunPlay): in a quiz the right answer
// (from the answer list, by question number) for most of them, another option for the rest; in a
// vote any option; in a roll call a press; in a rush a buzz, and the keypad told it won answers.
// A few keypads stay silent. After a vote or a rush the teacher keypad asks for the result and
// shows it. Seeded, so a run can be repeated.
//
// Homework and paper quiz (Corvel, Dravel): the keypads keep a question set the program sends
// them (and tell it what they lack when polled). Once the program starts the activity, each
// keypad works through the questions it holds (on Corvel, which takes no set from the run window,
// the questions of the answer list) and, after a while, asks to hand its answers in; it sends
// them on the host's signal, resends what a receipt lacks, and asks again now and then until the
// host's receipt says everything arrived. On request the radio loses a share of those frames
// either way.
class SimAutoPilot
{
public:
    struct Options
    {
        int keypads = 24;
        QStringList answers;     // right answer of question 1, 2, ...; "A" when not given
        int rightPercent = 70;
        int silentPercent = 5;
        int minDelayMs = 400;
        int maxDelayMs = 4000;
        quint32 seed = 1;
        int pollMs = 50;
        // The small family's keypads are not told the activity: their students follow the teacher.
        SimRunPlay::Kind smallFamilyActivity = SimRunPlay::Kind::Quiz;
        // Where the teacher keypad's screen is written (a line per result shown); none: not written.
        FILE *teacherScreen = nullptr;
        int lossPercent = 0;      // frames of question sets and uploads lost, each way
        int handInRetryMs = 2500; // a keypad not yet through asks to hand in again after this
        // Students press keys: they log in keypads that hold no student ID, answer, buzz, hand
        // their work in and ask the teacher keypad for results. Without them the keypads only do
        // what a keypad does by itself: answer wakes, log in again with the ID they hold, keep a
        // question set sent to them.
        bool students = true;

        // A class that plays quickly (within a fifth of a second), every keypad taking part with
        // the right answer: scripted runs that must not wait for a slow class.
        static Options brisk(int keypads, const QStringList &answers);
    };

    SimAutoPilot(SimReceiver &receiver, const Options &options);
    ~SimAutoPilot();
    SimAutoPilot(const SimAutoPilot &) = delete;
    SimAutoPilot &operator=(const SimAutoPilot &) = delete;

    void start();
    void stop();
    // Keypads slow to wake: they hear the wake frames but answer none until let go, and then
    // answer as the class stands (those out log in, one of those in answers the call).
    void holdWakeAnswers(bool hold) { m_holdWakeAnswers = hold; }
    // Students who have not looked up yet: they press nothing until let go, and then act on what
    // their keypads show.
    void holdStudents(bool hold) { m_holdStudents = hold; }
    int questionsAnswered() const { return m_questionsAnswered.load(); }
    int loginRounds() const { return m_loginRounds.load(); }
    // What the teacher keypad has shown, one line per result frame it got.
    QStringList teacherScreens() const;
    // The question set the keypads hold (while started).
    const SimQuestionSet *questionSet() const { return m_set.get(); }

    // The answer a keypad gives to a question whose right answer is `right`, from a roll of 0..99;
    // a wrong one is another of the question's options (unknown, below two: four).
    static QString chooseAnswer(const QString &right, int roll, int rightPercent, std::mt19937 &rng, int options = 4);

private:
    void run();
    void answerWakeCall(int &wakesSeen);
    void showTeacherScreens(const QList<QByteArray> &frames, int &shown);
    // What keypad id hands in: an answer to each question it holds.
    QMap<int, QString> homework(int id, std::mt19937 &rng) const;

    SimReceiver &m_sim;
    SimActivity m_activity;
    Options m_options;
    std::unique_ptr<SimQuestionSet> m_set;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_holdWakeAnswers{false};
    std::atomic<bool> m_holdStudents{false};
    std::atomic<int> m_questionsAnswered{0};
    std::atomic<int> m_loginRounds{0};
    mutable std::mutex m_screenMutex;
    QStringList m_teacherScreens;
};

} // namespace keypadsim
