// Course-grade figures: a class of 400 over the 1,000 sessions of a grading period (half quizzes
// of 10 questions run in class, half points-only sessions): the sessions listed for the period,
// and the course grade computed and shown in its window with the grid filled.
#include "core/gradebook/CourseGradeCalculator.h"
#include "core/gradebook/GradebookSettingRules.h"
#include "core/store/DataManager.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovCourseGradeXmlDatabase.h"
#include "core/store/TovSubjectXmlDatabase.h"
#include "core/store/TovTeacherXmlDatabase.h"
#include "ui/gradebook/CreateSubjectGradeReportController.h"
#include "ui/gradebook/SessionSelectController.h"

#include "BenchSession.h"

#include <QApplication>
#include <QTableWidget>

#include <benchmark/benchmark.h>

namespace {
constexpr int kStudents = 400;
constexpr int kSessions = 1000;

QByteArray bytesOf(QuizEntity quiz, bool pointsOnly)
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

// The period of Class A, Maths, Kim: exams run in class and points-only homework, one each day.
struct Period : BenchFolder
{
    Period()
    {
        TovClassXmlDatabase::sharedClassUI()->addClassWithName(QStringLiteral("Class A"));
        SubjectEntity maths;
        maths.setName(QStringLiteral("Maths"));
        TovSubjectXmlDatabase::sharedSubjectUI()->addSubjectWithData(maths);
        TeacherEntity kim;
        kim.setName(QStringLiteral("Kim"));
        TovTeacherXmlDatabase::sharedUI()->addTeacherWithData(kim);
        QuizEntity run = benchSession(kStudents, 10);
        run.setSubject(QStringLiteral("Maths"));
        run.setTeacherName(QStringLiteral("Kim"));
        run.setTotalMark(QStringLiteral("100"));
        run.setDate(QStringLiteral("2012-10-01T10:00:00"));
        run.setStartTime(QStringLiteral("2012-10-01T10:00:00"));
        QuizEntity points = run;
        points.allQuestions().clear();
        points.allStudentsAns().clear();
        points.setSessionType(QStringLiteral("Homework"));
        for (int s = 0; s < kStudents; ++s)
            points.allStudents()[s].setTotalMark(QString::number(s % 101));
        const QByteArray runBytes = bytesOf(run, false);
        const QByteArray pointsBytes = bytesOf(points, true);
        for (int i = 0; i < kSessions; ++i) {
            const bool pointsOnly = i % 2;
            QFile f(home() + (pointsOnly ? QStringLiteral("Data/CourseGrade/") : QStringLiteral("Data/Quiz/")) +
                    QStringLiteral("Session %1.xml").arg(i));
            f.open(QIODevice::WriteOnly);
            f.write(pointsOnly ? pointsBytes : runBytes);
        }
        period.setNo(1);
        period.setTitle(QStringLiteral("Fall"));
        period.setDateFrom(QStringLiteral("2012-09-01"));
        period.setDateTo(QStringLiteral("2013-01-31"));
        weight.setTitle(QStringLiteral("Main"));
        for (const auto &[type, w] : {std::pair{"Exam", 60.0f}, {"Homework", 40.0f}}) {
            SessionTypeInWeight e;
            e.setSessionType(QString::fromLatin1(type));
            e.setIsSelect(true);
            e.setWeight(w);
            weight.sessionTypesInWeight() << e;
        }
        for (const ConversionLetter &l : GradebookSettingRules::defaultLetters()) {
            LetterEntity letter;
            letter.setLetter(l.letter());
            letter.setPointFrom(l.pointFrom());
            letter.setPointTo(l.pointTo());
            scale.letterList() << letter;
        }
        subject = *TovSubjectXmlDatabase::sharedSubjectUI()->subjectByNo(1);
    }
    PeriodEntity period;
    WeightEntity weight;
    LetterGradeEntity scale;
    SubjectEntity subject;
};

void BM_ListSessionsOfThePeriod(benchmark::State &state)
{
    Period fixture;
    int listed = 0;
    for (auto _ : state)
        listed = int(DataManager::getAllQuizsWhereClassName("Class A", "Maths", "Kim", "2012-09-01", "2013-01-31")
                         .value_or(QList<SessionSelect>())
                         .size());
    state.counters["sessions"] = listed;
}
BENCHMARK(BM_ListSessionsOfThePeriod)->Unit(benchmark::kMillisecond)->Iterations(3);

// What the teacher waits for after Preview: every ticked session read, the marks computed, the
// window with its grid of 400 students up.
void BM_CourseGrade400StudentsOver1000SessionsComputedAndShown(benchmark::State &state)
{
    Period fixture;
    SessionSelectController selection(fixture.weight, fixture.scale, fixture.period, 1, fixture.subject, 1);
    for (SessionSelect &s : selection.sessionSelectArray())
        s.setIsSelect(true);
    int rows = 0;
    for (auto _ : state) {
        CreateSubjectGradeReportController grade(&selection);
        grade.show();
        QApplication::processEvents();
        rows = grade.tableLeft->rowCount();
    }
    state.counters["students"] = rows;
    state.counters["sessions"] = double(selection.sessionSelectArray().size());
}
BENCHMARK(BM_CourseGrade400StudentsOver1000SessionsComputedAndShown)->Unit(benchmark::kMillisecond)->Iterations(3);
} // namespace

int main(int argc, char **argv)
{
    return runGuiBenchmarks(argc, argv);
}
