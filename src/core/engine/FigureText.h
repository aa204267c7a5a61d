#pragma once

#include <QString>

// How the result windows of a run write their figures.
class FigureText
{
public:
    // Average points: one decimal, and never "-0.0" (a small negative average reads "0.0").
    static QString average(double value);
    // A fraction 0..1 as a percentage with two decimals: "33.33%".
    static QString percent(double fraction);
    // The value over a bar: the percentage on one line and the head count below it.
    static QString barValue(double fraction, int count);
};
