#include "platform/DiskNames.h"

#include <QList>

#include <gtest/gtest.h>

#include <linux/magic.h>
#include <sys/sysmacros.h>

// A teacher knows a USB stick as exFAT or FAT, not by the kernel's "FUSE": a disk mounted through
// FUSE is named by its mount (the kind and source /proc/self/mountinfo gives it), or by the file
// system udev found on its device, and the mount is found by the device the folder lies on.
TEST(DiskNames, ADiskIsNamedAsTheTeacherKnowsItAlsoThroughFuse)
{
    // A system disk and a share listed before the stick, whose own rows differ in their
    // optional fields.
    const QByteArray others = "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw,errors=remount-ro\n"
                              "90 22 0:52 / /mnt/share rw,relatime shared:40 master:2 - fuse.sshfs t@server:/srv rw,user_id=1000\n";
    struct Row
    {
        const char *what;
        quint32 magic;
        QByteArray mountInfo;
        dev_t device;
        QString udevSays; // the file system udev found on the block device
        QString expected;
    };
    const QList<Row> rows{
        {"the kernel's FAT", MSDOS_SUPER_MAGIC, others, makedev(8, 17), {}, "a disk formatted as FAT"},
        {"the kernel's exFAT", EXFAT_SUPER_MAGIC, others, makedev(8, 17), {}, "a disk formatted as exFAT"},
        {"exFAT through FUSE with its subtype", FUSE_SUPER_MAGIC,
         others + "95 22 0:61 / /media/t/STICK rw,nosuid,nodev shared:50 - fuse.exfat /dev/sdb1 rw,user_id=1000\n",
         makedev(0, 61), {}, "a disk formatted as exFAT"},
        {"mount.exfat-fuse as root: fuseblk, the device's file system from udev", FUSE_SUPER_MAGIC,
         others + "95 22 8:17 / /media/t/STICK rw,nosuid,nodev - fuseblk /dev/sdb1 rw,user_id=0,allow_other\n",
         makedev(8, 17), "exfat", "a disk formatted as exFAT"},
        {"a FAT disk through FUSE as fuseblk", FUSE_SUPER_MAGIC,
         others + "95 22 8:33 / /media/t/CARD rw - fuseblk /dev/sdc1 rw,user_id=0\n", makedev(8, 33), "vfat",
         "a disk formatted as FAT"},
        {"a FAT program naming itself as the source", FUSE_SUPER_MAGIC,
         others + "95 22 0:63 / /media/t/CARD rw - fuse fusefat rw,user_id=1000\n", makedev(0, 63), {},
         "a disk formatted as FAT"},
        {"NTFS as fuseblk", FUSE_SUPER_MAGIC, others + "95 22 8:49 / /media/t/DISK rw - fuseblk /dev/sdd1 rw\n",
         makedev(8, 49), "ntfs", "a disk formatted as NTFS"},
        {"fuseblk whose device udev knows nothing of", FUSE_SUPER_MAGIC,
         others + "95 22 8:17 / /media/t/STICK rw - fuseblk /dev/sdb1 rw\n", makedev(8, 17), {},
         "a disk mounted through FUSE"},
        {"the mount of the folder's own device, not the first FUSE one listed", FUSE_SUPER_MAGIC,
         "80 22 0:60 / /media/t/OLD rw - fuse.exfat /dev/sde1 rw\n" + others, makedev(0, 52), {},
         "a disk mounted through FUSE (sshfs)"},
        {"a mount point with a space in it", FUSE_SUPER_MAGIC,
         others + "95 22 0:61 / /media/t/MY\\040STICK rw shared:7 - fuse.exfat /dev/sdb1 rw\n", makedev(0, 61), {},
         "a disk formatted as exFAT"},
        {"no row for the device", FUSE_SUPER_MAGIC, others, makedev(0, 99), {}, "a disk mounted through FUSE"},
        {"a Windows share", CIFS_SUPER_MAGIC, others, makedev(0, 70), {}, "a Windows share (SMB)"},
        {"a disk with a Linux file system", EXT4_SUPER_MAGIC, others, makedev(8, 1), {}, ""},
    };
    for (const Row &row : rows) {
        int asked = 0;
        const QString said = DiskNames::describe(row.magic, row.mountInfo, row.device, [&](dev_t device) {
            ++asked;
            EXPECT_EQ(device, row.device) << row.what;
            return row.udevSays;
        });
        EXPECT_EQ(said, row.expected) << row.what;
        EXPECT_LE(asked, 1) << row.what;
    }
}
