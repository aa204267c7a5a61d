#include "platform/PacedSequencer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {
PacedSequencer::Step step(int delayMs, QStringList *log, const QString &name)
{
    return {delayMs, [log, name] { *log << name; }};
}
} // namespace

TEST(PacedSequencer, PausesAreTimerContinuationsAndStepsKeepTheirOrder)
{
    PacedSequencer paced;
    QStringList log;
    paced.append({step(0, &log, "a"), step(0, &log, "b"), step(5, &log, "c"), step(0, &log, "d"), {5, {}},
                  step(0, &log, "e")});
    // The steps before the first pause ran inside the call; the rest wait for the event loop.
    EXPECT_EQ(log, (QStringList{"a", "b"}));
    EXPECT_TRUE(paced.isRunning());
    // Steps given meanwhile go after the series.
    paced.append({step(0, &log, "f")});
    EXPECT_EQ(log, (QStringList{"a", "b"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !paced.isRunning(); }));
    EXPECT_EQ(log, (QStringList{"a", "b", "c", "d", "e", "f"}));
    // A long series without pauses needs no stack of its own.
    QList<PacedSequencer::Step> many(100000, step(0, &log, "x"));
    paced.append(many);
    EXPECT_EQ(log.size(), 100006);
    EXPECT_FALSE(paced.isRunning());
}

TEST(PacedSequencer, ClearAndTheOwnersEndDropWhatIsNotRunYet)
{
    QStringList log;
    auto paced = std::make_unique<PacedSequencer>();
    paced->append({step(5, &log, "late"), step(0, &log, "later")});
    paced->clear();
    EXPECT_FALSE(paced->isRunning());
    // A step may end its own series and start another.
    PacedSequencer *p = paced.get();
    paced->append({{0, [&] {
                        log << "restart";
                        p->clear();
                        p->append({step(5, &log, "new")});
                    }},
                   step(0, &log, "dropped")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !paced->isRunning(); }));
    EXPECT_EQ(log, (QStringList{"restart", "new"}));

    paced->append({step(5, &log, "never")});
    paced.reset();
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 20)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    EXPECT_EQ(log, (QStringList{"restart", "new"}));
}
