#pragma once

#include "core/engine/ActivityFrames.h"

#include <QByteArray>

class QuizComputeMethod;

// A vote's outcome as the teacher keypad shows it: per option of the question the students who
// chose it and their share, then those who chose nothing, counted over the logged-in students.
// It goes out as a class result without a right answer ("X").
class VoteResult
{
public:
    static ActivityFrames::ClassResult of(const QuizComputeMethod &counts, int q);
    // FD, the asking keypad's address, L, 02 "X", option count + 1, logged-in count, per option
    // count and rate, no-answer count and rate, check.
    static QByteArray frame(ActivityFrames::KeypadAddress to, const QuizComputeMethod &counts, int q);
};
