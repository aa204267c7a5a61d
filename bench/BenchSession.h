#pragma once

#include "core/app/Orvenda_AppDelegate.h"
#include "core/reports/ReportChoice.h"
#include "core/store/QuizEntity.h"
#include "core/store/StudentEntity.h"
#include "core/store/TovQuizXmlDatabase.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <functional>

// Student i of a school for the benchmarks: ID S0001 ..., every field filled.
inline StudentEntity benchStudent(int i)
{
    StudentEntity s;
    s.setId(QStringLiteral("S%1").arg(i, 4, 10, QLatin1Char('0')));
    s.setFirstName(QStringLiteral("First%1").arg(i));
    s.setLastName(QStringLiteral("Last%1").arg(i));
    s.setDeviceNo(1 + i % 400);
    s.setGroupNo(1 + i % 9);
    s.setBirthday(QDateTime(QDate(2011, 1 + i % 12, 1 + i % 28), QTime(0, 0)));
    s.setAddress(QStringLiteral("%1 Mill Lane, York").arg(i));
    s.setTelephone(QStringLiteral("01904 %1").arg(i));
    s.setEMail(QStringLiteral("s%1@school.example").arg(i));
    s.setGender(1 + i % 2);
    return s;
}

// A normal quiz for the benchmarks: every student answers every question with B, worth 10.
inline QuizEntity benchSession(int students, int questions)
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

// Lays a report out over quiz with every student ticked, as often as the benchmark asks; the
// report's page count becomes the "pages" counter.
inline void layOutForEveryStudent(benchmark::State &state, const QuizEntity &quiz,
                                  const std::function<int(const QuizEntity &, const QList<SelectStudents> &)> &make)
{
    QList<SelectStudents> students = ReportChoice::studentCheckList(quiz);
    for (SelectStudents &s : students)
        s.setIsSelected(true);
    int pages = 0;
    for (auto _ : state)
        pages = make(quiz, students);
    state.counters["pages"] = pages;
}

// A fresh application folder with empty session folders, the program's folder while it lives.
struct BenchFolder
{
    QTemporaryDir dir;
    Orvenda_AppDelegate app{dir.path()};
    BenchFolder()
    {
        Orvenda_AppDelegate::setAppDelegate(&app);
        QDir().mkpath(dir.path() + QStringLiteral("/Data/Quiz"));
        QDir().mkpath(dir.path() + QStringLiteral("/Data/CourseGrade"));
    }
    QString home() const { return dir.path() + QLatin1Char('/'); }
};

// A session folder like a school's after some years: count files of 30 students and 10
// questions each, written as the store writes them; tweak may change the bytes of file i.
inline void fillSessionFolder(const QString &home, int count,
                              const std::function<void(int i, QByteArray &bytes)> &tweak = {})
{
    QuizEntity quiz = benchSession(30, 10);
    QString first;
    TovQuizXmlDatabase().addQuizWithName(QStringLiteral("Seed"), quiz, &first);
    QFile seed(first);
    seed.open(QIODevice::ReadOnly);
    const QByteArray bytes = seed.readAll();
    seed.close();
    QFile::remove(first);
    for (int i = 0; i < count; ++i) {
        QFile f(home + QStringLiteral("Data/Quiz/Session %1 2012-03-23T14:07:09.xml").arg(i));
        f.open(QIODevice::WriteOnly);
        QByteArray own = bytes;
        if (tweak)
            tweak(i, own);
        f.write(own);
    }
}

// The main of a benchmark program that opens windows (offscreen unless a platform is named).
inline int runGuiBenchmarks(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
