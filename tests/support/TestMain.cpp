#include "ModalGuard.h"
#include "Unavailable.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <string>

namespace {

// The X11 halves of the window tests (named OnX11...) run only on the private Xvfb their parent
// test starts them on (XvfbRun), never as cases of their own: elsewhere the program leaves them
// out, of its runs and of the list ctest reads.
void leaveOutX11Halves()
{
    if (qEnvironmentVariableIsSet("POLLIX_ON_X11"))
        return;
    std::string filter = GTEST_FLAG_GET(filter);
    filter += filter.find('-') == std::string::npos ? "-*.OnX11*" : ":*.OnX11*";
    GTEST_FLAG_SET(filter, filter);
}

// A test that skipped fails, unless its reason is a facility this machine lacks
// (POLLIX_SKIP_UNAVAILABLE). The failure is added as the test ends, before its result is printed,
// so that the run reports it failed, not skipped (ctest lists what gtest calls skipped as such,
// whatever the exit code).
class SkipIsAFailure : public ::testing::EmptyTestEventListener
{
    void OnTestEnd(const ::testing::TestInfo &test) override
    {
        const ::testing::TestResult *result = test.result();
        if (!result->Skipped())
            return;
        std::string reason;
        for (int p = 0; p < result->total_part_count(); ++p)
            if (result->GetTestPartResult(p).skipped())
                reason = result->GetTestPartResult(p).message();
        if (reason.rfind(kUnavailableHere, 0) != 0)
            ADD_FAILURE() << "skipped (" << reason << "): the suite skips nothing";
    }
};

} // namespace

int main(int argc, char **argv)
{
    // Test discovery runs the binary outside CTest's environment, so default to offscreen here.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Tests never touch real receivers: no udev scan, and only the ports a test names.
    qputenv("POLLIX_NO_UDEV", "1");
    qunsetenv("POLLIX_SERIAL_PORTS");
    qputenv("QT_LOGGING_RULES", qgetenv("POLLIX_TEST_LOG").isEmpty() ? "pollix.info=false" : "");
    ::testing::InitGoogleTest(&argc, argv);
    leaveOutX11Halves();
    // Listeners hear a test's end in the reverse order of their adding: this one before the
    // printer of results.
    ::testing::UnitTest::GetInstance()->listeners().Append(new SkipIsAFailure);
    // Every test, whatever answers its windows: none waits on a modal window that no answer reaches.
    ::testing::UnitTest::GetInstance()->listeners().Append(new ModalGuard);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
