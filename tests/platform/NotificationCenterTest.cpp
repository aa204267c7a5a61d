#include "platform/NotificationCenter.h"
#include "support/EventWait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <QThread>

#include <gtest/gtest.h>

#include <thread>

namespace {
void processUntil(const std::function<bool()> &done)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < kEventWaitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}
} // namespace

TEST(NotificationCenter, DeliversByNameAndSenderWithPayload)
{
    auto *center = NotificationCenter::defaultCenter();
    QObject observer, senderA, senderB;
    QList<QVariantMap> all, fromA;
    center->addObserver(&observer, QStringLiteral("STUDENTANSWERMESSAGE"), [&](const Notification &n) { all << n.userInfo; });
    center->addObserver(&observer, QStringLiteral("STUDENTANSWERMESSAGE"),
                        [&](const Notification &n) { fromA << n.userInfo; }, &senderA);

    center->postNotification(QStringLiteral("STUDENTANSWERMESSAGE"), {{QStringLiteral("DEVICENO"), 7}}, &senderA);
    center->postNotification(QStringLiteral("STUDENTANSWERMESSAGE"), {{QStringLiteral("DEVICENO"), 8}}, &senderB);
    center->postNotification(QStringLiteral("ClassChanged"));

    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(all[0].value(QStringLiteral("DEVICENO")).toInt(), 7);
    EXPECT_EQ(all[1].value(QStringLiteral("DEVICENO")).toInt(), 8);
    ASSERT_EQ(fromA.size(), 1);
    EXPECT_EQ(fromA[0].value(QStringLiteral("DEVICENO")).toInt(), 7);
    center->removeObserver(&observer);
}

TEST(NotificationCenter, ObserverIsForgottenWhenDestroyedOrRemovedDuringDelivery)
{
    auto *center = NotificationCenter::defaultCenter();
    int calls = 0;
    {
        QObject shortLived;
        center->addObserver(&shortLived, QStringLiteral("DeviceChanged"), [&](const Notification &) { ++calls; });
        EXPECT_EQ(center->observerCount(QStringLiteral("DeviceChanged")), 1);
    }
    EXPECT_EQ(center->observerCount(QStringLiteral("DeviceChanged")), 0);
    center->postNotification(QStringLiteral("DeviceChanged"));
    EXPECT_EQ(calls, 0);

    // The first handler removes the second observer; the second must not be called any more.
    QObject first, second;
    center->addObserver(&first, QStringLiteral("X"), [&](const Notification &) { center->removeObserver(&second); });
    center->addObserver(&second, QStringLiteral("X"), [&](const Notification &) { ++calls; });
    center->postNotification(QStringLiteral("X"));
    EXPECT_EQ(calls, 0);
    center->removeObserver(&first);
}

// A window closed for good (not yet deleted) stops hearing, and so do its parts; others hear on.
TEST(NotificationCenter, ATreeOfObserversIsForgottenAtOnceAndNothingElse)
{
    auto *center = NotificationCenter::defaultCenter();
    QObject window, other;
    auto *part = new QObject(&window);
    auto *partOfPart = new QObject(part);
    QStringList heard;
    center->addObserver(&window, QStringLiteral("DeviceChanged"), [&](const Notification &) { heard << "window"; });
    center->addObserver(partOfPart, QStringLiteral("DeviceChanged"), [&](const Notification &) { heard << "part"; });
    center->addObserver(&other, QStringLiteral("DeviceChanged"), [&](const Notification &) { heard << "other"; });
    center->postNotification(QStringLiteral("DeviceChanged"));
    EXPECT_EQ(heard, QStringList({"window", "part", "other"}));

    heard.clear();
    center->removeObserverTree(&window);
    center->postNotification(QStringLiteral("DeviceChanged"));
    EXPECT_EQ(heard, QStringList{"other"});
    EXPECT_EQ(center->observerCount(QStringLiteral("DeviceChanged")), 1);
    center->removeObserver(&other);
}

TEST(NotificationCenter, PostsFromWorkerArriveOnGuiThreadInOrder)
{
    auto *center = NotificationCenter::defaultCenter();
    QObject observer;
    QList<int> seen;
    bool allOnGui = true;
    center->addObserver(&observer, QStringLiteral("SENDQUESTIONREADY"), [&](const Notification &n) {
        allOnGui = allOnGui && QThread::currentThread() == QCoreApplication::instance()->thread();
        seen << n.userInfo.value(QStringLiteral("N")).toInt();
    });
    std::thread worker([&] {
        for (int i = 0; i < 100; ++i)
            center->postNotification(QStringLiteral("SENDQUESTIONREADY"), {{QStringLiteral("N"), i}});
    });
    worker.join();
    EXPECT_TRUE(seen.isEmpty()) << "a worker's post must not run on the worker";
    processUntil([&] { return seen.size() == 100; });
    ASSERT_EQ(seen.size(), 100);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(seen[i], i);
    EXPECT_TRUE(allOnGui);
}
