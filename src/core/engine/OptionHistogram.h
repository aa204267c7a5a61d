#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// How the logged-in students answered one question, option by option: a head count and a
// fraction per option (A to J, or True and False), then "Others" for everybody who chose no
// single option, the points scored on the question and their average. An elimination question
// counts only the students still in when it started.
struct OptionHistogram
{
    static constexpr int MaxOptions = 10;

    int optionCount = 0;      // n option bars (at most ten)
    QStringList labels;       // the answer text of each option: "A".."J", or "True"/"False"
    QList<int> counts;        // n option counts, then the "Others" count (n + 1 entries)
    QList<double> fractions;  // the same as fractions 0..1 of the students counted
    int attending = 0;        // the students counted
    int totalPoints = 0;
    double averagePoints = 0;
    int correctBar = 0;       // 1-based bar of the correct option; 0: none marked

    // q: question number; activity: the activity the window serves (its scoring and elimination
    // rules); markCorrect: find the correct option's bar.
    static OptionHistogram compute(int q, int activity, bool markCorrect);

    // The bar a correct answer marks among n options: "True" 1, "False" 2, else the option of
    // its first letter ("A" 1 .. "J" 10); 0 when that is no bar.
    static int correctBarOf(const QString &answer, int optionCount);
};
