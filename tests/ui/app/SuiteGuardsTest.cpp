// What keeps the suite honest: a window test's X11 half that fails, skips or is not there fails
// its parent, and a picture test notices a window that drew nothing.

#include "support/Shots.h"
#include "support/XvfbRun.h"

#include <QLabel>
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
