#include "ContentHash.h"

#include "RegularFile.h"
#include "Uninterrupted.h"

#include <QFile>
#include <QHash>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <iterator>
#include <memory>
#include <mutex>

#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

// The library picks the widest vector unit the processor has when it is first called.
#include <xxh_x86dispatch.h>

namespace {
constexpr qsizetype kDigits = 32;
constexpr qint64 kNsPerSecond = 1'000'000'000;
// Not among the kernel's own names: the file system is not part of it.
constexpr __fsword_t kZfsMagic = 0x2FC12FC1;

struct Noted
{
    ContentHash::Stamp stamp;
    QByteArray digest;
};
std::mutex g_notedMutex;
QHash<QString, Noted> g_noted;
// The files a teacher saves again and again (the roster, a class, the gradebook) are few; many
// more are saved once. The notes are dropped together when they grow past this.
constexpr qsizetype kMostNoted = 1024;

// Set by tests only: a stamp taken is not held up by a lock for it.
std::atomic<bool> g_loose{false};
std::atomic<bool> g_wholeSeconds{false};
std::mutex g_looseMutex;
std::function<void(ContentHash::Stamp &)> g_restamp;

std::function<void(ContentHash::Stamp &)> restamp()
{
    if (!g_loose.load(std::memory_order_acquire))
        return {};
    std::lock_guard lock(g_looseMutex);
    return g_restamp;
}

QByteArray text(const XXH128_hash_t &hash)
{
    XXH128_canonical_t canonical;
    XXH128_canonicalFromHash(&canonical, hash);
    return QByteArray(reinterpret_cast<const char *>(canonical.digest), sizeof canonical.digest).toHex();
}
} // namespace

namespace ContentHash {

QByteArray of(QByteArrayView bytes)
{
    return text(XXH3_128bits(bytes.data(), size_t(bytes.size())));
}

std::optional<QByteArray> ofFile(const QString &path, QString *why)
{
    QFile file;
    if (!RegularFile::open(file, path, why))
        return std::nullopt;
    if (file.size() > RegularFile::kWholeLimit) {
        if (why)
            *why = QStringLiteral("it is larger than %1").arg(RegularFile::sizeText(RegularFile::kWholeLimit));
        return std::nullopt;
    }
    return ofDescriptor(file.handle(), why);
}

std::optional<QByteArray> ofDescriptor(int fd, QString *why)
{
    const std::unique_ptr<XXH3_state_t, XXH_errorcode (*)(XXH3_state_t *)> state(XXH3_createState(), XXH3_freeState);
    if (!state) {
        if (why)
            *why = QString::fromLocal8Bit(std::strerror(ENOMEM));
        return std::nullopt;
    }
    XXH3_128bits_reset(state.get());
    // A piece at a time, so that no memory is taken for the file's size.
    char piece[1 << 16];
    qint64 total = 0;
    for (;;) {
        const ssize_t n = Uninterrupted::call([&] { return ::read(fd, piece, sizeof piece); });
        if (n < 0) {
            if (why)
                *why = QString::fromLocal8Bit(std::strerror(errno));
            return std::nullopt;
        }
        if (n == 0)
            break;
        total += n;
        if (total > RegularFile::kWholeLimit) {
            if (why)
                *why = QStringLiteral("it is larger than %1").arg(RegularFile::sizeText(RegularFile::kWholeLimit));
            return std::nullopt;
        }
        XXH3_128bits_update(state.get(), piece, size_t(n));
    }
    return text(XXH3_128bits_digest(state.get()));
}

bool isDigest(QByteArrayView text)
{
    if (text.size() != kDigits)
        return false;
    for (const char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

std::optional<Stamp> stampOf(const QString &path)
{
    struct stat st{};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return stampOf(st);
}

Stamp stampOf(const struct stat &st)
{
    const bool whole = g_wholeSeconds.load(std::memory_order_acquire);
    Stamp stamp{quint64(st.st_dev), quint64(st.st_ino), quint64(st.st_size),
                qint64(st.st_mtim.tv_sec) * kNsPerSecond + (whole ? 0 : st.st_mtim.tv_nsec),
                qint64(st.st_ctim.tv_sec) * kNsPerSecond + (whole ? 0 : st.st_ctim.tv_nsec)};
    if (const auto loose = restamp())
        loose(stamp);
    return stamp;
}

bool sameFileAndBytes(const struct stat &a, const struct stat &b, bool timeVouches)
{
    return stampOf(a).sameFileAndBytes(stampOf(b), timeVouches);
}

bool settledBefore(const Stamp &stamp, qint64 startedNs)
{
    // A disk's clock steps in a second at most (those that step in two, as FAT, are no disk
    // stampsExactOn vouches for).
    if (stamp.changedNs % kNsPerSecond == 0)
        return stamp.changedNs / kNsPerSecond < startedNs / kNsPerSecond;
    return stamp.changedNs < startedNs;
}

namespace {
bool isLocalDisk(const struct statfs &disk)
{
    // Local disks that date changes by this computer's clock, to the nanosecond or (an ext4 of
    // 128-byte inodes, an overlay on one) to the second; any other is taken for one that may not.
    static constexpr __fsword_t kLocal[] = {EXT4_SUPER_MAGIC, XFS_SUPER_MAGIC, BTRFS_SUPER_MAGIC, TMPFS_MAGIC,
                                            F2FS_SUPER_MAGIC, OVERLAYFS_SUPER_MAGIC, kZfsMagic};
    return std::find(std::begin(kLocal), std::end(kLocal), disk.f_type) != std::end(kLocal) && !restamp();
}

// folder: what stat tells of a folder (or file) of a local disk.
bool keepsFractionsOfSeconds(const struct stat &folder)
{
    // A disk that keeps no fraction of a second gives none to any stamp; a finer one gives the
    // folder's change time a fraction but for a change made right on a second. Looked at each
    // time (a look at a folder held open on a local disk costs next to nothing), never kept by
    // device: a disk put where another was may have the other's device number.
    const Stamp stamp = stampOf(folder);
    return stamp.changedNs % kNsPerSecond != 0 || stamp.modifiedNs % kNsPerSecond != 0;
}
} // namespace

bool stampsExactOn(int fd)
{
    struct statfs disk{};
    struct stat folder{};
    return ::fstatfs(fd, &disk) == 0 && isLocalDisk(disk) && ::fstat(fd, &folder) == 0 && keepsFractionsOfSeconds(folder);
}

bool stampsExactAt(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    struct statfs disk{};
    struct stat folder{};
    return ::statfs(native.constData(), &disk) == 0 && isLocalDisk(disk) && ::stat(native.constData(), &folder) == 0 &&
           keepsFractionsOfSeconds(folder);
}

void setLooseDisksForTesting(std::function<void(Stamp &)> restamp)
{
    std::lock_guard lock(g_looseMutex);
    g_loose.store(bool(restamp), std::memory_order_release);
    g_restamp = std::move(restamp);
}

void setWholeSecondsForTesting(bool whole)
{
    g_wholeSeconds.store(whole, std::memory_order_release);
}

void remember(const QString &path, const Stamp &stamp, const QByteArray &digest)
{
    std::lock_guard lock(g_notedMutex);
    if (g_noted.size() >= kMostNoted && !g_noted.contains(path))
        g_noted.clear();
    g_noted.insert(path, {stamp, digest});
}

std::optional<QByteArray> remembered(const QString &path, const Stamp &stamp)
{
    std::lock_guard lock(g_notedMutex);
    const auto it = g_noted.constFind(path);
    if (it == g_noted.constEnd() || !(it->stamp == stamp))
        return std::nullopt;
    return it->digest;
}

} // namespace ContentHash
