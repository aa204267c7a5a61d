#pragma once

#include <QColor>
#include <QObject>

#include <functional>

class QLabel;
class RunTimer;

// The time field of a run window and its one-second count-down. A question of T seconds shows T,
// then T-1 two seconds after the start, and so on down to 1; one tick later the time is up. The
// field is white on black while idle, green while counting, yellow while paused.
class RunCountDown : public QObject
{
    Q_OBJECT
public:
    RunCountDown(QLabel *txtQuizTime, QObject *parent = nullptr);

    // Each second counted (the field has just gone down by one).
    std::function<void()> onTick;
    // The count reached its end (the field still shows 1).
    std::function<void()> onTimeUp;

    // Idle field: a question's seconds, or the homework's "Assigning".
    void showSeconds(int seconds);
    // Idle field for question q (1-based) of a run of questionCount questions, as the activity's
    // rule reads it: its time, its rush time, the whole set's, a minute, or "Assigning".
    void showQuestionTime(int activity, int q, int questionCount);
    void showAssigning();
    // Homework while the keypads hand in: "Receiving..." on green, nothing counted.
    void showReceiving();
    // Counting starts after delay seconds (adjustQuizTimeCountDown); the field turns green.
    void adjustQuizTimeCountDown(int delay);
    // A rush question waits for its winner: green, nothing counted yet.
    void showWaiting();
    void pause();
    void stop();
    bool isCounting() const;

    int value() const;
    // +5 up to 900, -5 down to 1; both work while counting.
    void OnTimeUp();
    void OnTimeDown();

private:
    void adjustTimeCountDown();
    void startCountDown();
    void setColors(const QColor &background, const QColor &text);
    void setFontSize(int points);

    QLabel *txtQuizTime;
    RunTimer *timer;
    int nAdjustTime = 0;
};
