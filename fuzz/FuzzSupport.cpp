#include "FuzzSupport.h"

#include "core/app/Orvenda_AppDelegate.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

struct State
{
    // Never deleted: Qt's own globals may be gone by the time static objects are destroyed.
    QGuiApplication *app = nullptr;
    std::unique_ptr<QTemporaryDir> home;
    std::unique_ptr<QTemporaryDir> scratch;
    std::unique_ptr<Orvenda_AppDelegate> delegate;
};

State &state()
{
    static State s;
    return s;
}

// A memory file system keeps the readers that write (restore, import) off the disk.
QString temporaryRoot()
{
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    if (shm.isDir() && shm.isWritable())
        return shm.filePath();
    return QDir::tempPath();
}

void writeSeeds(const QString &folder)
{
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "fuzz: cannot make %s\n", qPrintable(folder));
        std::exit(1);
    }
    const QList<QByteArray> seeds = fuzzSeeds();
    for (const QByteArray &seed : seeds) {
        // Named by content, as libFuzzer names its corpus files, so a second run adds nothing twice.
        const QString name = QString::fromLatin1(QCryptographicHash::hash(seed, QCryptographicHash::Sha1).toHex());
        QFile f(QDir(folder).filePath(name));
        if (!f.open(QIODevice::WriteOnly) || f.write(seed) != seed.size()) {
            std::fprintf(stderr, "fuzz: cannot write %s\n", qPrintable(f.fileName()));
            std::exit(1);
        }
    }
    std::printf("fuzz: %d seeds in %s\n", int(seeds.size()), qPrintable(folder));
    std::exit(seeds.isEmpty() ? 1 : 0);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    State &s = state();
    if (s.app)
        return 0;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("POLLIX_NO_UDEV", "1");
    qunsetenv("POLLIX_SERIAL_PORTS");
    // Rejected inputs are the common case; their log lines would drown libFuzzer's own.
    qputenv("QT_LOGGING_RULES", "*=false");
    QLoggingCategory::setFilterRules(QStringLiteral("*=false"));
    s.app = new QGuiApplication(*argc, *argv);

    const QString root = temporaryRoot();
    s.home = std::make_unique<QTemporaryDir>(root + QStringLiteral("/pollix-fuzz-home-XXXXXX"));
    s.scratch = std::make_unique<QTemporaryDir>(root + QStringLiteral("/pollix-fuzz-input-XXXXXX"));
    if (!s.home->isValid() || !s.scratch->isValid()) {
        std::fprintf(stderr, "fuzz: no temporary folder in %s\n", qPrintable(root));
        std::exit(1);
    }
    qputenv("POLLIX_HOME", s.home->path().toUtf8());
    s.delegate = std::make_unique<Orvenda_AppDelegate>(s.home->path());
    Orvenda_AppDelegate::setAppDelegate(s.delegate.get());
    QDir().mkpath(s.delegate->strDataFilePath());

    const QString seedFolder = qEnvironmentVariable("POLLIX_FUZZ_WRITE_SEEDS");
    if (!seedFolder.isEmpty())
        writeSeeds(seedFolder);
    return 0;
}

namespace Fuzz {

QString home()
{
    return state().home->path() + QLatin1Char('/');
}

QString inputFile(const uint8_t *data, size_t size, const QString &name)
{
    const QString path = state().scratch->filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || f.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size)) {
        std::fprintf(stderr, "fuzz: cannot write the input to %s\n", qPrintable(path));
        std::abort();
    }
    return path;
}

void clearDataFolder()
{
    const QString data = state().delegate->strDataFilePath();
    QDir(data).removeRecursively();
    QDir().mkpath(data);
}

QStringList testDataPaths(const QStringList &suffixes, const QByteArray &mustContain)
{
    QStringList out;
    QDirIterator it(QStringLiteral(POLLIX_TEST_DATA_DIR), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        bool wanted = false;
        for (const QString &suffix : suffixes)
            wanted = wanted || path.endsWith(suffix, Qt::CaseInsensitive);
        if (!wanted)
            continue;
        if (!mustContain.isEmpty()) {
            QFile f(path);
            if (!f.open(QIODevice::ReadOnly) || !f.readAll().contains(mustContain))
                continue;
        }
        out << path;
    }
    out.sort();
    return out;
}

QList<QByteArray> testDataFiles(const QStringList &suffixes, const QByteArray &mustContain)
{
    QList<QByteArray> out;
    for (const QString &path : testDataPaths(suffixes, mustContain)) {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly))
            out << f.readAll();
    }
    return out;
}

} // namespace Fuzz
