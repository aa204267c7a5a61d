#pragma once

#include <QObject>

class QScrollArea;
class RunTimer;

// Pages a long student grid up and down by itself while a question runs, so that every student's
// button passes the teacher's eyes: once a second by 660 points, turning at either end. A grid of
// 45 students or fewer stays put.
class GridAutoScroll : public QObject
{
    Q_OBJECT
public:
    GridAutoScroll(QScrollArea *loginViewSV, QObject *parent = nullptr);

    void setViewMove(bool on);
    // One more student on the grid.
    void studentLoggedIn();

    int nLoginStudentSum() const { return m_nLoginStudentSum; }
    int nMoveHeight() const { return m_nMoveHeight; }

private:
    void startMove();

    QScrollArea *loginViewSV;
    RunTimer *moveTimer;
    int m_nMoveHeight = 0;
    bool bMoveDown = true;
    int m_nLoginStudentSum = 0;
};
