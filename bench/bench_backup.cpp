// Data folder figures over 10,000 session files (about 400 MB): backing up into one zip archive and
// restoring it, each with the progress window the data management page shows, the restore beside
// unzip(1) on the same archive; the gradebook's
// session picker for one class and term and over every session; loading one session by ID.
#include "core/app/Orvenda_AppDelegate.h"
#include "core/app/zipHelper.h"
#include "core/store/DataManager.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/TovQuizXmlDatabase.h"
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

#include <cstdio>
#include <memory>

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
    qint64 bytes = 0;

    DataFolder()
    {
        Orvenda_AppDelegate::setAppDelegate(&app);
        QDir().mkpath(home() + QStringLiteral("Data/Quiz"));
        QDir().mkpath(home() + QStringLiteral("Data/CourseGrade"));
        QDir().mkpath(home() + QStringLiteral("Data/Classes"));
        const QByteArray seed = sessionTemplate();
        const QDate first(2012, 1, 1);
        for (int i = 0; i < kSessionFiles; ++i) {
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

DataFolder &folder()
{
    static std::unique_ptr<DataFolder> f = std::make_unique<DataFolder>();
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

// unzip(1) on the same archive into an empty folder, in milliseconds: the yardstick for a restore,
// which reads every entry with its store's reader besides unpacking it. Negative without unzip.
double unzipMilliseconds(const QString &archive)
{
    QTemporaryDir target;
    QProcess unzip;
    QElapsedTimer timer;
    timer.start();
    // -o: the backup stores each session twice; the second copy replaces the first.
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-qq"), QStringLiteral("-o"), archive, QStringLiteral("-d"), target.path()});
    if (!unzip.waitForFinished(-1) || unzip.exitStatus() != QProcess::NormalExit || unzip.exitCode() > 1)
        return -1;
    return double(timer.nsecsElapsed()) / 1e6;
}

void BM_RestoreTenThousandSessions(benchmark::State &state)
{
    DataFolder &data = folder();
    QTemporaryDir out;
    const QString archive = out.path() + QStringLiteral("/backup.zip");
    zipHelper().backupFilTo(archive);
    double restoreMs = 0;
    int rounds = 0;
    for (auto _ : state) {
        QString why;
        QElapsedTimer timer;
        timer.start();
        const bool ok = ProgressControl::runWithProgress(nullptr, [&](const ProgressControl::Progress &progress) {
            return zipHelper().recoverFileFrom(archive, &why, progress);
        });
        restoreMs += double(timer.nsecsElapsed()) / 1e6;
        ++rounds;
        if (!ok)
            state.SkipWithError(why.toUtf8().constData());
    }
    const double unzipMs = unzipMilliseconds(archive);
    state.counters["files"] = double(DataManager::getAllFileNames().value_or(QStringList()).size());
    state.counters["MB_per_s"] = benchmark::Counter(double(data.bytes) / 1e6, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["unzip_ms"] = unzipMs;
    if (unzipMs > 0 && rounds > 0) {
        state.counters["restore_per_unzip"] = restoreMs / rounds / unzipMs;
        std::printf("restore %.0f ms, unzip of the same archive %.0f ms: %.2f x unzip's time\n", restoreMs / rounds,
                    unzipMs, restoreMs / rounds / unzipMs);
    }
}
BENCHMARK(BM_RestoreTenThousandSessions)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

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
