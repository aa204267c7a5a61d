#pragma once

#include <QElapsedTimer>
#include <QList>

#include <algorithm>

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

// The middle one of the figures (the higher of the two middle ones), 0 for none.
inline double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v.at(v.size() / 2);
}
