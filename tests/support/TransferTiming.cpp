#include "TransferTiming.h"

QuestionSetSender::Timing quickSending()
{
    QuestionSetSender::Timing t;
    t.examInfoGapMs = 5;
    t.passPauseMs = 2;
    t.passes = 2;
    t.frameGapMs = 1;
    t.endGapMs = 1;
    t.pollPauseMs = 5;
    t.pollSettleMs = 150;
    return t;
}
