#include "platform/InstanceLock.h"
#include "support/DialogAnswers.h"
#include "support/RunningPollix.h"
#include "ui/app/PollixProgram.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

namespace {
bool heldBy(const QString &folder, qint64 pid)
{
    QLockFile probe(folder + QLatin1Char('/') + InstanceLock::lockFileName());
    qint64 owner = 0;
    QString host, app;
    return probe.getLockInfo(&owner, &host, &app) && owner == pid;
}
} // namespace

TEST(InstanceTest, ASecondStartOnTheFolderSaysWhereItRunsBringsItForwardAndEndsUntilTheFirstIsKilled)
{
    QTemporaryDir home;
    RunningPollix first(home.path());
    ASSERT_TRUE(first.process.waitForStarted(10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return heldBy(home.path(), first.process.processId()); }, 15000)) << first.output.toStdString();

    DialogAnswers answers;
    {
        InstanceLock lock(home.path());
        EXPECT_FALSE(PollixProgram::claimApplicationFolder(lock));
        ASSERT_EQ(answers.alerts().size(), 1);
        const AlertRequest &alert = answers.alerts().first();
        EXPECT_EQ(alert.title, "Pollix");
        EXPECT_EQ(alert.text, "Pollix is already running on this application folder.");
        EXPECT_TRUE(alert.informativeText.contains(QStringLiteral("process %1 on %2").arg(first.process.processId()).arg(QSysInfo::machineHostName())))
            << alert.informativeText.toStdString();
        EXPECT_TRUE(alert.informativeText.contains("brought to the front")) << alert.informativeText.toStdString();
        EXPECT_TRUE(first.saw("asked this window to come forward")) << first.output.toStdString();
    }

    // Killed, the first leaves its lock file; the next start takes the folder over.
    ::kill(pid_t(first.process.processId()), SIGKILL);
    ASSERT_TRUE(first.process.waitForFinished(5000));
    InstanceLock lock(home.path());
    EXPECT_TRUE(PollixProgram::claimApplicationFolder(lock));
    EXPECT_TRUE(lock.isHeld());
    EXPECT_EQ(answers.alerts().size(), 1);
}
