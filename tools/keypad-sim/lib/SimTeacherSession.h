#pragma once

#include "SimReceiver.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace keypadsim {

// A session recorded on the teacher keypad away from the computer, and the keypad sending it to
// the host: exam paper (F8 09), session and attendance (0A), each question with its correct
// answer (0B), the answers (0C: one student per frame in paper quiz and homework, one question per
// frame otherwise), each student's ID and name (0E). The keypad waits for each frame's
// acknowledgement (FB .. state revision) before the next and sends a frame again when none
// comes in time. Installed over the receiver's FB handler and taken off again when it goes.
class SimTeacherSession
{
public:
    struct Question
    {
        quint8 type = 0;
        quint8 options = 4;
        QByteArray answer; // as the keypad keeps it; 01 for none
    };
    struct Student
    {
        QString id;
        QString firstName;
    };
    struct Recorded
    {
        int examID = 0;
        QString examTitle;
        quint8 mode = 1;    // the keypad's mode byte (1 normal quiz, 2 homework, 9 attendance ...)
        int sessionID = 0;
        QString sessionName;
        QString className;
        QList<Student> students;
        QList<bool> present;  // by position
        QList<Question> questions;
        QMap<QPair<int, int>, QString> answers; // (position, question) -> answer
    };
    // One frame the keypad sends and the acknowledgement it waits for.
    struct Step
    {
        QByteArray data;
        quint8 state = 0;
        quint8 revision = 0;
    };

    SimTeacherSession(SimReceiver &receiver, Recorded recorded, int resendMs = 300);
    ~SimTeacherSession();
    SimTeacherSession(const SimTeacherSession &) = delete;
    SimTeacherSession &operator=(const SimTeacherSession &) = delete;

    // The frames of a recorded session, in the order the keypad sends them.
    static QList<Step> steps(const Recorded &recorded);
    // Starts sending; done() once every frame was acknowledged.
    void start();
    bool done() const;
    int resends() const;
    int acknowledged() const;

private:
    void onFB(SimReceiver &r, const QByteArray &frame);
    void run();

    SimReceiver &m_sim;
    SimReceiver::CommandHandler m_previousFB;
    const QList<Step> m_steps;
    const int m_resendMs;
    mutable std::mutex m_mutex;
    std::condition_variable m_cond;
    int m_next = 0;   // the step waiting for its acknowledgement
    int m_resends = 0;
    bool m_stop = false;
    std::thread m_thread;
};

} // namespace keypadsim
