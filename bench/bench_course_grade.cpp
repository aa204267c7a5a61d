// Course-grade figures: a class of 400 over the 1,000 sessions of a grading period (half run
// quizzes of 10 questions, half points-only sessions), computed from the ticked sessions.
#include "core/app/Orvenda_AppDelegate.h"
#include "core/gradebook/CourseGradeCalculator.h"
#include "core/gradebook/GradebookSettingRules.h"
#include "core/store/DataManager.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/TovCourseGradeXmlDatabase.h"
#include "core/store/TovQuizXmlDatabase.h"

#include "BenchSession.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {
constexpr int kStudents = 400;
constexpr int kSessions = 1000;

QByteArray seedBytes(QuizEntity quiz, bool pointsOnly)
{
    QString path;
    if (pointsOnly)
        TovCourseGradeXmlDatabase().addQuizWithName(QStringLiteral("Seed"), quiz, &path);
    else
        TovQuizXmlDatabase().addQuizWithName(QStringLiteral("Seed"), quiz, &path);
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    const QByteArray bytes = f.readAll();
    f.close();
    QFile::remove(path);
    return bytes;
}

struct Fixture
{
    QTemporaryDir dir;
    Orvenda_AppDelegate app{dir.path()};
    QList<SessionSelect> ticked;

    Fixture()
    {
        Orvenda_AppDelegate::setAppDelegate(&app);
        const QString home = dir.path() + QLatin1Char('/');
        QDir().mkpath(home + QStringLiteral("Data/Quiz"));
        QDir().mkpath(home + QStringLiteral("Data/CourseGrade"));
        QuizEntity run = benchSession(kStudents, 10);
        run.setSubject(QStringLiteral("Maths"));
        run.setTeacherName(QStringLiteral("Kim"));
        run.setTotalMark(QStringLiteral("100"));
        run.setStartTime(QStringLiteral("2012-10-01T10:00:00"));
        run.setDate(QStringLiteral("2012-10-01T10:00:00"));
        QuizEntity points = run;
        points.allQuestions().clear();
        points.allStudentsAns().clear();
        points.setSessionType(QStringLiteral("Homework"));
        for (int s = 0; s < kStudents; ++s)
            points.allStudents()[s].setTotalMark(QString::number(s % 101));
        const QByteArray runBytes = seedBytes(run, false);
        const QByteArray pointsBytes = seedBytes(points, true);
        for (int i = 0; i < kSessions; ++i) {
            const bool pointsOnly = i % 2;
            const QString path = home + (pointsOnly ? QStringLiteral("Data/CourseGrade/") : QStringLiteral("Data/Quiz/")) +
                                 QStringLiteral("Session %1.xml").arg(i);
            QFile f(path);
            f.open(QIODevice::WriteOnly);
            f.write(pointsOnly ? pointsBytes : runBytes);
        }
    }
};

void BM_ListSessionsOfThePeriod(benchmark::State &state)
{
    Fixture fixture;
    int listed = 0;
    for (auto _ : state)
        listed = int(DataManager::getAllQuizsWhereClassName("Class A", "Maths", "Kim", "2012-09-01", "2013-01-31")
                         .value_or(QList<SessionSelect>())
                         .size());
    state.counters["sessions"] = listed;
}
BENCHMARK(BM_ListSessionsOfThePeriod)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ComputeCourseGrades400Over1000Sessions(benchmark::State &state)
{
    Fixture fixture;
    const QList<SessionSelect> ticked =
        DataManager::getAllQuizsWhereClassName("Class A", "Maths", "Kim", "2012-09-01", "2013-01-31").value_or(QList<SessionSelect>());
    SelectSessionType exam, homework;
    exam.setSessionType(QStringLiteral("Exam"));
    exam.setWeight(60);
    homework.setSessionType(QStringLiteral("Homework"));
    homework.setWeight(40);
    int rows = 0;
    for (auto _ : state)
        rows = int(CourseGradeCalculator::compute({exam, homework}, ticked, GradebookSettingRules::defaultLetters()).rows.size());
    state.counters["students"] = rows;
    state.counters["sessions"] = double(ticked.size());
}
BENCHMARK(BM_ComputeCourseGrades400Over1000Sessions)->Unit(benchmark::kMillisecond)->Iterations(3);
void BM_ParseOnly(benchmark::State &state)
{
    Fixture fixture;
    const QList<SessionSelect> ticked =
        DataManager::getAllQuizsWhereClassName("Class A", "Maths", "Kim", "2012-09-01", "2013-01-31").value_or(QList<SessionSelect>());
    for (auto _ : state)
        for (const SessionSelect &s : ticked) {
            pugi::xml_document doc;
            GlobalFunctions::loadXmlFile(s.filePath(), doc);
        }
}
BENCHMARK(BM_ParseOnly)->Unit(benchmark::kMillisecond)->Iterations(3);
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
