// What keeps the suite honest: a window test's X11 half that fails, skips or is not there fails
// its parent, and a picture test notices a window that drew nothing.

#include "support/CommandFolder.h"
#include "support/Shots.h"
#include "support/XvfbRun.h"

#include <QFile>
#include <QLabel>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

// The X11 half run below, doing as POLLIX_GUARD_PROBE says.
int runProbe(const char *how)
{
    qputenv("POLLIX_GUARD_PROBE", how);
    const int code = XvfbRun::run(QStringLiteral("SuiteGuards.OnX11Probe"));
    qunsetenv("POLLIX_GUARD_PROBE");
    return code;
}

} // namespace

TEST(SuiteGuards, AnX11HalfThatFailsSkipsOrIsMissingFailsItsParent)
{
    EXPECT_EQ(runProbe("pass"), 0);
    EXPECT_NE(runProbe("fail"), 0);
    // Skipped for no reason but a facility the machine lacks: the test program fails.
    EXPECT_NE(runProbe("skip"), 0);
    // A filter that matches no half (one renamed, say) runs nothing, which is no pass.
    EXPECT_EQ(XvfbRun::run(QStringLiteral("SuiteGuards.OnX11NoSuchHalf")), 1);
}

// A window manager that ends before it takes the screen (as openbox does when it cannot open the
// display) is seen to end and started again on the same screen, not waited on.
TEST(SuiteGuards, AWindowManagerThatEndsBeforeItTakesTheScreenIsStartedAgain)
{
    QTemporaryDir dir;
    const QString starts = dir.filePath(QStringLiteral("starts"));
    const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
    ASSERT_FALSE(openbox.isEmpty());
    const QString bin = CommandFolder::make(
        dir.filePath(QStringLiteral("bin")), {QStringLiteral("openbox")},
        {{QStringLiteral("openbox"), QStringLiteral("echo >> '%1'\n"
                                                    "[ \"$(wc -l < '%1')\" -gt 3 ] && exec '%2' \"$@\"\n"
                                                    "echo 'Failed to open the display'\n"
                                                    "exit 1\n")
                                         .arg(starts, openbox)
                                         .toUtf8()}});
    ScopedEnvironment environment({{"PATH", bin.toUtf8()}, {"POLLIX_GUARD_PROBE", "pass"}});
    EXPECT_EQ(XvfbRun::run(QStringLiteral("SuiteGuards.OnX11Probe"), {QSize(1024, 768), true}), 0);
    QFile file(starts);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().count('\n'), 4);
}

// Run on a private Xvfb by AnX11HalfThatFailsSkipsOrIsMissingFailsItsParent.
TEST(SuiteGuards, OnX11Probe)
{
    const QByteArray how = qgetenv("POLLIX_GUARD_PROBE");
    if (how == "skip")
        GTEST_SKIP() << "a probe of the guard";
    EXPECT_NE(how, "fail") << "a probe of the guard";
}

TEST(SuiteGuards, AWindowThatDrewNothingIsCaught)
{
    QLabel label(QStringLiteral("Saved successfully."));
    label.show();
    EXPECT_TRUE(Shots::drew(&label, QStringLiteral("label")));

    // Only its background: one flat colour.
    QWidget blank;
    blank.resize(200, 100);
    blank.show();
    const ::testing::AssertionResult flat = Shots::drew(&blank, QStringLiteral("blank"));
    EXPECT_FALSE(flat);
    EXPECT_NE(std::string(flat.message()).find("one flat colour"), std::string::npos) << flat.message();

    // No size, no picture.
    label.resize(0, 0);
    const ::testing::AssertionResult none = Shots::drew(&label, QStringLiteral("no-size"));
    EXPECT_FALSE(none);
    EXPECT_NE(std::string(none.message()).find("no picture"), std::string::npos) << none.message();
}
