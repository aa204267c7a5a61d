// Store figures: listing a data folder of 10,000 session files through the fast index (headers
// only), and writing (and reading back) one session of 400 students and 100 questions.
#include "core/app/Orvenda_AppDelegate.h"
#include "core/store/TovFastQuizXmlDatabase.h"
#include "core/store/TovQuizXmlDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {
constexpr int kSessionFiles = 10000;

QuizEntity session(int students, int questions)
{
    QuizEntity quiz;
    quiz.setName(QStringLiteral("Bench"));
    quiz.setTitle(QStringLiteral("Week 3 & review"));
    quiz.setDate(QStringLiteral("2012-03-23T14:07:09"));
    quiz.setActionType(QStringLiteral("1"));
    quiz.setMachineName(QStringLiteral("2"));
    quiz.setClassName(QStringLiteral("Class A"));
    quiz.setSessionType(QStringLiteral("Exam"));
    for (int q = 1; q <= questions; ++q) {
        QuestionEntity question;
        question.setQuNo(q);
        question.setQuType(QStringLiteral("1"));
        question.setQuMode(QStringLiteral("1"));
        question.setRightAns(QStringLiteral("B"));
        question.setTitle(QStringLiteral("Question %1: which of these is right?").arg(q));
        for (int o = 0; o < 4; ++o) {
            QuestionOptionEntity option;
            option.setText(QStringLiteral("Option %1").arg(QChar('A' + o)));
            option.setPoint(o == 1 ? 10 : 0);
            question.allOptions().append(option);
        }
        quiz.allQuestions().append(question);
    }
    for (int s = 1; s <= students; ++s) {
        StudentEntity student;
        student.setId(QStringLiteral("S%1").arg(s, 4, 10, QLatin1Char('0')));
        student.setFirstName(QStringLiteral("First%1").arg(s));
        student.setLastName(QStringLiteral("Last%1").arg(s));
        student.setDeviceNo(s);
        quiz.allStudents().append(student);
        for (int q = 1; q <= questions; ++q) {
            ResponseDataEntity answer;
            answer.setStudentID(student.id());
            answer.setQuestionID(QString::number(q));
            answer.setResponse(QStringLiteral("B"));
            answer.setTime(7);
            answer.setStudentPoint(QStringLiteral("10"));
            quiz.allStudentsAns().append(answer);
        }
    }
    return quiz;
}

// A folder of session files like a school's after some years: 30 students, 10 questions each.
void fillSessionFolder(const QString &home)
{
    QuizEntity quiz = session(30, 10);
    QString first;
    TovQuizXmlDatabase().addQuizWithName(QStringLiteral("Seed"), quiz, &first);
    QFile seed(first);
    seed.open(QIODevice::ReadOnly);
    const QByteArray bytes = seed.readAll();
    seed.close();
    QFile::remove(first);
    const QString folder = home + QStringLiteral("Data/Quiz/");
    for (int i = 0; i < kSessionFiles; ++i) {
        QFile f(folder + QStringLiteral("Session %1 2012-03-23T14:07:09.xml").arg(i));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }
}

struct Fixture
{
    QTemporaryDir dir;
    Orvenda_AppDelegate app{dir.path()};
    Fixture()
    {
        Orvenda_AppDelegate::setAppDelegate(&app);
        QDir().mkpath(dir.path() + QStringLiteral("/Data/Quiz"));
        QDir().mkpath(dir.path() + QStringLiteral("/Data/CourseGrade"));
    }
    QString home() const { return dir.path() + QLatin1Char('/'); }
};

void BM_ListTenThousandSessions(benchmark::State &state)
{
    Fixture fixture;
    fillSessionFolder(fixture.home());
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
    Fixture fixture;
    const QuizEntity record = session(400, 100);
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
    Fixture fixture;
    QuizEntity quiz = session(400, 100);
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
