#include "platform/SystemVersion.h"

#include <QTemporaryDir>
#include <QFile>

#include <vector>

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

// The version shown is the one the system gives, as far as it gives it: Debian names its major
// release in os-release and its point release in the Debian version file; a number neither gave
// is never added ("Debian GNU/Linux 12.0.0" on a 12.11 system).
TEST(SystemVersion, ShowsTheVersionAsFarAsTheSystemGivesIt)
{
    const QString debian12 = "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nNAME=\"Debian GNU/Linux\"\nVERSION_ID=\"12\"\n";
    const struct
    {
        QString osRelease, debianVersion, kernel, shown;
    } rows[] = {
        {debian12, "12.11\n", "6.1.0-37-amd64", "Debian GNU/Linux 12.11"},
        {debian12, "", "6.1.0-37-amd64", "Debian GNU/Linux 12"},
        {debian12, "12\n", "6.1.0-37-amd64", "Debian GNU/Linux 12"},
        // Another release's number (a derived system's file, a half-finished upgrade) is not this one's.
        {debian12, "13.1\n", "6.1.0-37-amd64", "Debian GNU/Linux 12"},
        {debian12, "1.11\n", "6.1.0-37-amd64", "Debian GNU/Linux 12"},
        {"NAME=\"Debian GNU/Linux\"\nVERSION_ID=\"13\"\n", "trixie/sid\n", "6.12.9", "Debian GNU/Linux 13"},
        {"NAME=\"Ubuntu\"\nVERSION_ID=\"22.04\"\n", "bookworm/sid\n", "5.15.0-91-generic", "Ubuntu 22.04"},
        {"NAME='Alpine Linux'\nVERSION_ID=3.19.1\n", "", "6.6.7-0-lts", "Alpine Linux 3.19.1"},
        // No version of the distribution's own: the kernel's, as its release gives it.
        {"NAME=\"Arch Linux\"\n", "", "6.7.4-arch1-1", "Linux 6.7.4"},
        {"", "12.11\n", "6.1", "Linux 6.1"},
        {"", "", "", "Linux"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(SystemVersion::systemText(row.osRelease, row.debianVersion, row.kernel), row.shown)
            << row.osRelease.toStdString() << " | " << row.debianVersion.toStdString();

    // The files as the version window reads them, and the numbers of the same version.
    QTemporaryDir dir;
    const auto put = [&](const char *name, const QString &text) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
        return f.fileName();
    };
    SystemVersion::setOsReleasePath(put("os-release", debian12));
    SystemVersion::setDebianVersionPath(put("debian_version", "12.11\n"));
    unsigned a = 0, b = 0, c = 9;
    EXPECT_TRUE(SystemVersion::getSystemVersionMajor(&a, &b, &c));
    EXPECT_EQ(SystemVersion::systemText(), "Debian GNU/Linux 12.11");
    EXPECT_EQ(std::vector<unsigned>({a, b, c}), std::vector<unsigned>({12, 11, 0}));
    SystemVersion::setOsReleasePath(QStringLiteral("/etc/os-release"));
    SystemVersion::setDebianVersionPath(QStringLiteral("/etc/debian_version"));
}
