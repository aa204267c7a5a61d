#pragma once

#include "SimReceiver.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QSet>
#include <QStringList>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <random>
#include <thread>

namespace keypadsim {

// The keypads' side of a question set sent to them (homework and paper quiz, large family): the
// receiver answers the host's wake frame, and every keypad keeps the exam announcement and the
// question text frames it hears, answers a poll with what it lacks (nothing, the first questions
// only, or a bitmap), and takes the end-of-set. A keypad knows a set by its announcement (exam
// ID, question count and title): another announcement is another set, and what it held goes. It
// puts a question together from the frames of one preparation (one question ID) only, so that
// two versions of a question never mix, and keeps a whole question until another whole one of
// the same number replaces it. On request each keypad loses a share of the frames the program
// sends (each keypad on its own, seeded) and its poll replies come late.
// Installed over the receiver's own handlers and taken off again when it goes.
class SimQuestionSet
{
public:
    struct Options
    {
        int lossPercent = 0;   // frames from the program each keypad misses
        int replyDelayMs = 0;  // poll replies leave this much later
        bool answerWake = true; // the receiver answers F4 00 C0 01 with F5 E3
        quint32 seed = 7;
    };

    SimQuestionSet(SimReceiver &receiver, const Options &options);
    ~SimQuestionSet();
    SimQuestionSet(const SimQuestionSet &) = delete;
    SimQuestionSet &operator=(const SimQuestionSet &) = delete;

    void setLossPercent(int percent);
    void setReplyDelayMs(int ms);

    // What keypad id holds: the announced question count and title, and each whole question's
    // lines (padding removed).
    int announcedCount(int id) const;
    QString announcedTitle(int id) const;
    QMap<int, QStringList> questions(int id) const;
    bool hasWholeSet(int id) const;
    bool setClosed(int id) const; // the end-of-set came
    int pollReplies() const;
    int endOfPassFrames() const;
    int endOfSetFrames() const;

private:
    // A question's frames as one preparation of it sent them (one question ID, one frame count).
    struct Making
    {
        int questionID = -1;
        int total = 0;
        QMap<int, QByteArray> frames; // frame number -> 42 text bytes
    };
    struct Held
    {
        int count = 0;
        int examID = -1;
        QString title;
        QMap<int, QMap<int, QByteArray>> whole; // question -> its frames, every one of them
        QMap<int, Making> making;               // question -> the preparation being gathered
        bool closed = false;
    };
    void onF8(SimReceiver &r, const QByteArray &frame);
    void onF4(SimReceiver &r, const QByteArray &frame);
    bool heard();                       // caller holds m_mutex
    QByteArray replyFor(const Held &held); // caller holds m_mutex
    void replyLater(int id, const QByteArray &data);
    void runDelayed();

    SimReceiver &m_sim;
    SimReceiver::CommandHandler m_previousF4;
    SimReceiver::CommandHandler m_previousF8;
    mutable std::mutex m_mutex;
    std::condition_variable m_cond;
    Options m_options;
    std::mt19937 m_random;
    QMap<int, Held> m_held; // by keypad id
    int m_pollReplies = 0;
    int m_endOfPass = 0;
    int m_endOfSet = 0;
    struct Delayed
    {
        std::chrono::steady_clock::time_point due;
        int id;
        QByteArray data;
    };
    std::deque<Delayed> m_delayed;
    bool m_stop = false;
    std::thread m_thread;
};

} // namespace keypadsim
