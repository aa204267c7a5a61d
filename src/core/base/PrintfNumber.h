#pragma once

#include <QString>

// Numbers written as C's printf writes them with "%.Nf": the exact binary value rounded to N
// decimals, so that an exact tie goes to the even digit (84.25 gives "84.2", 0.125 gives "0.12")
// while a value only written as a tie rounds by where it really lies (59.95 is a little above, so
// "60.0"). Qt's own fixed formatting rounds exact ties away from zero, so the reports and the
// figures of a run write every such number through here. The point is "." whatever the locale.
class PrintfNumber
{
public:
    static QString fixed(double value, int decimals);
};
