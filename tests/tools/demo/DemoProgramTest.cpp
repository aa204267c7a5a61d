// The demo program as ./dev run starts it: pollix-demo run FOLDER --archive FILE.

#include "core/app/ZipArchive.h"
#include "support/RunningPollix.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

// The folder is filled from the archive given, and the splash then looks in the same archive
// for what is missing (nothing by then), not beside the demo program, where there is none.
TEST(DemoProgramTest, RunTakesItsFirstRunFilesFromTheArchiveGiven)
{
    QTemporaryDir scratch;
    // Somewhere else, under another name: only the option can lead there.
    const QString archive = scratch.filePath(QStringLiteral("first run/Pollix files.zip"));
    ASSERT_TRUE(QDir().mkpath(scratch.filePath(QStringLiteral("first run"))));
    ASSERT_TRUE(QFile::copy(QStringLiteral(POLLIX_BINARY_DIR "/src/Pollix"), archive));
    int files = 0;
    ZipArchive zip;
    ASSERT_TRUE(zip.UnzipOpenFile(archive));
    for (const ZipArchive::Entry &e : zip.entries().value_or(QList<ZipArchive::Entry>()))
        files += e.isFolder ? 0 : 1;
    ASSERT_GE(files, 9);

    const QString folder = scratch.filePath(QStringLiteral("demo"));
    RunningPollix demo(folder, QStringLiteral(POLLIX_BINARY_DIR "/tools/demo/pollix-demo"),
                       {QStringLiteral("run"), folder, QStringLiteral("--sim"),
                        QStringLiteral(POLLIX_BINARY_DIR "/tools/keypad-sim/pollix-keypad-sim"), QStringLiteral("--archive"),
                        archive});
    const QByteArray filled = QStringLiteral("First-run files: %1 of %1 put in place").arg(files).toUtf8();
    const QByteArray splash = QStringLiteral("First-run files: 0 of %1 put in place").arg(files).toUtf8();
    ASSERT_TRUE(demo.saw(splash, 60000)) << demo.output.toStdString();
    EXPECT_TRUE(demo.output.contains(filled)) << demo.output.toStdString();
    EXPECT_LT(demo.output.indexOf(filled), demo.output.indexOf(splash)) << "the folder first, then the splash";
    EXPECT_FALSE(demo.output.contains("First-run files: cannot read")) << demo.output.toStdString();
    EXPECT_TRUE(demo.endsCleanlyOn(SIGTERM)) << demo.output.toStdString();
}

// Asked for help or wrongly, with no display to open, it says how to ask and ends (no toolkit
// abort on the way).
TEST(DemoProgramTest, AskedWronglyWithoutADisplayItSaysHowToAsk)
{
    for (const QStringList &args : {QStringList{QStringLiteral("--help")}, QStringList{}, QStringList{QStringLiteral("data")},
                                    QStringList{QStringLiteral("play"), QStringLiteral("/tmp/x")}}) {
        SCOPED_TRACE(args.join(QLatin1Char(' ')).toStdString());
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QLatin1String(name));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(POLLIX_BINARY_DIR "/tools/demo/pollix-demo"), args);
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 2);
        EXPECT_TRUE(p.readAllStandardError().startsWith("usage: pollix-demo data FOLDER"));
    }
}
