// Store figures: listing a data folder of 10,000 session files through the fast index (headers
// only), loading one of them by its ID (every file's head probed for it), writing (and reading
// back) one session of 400 students and 100 questions, and the student editor's save of one
// student of a school of 5,000 (the roster and the one class holding the student written as one
// change), as a teacher saves edit after edit.
#include "core/app/Orvenda_AppDelegate.h"
#include "core/roster/RosterEdits.h"
#include "core/store/DataManager.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovFastQuizXmlDatabase.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "core/store/TovStudentRoster.h"
#include "platform/Singleton.h"

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

// Each file its own ID, of the same length as the seed's; the one looked for lies in the middle.
void BM_LoadSessionByIdAmongTenThousand(benchmark::State &state)
{
    BenchFolder fixture;
    QByteArray seedId;
    fillSessionFolder(fixture.home(), kSessionFiles, [&](int i, QByteArray &bytes) {
        const qsizetype from = bytes.indexOf("<ID>") + 4, to = bytes.indexOf("</ID>");
        if (seedId.isEmpty())
            seedId = bytes.mid(from, to - from);
        const QByteArray own = QByteArray::number(i).rightJustified(seedId.size(), '0');
        bytes.replace(from, to - from, own);
    });
    const QString wanted = QString::fromLatin1(QByteArray::number(kSessionFiles / 2).rightJustified(seedId.size(), '0'));
    int questions = 0;
    for (auto _ : state) {
        const std::optional<QuizEntity> quiz = DataManager::getQuizWhereActNoIs(wanted);
        questions = quiz ? int(quiz->allQuestions().size()) : -1;
    }
    state.counters["questions"] = questions;
}
BENCHMARK(BM_LoadSessionByIdAmongTenThousand)->Unit(benchmark::kMillisecond)->Iterations(5);

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
constexpr int kRosterStudents = 5000;
constexpr int kClassStudents = 40;

struct School : BenchFolder
{
    int classNo = 0;
    School()
    {
        SingletonRegistry::resetAll();
        QList<StudentEntity> roster;
        for (int i = 1; i <= kRosterStudents; ++i)
            roster << benchStudent(i);
        TovStudentRoster::sharedUI()->addSomeStudentsToRoster(roster);
        classNo = TovClassXmlDatabase::sharedClassUI()->addClassWithName(QStringLiteral("Year 7"));
        TovClassXmlDatabase::sharedClassUI()->addSomeStudents(roster.mid(0, kClassStudents), classNo);
    }
    ~School() { SingletonRegistry::resetAll(); }
};

void BM_RosterEditOfOneStudentIn5000(benchmark::State &state)
{
    School school;
    RosterEdits::StudentSave save;
    save.record = benchStudent(kClassStudents / 2);
    save.oldID = save.record.id();
    save.classNo = school.classNo;
    save.adding = false;
    int n = 0;
    for (auto _ : state) {
        save.record.setRemark(QStringLiteral("Edit %1").arg(++n));
        if (!RosterEdits::saveStudent(save).ok())
            state.SkipWithError("the edit was not saved");
    }
    state.counters["roster_bytes"] = double(QFileInfo(school.home() + QStringLiteral("Data/StudentRoster.xml")).size());
}
BENCHMARK(BM_RosterEditOfOneStudentIn5000)->Unit(benchmark::kMillisecond)->Iterations(30);
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_LOGGING_RULES", "pollix.info=false");
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
