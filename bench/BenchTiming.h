#pragma once

#include <QElapsedTimer>

// The mean wall time of one call of work over that many rounds, in milliseconds.
template <typename F>
double millisecondsPer(int rounds, F &&work)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rounds; ++i)
        work();
    return double(timer.nsecsElapsed()) / 1e6 / rounds;
}
