// Report figures of group sessions and standards: the group reports, the result by question in
// group mode and the standards reports over a session of 400 students in 8 groups and 100
// questions over 12 standards: rows and pages.
#include "core/reports/GroupResultReport.h"
#include "core/reports/GroupStudentReport.h"
#include "core/reports/PersonalStandardsReport.h"
#include "core/reports/ReportChoice.h"
#include "core/reports/ResultByQuestionInGroupModeReport.h"
#include "core/reports/StandardsAnalysisReport.h"

#include "BenchSession.h"

#include <benchmark/benchmark.h>

namespace {
// The bench session run by 8 groups, each student logged in, each question tagged with a standard.
QuizEntity groupSession()
{
    QuizEntity quiz = benchSession(400, 100);
    quiz.setGroup(8);
    for (int i = 0; i < quiz.allStudents().size(); ++i) {
        quiz.allStudents()[i].setGroupNo(i % 8 + 1);
        quiz.allStudents()[i].setLoginTime(QStringLiteral("2012-03-23T14:01:00"));
    }
    for (int k = 0; k < quiz.allQuestions().size(); ++k) {
        StandardEntity standard;
        standard.setCode(QStringLiteral("SC.%1").arg(k % 12));
        standard.setTitle(QStringLiteral("Standard %1: explain the ideas of the unit and use them on new problems")
                              .arg(k % 12));
        quiz.allQuestions()[k].setStandard(standard);
    }
    return quiz;
}

void layOut(benchmark::State &state, const std::function<int(const QuizEntity &, const QList<SelectStudents> &)> &make)
{
    layOutForEveryStudent(state, groupSession(), make);
}
void BM_LayOutGroupResult400x100(benchmark::State &state)
{
    layOut(state, [](const QuizEntity &q, const QList<SelectStudents> &) { return GroupResultReport(q).totalPage(); });
}
void BM_LayOutGroupStudentReport400x100(benchmark::State &state)
{
    layOut(state, [](const QuizEntity &q, const QList<SelectStudents> &) { return GroupStudentReport(q).totalPage(); });
}
void BM_LayOutResultByQuestionInGroupMode400x100(benchmark::State &state)
{
    layOut(state, [](const QuizEntity &q, const QList<SelectStudents> &) {
        return ResultByQuestionInGroupModeReport(q).totalPage();
    });
}
void BM_LayOutPersonalStandardsReport400x100(benchmark::State &state)
{
    layOut(state, [](const QuizEntity &q, const QList<SelectStudents> &s) {
        return PersonalStandardsReport(q, s).totalPage();
    });
}
void BM_LayOutStandardsAnalysisReport400x100(benchmark::State &state)
{
    layOut(state, [](const QuizEntity &q, const QList<SelectStudents> &) {
        return StandardsAnalysisReport(q).totalPage();
    });
}
BENCHMARK(BM_LayOutGroupResult400x100)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_LayOutGroupStudentReport400x100)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_LayOutResultByQuestionInGroupMode400x100)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_LayOutPersonalStandardsReport400x100)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_LayOutStandardsAnalysisReport400x100)->Unit(benchmark::kMillisecond)->Iterations(5);
} // namespace

int main(int argc, char **argv)
{
    return runGuiBenchmarks(argc, argv);
}
