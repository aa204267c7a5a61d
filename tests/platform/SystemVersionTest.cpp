#include "platform/SystemVersion.h"

#include <QTemporaryDir>
#include <QFile>

#include <gtest/gtest.h>

TEST(SystemVersion, ParsesDistributionAndKernelVersions)
{
    unsigned a = 9, b = 9, c = 9;
    EXPECT_TRUE(SystemVersion::parseVersion(QStringLiteral("12"), &a, &b, &c));
    EXPECT_EQ(a, 12u);
    EXPECT_EQ(b, 0u);
    EXPECT_EQ(c, 0u);
    EXPECT_TRUE(SystemVersion::parseVersion(QStringLiteral("6.1.0-18-amd64"), &a, &b, &c));
    EXPECT_EQ(a, 6u);
    EXPECT_EQ(b, 1u);
    EXPECT_EQ(c, 0u);
    EXPECT_FALSE(SystemVersion::parseVersion(QStringLiteral("bookworm"), &a, nullptr, nullptr));
}

TEST(SystemVersion, NameGoesWithItsOwnVersion)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("os-release"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("PRETTY_NAME=\"Ubuntu 22.04.3 LTS\"\nNAME=\"Ubuntu\"\nVERSION_ID=\"22.04\"\n");
    f.close();
    SystemVersion::setOsReleasePath(path);
    unsigned a = 0, b = 0, c = 9;
    EXPECT_TRUE(SystemVersion::getSystemVersionMajor(&a, &b, &c));
    EXPECT_EQ(SystemVersion::systemName(), QStringLiteral("Ubuntu"));
    EXPECT_EQ(a, 22u);
    EXPECT_EQ(b, 4u);
    EXPECT_EQ(c, 0u);
    // A distribution without a version (a rolling one) shows the kernel under "Linux".
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("NAME=\"Arch Linux\"\n");
    f.close();
    EXPECT_EQ(SystemVersion::systemName(), QStringLiteral("Linux"));
    SystemVersion::setOsReleasePath(QStringLiteral("/etc/os-release"));
}
