#pragma once

#include "core/engine/ReceivedFrame.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>

class PacedSequencer;
class QuizMode;

// A student keypad logging in to a running activity (large family): its student ID is looked up
// in the run's class; a known student gets the keypad's device number with the run's mode (and,
// where the keypads hold the whole set, the set's information), an unknown ID is refused and
// offered to the teacher for a forced login. Logins stop once an elimination has started.
//
// The run is read through its public state only. GUI thread only.
class StudentKeypadLogin
{
public:
    using Sender = std::function<bool(const QByteArray &frame)>;

    StudentKeypadLogin(const QuizMode &run, Sender send, PacedSequencer &paced);

    // The login in frame f, its student ID from data byte idStart on.
    void loginFromFrame(const ReceivedFrame &f, int idStart);
    // The common login steps for a student ID and name read from login frame f.
    void loginStudent(const ReceivedFrame &f, const QString &studentID, const QString &studentName);

    void setAlreadStartInElimination(bool v) { m_bAlreadStartInElimination = v; }

private:
    void sendQuizMsgToStudent(const ReceivedFrame &f, int d);
    void sendWrongIDToStudent(const ReceivedFrame &f);
    void sendStdExamInfoToStudent(int d);
    static void postForceLoginMessage(const QString &studentID, const QString &studentName, int deviceNo);

    const QuizMode &m_run;
    Sender m_send;
    PacedSequencer &m_paced;
    bool m_bAlreadStartInElimination = false;
};
