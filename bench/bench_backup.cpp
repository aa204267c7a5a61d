// Data folder figures over 10,000 session files (about 400 MB): backing up into one zip archive
// with the progress window the data management page shows; the teacher's Restore of such an
// archive as that page runs it (keeping the data it replaces), over 500 and 10,000 sessions,
// beside unzip(1) of the same archive on the same disk; the gradebook's session picker for one
// class and term and over every session; loading one session by ID. The folder's lock is held, as
// the program holds it, so that each step asks it as in the program.
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
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>

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
}
BENCHMARK(BM_BackupTenThousandSessions)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

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
    return runGuiBenchmarks(argc, argv);
}
