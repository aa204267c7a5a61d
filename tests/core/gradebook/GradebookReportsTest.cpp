#include "GradebookTestBase.h"

#include "core/gradebook/AcademicSummaryReport.h"
#include "core/gradebook/ClassGradeReport.h"
#include "core/gradebook/ClassGradeStatisticsReportView.h"
#include "core/gradebook/CourseGradeCalculator.h"
#include "core/gradebook/CourseGradeSummaryReport.h"
#include "core/gradebook/HistogramReportView.h"
#include "core/gradebook/ProgressiveReport.h"
#include "core/gradebook/ReportCardReport.h"
#include "core/gradebook/TickedSessionScores.h"
#include "core/store/TovCourseGradeXmlDatabase.h"
#include "support/ImageCompare.h"

#include <QFile>
#include <QImage>
#include <QPainter>

namespace {
StudentMarkGrade student(const QString &id, const QString &name, float total, const QString &grade)
{
    StudentMarkGrade s;
    s.setStudentID(id);
    s.setStudentName(name);
    s.setTotal(total);
    s.setGrade(grade);
    return s;
}

const QString kLongName = QStringLiteral("Bartholomew Maximilian Fitzgerald"); // 33 characters

// Reports of 7A Maths taught by a teacher with a long name, over the letters A to F. The per-student
// reports take four points-only sessions and one that cannot be read; the class average is in
// points, as the session picker keeps it, and the reports show it in percent. A session worth 0
// points and one that cannot be read rate nobody, as in the course grade:
//   Exam 1, Algebra  Exam      of 60   Ann 45 (75 %)   Bart 30 (50 %)      average 37.5 (62.5 %)
//   Homework 1       Homework  of 100  Ann 59 (59 %)   Bart 100            average 79.5 (79.5 %)
//   Exam 2           Exam      of 10   Ann 7.9 (7: 70 %) Bart 9 (90 %)     average 8.0 (80 %)
//   Pop quiz         Homework  of 0    rates nobody                        average 5.0
//   Lost             Exam      (its file is gone)
class GradebookReportsTest : public GradebookTestBase
{
protected:
    SessionSelect session(const QString &title, const QString &type, const QString &total,
                          const QList<std::pair<QString, QString>> &points, float avg = 0,
                          const QString &day = QStringLiteral("2012-10-01"))
    {
        QuizEntity quiz;
        quiz.setName(title);
        quiz.setDate(day + QStringLiteral("T10:00:00"));
        quiz.setActionType("1");
        quiz.setSessionType(type);
        quiz.setTotalMark(total);
        for (const auto &[id, p] : points) {
            StudentEntity s;
            s.setId(id);
            s.setFirstName(id);
            s.setTotalMark(p);
            quiz.allStudents() << s;
        }
        QString path;
        EXPECT_TRUE(TovCourseGradeXmlDatabase().addQuizWithName(QStringLiteral("s%1").arg(++m_count), quiz, &path));
        SessionSelect row;
        row.setSession(title);
        row.setType(type);
        row.setFilePath(path);
        row.setFlag(2);
        row.setAvg(avg);
        row.setDate(day);
        row.setIsSelect(true);
        return row;
    }
    static GradebookReportSource source(const QList<SessionSelect> &ticked = {})
    {
        GradebookReportSource s;
        s.subjectGrade = QStringLiteral("Maths");
        s.className = QStringLiteral("7A");
        s.subjectName = QStringLiteral("Maths");
        s.teacherName = QStringLiteral("Professor Konstantin Alexandrov"); // 31 characters
        s.weightTitle = QStringLiteral("Exams and homework");
        s.letterTitle = QStringLiteral("Letters A to F");
        s.period.setTitle(QStringLiteral("Fall"));
        s.period.setDateFrom(QStringLiteral("2012-09-01"));
        s.period.setDateTo(QStringLiteral("2013-01-31"));
        for (const auto &[type, weight] : {std::pair{"Exam", 60.0f}, {"Homework", 40.0f}}) {
            SelectSessionType t;
            t.setSessionType(type);
            t.setWeight(weight);
            s.sessionWeightArray << t;
        }
        s.conversionLetterArray = {letter("A", 90, 100), letter("B", 80, 89), letter("C", 70, 79), letter("D", 60, 69),
                                   letter("F", 0, 59)};
        s.tickedSessions = ticked;
        return s;
    }
    // The sessions of the per-student reports (see above).
    GradebookReportSource classSessions()
    {
        QList<SessionSelect> ticked{
            session("Exam 1, Algebra", "Exam", "60", {{"S1", "45"}, {"S2", "30"}}, 37.5f, "2012-10-01"),
            session("Homework 1", "Homework", "100", {{"S1", "59"}, {"S2", "100"}}, 79.5f, "2012-10-08"),
            session("Exam 2", "Exam", "10", {{"S1", "7.9"}, {"S2", "9"}}, 8.0f, "2012-10-15"),
            session("Pop quiz", "Homework", "0", {{"S1", "5"}, {"S2", "5"}}, 5.0f, "2012-10-22")};
        SessionSelect lost = ticked.first();
        lost.setSession("Lost");
        lost.setFilePath(home() + "Data/CourseGrade/gone.xml");
        ticked << lost;
        return source(ticked);
    }
    static QList<StudentMarkGrade> twoStudents()
    {
        return {student("S1", "Ann Lee", 57.3f, "F"), student("S2", kLongName, 71.0f, "C")};
    }
    // n sessions of their own type each ("T1" ...); the student S1 gets percent in each.
    GradebookReportSource typesWith(int n, const QString &points)
    {
        QList<SessionSelect> ticked;
        for (int i = 1; i <= n; ++i)
            ticked << session(QStringLiteral("Session %1").arg(i), QStringLiteral("T%1").arg(i), "100", {{"S1", points}});
        return source(ticked);
    }
    static QList<int> rowsPerPage(const ReportDocument &report)
    {
        QList<int> out;
        for (const ReportPageSlice &page : report.pages())
            out << (page.hasSignature ? -page.count - 1 : page.count); // a signature page as -(rows + 1)
        return out;
    }
    static QImage render(const ReportDocument &report, int page)
    {
        QImage image(report.pageSize().toSize(), QImage::Format_RGB32);
        QPainter painter(&image);
        report.paintPage(painter, page);
        return image;
    }
    static void expectGolden(const QString &caseName, const ReportDocument &report, const QList<int> &pages = {1})
    {
        const QByteArray csv = report.csv(QDate(2012, 3, 23)).csvData();
        if (qEnvironmentVariable("POLLIX_WRITE_GOLDEN") == QLatin1String("1")) {
            QFile out(testDataPath(QStringLiteral("gradebook/%1/expected.csv").arg(caseName)));
            if (out.open(QIODevice::WriteOnly))
                out.write(csv);
        }
        EXPECT_EQ(csv, golden(caseName, "expected.csv"));
        for (int page : pages)
            EXPECT_TRUE(looksLikeGolden(render(report, page),
                                        testDataPath(QStringLiteral("gradebook/%1/page-%2.png").arg(caseName).arg(page))));
    }

    int m_count = 0;
};
} // namespace

TEST_F(GradebookReportsTest, ProgressiveReportShowsPercentsOfWholePointsAndRepeatsTheMissedOnes)
{
    const GradebookReportSource src = classSessions();
    const TickedSessionScores scores = TickedSessionScores::read(src.tickedSessions);
    ProgressiveReport report(src, scores, twoStudents(), 64.15f);
    report.setCreatedOn(QDate(2012, 3, 23));

    // 45 of 60 is 75.0; 7.9 of 10 counts 7; the session worth 0 and the lost one are left out.
    QStringList rows;
    for (const PregressReportData &r : report.rowsOf(0))
        rows << QStringLiteral("%1 %2 %3 %4").arg(r.flag()).arg(r.session(), r.point()).arg(double(r.sessionAvg()));
    // The session average stands in the student's unit, percent of the total mark.
    EXPECT_EQ(rows, (QStringList{"1 Exam 1, Algebra 75.0 62.5", "1 Homework 1 59.0 79.5", "1 Exam 2 70.0 80",
                                 "2 Homework 1 59.0 79.5"}));
    const ProgressiveAcademicHeadView &ann = report.headViewArray().at(0);
    EXPECT_EQ(ann.totalSessions(), 3);
    EXPECT_FLOAT_EQ(ann.studentAvg(), 68.0f);
    // Long names are cut in the head (27 / 26 characters at most) and whole in the CSV.
    EXPECT_EQ(report.headViewArray().at(1).studentName(), kLongName.left(24) + "...");
    EXPECT_EQ(ann.teacherName(), "Professor Konstantin Al...");
    EXPECT_EQ(report.totalPage(), 2);
    expectGolden("progressive-report", report);

    // A percent of 59.96 is shown as 60.0 and so is not missed here: the shown percent decides
    // (59.94, shown 59.9, is); the student's average is of unrounded percents.
    const GradebookReportSource close = source({session("Close call", "Exam", "10000", {{"S1", "5996"}}),
                                                session("Clear", "Exam", "3", {{"S1", "2"}}),
                                                session("Just under", "Exam", "10000", {{"S1", "5994"}})});
    const ProgressiveReport rounded(close, TickedSessionScores::read(close.tickedSessions), twoStudents(), 0);
    ASSERT_EQ(rounded.rowsOf(0).size(), 4);
    EXPECT_EQ(rounded.rowsOf(0).at(0).point(), "60.0");
    EXPECT_EQ(rounded.rowsOf(0).at(2).point(), "59.9");
    EXPECT_EQ(rounded.rowsOf(0).at(3).flag(), PregressReportData::MissedRow);
    EXPECT_EQ(rounded.rowsOf(0).at(3).session(), "Just under");
    EXPECT_FLOAT_EQ(rounded.headViewArray().at(0).studentAvg(), (59.96f + 200.0f / 3.0f + 59.94f) / 3.0f);
    // With nothing readable a student still has a page, and no average of nothing.
    const ProgressiveReport nothing(source(), TickedSessionScores(), twoStudents(), 0);
    EXPECT_EQ(nothing.totalPage(), 2);
    EXPECT_EQ(nothing.headViewArray().at(0).studentAvg(), 0.0f);
}

TEST_F(GradebookReportsTest, AcademicSummaryGroupsByTypeInOrderOfFirstSessionAndListsTheMissedTitles)
{
    const GradebookReportSource src = classSessions();
    AcademicSummaryReport report(src, TickedSessionScores::read(src.tickedSessions), twoStudents(), 64.15f);
    report.setCreatedOn(QDate(2012, 3, 23));
    QStringList rows;
    for (const AcademicSummary &r : report.rowsOf(0))
        rows << (r.hasMissedSession() ? QStringLiteral("missed %1:%2").arg(r.typeText(), r.missedSessions())
                                      : QStringLiteral("%1 %2 %3")
                                            .arg(r.typeText())
                                            .arg(double(r.averagePercent()))
                                            .arg(double(r.averageOfSessions())));
    EXPECT_EQ(rows, (QStringList{"Exam(2) 72.5 71.25", "Homework(1) 59 79.5", "missed Homework(1):Homework 1"}));
    EXPECT_FLOAT_EQ(report.headViewArray().at(0).studentAvg(), 68.0f);
    expectGolden("academic-summary", report);

    // The unrounded percent decides: 59.96 is missed.
    const GradebookReportSource close = source({session("Close call", "Exam", "10000", {{"S1", "5996"}})});
    const AcademicSummaryReport unrounded(close, TickedSessionScores::read(close.tickedSessions), twoStudents(), 0);
    EXPECT_EQ(unrounded.rowsOf(0).size(), 2);
    EXPECT_EQ(unrounded.rowsOf(0).at(1).missedSessions(), "Close call");
}

// "%.1f" is C's printf: figures that lie exactly halfway (84.25) go to the even digit, in the
// head both per-session reports share.
TEST_F(GradebookReportsTest, FiguresOnAnExactTieReadAsPrintfWritesThem)
{
    const GradebookReportSource src = source({session("Q1", "Quiz", "100", {{"S1", "84"}}, 84.0f),
                                              session("Q2", "Quiz", "100", {{"S1", "84"}}, 84.0f),
                                              session("Q3", "Quiz", "100", {{"S1", "84"}}, 84.0f),
                                              session("Q4", "Quiz", "100", {{"S1", "85"}}, 85.0f)});
    const TickedSessionScores scores = TickedSessionScores::read(src.tickedSessions);
    const QList<StudentMarkGrade> ann{student("S1", "Ann Lee", 84.25f, "B")};
    const ProgressiveReport progressive(src, scores, ann, 84.75f);
    const AcademicSummaryReport summary(src, scores, ann, 84.75f);
    // The head's figures: its label in column 6 (or 2) and the figure two columns on.
    const auto figure = [](const ReportDocument &report, const QString &label) {
        const CSVOperator csv = report.csv(QDate(2012, 3, 23));
        for (const QStringList &row : csv.rows())
            for (int c : {1, 5})
                if (row.value(c) == label)
                    return row.value(c == 1 ? 2 : 7);
        return QStringLiteral("no %1").arg(label);
    };
    for (const ReportDocument *report : {static_cast<const ReportDocument *>(&progressive),
                                         static_cast<const ReportDocument *>(&summary)}) {
        EXPECT_EQ(figure(*report, "Student Avg:"), "84.2");
        EXPECT_EQ(figure(*report, "Class Avg:"), "84.8");
        EXPECT_EQ(figure(*report, "Total Points:"), "84.2");
    }
}

TEST_F(GradebookReportsTest, CourseGradeSummaryGivesEachTypeAndTheTotalTheirLetters)
{
    const GradebookReportSource src = classSessions();
    CourseGradeSummaryReport report(src, TickedSessionScores::read(src.tickedSessions), twoStudents());
    report.setCreatedOn(QDate(2012, 3, 23));
    EXPECT_EQ(report.headViewArray().at(1).studentName(), kLongName.left(24) + "...");
    EXPECT_EQ(report.headViewArray().at(1).teacherName(), "Professor Konstantin A...");
    // One empty row between students, the signature two rows under the last "Final", "Created
    // On:" two rows under that.
    expectGolden("course-grade-summary", report);
    const CSVOperator csv = report.csv(QDate(2012, 3, 23));
    EXPECT_EQ(csv.stringAtRow(10, 1), "Final");
    EXPECT_EQ(csv.stringAtRow(11, 1), "");
    EXPECT_EQ(csv.stringAtRow(12, 2), "Student:");
    EXPECT_EQ(csv.stringAtRow(21, 1), "Teacher Signature/Date");
    EXPECT_EQ(csv.stringAtRow(23, 1), "Created On:");

    // Averages below every letter's start have none; a total not computed in full has no letter.
    GradebookReportSource high = src;
    high.conversionLetterArray = {letter("Pass", 60, 100)};
    const CourseGradeSummaryReport none(high, TickedSessionScores::read(src.tickedSessions),
                                        {student("S1", "Ann Lee", 57.3f, "")});
    const CSVOperator noneCsv = none.csv(QDate(2012, 3, 23));
    EXPECT_EQ(noneCsv.stringAtRow(8, 7), "Pass");
    EXPECT_EQ(noneCsv.stringAtRow(9, 7), "None");
    EXPECT_EQ(noneCsv.stringAtRow(10, 7), "");
}

TEST_F(GradebookReportsTest, PerStudentPagesKeepTheSignatureBlockOnThePage)
{
    // Progressive: every session missed gives two rows per session. 20 rows leave room for the
    // signature; 21 and 22 push it to a page of its own; 23 make 22 and 1 with the signature.
    const auto progressive = [&](int sessions, const QString &points) {
        const GradebookReportSource src = typesWith(sessions, points);
        return rowsPerPage(ProgressiveReport(src, TickedSessionScores::read(src.tickedSessions),
                                             {student("S1", "Ann", 0, "F")}, 0));
    };
    EXPECT_EQ(progressive(10, "0"), (QList<int>{-21}));
    EXPECT_EQ(progressive(11, "0"), (QList<int>{22, -1}));
    EXPECT_EQ(progressive(21, "100"), (QList<int>{21, -1}));
    EXPECT_EQ(progressive(23, "100"), (QList<int>{22, -2}));

    // Academic summary: 17 rows keep the signature, 18 to 22 move it on; 44 make 22, 22 and one
    // for the signature.
    const auto academic = [&](int types) {
        const GradebookReportSource src = typesWith(types, "0");
        return rowsPerPage(AcademicSummaryReport(src, TickedSessionScores::read(src.tickedSessions),
                                                 {student("S1", "Ann", 0, "F")}, 0));
    };
    EXPECT_EQ(academic(8), (QList<int>{-17}));
    EXPECT_EQ(academic(9), (QList<int>{18, -1}));
    EXPECT_EQ(academic(22), (QList<int>{22, 22, -1}));

    // Two students of one page each: choosing the second shows page 2 under their head.
    const GradebookReportSource src = classSessions();
    CourseGradeSummaryReport summary(src, TickedSessionScores::read(src.tickedSessions), twoStudents());
    EXPECT_EQ(summary.totalPage(), 2);
    EXPECT_EQ(summary.sideList().rows.at(1), (QStringList{kLongName, "S2"}));
    EXPECT_EQ(summary.sideRowSelected(1), 2);
    EXPECT_EQ(summary.slice(2).owner, 1);
    EXPECT_EQ(summary.sideRowSelected(-1), 0);
    // Nobody chosen: one page, drawn without a head.
    const CourseGradeSummaryReport empty(src, TickedSessionScores(), {});
    EXPECT_EQ(empty.totalPage(), 1);
    render(empty, 1);
}

TEST_F(GradebookReportsTest, ClassGradeReportListsEveryStudentSixteenToAPageThenTheStatistics)
{
    QList<StudentMarkGrade> three{student("S1", "Ann Lee", 95.0f, "A"), student("S2", "Bo Chan", 79.9f, "C"),
                                  student("S3", "Cy Diaz", 55.0f, "F")};
    ClassGradeReport report(source(), three, 76.6f);
    report.setCreatedOn(QDate(2012, 3, 23));
    EXPECT_EQ(report.pageSize(), QSizeF(794, 1130));
    EXPECT_EQ(report.totalPage(), 2);
    EXPECT_EQ(report.headView().classAvg(), "C");
    EXPECT_EQ(report.headView().weightText(), "Exam(60%);Homework(40%);");
    EXPECT_EQ(report.headView().letterText(), "A(90-100);B(80-89);C(70-79);D(60-69);F(0-59);");
    // The CSV carries the stored letters, students from row 15, "Created On:" after one empty row.
    expectGolden("class-grade-report", report, {1, 2});

    const auto pages = [](int n) {
        QList<StudentMarkGrade> students;
        for (int i = 0; i < n; ++i)
            students << student(QString::number(i), "Pupil", 50, "F");
        return ClassGradeReport(source(), students, 50).totalPage();
    };
    EXPECT_EQ(pages(0), 1);
    EXPECT_EQ(pages(16), 2);
    EXPECT_EQ(pages(17), 3);

    // A class average of 85.7 is a B; no students have no average letter.
    EXPECT_EQ(ClassGradeReport(source(), three, 85.7f).headView().classAvg(), "B");
    EXPECT_EQ(ClassGradeReport(source(), {}, 0).headView().classAvg(), "None");
}

TEST_F(GradebookReportsTest, GradeStatisticsCountEachStudentUnderTheLetterOfTheTotal)
{
    const ClassGradeReportLayout &layout = ClassGradeReportLayout::standard();
    const QList<ConversionLetter> letters = source().conversionLetterArray;
    const ClassGradeStatisticsReportView stats(layout,
                                               {student("1", "a", 95.0f, "A"), student("2", "b", 89.9f, "B"),
                                                student("3", "c", 72.5f, "C"), student("4", "d", 55.0f, "F"),
                                                student("5", "e", 66.0f, "")},
                                               letters);
    // The fifth total was not computed in full: it counts for no letter.
    EXPECT_EQ(stats.letterGradeCountArray(), (QList<int>{1, 1, 1, 0, 1}));
    EXPECT_EQ(stats.totalStudents(), 4);
    EXPECT_EQ(stats.percentArray(), (QList<float>{0.25f, 0.25f, 0.25f, 0.0f, 0.25f}));
    // Overlapping letters: a student counts once, under the highest start reached.
    const ClassGradeStatisticsReportView overlap(layout, {student("1", "a", 100.4f, "A")},
                                                 {letter("A", 90, 100), letter("A+", 95, 100)});
    EXPECT_EQ(overlap.letterGradeCountArray(), (QList<int>{0, 1}));
    // Nobody counted: every share 0, never a division by zero.
    const ClassGradeStatisticsReportView nobody(layout, {}, letters);
    EXPECT_EQ(nobody.percentArray(), (QList<float>(5, 0.0f)));

    HistogramReportView chart;
    chart.setHistogramData(5, {}, {});
    EXPECT_DOUBLE_EQ(chart.barWidth(575), 42.5);
    chart.setHistogramData(1, {}, {});
    EXPECT_DOUBLE_EQ(chart.barWidth(575), 212.5);
    EXPECT_DOUBLE_EQ(chart.barX(0, 575), 272.5);
    chart.setHistogramData(0, {}, {});
    EXPECT_DOUBLE_EQ(chart.barWidth(575), 0);
    EXPECT_EQ(layout.legendHeight(5), 150);
    EXPECT_EQ(layout.legendHeight(6), 172);
    EXPECT_EQ(layout.legendHeight(10), 260);

    // A scale without letters, and thirteen letters taking the first colours again, draw.
    GradebookReportSource bare = source();
    bare.conversionLetterArray.clear();
    render(ClassGradeReport(bare, {student("1", "a", 95.0f, "None")}, 95), 2);
    GradebookReportSource many = source();
    many.conversionLetterArray.clear();
    for (int i = 0; i < 13; ++i)
        many.conversionLetterArray << letter(QStringLiteral("L%1").arg(i), i * 7, i * 7 + 6);
    render(ClassGradeReport(many, {student("1", "a", 95.0f, "L12")}, 95), 2);
}

TEST_F(GradebookReportsTest, ClassGradeHeadWrapsTheWeightListAndKeepsTheScaleInsideTheHead)
{
    GradebookReportSource src = source();
    for (int i = 0; i < 60; ++i) {
        SelectSessionType t;
        t.setSessionType(QStringLiteral("Assignment %1").arg(i));
        t.setWeight(1);
        src.sessionWeightArray << t;
    }
    ClassGradeReport report(src, {student("S1", "Ann Lee", 95.0f, "A")}, 95);
    // The CSV keeps the whole list on one row.
    EXPECT_TRUE(report.csv(QDate(2012, 3, 23)).stringAtRow(9, 1).endsWith("Assignment 59(1%);"));
    // On the page nothing of the head reaches the row table below it (page y 590 and lower).
    const QImage page = render(report, 1);
    int inked = 0;
    for (int y = 1130 - 600 + 1; y < 1130 - 592; ++y)
        for (int x = 40; x < 760; ++x)
            inked += qGray(page.pixel(x, y)) < 100;
    EXPECT_EQ(inked, 0);
}

TEST_F(GradebookReportsTest, ReportCardsGiveEachTickedStudentTheirCourseGrades)
{
    const auto grade = [](const QString &subject, const QList<std::tuple<QString, float, QString>> &details) {
        CourseGradeEntity g;
        PeriodEntity p;
        p.setTitle("Fall");
        p.setDateFrom("2012-09-01");
        p.setDateTo("2013-01-31");
        g.setPeriod(p);
        g.setSubjectName(subject);
        for (const auto &[id, mark, letterGrade] : details) {
            CourseGradeDetail d;
            d.setStudentID(id);
            d.setMark(mark);
            d.setLetterGrade(letterGrade);
            g.allGradeDetails() << d;
        }
        return g;
    };
    const QList<CourseGradeEntity> grades{grade("Maths", {{"S1", 88.0f, "B"}, {"S2", 66.5f, "D"}}),
                                          grade("Physics", {{"S1", 91.25f, "A"}}),
                                          grade("History", {{"S1", 70.0f, "C"}})};
    const auto row = [](const QString &id, const QString &name, bool ticked) {
        SelectStudents s;
        s.setStudentID(id);
        s.setStudentName(name);
        s.setIsSelected(ticked);
        return s;
    };
    // S2 unticked; S9 matches no course grade: a page with the heading band only.
    ReportCardReport report(grades, {row("S1", "Ann Lee", true), row("S2", "Bo Chan", false), row("S9", "Cy Diaz", true)});
    report.setCreatedOn(QDate(2012, 3, 23));
    EXPECT_EQ(report.totalPage(), 2);
    EXPECT_EQ(report.gradingPeriod(), "Fall(2012-09-01~2013-01-31)");
    EXPECT_EQ(report.headView(report.slice(2)).studentName(), "Cy Diaz");
    // Rows 3 to 8 the first card (lines 6 to 8), two empty rows, the second card from row 11;
    // no footer.
    expectGolden("report-card", report);
    EXPECT_EQ(report.csv(QDate(2012, 3, 23)).numOfRows(), 13);

    // A student ticked twice gets two pages; choosing either shows the first.
    ReportCardReport twice(grades, {row("S1", "Ann Lee", true), row("S2", "Bo Chan", true), row("S1", "Ann Lee", true)});
    EXPECT_EQ(twice.totalPage(), 3);
    EXPECT_EQ(twice.sideRowSelected(2), 1);
    EXPECT_EQ(twice.sideRowSelected(1), 2);

    // More lines than a page holds go on over the next page under the same head.
    QList<CourseGradeEntity> many;
    for (int i = 0; i < 40; ++i)
        many << grade(QStringLiteral("Subject %1").arg(i), {{"S1", 50.0f, "F"}});
    ReportCardReport long1(many, {row("S1", "Ann Lee", true), row("S2", "Bo Chan", true)});
    EXPECT_EQ(long1.pages(), (QList<ReportPageSlice>{{0, 0, 32, false}, {0, 32, 8, true}, {1, 40, 0, true}}));
    EXPECT_EQ(long1.sideRowSelected(1), 3);
    EXPECT_EQ(long1.headView(long1.slice(2)).studentName(), "Ann Lee");

    // Nothing handed in: one empty page, no period.
    const ReportCardReport empty({}, {});
    EXPECT_EQ(empty.totalPage(), 1);
    EXPECT_EQ(empty.gradingPeriod(), "");
    render(empty, 1);
}
