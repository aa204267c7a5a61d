#include "SmallDisk.h"

#include "ChildTestRun.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <string>

namespace {
constexpr const char *kFolderVariable = "POLLIX_SMALL_DISK";

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
