#include "core/keypad/AnswerWait.h"

#include <QList>

#include <gtest/gtest.h>

// How long a probe listens: the answer's due time on a computer that runs the prober on time,
// behind what the line carries meanwhile, and longer, up to the most, where the prober was seen to
// wait for the processor.
namespace {

struct Case
{
    const char *name;
    int dueMs;
    int mostMs;
    QList<qint64> tookUs; // the stretches between looks at the port, in turn, over and over
    int napUs;            // asked for as a nap in each
    int stretches;        // until the wait is over
    int bytes = 0;        // heard in each stretch, at 28800 baud
};

} // namespace

TEST(AnswerWait, CountsOnlyTheTimeTheProberRanOnTime)
{
    const Case cases[] = {
        {"quiet: naps end on time", 50, 500, {2100}, 2000, 24},
        {"bytes coming end naps early", 50, 500, {300}, 2000, 167},
        {"held up at every nap: the most", 50, 500, {30000}, 2000, 17},
        {"held up now and then: longer than due", 50, 500, {2100, 2100, 40000}, 2000, 35},
        {"a stretch a little late still counts", 50, 500, {4000}, 2000, 13},
        // Three bytes take 1.04 ms of the line: the answer may wait behind them.
        {"keys heard meanwhile: their time on the line too", 50, 500, {2000}, 2000, 53, 3},
        {"a line never quiet: the most", 50, 500, {2000}, 2000, 250, 6},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        AnswerWait wait(c.dueMs, c.mostMs, 28800);
        int stretches = 0;
        while (!wait.over() && stretches < 10000) {
            wait.heard(c.bytes);
            wait.passed(c.tookUs.at(stretches % c.tookUs.size()) * 1000, c.napUs * 1000LL);
            ++stretches;
        }
        EXPECT_EQ(stretches, c.stretches);
    }
}
