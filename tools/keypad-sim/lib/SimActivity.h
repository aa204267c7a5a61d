#pragma once

#include "SimReceiver.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace keypadsim {

// The keypads' side of an activity run on a simulated receiver: the frames student and teacher
// keypads send during a run (question signals and requests, state queries, logouts, the teacher
// keypad's login and queries, free-style questions), and what the keypads make of the frames the
// program sends them (run state, the question text broadcast line by line, replies to the
// teacher keypad). Written from the keypads' behaviour, not from the program's code.
class SimActivity
{
public:
    explicit SimActivity(SimReceiver &receiver) : m_sim(receiver) {}

    // --- Student keypads (large family). id is the keypad's hardware id; its frames carry its
    // device number once logged in.
    void signalQuestion(int id);   // F5 .. 0A: the student has a question of their own
    void askForQuestion(int id);   // F5 .. 0B: the keypad asks for the question text
    void askState(int id);         // F5 .. 0E: the keypad asks whether a question runs
    void examStart(int id);        // F5 E0
    void logout(int id);           // F6 .. EF
    void reportLostFrames(int id); // F8 E0
    void searchClass(int id);      // F9 E0
    // Brevel keys: 0 previous, 1 next (navigation, not answers).
    void brevelKey(int id, quint8 key);
    // Logs keypads first..first+count-1 in as students "S001".. (Corvel and Dravel).
    void loginAll(int first, int count, int firstStudent = 1);
    void answerAll(int first, int count, const QString &text);

    // --- The teacher keypad (address high byte EF).
    void setTeacherLow(quint8 low);
    quint8 teacherLow() const { return m_teacherLow; }
    void teacherLogin();                                        // FE
    void teacherQuery(quint8 code, const QByteArray &args = {}); // F8 code args...
    void teacherQuizInfo();                                     // F9 E1
    void teacherSetQuestion(quint8 keypadType, quint8 options, const QByteArray &answer); // F7
    void teacherMouse(quint8 code, quint8 x = 0, quint8 y = 0);  // FC

    // --- What the program told the keypads (from every frame it sent since the last clearLogs).
    // The last run state announced with F5: 2 (no question) or 3 (question running); -1 none.
    int runState() const;
    // Question number of the last state 3 announcement; 0 none.
    int runQuestionNo() const;
    // The question text of the last broadcast (F7 00 C0 01 ...), one entry per line, padding
    // removed; empty until every frame of one question has come.
    QStringList questionLines() const;
    // Class and teacher of the last class announcement (F9 to all keypads).
    QString announcedClass() const;
    QString announcedTeacher() const;
    // Frames the program addressed to the teacher keypad (high byte EF), in order.
    QList<QByteArray> teacherReplies() const;
    // Frames the program addressed to this address (low, high), in order.
    QList<QByteArray> framesTo(int address) const;
    // Wake frames (F4 00 C0 01) sent.
    int wakeFrames() const;

    // Text commands of pollix-keypad-sim for the above; false when words are none of them.
    // Output (for "told") goes to out.
    bool runCommand(const QStringList &words, FILE *out);

private:
    int addressOf(int id) const;
    void studentFrame(int id, quint8 cmd, const QByteArray &data);
    QList<QByteArray> programFrames() const;

    SimReceiver &m_sim;
    quint8 m_teacherLow = 0x01;
};

} // namespace keypadsim
