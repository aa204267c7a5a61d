#pragma once

#include "core/reports/ReportChoice.h"
#include "core/reports/ReportDocument.h"
#include "core/store/DataManager.h"
#include "core/store/StoreTestBase.h"
#include "support/ImageCompare.h"

#include <QFile>
#include <QImage>
#include <QPainter>

// Report tests: a fresh application folder, the clock at 2012-03-23 14:07:09, and the sessions of
// the golden cases under tests/data/reports/<case>/input.xml.
class ReportTestBase : public StoreTestBase
{
protected:

    // The case's session, stored in the session folder and read back as the reports read it.
    QuizEntity session(const QString &caseName, QString *path = nullptr) const
    {
        const QString file = writeFile(QStringLiteral("Data/Quiz/%1.xml").arg(caseName),
                                       testData(QStringLiteral("reports/%1/input.xml").arg(caseName)));
        if (path)
            *path = file;
        QString why;
        const std::optional<QuizEntity> quiz = DataManager::getQuizAtPath(file, &why);
        EXPECT_TRUE(quiz.has_value()) << why.toStdString();
        return quiz.value_or(QuizEntity());
    }
    // A group session built here: students "1" .. by group (groupOf[i] for student i + 1), each
    // logged in, with the given points on one 10-point question whose right answer is A.
    static QuizEntity groupQuiz(const QList<int> &groupOf, const QList<int> &points = {},
                                const QString &activity = QStringLiteral("1"))
    {
        QuizEntity quiz;
        quiz.setActionType(activity);
        quiz.setGroup(2);
        QuestionEntity q;
        q.setQuNo(1);
        q.setRightAns(QStringLiteral("A"));
        q.setMark(10);
        q.setTitle(QStringLiteral("Pick A"));
        quiz.allQuestions() << q;
        for (int i = 0; i < groupOf.size(); ++i) {
            StudentEntity s;
            s.setId(QString::number(i + 1));
            s.setFirstName(QStringLiteral("P%1").arg(i + 1));
            s.setGroupNo(groupOf.at(i));
            s.setLoginTime(QStringLiteral("2012-03-23T14:01:00"));
            quiz.allStudents() << s;
            if (i < points.size())
                quiz.allStudentsAns() << answer(s.id(), 1, QStringLiteral("A"), points.at(i));
        }
        return quiz;
    }
    static ResponseDataEntity answer(const QString &id, int question, const QString &reply, int points = 0)
    {
        ResponseDataEntity a;
        a.setStudentID(id);
        a.setQuestionID(QString::number(question));
        a.setResponse(reply);
        a.setStudentPoint(QString::number(points));
        return a;
    }
    // quiz with students numbered 1 to count instead of its own.
    static QuizEntity withStudents(QuizEntity quiz, int count)
    {
        QList<StudentEntity> students;
        for (int i = 1; i <= count; ++i) {
            StudentEntity s;
            s.setId(QString::number(i));
            s.setFirstName(QStringLiteral("Pupil"));
            students.append(s);
        }
        quiz.setAllStudents(students);
        return quiz;
    }
    // The session's check list with every student ticked but those named.
    static QList<SelectStudents> ticked(const QuizEntity &quiz, const QStringList &unticked = {})
    {
        QList<SelectStudents> list = ReportChoice::studentCheckList(quiz);
        for (SelectStudents &s : list)
            s.setIsSelected(!unticked.contains(s.studentID()));
        return list;
    }
    // Page (1-based) of report as an image of the page's own size.
    static QImage render(const ReportDocument &report, int page)
    {
        QImage image(report.pageSize().toSize(), QImage::Format_RGB32);
        QPainter painter(&image);
        report.paintPage(painter, page);
        return image;
    }
    static QByteArray expected(const QString &caseName, const QString &file = QStringLiteral("expected.csv"))
    {
        return testData(QStringLiteral("reports/%1/%2").arg(caseName, file));
    }
    // Page (1-based) of report as an image of the page's size.
    static QImage renderPage(const ReportDocument &report, int page)
    {
        QImage image(report.pageSize().toSize(), QImage::Format_RGB32);
        QPainter painter(&image);
        report.paintPage(painter, page);
        return image;
    }
    // The report's CSV (made on 2012-03-23) against the case's golden file, and the page against
    // its picture "page-<page>.png".
    static void expectGolden(const QString &caseName, const ReportDocument &report, int page = 1)
    {
        if (report.hasCSV()) {
            const QByteArray actual = report.csv(QDate(2012, 3, 23)).csvData();
            writeGoldenIfAsked(caseName, actual);
            EXPECT_EQ(actual, expected(caseName)) << caseName.toStdString();
        }
        EXPECT_TRUE(looksLikeGolden(renderPage(report, page),
                                    testDataPath(QStringLiteral("reports/%1/page-%2.png").arg(caseName).arg(page))));
    }
    // With POLLIX_WRITE_GOLDEN=1 the expected file is written from actual (read it before committing).
    static void writeGoldenIfAsked(const QString &caseName, const QByteArray &actual,
                                   const QString &file = QStringLiteral("expected.csv"))
    {
        if (qEnvironmentVariable("POLLIX_WRITE_GOLDEN") != QLatin1String("1"))
            return;
        QFile out(testDataPath(QStringLiteral("reports/%1/%2").arg(caseName, file)));
        if (out.open(QIODevice::WriteOnly))
            out.write(actual);
    }
};
