#pragma once

#include "SimReceiver.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace keypadsim {

// The keypads' side of an activity run on a simulated receiver, beside what SimReceiver sends for
// them: the remaining keypad frames of a run, whole-class logins and answers, and what the
// keypads make of the frames the program sends them (run state, the question text broadcast line
// by line, the class announcement, replies to the teacher keypad). Written from the keypads'
// behaviour, not from the program's code.
class SimActivity
{
public:
    explicit SimActivity(SimReceiver &receiver) : m_sim(receiver) {}

    // --- Keypad frames the receiver itself has no word for (SimReceiver has the common ones).
    void reportLostFrames(int id); // F8 E0: the keypad misses question frames
    void searchClass(int id);      // F9 E0: the keypad looks for the class
    // Logs keypads first..first+count-1 in as students "S001".. (Corvel and Dravel).
    void loginAll(int first, int count, int firstStudent = 1);
    void answerAll(int first, int count, const QString &text);
    // The teacher keypad: the run's information (F9 E1), a free-style question (F7: keypad type,
    // option count, answer), the keypad mouse (FC: code, or E0 with x and y).
    void teacherQuizInfo();
    void teacherSetQuestion(quint8 keypadType, quint8 options, const QByteArray &answer);
    void teacherMouse(quint8 code, quint8 x = 0, quint8 y = 0);

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

    // Text commands of pollix-keypad-sim for the above (lost, search, loginall, answerall, tinfo,
    // tsetq, tmouse, told); false when words are none of them. "told" reports to out.
    bool runCommand(const QStringList &words, FILE *out);

private:
    QList<QByteArray> programFrames() const;

    SimReceiver &m_sim;
};

} // namespace keypadsim
