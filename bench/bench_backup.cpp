// Data folder figures over 10,000 session files (about 400 MB): backing up into one zip archive
// with the progress window the data management page shows, and the system calls that write it
// (write, pwrite64 and lseek, counted by strace in a process of its own doing the same backup,
// and the same for a restore); the teacher's Restore of such an
// archive as that page runs it (keeping the data it replaces), over 500 and 10,000 sessions,
// beside unzip(1) of the same archive on the same disk; the gradebook's session picker for one
// class and term and over every session; loading one session by ID. The folder's lock is held, as
// the program holds it, so that each step asks it as in the program. The backup and the restore
// tell the process's peak memory so far (peak_MB).
#include "core/app/Orvenda_AppDelegate.h"
#include "core/app/zipHelper.h"
#include "core/store/DataManager.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "platform/FolderWork.h"
#include "platform/InstanceLock.h"
#include "platform/Singleton.h"
#include "ui/app/DataManagementCtrl.h"
#include "ui/controls/DialogHooks.h"
#include "ui/controls/ProgressControl.h"

#include "BenchSession.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>

#include <sys/resource.h>
#include <unistd.h>

namespace {
constexpr int kSessionFiles = 10000;
constexpr int kClasses = 20;

// A session of 30 students and 12 questions, all answered: about 40 kB on disk.
QByteArray sessionTemplate()
{
    QuizEntity quiz = benchSession(30, 12);
    quiz.setMachineName(QStringLiteral("3"));
    quiz.setClassName(QStringLiteral("@CLASS@"));
    quiz.setSubject(QStringLiteral("Science"));
    quiz.setTeacherName(QStringLiteral("Ada Park"));
    quiz.setSessionType(QStringLiteral("Quiz"));
    quiz.setStartTime(QStringLiteral("@START@"));
    QString path;
    TovQuizXmlDatabase().addQuizWithName(QStringLiteral("Seed"), quiz, &path);
    const QString id = GlobalFunctions::getIDOfXmlQuizFile(path);
    QFile seed(path);
    seed.open(QIODevice::ReadOnly);
    const QByteArray bytes = seed.readAll();
    seed.close();
    QFile::remove(path);
    // Each copy gets an ID of its own.
    return QByteArray(bytes).replace(id.toUtf8(), "@ID@");
}

// A school's data folder after some years: sessions of 20 classes, one a day in turn.
struct DataFolder
{
    QTemporaryDir dir;
    Orvenda_AppDelegate app{dir.path()};
    InstanceLock lock{dir.path(), dir.path() + QStringLiteral("/Data")};
    qint64 bytes = 0;

    explicit DataFolder(int sessions)
    {
        Orvenda_AppDelegate::setAppDelegate(&app);
        QDir().mkpath(home() + QStringLiteral("Data/Quiz"));
        QDir().mkpath(home() + QStringLiteral("Data/CourseGrade"));
        QDir().mkpath(home() + QStringLiteral("Data/Classes"));
        lock.take();
        const QByteArray seed = sessionTemplate();
        const QDate first(2012, 1, 1);
        for (int i = 0; i < sessions; ++i) {
            const QString day = first.addDays(i / kClasses).toString(QStringLiteral("yyyy-MM-dd"));
            QByteArray bytes = seed;
            bytes.replace("@CLASS@", QStringLiteral("Class %1").arg(i % kClasses).toUtf8());
            bytes.replace("@START@", (day + QStringLiteral("T09:00:00")).toUtf8());
            bytes.replace("@ID@", QStringLiteral("b3c4-%1").arg(i).toUtf8());
            QFile f(home() + QStringLiteral("Data/Quiz/Session %1 %2.xml").arg(i).arg(day));
            f.open(QIODevice::WriteOnly);
            this->bytes += f.write(bytes);
        }
    }
    QString home() const { return dir.path() + QLatin1Char('/'); }
};

// One folder of each size, made once; the one asked for becomes the program's folder, its
// stores loaded anew.
DataFolder &folder(int sessions = kSessionFiles)
{
    static std::map<int, std::unique_ptr<DataFolder>> made;
    static int current = 0;
    std::unique_ptr<DataFolder> &f = made[sessions];
    if (!f)
        f = std::make_unique<DataFolder>(sessions);
    if (current != sessions) {
        SingletonRegistry::resetAll();
        Orvenda_AppDelegate::setAppDelegate(&f->app);
        current = sessions;
    }
    return *f;
}

// The calls that write a file (and move in it) that one piece of work makes, in a process of its
// own run under strace: "backup" or "restore" (as the page runs it) of the data folder home, with
// archive. A process of its own, since strace -c counts a whole process; what the start of that
// process writes besides is a few calls. None (-1 each) without strace.
struct WriteCalls
{
    qint64 write = -1, pwrite = -1, lseek = -1;
};

WriteCalls writeCallsOf(const QString &work, DataFolder &data, const QString &archive)
{
    QTemporaryDir dir;
    const QString summary = dir.path() + QStringLiteral("/calls");
    // The folder is the child's while it works, as it is the program's.
    data.lock.release();
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QStringLiteral("strace"),
                {QStringLiteral("-f"), QStringLiteral("-qq"), QStringLiteral("-c"), QStringLiteral("-e"),
                 QStringLiteral("trace=write,pwrite64,lseek"), QStringLiteral("-o"), summary, QCoreApplication::applicationFilePath(),
                 QStringLiteral("--write-calls-of"), work, data.dir.path(), archive});
    const bool ran = child.waitForFinished(-1) && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
    data.lock.take();
    WriteCalls out;
    QFile table(summary);
    if (!ran || !table.open(QIODevice::ReadOnly))
        return out;
    // strace -c: "% time  seconds  usecs/call  calls  [errors]  syscall", one line a call.
    for (const QString &line : QString::fromUtf8(table.readAll()).split(QLatin1Char('\n'))) {
        const QStringList cells = line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        if (cells.size() < 5)
            continue;
        const qint64 calls = cells.at(3).toLongLong();
        if (cells.last() == QLatin1String("write"))
            out.write = calls;
        else if (cells.last() == QLatin1String("pwrite64"))
            out.pwrite = calls;
        else if (cells.last() == QLatin1String("lseek"))
            out.lseek = calls;
    }
    // A call strace saw none of is no line of the table.
    for (qint64 *calls : {&out.write, &out.pwrite, &out.lseek})
        *calls = std::max<qint64>(*calls, 0);
    return out;
}

// The most memory this process has held so far, in MB, as GNU time -v tells it (its maximum
// resident set): a backup or a restore of 10,000 sessions keeps it under 128 MB, whatever the
// number of sessions. Cumulative: the benchmark run alone (--benchmark_filter) tells its own.
double peakMegabytes()
{
    struct rusage usage{};
    return ::getrusage(RUSAGE_SELF, &usage) == 0 ? double(usage.ru_maxrss) / 1024 : -1;
}

void reportWriteCalls(benchmark::State &state, const char *what, const WriteCalls &calls)
{
    state.counters["write_calls"] = double(calls.write);
    state.counters["pwrite_calls"] = double(calls.pwrite);
    state.counters["lseek_calls"] = double(calls.lseek);
    if (calls.write < 0)
        std::printf("%s: strace could not count its calls\n", what);
    else
        std::printf("%s: %lld write, %lld pwrite64, %lld lseek calls\n", what, static_cast<long long>(calls.write),
                    static_cast<long long>(calls.pwrite), static_cast<long long>(calls.lseek));
}

// The child's side of writeCallsOf: the work alone, on the folder made by its parent.
int doWriteCallsOf(const QString &work, const QString &home, const QString &archive)
{
    Orvenda_AppDelegate app(home);
    Orvenda_AppDelegate::setAppDelegate(&app);
    InstanceLock lock(home, home + QStringLiteral("/Data"));
    lock.take();
    bool ok = false;
    if (work == QLatin1String("backup")) {
        ok = zipHelper().backupFilTo(archive);
    } else {
        DialogHooks::setFileResponder([&](const FileDialogRequest &) { return archive; });
        QString report;
        DialogHooks::setAlertResponder([&](const AlertRequest &alert) {
            report = alert.text;
            return 0; // "Restore", then "OK"
        });
        DataManagementCtrl page;
        page.doRecover();
        FolderWork::waitUntilIdle();
        ok = report == QLatin1String("Successfully recover.");
    }
    lock.release();
    return ok ? 0 : 1;
}

void BM_BackupTenThousandSessions(benchmark::State &state)
{
    DataFolder &data = folder();
    QTemporaryDir out;
    const QString archive = out.path() + QStringLiteral("/backup.zip");
    for (auto _ : state) {
        QString why;
        const bool ok = ProgressControl::runWithProgress(nullptr, [&](const ProgressControl::Progress &progress) {
            return zipHelper().backupFilTo(archive, &why, progress);
        });
        if (!ok)
            state.SkipWithError(why.toUtf8().constData());
    }
    state.counters["data_MB"] = double(data.bytes) / 1e6;
    state.counters["archive_MB"] = double(QFileInfo(archive).size()) / 1e6;
    state.counters["MB_per_s"] = benchmark::Counter(double(data.bytes) / 1e6, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["peak_MB"] = peakMegabytes();
    reportWriteCalls(state, "backup of 10,000 sessions", writeCallsOf(QStringLiteral("backup"), data, archive));
}
BENCHMARK(BM_BackupTenThousandSessions)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

// One session grown near the 64 MB a data file may hold (1,000 students answering 540 questions,
// about 60 MB), made by a process of its own (--large-session), so that what this process holds
// is the work's alone: the backup of the data folder holding it (range 0), or the teacher's
// Restore of its backup (range 1, the archive too written by another process). Each run alone
// (--benchmark_filter=BM_OneLargeSession/0, then /1) tells its own peak_MB.
void BM_OneLargeSession(benchmark::State &state)
{
    const bool restore = state.range(0) == 1;
    QTemporaryDir dir;
    const QString home = dir.path(), archive = home + QStringLiteral("/large.zip");
    const auto child = [&](const QStringList &arguments) {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedChannels);
        process.start(QCoreApplication::applicationFilePath(), arguments);
        return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    };
    if (!child({QStringLiteral("--large-session"), home}) ||
        (restore && !child({QStringLiteral("--write-calls-of"), QStringLiteral("backup"), home, archive}))) {
        state.SkipWithError("the large session or its backup could not be made");
        return;
    }
    SingletonRegistry::resetAll();
    Orvenda_AppDelegate app(home);
    Orvenda_AppDelegate::setAppDelegate(&app);
    InstanceLock lock(home, home + QStringLiteral("/Data"));
    lock.take();
    const double before = peakMegabytes();
    qint64 largest = 0;
    for (const QFileInfo &file : QDir(home + QStringLiteral("/Data/Quiz")).entryInfoList(QDir::Files))
        largest = std::max(largest, file.size());
    QStringList reports;
    for (auto _ : state) {
        if (!restore) {
            QString why;
            if (!zipHelper().backupFilTo(archive, &why))
                state.SkipWithError(why.toUtf8().constData());
            continue;
        }
        DialogHooks::setFileResponder([&](const FileDialogRequest &) { return archive; });
        DialogHooks::setAlertResponder([&](const AlertRequest &alert) {
            reports << alert.text + QLatin1Char(' ') + alert.informativeText;
            return 0; // "Restore", then "OK"
        });
        DataManagementCtrl page;
        page.doRecover();
        FolderWork::waitUntilIdle();
        DialogHooks::setFileResponder({});
        DialogHooks::setAlertResponder({});
        if (reports.size() != 2 || !reports.last().startsWith(QStringLiteral("Successfully recover.")))
            state.SkipWithError(reports.join(QStringLiteral(" / ")).toUtf8().constData());
    }
    lock.release();
    Orvenda_AppDelegate::setAppDelegate(nullptr);
    state.counters["file_MB"] = double(largest) / 1e6;
    state.counters["start_MB"] = before;
    state.counters["peak_MB"] = peakMegabytes();
    std::printf("%s of one session of %.1f MB: peak %.0f MB (%.0f MB before it)\n", restore ? "restore" : "backup",
                double(largest) / 1e6, peakMegabytes(), before);
}
BENCHMARK(BM_OneLargeSession)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// The child's side of BM_OneLargeSession: the data folder home with that one session.
int doLargeSession(const QString &home)
{
    Orvenda_AppDelegate app(home);
    Orvenda_AppDelegate::setAppDelegate(&app);
    for (const char *folder : {"Data/Quiz", "Data/CourseGrade", "Data/Classes"})
        QDir().mkpath(home + QLatin1Char('/') + QLatin1String(folder));
    InstanceLock lock(home, home + QStringLiteral("/Data"));
    lock.take();
    QuizEntity quiz = benchSession(1000, 540);
    const bool made = TovQuizXmlDatabase().addQuizWithName(QStringLiteral("Large"), quiz);
    lock.release();
    Orvenda_AppDelegate::setAppDelegate(nullptr);
    return made ? 0 : 1;
}

// unzip(1) on the same archive into an empty folder beside the data folder (the same disk), in
// milliseconds: the yardstick for a restore, which reads every entry with its store's reader
// besides unpacking it. Negative without unzip.
double unzipMilliseconds(const QString &archive, const QString &besideData)
{
    QTemporaryDir target(besideData + QStringLiteral("/unzip-XXXXXX"));
    // What other programs left unwritten on the disk is no part of either time.
    ::sync();
    QProcess unzip;
    QElapsedTimer timer;
    timer.start();
    // -o: the backup stores each session twice; the second copy replaces the first.
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-qq"), QStringLiteral("-o"), archive, QStringLiteral("-d"), target.path()});
    if (!unzip.waitForFinished(-1) || unzip.exitStatus() != QProcess::NormalExit || unzip.exitCode() > 1)
        return -1;
    return double(timer.nsecsElapsed()) / 1e6;
}

// The teacher's Restore, as the data management page runs it: the archive chosen, "Restore"
// answered, the data replaced (those replaced kept in Backups), the stores loaded again, up to the
// report; beside unzip(1) of the same archive on the same disk. The kept data are made ready
// (archived) between rounds, outside the time, and their time is told apart.
void BM_TeachersRestore(benchmark::State &state)
{
    DataFolder &data = folder(int(state.range(0)));
    QTemporaryDir out(data.home() + QStringLiteral("archive-XXXXXX"));
    const QString archive = out.path() + QStringLiteral("/backup.zip");
    zipHelper().backupFilTo(archive);
    DialogHooks::setFileResponder([&](const FileDialogRequest &) { return archive; });
    QStringList reports;
    DialogHooks::setAlertResponder([&](const AlertRequest &alert) {
        reports << alert.text + QLatin1Char(' ') + alert.informativeText;
        return 0; // "Restore", then "OK"
    });
    double restoreMs = 0, readyMs = 0;
    int rounds = 0;
    for (auto _ : state) {
        QDir(data.home() + QStringLiteral("Backups")).removeRecursively();
        reports.clear();
        ::sync();
        QElapsedTimer timer;
        timer.start();
        DataManagementCtrl page;
        page.doRecover();
        restoreMs += double(timer.nsecsElapsed()) / 1e6;
        FolderWork::waitUntilIdle();
        readyMs += double(timer.nsecsElapsed()) / 1e6;
        ++rounds;
        if (reports.size() != 2 || !reports.last().startsWith(QStringLiteral("Successfully recover.")))
            state.SkipWithError(reports.join(QStringLiteral(" / ")).toUtf8().constData());
        else if (QDir(data.home() + QStringLiteral("Backups")).entryList({QStringLiteral("*.zip")}, QDir::Files).size() != 1)
            state.SkipWithError("the replaced data were not kept as an archive");
    }
    DialogHooks::setFileResponder({});
    DialogHooks::setAlertResponder({});
    // As many rounds of unzip as of the restore, both on the same disk.
    double unzipMs = 0;
    for (int i = 0; i < rounds && unzipMs >= 0; ++i) {
        const double ms = unzipMilliseconds(archive, data.dir.path());
        unzipMs = ms < 0 ? ms : unzipMs + ms / rounds;
    }
    state.counters["files"] = double(DataManager::getAllFileNames().value_or(QStringList()).size());
    state.counters["peak_MB"] = peakMegabytes();
    // The restore's own calls, the archive of the data it replaced included, once more alone.
    QDir(data.home() + QStringLiteral("Backups")).removeRecursively();
    reportWriteCalls(state, state.range(0) == kSessionFiles ? "restore of 10,000 sessions" : "restore of 500 sessions",
                     writeCallsOf(QStringLiteral("restore"), data, archive));
    state.counters["unzip_ms"] = unzipMs;
    state.counters["kept_archive_ready_ms"] = readyMs / std::max(rounds, 1);
    if (unzipMs > 0 && rounds > 0) {
        state.counters["restore_per_unzip"] = restoreMs / rounds / unzipMs;
        std::printf("%d sessions: restore %.0f ms, unzip of the same archive %.0f ms: %.2f x unzip's time "
                    "(the replaced data archived %.0f ms after the start)\n",
                    int(state.range(0)), restoreMs / rounds, unzipMs, restoreMs / rounds / unzipMs, readyMs / rounds);
    }
}
BENCHMARK(BM_TeachersRestore)->Arg(500)->Arg(kSessionFiles)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The picker's rows for one of the 20 classes over a range of days.
void pickOneClass(benchmark::State &state, const QString &from, const QString &to)
{
    folder();
    qsizetype rows = 0;
    for (auto _ : state)
        rows = DataManager::getAllQuizsWhereClassName(QStringLiteral("Class 3"), QStringLiteral("Science"),
                                                      QStringLiteral("Ada Park"), from, to)
                   .value_or(QList<SessionSelect>())
                   .size();
    state.counters["rows"] = double(rows);
}
BENCHMARK_CAPTURE(pickOneClass, OneTerm, QStringLiteral("2012-09-01"), QStringLiteral("2012-12-31"))
    ->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK_CAPTURE(pickOneClass, EveryDay, QStringLiteral("2012-01-01"), QStringLiteral("2099-12-31"))
    ->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_LoadOneSessionById(benchmark::State &state)
{
    folder();
    // Every file is probed; one matches.
    const QString id = QStringLiteral("b3c4-%1").arg(kSessionFiles / 2);
    for (auto _ : state)
        benchmark::DoNotOptimize(DataManager::getQuizWhereActNoIs(id));
}
BENCHMARK(BM_LoadOneSessionById)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && QByteArray(argv[1]) == "--large-session") {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        return doLargeSession(QString::fromLocal8Bit(argv[2]));
    }
    if (argc == 5 && QByteArray(argv[1]) == "--write-calls-of") {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        return doWriteCallsOf(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]), QString::fromLocal8Bit(argv[4]));
    }
    return runGuiBenchmarks(argc, argv);
}
