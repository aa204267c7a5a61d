#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

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
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
