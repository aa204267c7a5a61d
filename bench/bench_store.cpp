// Store figures: listing a data folder of 10,000 session files through the fast index (headers
// only), and writing (and reading back) one session of 400 students and 100 questions.
#include "core/app/Orvenda_AppDelegate.h"
#include "core/store/TovFastQuizXmlDatabase.h"
#include "core/store/TovQuizXmlDatabase.h"

#include "BenchSession.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {
constexpr int kSessionFiles = 10000;

void BM_ListTenThousandSessions(benchmark::State &state)
{
    BenchFolder fixture;
    fillSessionFolder(fixture.home(), kSessionFiles);
    for (auto _ : state) {
        TovFastQuizXmlDatabase::sharedFastQuiz()->reloadQuiz();
        benchmark::DoNotOptimize(TovFastQuizXmlDatabase::sharedFastQuiz()->allSessionXmlParsedResults().size());
    }
    state.counters["files"] = double(TovFastQuizXmlDatabase::sharedFastQuiz()->allSessionXmlParsedResults().size());
    state.counters["bytes_per_file"] = double(QFileInfo(fixture.home() + "Data/Quiz/Session 0 2012-03-23T14:07:09.xml").size());
}
BENCHMARK(BM_ListTenThousandSessions)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_WriteSession400Students100Questions(benchmark::State &state)
{
    BenchFolder fixture;
    const QuizEntity record = benchSession(400, 100);
    int n = 0;
    QString path;
    for (auto _ : state) {
        QuizEntity quiz = record;
        TovQuizXmlDatabase().addQuizWithName(QStringLiteral("Run %1").arg(++n), quiz, &path);
    }
    state.counters["file_bytes"] = double(QFileInfo(path).size());
}
BENCHMARK(BM_WriteSession400Students100Questions)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_ReadSession400Students100Questions(benchmark::State &state)
{
    BenchFolder fixture;
    QuizEntity quiz = benchSession(400, 100);
    QString path;
    TovQuizXmlDatabase().addQuizWithName(QStringLiteral("Read"), quiz, &path);
    for (auto _ : state)
        benchmark::DoNotOptimize(TovQuizXmlDatabase().getQuizInfoAll(path));
}
BENCHMARK(BM_ReadSession400Students100Questions)->Unit(benchmark::kMillisecond)->Iterations(10);
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
