#include "BackupArchive.h"

#include "core/store/DataFolderLayout.h"
#include "platform/Log.h"

#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {
bool fail(QString *errorText, const QString &why)
{
    if (errorText)
        *errorText = why;
    PollixLog(why);
    return false;
}

bool refuseArchive(QString *errorText, const QString &archiveName, const QString &why)
{
    return fail(errorText, QStringLiteral("%1 is not a backup of the data folder: %2.").arg(archiveName, why));
}

// Holds the bytes the readers have in hand below a bound, so that memory stays bounded whatever
// the archive holds; an entry larger than the bound waits to be read alone.
class ByteBudget
{
public:
    explicit ByteBudget(quint64 bound) : m_free(bound), m_bound(bound) {}
    quint64 take(quint64 wanted)
    {
        const quint64 n = std::min(wanted, m_bound);
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_free >= n; });
        m_free -= n;
        return n;
    }
    void give(quint64 n)
    {
        {
            std::lock_guard lock(m_mutex);
            m_free += n;
        }
        m_changed.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    quint64 m_free, m_bound;
};

} // namespace

QString BackupArchive::megabytes(quint64 bytes)
{
    return QStringLiteral("%1 MB").arg(double(bytes) / 1e6, 0, 'f', bytes < 10'000'000 ? 2 : 0);
}

bool BackupArchive::open(const QString &archivePath, QString *errorText)
{
    m_archiveName = QFileInfo(archivePath).fileName();
    m_targets.clear();
    m_targetOf.clear();
    m_total = 0;
    const QString &archiveName = m_archiveName;
    ZipArchive &zip = m_zip;
    QString why;
    if (!zip.UnzipOpenFile(archivePath, &why))
        return fail(errorText, why);
    // A backup holds each file at most twice.
    const std::optional<QList<ZipArchive::Entry>> entries = zip.entries(&why, 2 * quint64(DataFolderLayout::fileLimit()));
    if (!entries)
        return fail(errorText, QStringLiteral("%1: %2.").arg(archiveName, why));
    const QStringList kept = DataFolderLayout::keptFolders();
    for (const ZipArchive::Entry &e : *entries) {
        const QString rel = ZipArchive::relativePathOf(e.name);
        const bool rootFolder = e.isFolder && e.normalisedName.count(QLatin1Char('/')) == e.normalisedName.size();
        if (rootFolder)
            continue;
        if (rel.isEmpty())
            return refuseArchive(errorText, archiveName,
                                 QStringLiteral("\"%1\" would be written outside the data folder").arg(e.name));
        QString problem = DataFolderLayout::entryNameProblem(e.name, rel, kept);
        if (problem.isEmpty() && !e.isFolder)
            problem = DataFolderLayout::nameProblem(rel);
        if (!problem.isEmpty())
            return refuseArchive(errorText, archiveName, problem);
        if (e.isFolder)
            continue;
        if (e.size > DataFolderLayout::kMaxFileSize)
            return refuseArchive(errorText, archiveName,
                                 QStringLiteral("\"%1\" is larger than a data file may be (%2 MB)")
                                     .arg(e.name).arg(DataFolderLayout::kMaxFileSize >> 20));
        const auto known = m_targetOf.constFind(rel);
        if (known == m_targetOf.constEnd()) {
            m_targetOf.insert(rel, m_targets.size());
            m_targets << Target{rel, {e}};
            m_total += e.size;
        } else {
            const ZipArchive::Entry &first = m_targets[*known].entries.first();
            if (first.size != e.size || first.crc != e.crc)
                return refuseArchive(errorText, archiveName,
                                     QStringLiteral("\"%1\" and \"%2\" land on the same file with different contents")
                                         .arg(first.name, e.name));
            m_targets[*known].entries << e;
        }
    }
    if (m_targets.isEmpty())
        return fail(errorText, QStringLiteral("%1 holds no data files.").arg(archiveName));
    if (m_targets.size() > DataFolderLayout::fileLimit())
        return refuseArchive(errorText, archiveName,
                             QStringLiteral("it holds %1 files, more than the %2 a backup may hold")
                                 .arg(m_targets.size()).arg(DataFolderLayout::fileLimit()));
    if (m_total > DataFolderLayout::kMaxTotalSize)
        return refuseArchive(errorText, archiveName,
                             QStringLiteral("its files would take %1, more than the %2 a backup may hold")
                                 .arg(megabytes(m_total), megabytes(DataFolderLayout::kMaxTotalSize)));
    return true;
}

bool BackupArchive::Staging::make(const QString &relative, QString *why)
{
    if (relative == QLatin1String(".") || folders.count(relative))
        return true;
    FolderHandle made = root.makeFolder(relative, why);
    if (!made.isOpen())
        return false;
    folders.emplace(relative, std::move(made));
    return true;
}

const FolderHandle &BackupArchive::Staging::folderOf(const QString &relative) const
{
    const auto it = folders.find(QFileInfo(relative).path());
    return it == folders.end() ? root : it->second;
}

bool BackupArchive::read(const Staging *staging, const Progress &progress, QString *errorText) const
{
    const ZipArchive &opened = m_zip;
    const QList<Target> &targets = m_targets;
    // The files all readers take at once: enough to keep every reader busy with files of the
    // usual size. A larger file is taken alone, and its reader holds many times its size while it
    // checks it, so the largest file, not this budget, sets a restore's peak.
    constexpr quint64 kInHand = 32ull << 20;
    ByteBudget budget(kInHand);
    std::atomic<qsizetype> next{0};
    std::atomic<int> done{0};
    std::atomic<bool> stop{false};
    std::mutex failureMutex;
    qsizetype failedAt = -1;
    QString failure;
    const auto failAt = [&](qsizetype i, const QString &reason) {
        std::lock_guard lock(failureMutex);
        if (failedAt < 0 || i < failedAt) {
            failedAt = i;
            failure = reason;
        }
        stop = true;
    };
    const auto worker = [&] {
        ZipArchive reader;
        QString readWhy;
        if (!reader.UnzipOpenSame(opened, &readWhy)) {
            failAt(0, readWhy);
            return;
        }
        // A few targets in a row at a time: their entries lie one after another in the archive,
        // so that each block the reader reads holds several of them.
        constexpr qsizetype kRun = 8;
        qsizetype at = 0, left = 0;
        const auto take = [&] {
            if (left == 0) {
                at = next.fetch_add(kRun);
                left = kRun;
            }
            --left;
            return at++;
        };
        for (qsizetype i = take(); i < targets.size() && !stop; i = take()) {
            const Target &t = targets.at(i);
            // The entry, its compressed bytes and a second copy to compare at most.
            const quint64 held = budget.take(3 * t.entries.first().size);
            QByteArray bytes, again;
            QString problem;
            if (!reader.readEntry(t.entries.first(), &bytes, &readWhy, DataFolderLayout::kMaxFileSize))
                problem = readWhy;
            for (qsizetype k = 1; k < t.entries.size() && problem.isEmpty(); ++k) {
                if (!reader.readEntry(t.entries.at(k), &again, &readWhy, DataFolderLayout::kMaxFileSize))
                    problem = readWhy;
                else if (again != bytes)
                    problem = QStringLiteral("\"%1\" and \"%2\" land on the same file with different contents")
                                  .arg(t.entries.first().name, t.entries.at(k).name);
            }
            again.clear();
            if (problem.isEmpty()) {
                const QString content = DataFolderLayout::contentProblem(t.relative, bytes);
                if (!content.isEmpty())
                    problem = QStringLiteral("\"%1\" cannot be read: %2").arg(t.entries.first().name, content);
            }
            if (!problem.isEmpty()) {
                budget.give(held);
                failAt(i, QStringLiteral("%1 is not a backup the program can restore: %2.").arg(m_archiveName, problem));
                return;
            }
            // Unsynced: the restore syncs the whole disk before its swap.
            if (staging && !staging->folderOf(t.relative).createFile(QFileInfo(t.relative).fileName(), bytes,
                                                                     t.entries.first().date, false, &readWhy)) {
                budget.give(held);
                failAt(i, readWhy);
                return;
            }
            budget.give(held);
            ++done;
        }
    };
    const int threads = int(std::clamp<qsizetype>(std::thread::hardware_concurrency(), 1, std::min<qsizetype>(8, targets.size())));
    const int totalSteps = int(targets.size()) + 1;
    std::mutex progressMutex;
    std::condition_variable progressed;
    int running = threads;
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t)
        pool.emplace_back([&] {
            worker();
            {
                std::lock_guard lock(progressMutex);
                --running;
            }
            progressed.notify_all();
        });
    {
        // The progress is told on the thread that runs the restore.
        std::unique_lock lock(progressMutex);
        while (running > 0) {
            progressed.wait_for(lock, std::chrono::milliseconds(50));
            if (progress && running > 0) {
                lock.unlock();
                progress(done, totalSteps);
                lock.lock();
            }
        }
    }
    for (std::thread &t : pool)
        t.join();
    if (failedAt >= 0)
        return fail(errorText, failure);
    if (progress)
        progress(done, totalSteps);
    return true;
}

BackupArchive::Sums BackupArchive::sums() const
{
    Sums out;
    for (const Target &t : m_targets)
        out.insert(t.relative, {t.entries.first().size, t.entries.first().crc});
    return out;
}
