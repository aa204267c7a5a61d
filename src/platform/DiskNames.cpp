#include "DiskNames.h"

#include <QCoreApplication>
#include <QFile>
#include <QList>
#include <QStringList>

#include <optional>

#include <libudev.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/vfs.h>

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("DiskNames", text);
}

// A kind of file system by any of the names the kernel, FUSE programs and udev give it.
QString wordsForKind(const QString &kind)
{
    const QString k = kind.toLower();
    if (k == QLatin1String("exfat") || k == QLatin1String("exfat-fuse"))
        return tr("a disk formatted as exFAT");
    if (k == QLatin1String("vfat") || k == QLatin1String("fat") || k == QLatin1String("msdos") || k == QLatin1String("fat12") ||
        k == QLatin1String("fat16") || k == QLatin1String("fat32") || k == QLatin1String("fusefat"))
        return tr("a disk formatted as FAT");
    if (k == QLatin1String("ntfs") || k == QLatin1String("ntfs3") || k == QLatin1String("ntfs-3g") ||
        k == QLatin1String("lowntfs-3g"))
        return tr("a disk formatted as NTFS");
    if (k == QLatin1String("cifs") || k == QLatin1String("smb3") || k == QLatin1String("smbfs") || k == QLatin1String("smbnetfs"))
        return tr("a Windows share (SMB)");
    if (k == QLatin1String("nfs") || k == QLatin1String("nfs4"))
        return tr("a network share (NFS)");
    return QString();
}

// The mount table escapes a space, a tab, a newline and a backslash in a path as three octal
// digits.
QString unescaped(const QByteArray &field)
{
    QByteArray out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out += char(code);
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return QString::fromUtf8(out);
}

struct Mount
{
    QString type;   // "fuseblk", "fuse.exfat"
    QString source; // "/dev/sdb1"
};

// The mount of device: every mount of one disk (bind mounts too) has its kind and source.
std::optional<Mount> mountOf(const QByteArray &mountInfo, dev_t device)
{
    for (const QByteArray &line : mountInfo.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        // id, parent, major:minor, root, mount point, options, optional fields, "-", type, source
        if (fields.size() < 9)
            continue;
        const QList<QByteArray> numbers = fields[2].split(':');
        bool majorOk = false, minorOk = false;
        if (numbers.size() != 2)
            continue;
        const uint major = numbers[0].toUInt(&majorOk), minor = numbers[1].toUInt(&minorOk);
        if (!majorOk || !minorOk || makedev(major, minor) != device)
            continue;
        const qsizetype separator = fields.indexOf(QByteArray("-"), 6);
        if (separator < 0 || separator + 2 >= fields.size())
            continue;
        return Mount{QString::fromUtf8(fields[separator + 1]), unescaped(fields[separator + 2])};
    }
    return std::nullopt;
}

QString udevFileSystem(dev_t device)
{
    udev *context = udev_new();
    if (!context)
        return QString();
    QString kind;
    if (udev_device *found = udev_device_new_from_devnum(context, 'b', device)) {
        kind = QString::fromUtf8(udev_device_get_property_value(found, "ID_FS_TYPE"));
        udev_device_unref(found);
    }
    udev_unref(context);
    return kind;
}
} // namespace

namespace DiskNames {

QString describe(quint32 magic, const QByteArray &mountInfo, dev_t device, const BlockFileSystem &blockFileSystem)
{
    switch (magic) {
    case MSDOS_SUPER_MAGIC:
        return wordsForKind(QStringLiteral("vfat"));
    case EXFAT_SUPER_MAGIC:
        return wordsForKind(QStringLiteral("exfat"));
    case 0x5346544e: // NTFS through ntfs-3g's kernel name
    case 0x7366746e: // ntfs3
        return wordsForKind(QStringLiteral("ntfs"));
    case CIFS_SUPER_MAGIC:
    case SMB2_SUPER_MAGIC:
    case SMB_SUPER_MAGIC:
        return wordsForKind(QStringLiteral("cifs"));
    case NFS_SUPER_MAGIC:
        return wordsForKind(QStringLiteral("nfs"));
    case FUSE_SUPER_MAGIC:
        break;
    default:
        return QString();
    }
    const std::optional<Mount> mount = mountOf(mountInfo, device);
    if (!mount)
        return tr("a disk mounted through FUSE");
    // "fuse.exfat": the program said what it mounts. "fuseblk" alone (mount.exfat-fuse, ntfs-3g
    // as root): the device's own file system says it, as udev found it; a program may name
    // itself as the source ("fusefat").
    const QString subtype = mount->type.section(QLatin1Char('.'), 1);
    QStringList kinds{subtype};
    if (subtype.isEmpty() && mount->type == QLatin1String("fuseblk") && blockFileSystem)
        kinds << blockFileSystem(device);
    kinds << mount->source.section(QLatin1Char('/'), -1);
    for (const QString &kind : std::as_const(kinds))
        if (const QString words = wordsForKind(kind); !kind.isEmpty() && !words.isEmpty())
            return words;
    return subtype.isEmpty() ? tr("a disk mounted through FUSE") : tr("a disk mounted through FUSE (%1)").arg(subtype);
}

QString describeFolder(int fd)
{
    struct statfs fs{};
    struct stat st{};
    if (fd < 0 || ::fstatfs(fd, &fs) != 0 || ::fstat(fd, &st) != 0)
        return QString();
    QByteArray mountInfo;
    if (quint32(fs.f_type) == FUSE_SUPER_MAGIC) {
        QFile table(QStringLiteral("/proc/self/mountinfo"));
        if (table.open(QIODevice::ReadOnly))
            mountInfo = table.readAll();
    }
    return describe(quint32(fs.f_type), mountInfo, st.st_dev, udevFileSystem);
}

} // namespace DiskNames
