// Report figures: the Report window's session list over a data folder of 10,000 session files
// (headers only), and the session reports over a session of 400 students and 100 questions: rows
// and pages, and the PDF of every page.
#include "core/app/Orvenda_AppDelegate.h"
#include "core/reports/ClassResponseReport.h"
#include "core/reports/ClassStudyGuideReport.h"
#include "core/reports/CorrectRateStatistics.h"
#include "core/reports/ReportChoice.h"
#include "core/reports/ReportPdf.h"
#include "core/reports/ResponseSpreadReport.h"
#include "core/reports/ResultByQuestionReport.h"
#include "core/reports/ResultOfEliminationReport.h"
#include "core/reports/SessionQuestionReport.h"
#include "core/reports/StudentResponseResultReport.h"
#include "core/reports/StudentSessionReport.h"
#include "core/reports/StudyGuideReport.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "ui/gradebook/GradebookWindows.h"
#include "ui/reports/ReportController.h"

#include "BenchSession.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {
void BM_OpenSessionListOfTenThousand(benchmark::State &state)
{
    BenchFolder fixture;
    // Each on its own day and title, so that sorting and the title filter have work to do.
    fillSessionFolder(fixture.home(), 10000, [](int i, QByteArray &bytes) {
        bytes.replace("2012-03-23T14:07:09", QDateTime(QDate(2000, 1, 1).addDays(i % 4000), QTime(9, i % 60))
                                                 .toString(Qt::ISODate)
                                                 .toUtf8());
        bytes.replace("Week 3 &amp; review", QByteArray("Week ") + QByteArray::number(i % 700));
    });
    // The window as the program opens it, with the gradebook's tabs; with 1, also shown, its
    // columns fitted to the list's width over every session's values.
    const bool shown = state.range(0) == 1;
    GradebookWindows::installCourseGradeTabs();
    for (auto _ : state) {
        ReportController window;
        if (shown) {
            window.show();
            QCoreApplication::processEvents();
        }
        benchmark::DoNotOptimize(window.table1Array().size());
    }
}
BENCHMARK(BM_OpenSessionListOfTenThousand)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

template <typename Report>
void layOut(benchmark::State &state)
{
    const QuizEntity quiz = benchSession(400, 100);
    QList<SelectStudents> students = ReportChoice::studentCheckList(quiz);
    for (SelectStudents &s : students)
        s.setIsSelected(true);
    int pages = 0;
    for (auto _ : state) {
        if constexpr (std::is_same_v<Report, StudentSessionReport>) {
            const Report report(quiz, students);
            pages = report.totalPage();
        } else {
            const Report report(quiz);
            pages = report.totalPage();
        }
    }
    state.counters["pages"] = pages;
}
void BM_LayOutStudentSessionReport400x100(benchmark::State &state)
{
    layOut<StudentSessionReport>(state);
}
void BM_LayOutClassResponseReport400x100(benchmark::State &state)
{
    layOut<ClassResponseReport>(state);
}
void BM_LayOutResponseSpreadReport400x100(benchmark::State &state)
{
    layOut<ResponseSpreadReport>(state);
}
BENCHMARK(BM_LayOutStudentSessionReport400x100)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_LayOutClassResponseReport400x100)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_LayOutResponseSpreadReport400x100)->Unit(benchmark::kMillisecond)->Iterations(5);

// The reports that list every ticked student under every question.
void layOutPerStudent(benchmark::State &state,
                      const std::function<int(const QuizEntity &, const QList<SelectStudents> &)> &make)
{
    layOutForEveryStudent(state, benchSession(400, 100), make);
}
void BM_LayOutCorrectRateStatistics400x100(benchmark::State &state)
{
    layOutPerStudent(state, [](const QuizEntity &q, const QList<SelectStudents> &s) {
        return CorrectRateStatistics(q, s).totalPage();
    });
}
void BM_LayOutResultByQuestionAnswerDetail400x100(benchmark::State &state)
{
    layOutPerStudent(state, [](const QuizEntity &q, const QList<SelectStudents> &s) {
        return ResultByQuestionReport(q, s, 0).totalPage();
    });
}
void BM_LayOutResultOfElimination400x100(benchmark::State &state)
{
    layOutPerStudent(state, [](const QuizEntity &q, const QList<SelectStudents> &s) {
        return ResultOfEliminationReport(q, s).totalPage();
    });
}
BENCHMARK(BM_LayOutCorrectRateStatistics400x100)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_LayOutResultByQuestionAnswerDetail400x100)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_LayOutResultOfElimination400x100)->Unit(benchmark::kMillisecond)->Iterations(5);
void BM_LayOutQuestionReport400x100(benchmark::State &state)
{
    layOutPerStudent(state, [](const QuizEntity &q, const QList<SelectStudents> &s) {
        return SessionQuestionReport(q, s).totalPage();
    });
}
void BM_LayOutStudyGuide400x100(benchmark::State &state)
{
    layOutPerStudent(state, [](const QuizEntity &q, const QList<SelectStudents> &s) {
        return StudyGuideReport(q, s).totalPage();
    });
}
void BM_LayOutClassStudyGuide400x100(benchmark::State &state)
{
    layOutPerStudent(state, [](const QuizEntity &q, const QList<SelectStudents> &s) {
        return ClassStudyGuideReport(q, s).totalPage();
    });
}
void BM_LayOutStudentResponseResult400x100(benchmark::State &state)
{
    layOutPerStudent(state, [](const QuizEntity &q, const QList<SelectStudents> &s) {
        return StudentResponseResultReport(q, s).totalPage();
    });
}
BENCHMARK(BM_LayOutQuestionReport400x100)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LayOutStudyGuide400x100)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LayOutClassStudyGuide400x100)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LayOutStudentResponseResult400x100)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_WritePdfOfClassResponseReport400x100(benchmark::State &state)
{
    BenchFolder fixture;
    const ClassResponseReport report(benchSession(400, 100));
    const QString path = fixture.home() + QStringLiteral("report.pdf");
    for (auto _ : state)
        ReportPdf::write(report, ReportPdf::allPages(report), path);
    state.counters["pages"] = report.totalPage();
    state.counters["bytes"] = double(QFileInfo(path).size());
}
BENCHMARK(BM_WritePdfOfClassResponseReport400x100)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_WritePdfOfStudentSessionReport400x100(benchmark::State &state)
{
    BenchFolder fixture;
    const QuizEntity quiz = benchSession(400, 100);
    QList<SelectStudents> students = ReportChoice::studentCheckList(quiz);
    for (SelectStudents &s : students)
        s.setIsSelected(true);
    const StudentSessionReport report(quiz, students);
    const QString path = fixture.home() + QStringLiteral("report.pdf");
    for (auto _ : state)
        ReportPdf::write(report, ReportPdf::allPages(report), path);
    state.counters["pages"] = report.totalPage();
}
BENCHMARK(BM_WritePdfOfStudentSessionReport400x100)->Unit(benchmark::kMillisecond)->Iterations(3);
} // namespace

int main(int argc, char **argv)
{
    return runGuiBenchmarks(argc, argv);
}
