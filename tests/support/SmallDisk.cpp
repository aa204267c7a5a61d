#include "SmallDisk.h"

#include "ChildTestRun.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdint>
#include <string>

#include <fcntl.h>
#include <linux/loop.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {
constexpr const char *kFolderVariable = "POLLIX_SMALL_DISK";

// A loop device of its own holding a fresh ext4 of 128-byte inodes of kilobytes, in folder:
// detached by itself once nothing holds it (the mount, and the descriptor returned, which the
// caller closes when the child ended); -1 where it cannot be made (not root, no loop devices).
int wholeSecondsDisk(const QString &folder, int kilobytes, std::string *device)
{
    const QString image = QDir(folder).filePath(QStringLiteral("disk.img"));
    const QString mkfs = QStandardPaths::findExecutable(QStringLiteral("mkfs.ext4"), {"/usr/sbin", "/sbin"});
    QProcess make;
    make.setProcessChannelMode(QProcess::MergedChannels);
    make.start(mkfs, {"-q", "-F", "-I", "128", image, QStringLiteral("%1k").arg(std::max(kilobytes, 4096))});
    if (::geteuid() != 0 || mkfs.isEmpty() || !make.waitForFinished(60000) || make.exitCode() != 0)
        return -1;
    const int control = ::open("/dev/loop-control", O_RDWR | O_CLOEXEC);
    const int backing = ::open(QFile::encodeName(image).constData(), O_RDWR | O_CLOEXEC);
    int loop = -1;
    // Another program may take the free device first: then the next.
    for (int tries = 0; control >= 0 && backing >= 0 && loop < 0 && tries < 20; ++tries) {
        const int number = ::ioctl(control, LOOP_CTL_GET_FREE);
        if (number < 0)
            break;
        const std::string path = "/dev/loop" + std::to_string(number);
        loop = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
        loop_config config{};
        config.fd = std::uint32_t(backing);
        config.info.lo_flags = LO_FLAGS_AUTOCLEAR;
        if (loop >= 0 && ::ioctl(loop, LOOP_CONFIGURE, &config) == 0) {
            *device = path;
        } else if (loop >= 0) {
            ::close(loop);
            loop = -1;
        }
    }
    for (const int fd : {control, backing})
        if (fd >= 0)
            ::close(fd);
    return loop;
}

// Only async-signal-safe calls: this runs in the child between fork and exec.
bool enterOwnMountNamespace(const char *uidMap, const char *gidMap)
{
    if (ChildTestRun::enterUserNamespace(CLONE_NEWNS, uidMap, gidMap))
        return true;
    return ::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0;
}
} // namespace

namespace SmallDisk {

QString folder()
{
    return qEnvironmentVariable(kFolderVariable);
}

Outcome runCurrentTestInside(const Options &wanted)
{
    QTemporaryDir mountPoint;
    if (!mountPoint.isValid())
        return Outcome::Unavailable;
    const std::string where = QDir(mountPoint.path()).absolutePath().toStdString();
    std::string options = "size=" + std::to_string(wanted.kilobytes) + "k,mode=0777";
    if (wanted.inodes > 0)
        options += ",nr_inodes=" + std::to_string(wanted.inodes);
    if (wanted.wholeSeconds) {
        std::string device;
        const int loop = wholeSecondsDisk(mountPoint.path(), wanted.kilobytes, &device);
        if (loop < 0)
            return Outcome::Unavailable;
        const std::string disk = where + "/disk";
        QDir(mountPoint.path()).mkdir(QStringLiteral("disk"));
        const Outcome outcome = ChildTestRun::runCurrentTest(kFolderVariable, disk, [&] {
            return ::unshare(CLONE_NEWNS) == 0 && ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                   ::mount(device.c_str(), disk.c_str(), "ext4", MS_NOSUID | MS_NODEV, nullptr) == 0;
        });
        ::close(loop);
        return outcome;
    }
    // As uid 0 inside, the test keeps every capability there.
    const std::string uidMap = "0 " + std::to_string(::geteuid()) + " 1";
    const std::string gidMap = "0 " + std::to_string(::getegid()) + " 1";
    return ChildTestRun::runCurrentTest(kFolderVariable, where, [&] {
        return enterOwnMountNamespace(uidMap.c_str(), gidMap.c_str())
            && ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
            && ::mount("tmpfs", where.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0;
    });
}

bool fill()
{
    QFile filler(QDir(folder()).filePath(QStringLiteral(".filler")));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size()) {
    }
    // A tmpfs counts whole pages; what is left may still take a partial page.
    while (filler.write("x", 1) == 1) {
    }
    return true;
}

bool makeReadOnly()
{
    const std::string where = folder().toStdString();
    return !where.empty() && ::mount(nullptr, where.c_str(), nullptr, MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV, nullptr) == 0;
}

} // namespace SmallDisk
