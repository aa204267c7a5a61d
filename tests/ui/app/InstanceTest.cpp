#include "platform/InstanceLock.h"
#include "support/DialogAnswers.h"
#include "ui/app/PollixProgram.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

namespace {
// The program itself, started as a teacher would, on a folder of its own.
struct RunningPollix
{
    explicit RunningPollix(const QString &folder)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("POLLIX_HOME", folder);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("POLLIX_NO_UDEV", "1");
        env.insert("POLLIX_SPLASH_SECONDS", "1");
        env.insert("QT_LOGGING_RULES", "pollix.info=true");
        env.remove("POLLIX_SERIAL_PORTS");
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QStringLiteral(POLLIX_BINARY_DIR "/src/pollix"), {});
    }
    ~RunningPollix()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    // Waits in short steps (a few seconds at most) until its output holds text.
    bool saw(const QByteArray &text)
    {
        QElapsedTimer timer;
        timer.start();
        while (!output.contains(text) && timer.elapsed() < 15000 && process.state() != QProcess::NotRunning) {
            process.waitForReadyRead(100);
            output += process.readAll();
        }
        output += process.readAll();
        return output.contains(text);
    }
    QProcess process;
    QByteArray output;
};

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
