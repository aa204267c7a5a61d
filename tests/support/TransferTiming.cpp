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
    // A poll's replies cross the simulator's thread, the line and a GUI thread that a busy machine
    // may hold up for a second. The settle ends as soon as every keypad replied, so only a lost
    // poll pays it in full; replies later than it come back as stale duplicates that cost passes,
    // and rounds without a reply lead to waking the keypads. Both are kept out of reach of a
    // delay that is only the machine's.
    t.pollSettleMs = 250;
    t.pollRounds = 30;
    return t;
}
