// The demo program as ./dev run starts it: pollix-demo run FOLDER --archive FILE.

#include "core/app/ZipArchive.h"
#include "support/OrdinaryUser.h"
#include "support/RunningPollix.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <utility>

#include <sys/stat.h>

namespace {
// pollix-demo data FOLDER, with no display; its exit code and what it wrote on stderr.
std::pair<int, QByteArray> makeData(const QString &folder)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QLatin1String(name));
    // Its log as a newcomer sees it (the suite keeps the tests' own quiet).
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("pollix.info=true"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(POLLIX_BINARY_DIR "/tools/demo/pollix-demo"), {QStringLiteral("data"), folder});
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return {-1, p.readAllStandardError()};
    return {p.exitCode(), p.readAllStandardError()};
}
} // namespace

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

// A folder this account cannot make (its parent, or the folder itself, not writable) is refused
// with the system's reason, in the words Pollix's start uses, before anything is made; not with
// the lock's "No such file or directory" for the folder it then could not open.
TEST(DemoProgramTest, AFolderThatCannotBeWrittenIsRefusedWithTheSystemsReason)
{
    POLLIX_AS_ORDINARY_USER();
    QTemporaryDir scratch;
    const QString locked = scratch.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkpath(locked + QStringLiteral("/made")));
    const struct
    {
        const char *road;
        QString folder;
        QString said;
    } cases[] = {
        {"its parent read-only", locked + QStringLiteral("/demo"),
         locked + QStringLiteral("/demo cannot be made, as ") + locked + QStringLiteral(" cannot be written (Permission denied)")},
        {"itself read-only", locked + QStringLiteral("/made"),
         locked + QStringLiteral("/made/Data cannot be made, as ") + locked +
             QStringLiteral("/made cannot be written (Permission denied)")},
    };
    ASSERT_EQ(::chmod(QFile::encodeName(locked + QStringLiteral("/made")).constData(), 0555), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0555), 0);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.road);
        const auto [code, said] = makeData(c.folder);
        EXPECT_EQ(code, 1) << said.toStdString();
        EXPECT_TRUE(said.contains(c.said.toUtf8())) << said.toStdString();
        EXPECT_FALSE(said.contains("No such file or directory")) << said.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(locked + QStringLiteral("/demo")));
    EXPECT_EQ(QDir(locked + QStringLiteral("/made")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList());
    ::chmod(QFile::encodeName(locked).constData(), 0755);
    ::chmod(QFile::encodeName(locked + QStringLiteral("/made")).constData(), 0755);
}

// Making a demo folder, the first time and again, logs no line a newcomer reads as a fault: the
// stores' files missing before their first save are what a first start finds.
TEST(DemoProgramTest, MakingTheDemoFolderLogsNoMissingFileAsAFault)
{
    QTemporaryDir scratch;
    const QString folder = scratch.filePath(QStringLiteral("demo"));
    for (const char *time : {"first", "again"}) {
        SCOPED_TRACE(time);
        const auto [code, said] = makeData(folder);
        EXPECT_EQ(code, 0) << said.toStdString();
        for (const char *noise : {"does not exist", "count:"})
            EXPECT_FALSE(said.contains(noise)) << said.toStdString();
    }
}
