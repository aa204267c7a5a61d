#include "platform/ShutdownSignals.h"

#include <QList>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

TEST(ShutdownSignals, EachEndingSignalReachesTheEventLoopAndItsDefaultActionIsBackAfterwards)
{
    // As a start from a terminal finds them, whatever this suite was started under (nohup
    // ignores SIGHUP).
    for (int signalNumber : ShutdownSignals::caught())
        std::signal(signalNumber, SIG_DFL);
    QList<int> received;
    {
        ShutdownSignals catcher;
        QObject::connect(&catcher, &ShutdownSignals::received, [&](int signalNumber) { received << signalNumber; });
        for (int signalNumber : ShutdownSignals::caught())
            ASSERT_EQ(::raise(signalNumber), 0);
        // Nothing is done inside the handler: the numbers arrive through the event loop, in order.
        EXPECT_TRUE(received.isEmpty());
        ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() == 3; }, 5000));
        EXPECT_EQ(received, (QList<int>{SIGTERM, SIGHUP, SIGINT}));
    }
    for (int signalNumber : ShutdownSignals::caught()) {
        struct sigaction now = {};
        ASSERT_EQ(::sigaction(signalNumber, nullptr, &now), 0);
        EXPECT_EQ(now.sa_handler, SIG_DFL) << signalNumber;
    }

    // A signal the program was started to ignore (nohup) stays ignored.
    std::signal(SIGHUP, SIG_IGN);
    {
        ShutdownSignals catcher;
        struct sigaction now = {};
        ASSERT_EQ(::sigaction(SIGHUP, nullptr, &now), 0);
        EXPECT_EQ(now.sa_handler, SIG_IGN);
    }
    std::signal(SIGHUP, SIG_DFL);
}
