#include "platform/PostedCalls.h"
#include "support/EventWait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>
#include <thread>

TEST(PostedCalls, CallsFromOtherThreadsRunOnTheOwnersThreadInOrder)
{
    PostedCalls calls;
    QList<int> seen;
    bool allOnThisThread = true;
    const QThread *owner = QThread::currentThread();
    std::thread worker([&] {
        for (int i = 0; i < 1000; ++i)
            calls.post([&, i] {
                seen << i; // no lock: only the owner's thread touches it
                allOnThisThread = allOnThisThread && QThread::currentThread() == owner;
            });
    });
    worker.join();
    EXPECT_TRUE(seen.isEmpty()) << "nothing runs before the owner's event loop";
    QElapsedTimer t;
    t.start();
    while (seen.size() < 1000 && t.elapsed() < kEventWaitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    ASSERT_EQ(seen.size(), 1000);
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(seen[i], i);
    EXPECT_TRUE(allOnThisThread);
}

TEST(PostedCalls, CallsStillQueuedWhenTheObjectGoesAreDropped)
{
    bool ran = false;
    auto calls = std::make_unique<PostedCalls>();
    std::thread worker([&] { calls->post([&] { ran = true; }); });
    worker.join();
    calls.reset();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_FALSE(ran);
}
