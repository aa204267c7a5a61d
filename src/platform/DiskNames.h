#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

#include <sys/types.h>

// The disk that holds a folder in a teacher's words ("a disk formatted as exFAT", "a Windows
// share (SMB)"), for the alerts that refuse it. The kernel's own kind of file system says it for
// most disks; a disk mounted through FUSE (mount.exfat-fuse, ntfs-3g, fusefat) reports only
// "FUSE" there, and is known by its mount instead: the kind the mount table gives it
// ("fuse.exfat"), or, for a block device mounted without one ("fuseblk"), the file system udev
// found on that device.
namespace DiskNames {

// The file system udev found on the block device ("exfat", "vfat"); empty when it does not say.
using BlockFileSystem = std::function<QString(dev_t device)>;

// magic: the file system's magic number (statfs); mountInfo: the mount table as
// /proc/self/mountinfo gives it; device: the device the folder lies on (stat's st_dev). Empty
// when the disk is of no kind a teacher would know by name.
QString describe(quint32 magic, const QByteArray &mountInfo, dev_t device, const BlockFileSystem &blockFileSystem);

// The same for the folder open at fd, from this system's own tables.
QString describeFolder(int fd);

} // namespace DiskNames
