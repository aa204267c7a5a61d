// ./dev on an ordinary account with a Debian package missing: it cannot install it, so it says
// which packages are missing and the one command to run as root, and ends with a failure,
// before anything is configured or built. And what each command has built.

#include "support/CommandFolder.h"
#include "support/OrdinaryUser.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kMissing = QStringLiteral("pollix-test-no-such-package");

// A copy of ./dev whose package list holds a package that is installed and, unless told
// otherwise, one that is not.
QString devCopy(const QTemporaryDir &dir, bool withMissing = true)
{
    const QString dev = dir.filePath(QStringLiteral("checkout/dev"));
    QDir().mkpath(dir.filePath(QStringLiteral("checkout/deps")));
    EXPECT_TRUE(QFile::copy(QStringLiteral(POLLIX_SOURCE_DIR "/dev"), dev));
    QFile list(dir.filePath(QStringLiteral("checkout/deps/debian-packages.txt")));
    EXPECT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("# what ./dev needs\nbash\n");
    if (withMissing)
        list.write(kMissing.toUtf8() + "   # the one that is not there\n");
    return dev;
}

// A command folder holding every command of the system except sudo (so none is at hand), and
// the given scripts.
QString commandsWithoutSudo(const QTemporaryDir &dir, const QList<std::pair<QString, QByteArray>> &scripts = {})
{
    return CommandFolder::make(dir.filePath(QStringLiteral("bin")), {QStringLiteral("sudo")}, scripts);
}

struct Outcome
{
    int exitCode = -1;
    QString said;
};

Outcome runDev(const QString &dev, const QString &path, const QStringList &arguments = {QStringLiteral("build")})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PATH"), path);
    env.remove(QStringLiteral("POLLIX_BUILD_DIR"));
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("/bin/bash"), QStringList{dev} + arguments);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAll())};
}

} // namespace

TEST(DevScriptTest, WithoutRootOrAWorkingSudoItNamesTheMissingPackagesAndTheCommandAndStops)
{
    POLLIX_AS_ORDINARY_USER();
    const QString command = QStringLiteral("    apt-get update && apt-get install ") + kMissing;

    // No sudo on the machine at all.
    {
        QTemporaryDir dir;
        const QString dev = devCopy(dir);
        const Outcome out = runDev(dev, commandsWithoutSudo(dir));
        EXPECT_EQ(out.exitCode, 1) << out.said.toStdString();
        EXPECT_TRUE(out.said.contains(QStringLiteral("missing: ") + kMissing + QLatin1Char('\n'))) << out.said.toStdString();
        EXPECT_TRUE(out.said.contains(QStringLiteral("neither root nor sudo is at hand; as root, run:\n") + command + QLatin1Char('\n')))
            << out.said.toStdString();
        EXPECT_FALSE(out.said.contains(QStringLiteral("command not found"))) << out.said.toStdString();
        EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("checkout/build")))) << "nothing is configured";
    }
    // A sudo that refuses this account: the same advice, not sudo's error alone.
    {
        QTemporaryDir dir;
        const QString dev = devCopy(dir);
        const QString bin = commandsWithoutSudo(dir, {{QStringLiteral("sudo"),
                                                       "echo 'sudo: a password is required' >&2; exit 1\n"}});
        const Outcome out = runDev(dev, bin);
        EXPECT_EQ(out.exitCode, 1) << out.said.toStdString();
        EXPECT_TRUE(out.said.contains(QStringLiteral("as root, run:\n") + command + QLatin1Char('\n'))) << out.said.toStdString();
        EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("checkout/build"))));
    }
}

// A newcomer's first ./dev run waits for what it starts, not for the test suite: it builds the
// program, its first-run archive, the simulated receiver and the demo folder's maker. ./dev build
// builds the targets it is given, and everything when given none, as the other commands do.
TEST(DevScriptTest, RunBuildsWhatItStartsBuildWhatItIsGivenAndTheOtherCommandsBuildEverything)
{
    struct Case
    {
        const char *command;
        const char *builds;
    };
    const Case cases[] = {
        {"run", "--build BUILD -j 2 --target pollix pollix_archive pollix-keypad-sim pollix-demo"},
        {"build", "--build BUILD -j 2"},
        {"build pollix pollix-demo", "--build BUILD -j 2 --target pollix pollix-demo"},
        {"build test_core_store", "--build BUILD -j 2 --target test_core_store"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.command);
        QTemporaryDir dir;
        const QString dev = devCopy(dir, false);
        const QString checkout = dir.filePath(QStringLiteral("checkout"));
        for (const char *folder : {"src", "tests", "tools", "bench"})
            QDir().mkpath(checkout + QLatin1Char('/') + QLatin1String(folder));
        // What ./dev run hands the build to, standing in for the real one.
        QFile runner(checkout + QStringLiteral("/tools/dev-run.sh"));
        ASSERT_TRUE(runner.open(QIODevice::WriteOnly));
        runner.write("#!/bin/sh\nexit 0\n");
        runner.close();
        runner.setPermissions(runner.permissions() | QFileDevice::ExeOwner);
        const QString log = dir.filePath(QStringLiteral("cmake.log"));
        const QString build = checkout + QStringLiteral("/build");
        const QByteArray cmake = "for a in \"$@\"; do printf '%s ' \"$a\"; done | sed 's| $||; s|" + build.toUtf8() +
                                 "|BUILD|g' >> '" + log.toUtf8() + "'\necho >> '" + log.toUtf8() + "'\nmkdir -p '" +
                                 build.toUtf8() + "'\n";
        const QString bin = CommandFolder::make(dir.filePath(QStringLiteral("bin")), {QStringLiteral("cmake")},
                                                {{QStringLiteral("cmake"), cmake}});
        ScopedEnvironment env({{"POLLIX_JOBS", "2"}, {"POLLIX_SANITIZE", ""}});
        const Outcome out = runDev(dev, bin, QString::fromLatin1(c.command).split(QLatin1Char(' ')));
        EXPECT_EQ(out.exitCode, 0) << out.said.toStdString();
        QFile said(log);
        ASSERT_TRUE(said.open(QIODevice::ReadOnly));
        const QStringList calls = QString::fromUtf8(said.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        ASSERT_EQ(calls.size(), 2) << said.fileName().toStdString();
        EXPECT_TRUE(calls.at(0).startsWith(QStringLiteral("-S "))) << calls.at(0).toStdString();
        EXPECT_EQ(calls.at(1), QLatin1String(c.builds));
    }
}
