#include "platform/InstanceLock.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>

namespace {
constexpr char kHolderVariable[] = "POLLIX_LOCK_HOLDER";

// Waits (in short steps, up to a few seconds) until the process has printed text.
bool waitForOutput(QProcess &process, QByteArray &seen, const QByteArray &text)
{
    QElapsedTimer timer;
    timer.start();
    while (!seen.contains(text) && timer.elapsed() < 10000 && process.state() != QProcess::NotRunning) {
        process.waitForReadyRead(100);
        seen += process.readAllStandardOutput();
    }
    return seen.contains(text);
}
} // namespace

// The same test runs twice: as the test, and, started by it, as a second process that holds the
// folder until it is killed.
TEST(InstanceLock, ASecondProcessFindsTheFolderHeldAndTakesItOverOnceTheHolderIsKilled)
{
    if (qEnvironmentVariableIsSet(kHolderVariable)) {
        InstanceLock lock(qEnvironmentVariable(kHolderVariable));
        ASSERT_EQ(lock.take(), InstanceLock::Outcome::Taken);
        QObject::connect(&lock, &InstanceLock::comeForwardRequested, [] {
            std::printf("asked to come forward\n");
            std::fflush(stdout);
        });
        std::printf("holding\n");
        std::fflush(stdout);
        QTest::qWait(60000); // killed long before
        return;
    }
    QTemporaryDir home;
    const QString folder = home.filePath(QStringLiteral("Pollix"));
    QProcess holder;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(kHolderVariable, folder);
    holder.setProcessEnvironment(env);
    holder.start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--gtest_filter=InstanceLock.ASecondProcessFindsTheFolderHeldAndTakesItOverOnceTheHolderIsKilled")});
    QByteArray seen;
    ASSERT_TRUE(waitForOutput(holder, seen, "holding")) << seen.toStdString();

    InstanceLock second(folder);
    EXPECT_EQ(second.take(), InstanceLock::Outcome::HeldByOther);
    EXPECT_FALSE(second.isHeld());
    EXPECT_EQ(second.owner().pid, holder.processId());
    EXPECT_EQ(second.owner().host, QSysInfo::machineHostName());
    EXPECT_TRUE(second.askOwnerToComeForward());
    EXPECT_TRUE(waitForOutput(holder, seen, "asked to come forward")) << seen.toStdString();

    // Killed: its lock file stays behind, and is taken over.
    ::kill(pid_t(holder.processId()), SIGKILL);
    ASSERT_TRUE(holder.waitForFinished(5000));
    EXPECT_TRUE(QFile::exists(folder + QLatin1Char('/') + InstanceLock::lockFileName()));
    EXPECT_EQ(second.take(), InstanceLock::Outcome::Taken);
    EXPECT_TRUE(second.isHeld());

    // Held here now: a third start is refused, and reaches this process.
    InstanceLock third(folder);
    bool asked = false;
    QObject::connect(&second, &InstanceLock::comeForwardRequested, [&] { asked = true; });
    EXPECT_EQ(third.take(), InstanceLock::Outcome::HeldByOther);
    EXPECT_EQ(third.owner().pid, QCoreApplication::applicationPid());
    EXPECT_TRUE(third.askOwnerToComeForward());
    EXPECT_TRUE(QTest::qWaitFor([&] { return asked; }, 5000));
}
