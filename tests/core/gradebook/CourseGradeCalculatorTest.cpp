#include "GradebookTestBase.h"

#include "core/gradebook/AcademicSummaryReport.h"
#include "core/gradebook/CourseGradeCalculator.h"
#include "core/gradebook/CourseGradeSummaryReport.h"
#include "core/gradebook/ProgressiveReport.h"
#include "core/gradebook/TickedSessionScores.h"
#include "core/store/DataManager.h"
#include "core/gradebook/GradebookSettingRules.h"
#include "core/store/TovCourseGradeXmlDatabase.h"
#include "core/store/TovQuizXmlDatabase.h"

#include <cmath>

namespace {
SelectSessionType counted(const QString &type, float weight)
{
    SelectSessionType t;
    t.setSessionType(type);
    t.setWeight(weight);
    t.setIsSelect(true);
    return t;
}

StudentEntity student(const QString &id, const QString &first, const QString &last, const QString &points = {})
{
    StudentEntity s;
    s.setId(id);
    s.setFirstName(first);
    s.setLastName(last);
    s.setTotalMark(points);
    return s;
}

class CourseGradeCalculatorTest : public GradebookTestBase
{
protected:
    // A points-only session of type with a total mark and the students' points.
    SessionSelect pointsOnly(const QString &type, const QString &total, const QList<StudentEntity> &students)
    {
        QuizEntity quiz;
        quiz.setName(QStringLiteral("Grades %1").arg(++m_count));
        quiz.setDate(QStringLiteral("2012-10-01T10:00:00"));
        quiz.setActionType("1");
        quiz.setSessionType(type);
        quiz.setTotalMark(total);
        quiz.setAllStudents(students);
        QString path;
        EXPECT_TRUE(TovCourseGradeXmlDatabase().addQuizWithName(quiz.name(), quiz, &path));
        return row(type, path, 2);
    }
    // A run activity: one question worth total, each student's answer worth the points given
    // (students without points did not answer).
    SessionSelect run(const QString &type, int total, const QList<QPair<StudentEntity, int>> &answers,
                      const QList<StudentEntity> &absent = {})
    {
        QuizEntity quiz;
        quiz.setName(QStringLiteral("Quiz %1").arg(++m_count));
        quiz.setDate(QStringLiteral("2012-10-02T10:00:00"));
        quiz.setStartTime(QStringLiteral("2012-10-02T10:00:00"));
        quiz.setActionType("1");
        quiz.setSessionType(type);
        quiz.setTotalMark(QString::number(total));
        QuestionEntity q;
        q.setQuNo(1);
        q.setMark(total);
        q.setRightAns("A");
        quiz.allQuestions() << q;
        for (const auto &[s, points] : answers) {
            quiz.allStudents() << s;
            ResponseDataEntity a;
            a.setStudentID(s.id());
            a.setQuestionID("1");
            a.setResponse(points ? "A" : "B");
            a.setStudentPoint(QString::number(points));
            quiz.allStudentsAns() << a;
        }
        quiz.allStudents() << absent;
        QString path;
        EXPECT_TRUE(TovQuizXmlDatabase().addQuizWithName(quiz.name(), quiz, &path));
        return row(type, path, 1);
    }
    static SessionSelect row(const QString &type, const QString &path, int flag)
    {
        SessionSelect r;
        r.setType(type);
        r.setFilePath(path);
        r.setFlag(flag);
        r.setSession(QFileInfo(path).completeBaseName());
        return r;
    }
    static QStringList grid(const CourseGradeCalculator::Result &result)
    {
        QStringList out;
        for (const StudentMarkGrade &r : result.rows) {
            QStringList marks;
            for (float m : r.markArray())
                marks << QString::number(double(m));
            out << QStringLiteral("%1 [%2] %3 %4").arg(r.studentName(), marks.join(' ')).arg(double(r.total())).arg(r.grade());
        }
        return out;
    }

    int m_count = 0;
};
} // namespace

TEST(CourseGradeLetters, TheLetterIsTheHighestLowerBoundReachedWhateverTheOrder)
{
    const QList<ConversionLetter> defaults = GradebookSettingRules::defaultLetters();
    EXPECT_EQ(CourseGradeCalculator::letterFor(98.0f, defaults), "Letter1");
    EXPECT_EQ(CourseGradeCalculator::letterFor(88.0f, defaults), "Letter2");
    EXPECT_EQ(CourseGradeCalculator::letterFor(60.0f, defaults), "Letter4");
    EXPECT_EQ(CourseGradeCalculator::letterFor(59.95f, defaults), "Letter5");

    // The order a scale has after a load (letters by name).
    const QList<ConversionLetter> byName{letter("A", 93, 96),  letter("A+", 97, 100), letter("A-", 90, 92),
                                         letter("B", 80, 89),  letter("B+", 87, 89),  letter("C", 0, 79)};
    EXPECT_EQ(CourseGradeCalculator::letterFor(98.0f, byName), "A+");
    EXPECT_EQ(CourseGradeCalculator::letterFor(88.0f, byName), "B+");
    EXPECT_EQ(CourseGradeCalculator::letterFor(90.0f, byName), "A-");
    EXPECT_EQ(CourseGradeCalculator::letterFor(79.9f, byName), "C");
    EXPECT_EQ(CourseGradeCalculator::letterFor(85.0f, {letter("A", 90, 100), letter("B", 80, 89), letter("C", 70, 79)}),
              "B");
    EXPECT_EQ(CourseGradeCalculator::letterFor(40.0f, {letter("A", 50, 100)}), "None");
    EXPECT_EQ(CourseGradeCalculator::letterFor(std::nanf(""), defaults), "None");
}

TEST(CourseGradeLetters, TotalsRoundHalfUpToATenthInSinglePrecision)
{
    EXPECT_EQ(CourseGradeCalculator::roundedTotal(85.37f), 85.4f);
    EXPECT_EQ(CourseGradeCalculator::roundedTotal(85.34f), 85.3f);
    EXPECT_EQ(CourseGradeCalculator::roundedTotal(89.96f), 90.0f);
    EXPECT_EQ(CourseGradeCalculator::roundedTotal(74.0f), 74.0f);
    EXPECT_EQ(CourseGradeCalculator::roundedTotal(0.0f), 0.0f);
    EXPECT_EQ(CourseGradeCalculator::roundedTotal(100.0f), 100.0f);
    EXPECT_EQ(CourseGradeCalculator::classAverage({}), 0.0f);
}

TEST_F(CourseGradeCalculatorTest, WeightedMarksFollowTheSessionsOfEachCountedType)
{
    const StudentEntity ann = student("S1", "Ann", "Lee");
    const StudentEntity bo = student("S2", "Bo", "");
    const StudentEntity cy = student("S3", "", "");
    // Exam 60%: a run activity of 10 points; Ann 8, Bo 5, Cy absent (0 for him).
    // Homework 40%: two points-only sessions of 20; Bo is only in the first.
    const QList<SessionSelect> ticked{
        run("Exam", 10, {{ann, 8}, {bo, 5}}),
        pointsOnly("Homework", "20", {student("S1", "Ann", "Lee", "13"), student("S2", "Bo", "", "20")}),
        pointsOnly("Homework", "20", {student("S1", "Ann", "Lee", "13"), student("S3", "", "", "10")}),
    };
    const auto result = CourseGradeCalculator::compute({counted("Exam", 60), counted("Homework", 40)}, ticked,
                                                       GradebookSettingRules::defaultLetters());
    EXPECT_TRUE(result.unreadable.isEmpty());
    // Ann: 60 x 0.8 = 48, 40 x 0.65 = 26, 74. Bo: 30 + 40 = 70. Cy ("Null"): 0 + 20 = 20.
    EXPECT_EQ(grid(result), (QStringList{"Ann Lee [48 26] 74 Letter3", "Bo [30 40] 70 Letter3", "Null [0 20] 20 Letter5"}));
    EXPECT_FLOAT_EQ(CourseGradeCalculator::classAverage(result.rows), 164.0f / 3.0f);
}

TEST_F(CourseGradeCalculatorTest, NothingToRateAStudentByGivesZeroAndNoLetterNeverNan)
{
    const QList<SessionSelect> ticked{
        pointsOnly("Exam", "50", {student("S1", "Ann", "", "50")}),
        pointsOnly("Homework", "0", {student("S1", "Ann", "", "0"), student("S2", "Bo", "", "0")}),
        pointsOnly("Homework", "10", {student("S1", "Ann", "", "5")}),
    };
    const auto result = CourseGradeCalculator::compute({counted("Exam", 50), counted("Homework", 50)}, ticked,
                                                       GradebookSettingRules::defaultLetters());
    // The session worth 0 points rates nobody; Bo has no exam and no homework to be rated by.
    EXPECT_EQ(grid(result), (QStringList{"Ann [50 25] 75 Letter3", "Bo [0 0] 0 "}));
    for (const StudentMarkGrade &r : result.rows)
        EXPECT_TRUE(std::isfinite(r.total()));
}

TEST_F(CourseGradeCalculatorTest, AnUnreadableSessionIsNamedAndCountsForNobody)
{
    SessionSelect good = pointsOnly("Exam", "10", {student("S1", "Ann", "", "5")});
    SessionSelect bad = row("Exam", home() + "Data/Quiz/missing.xml", 1);
    bad.setSession("Lost quiz");
    const auto result = CourseGradeCalculator::compute({counted("Exam", 100)}, {good, bad}, {letter("P", 0, 100)});
    ASSERT_EQ(result.unreadable.size(), 1);
    EXPECT_TRUE(result.unreadable.at(0).startsWith("Lost quiz: "));
    EXPECT_EQ(grid(result), QStringList{"Ann [50] 50 P"});
}

// The grid and every report that takes its rows rate a student by the same sessions: a run
// activity rates everyone (0 for one who did not answer, and then missed); a points-only session
// only the students it lists; a session worth 0 points nobody. So a student's report rows add up
// to his course grade.
TEST_F(CourseGradeCalculatorTest, EveryGradebookReportRatesAStudentByTheSessionsOfHisCourseGrade)
{
    const StudentEntity ann = student("S1", "Ann", "Lee");
    const StudentEntity bo = student("S2", "Bo", "");
    const StudentEntity cy = student("S3", "Cy", "");
    const QList<SessionSelect> made{
        // Exam 60 %: a run of 10 points (Cy is on it and answers nothing), and points-only 20
        // without Bo.
        run("Exam", 10, {{ann, 8}, {bo, 5}}, {cy}),
        pointsOnly("Exam", "20", {student("S1", "Ann", "Lee", "18"), student("S3", "Cy", "", "20")}),
        // Homework 40 %: two points-only sessions of 20 (Bo only on the first, Cy only on the
        // second) and one worth 0 points.
        pointsOnly("Homework", "20", {student("S1", "Ann", "Lee", "13"), student("S2", "Bo", "", "20")}),
        pointsOnly("Homework", "20", {student("S1", "Ann", "Lee", "13"), student("S3", "Cy", "", "10")}),
        pointsOnly("Homework", "0", {student("S1", "Ann", "Lee", "0"), student("S2", "Bo", "", "0")}),
    };
    // The rows as the session picker lists them, with its averages.
    const std::optional<QList<SessionSelect>> listed =
        DataManager::getAllQuizsWhereClassName("", "", "", "2012-01-01", "2013-12-31");
    ASSERT_TRUE(listed);
    QList<SessionSelect> ticked;
    for (const SessionSelect &m : made)
        for (SessionSelect row : *listed)
            if (row.filePath() == m.filePath()) {
                row.setIsSelect(true);
                ticked << row;
            }
    ASSERT_EQ(ticked.size(), made.size());

    GradebookReportSource source;
    source.sessionWeightArray = {counted("Exam", 60), counted("Homework", 40)};
    source.conversionLetterArray = GradebookSettingRules::defaultLetters();
    source.tickedSessions = ticked;
    const auto result = CourseGradeCalculator::compute(source.sessionWeightArray, ticked, source.conversionLetterArray);
    // Ann: exams 0.8, 0.9 = 51, homework 0.65 = 26: 77. Bo: exam 0.5 = 30, homework 1.0 = 40: 70.
    // Cy: exams 0 and 1.0 = 30, homework 0.5 = 20: 50.
    EXPECT_EQ(grid(result), (QStringList{"Ann Lee [51 26] 77 Letter3", "Bo [30 40] 70 Letter3", "Cy [30 20] 50 Letter5"}));

    const TickedSessionScores scores = TickedSessionScores::read(ticked);
    const ProgressiveReport progressive(source, scores, result.rows, 0);
    const AcademicSummaryReport academic(source, scores, result.rows, 0);
    const CourseGradeSummaryReport summary(source, scores, result.rows);
    const CSVOperator summaryCsv = summary.csv(QDate(2012, 3, 23));
    int csvRow = 8; // the first student's first type row
    for (int i = 0; i < result.rows.size(); ++i) {
        const StudentMarkGrade &row = result.rows.at(i);
        SCOPED_TRACE(row.studentName().toStdString());
        QMap<QString, QList<float>> percents;
        int sessions = 0;
        for (const PregressReportData &r : progressive.rowsOf(i))
            if (r.flag() == PregressReportData::SessionRow) {
                percents[r.sessionType()] << r.point().toFloat();
                ++sessions;
            }
        EXPECT_EQ(progressive.headViewArray().at(i).totalSessions(), sessions);
        // The type rows, weighted, give the total; each its mark of the grid.
        float sum = 0;
        int typeRows = 0;
        for (const AcademicSummary &r : academic.rowsOf(i)) {
            if (r.hasMissedSession())
                continue;
            const qsizetype t = r.sessionType() == "Exam" ? 0 : 1;
            const float mark = source.sessionWeightArray.at(t).weight() * r.averagePercent() / 100.0f;
            EXPECT_EQ(CourseGradeCalculator::oneDecimal(mark), row.markArray().at(t)) << r.sessionType().toStdString();
            EXPECT_EQ(r.count(), percents.value(r.sessionType()).size());
            sum += mark;
            // The summary's row of the type and the final row say the same.
            EXPECT_EQ(summaryCsv.stringAtRow(csvRow++, 5), QString::asprintf("%.1f", double(r.averagePercent())));
            ++typeRows;
        }
        EXPECT_EQ(CourseGradeCalculator::roundedTotal(sum), row.total());
        EXPECT_EQ(typeRows, 2);
        EXPECT_EQ(summaryCsv.stringAtRow(csvRow, 1), "Final");
        EXPECT_EQ(summaryCsv.stringAtRow(csvRow, 5), QString::asprintf("%.1f", double(row.total())));
        // Past the final row, an empty row and the next student's head.
        csvRow += 7;
    }
    // Bo is on neither the second exam nor the second homework: no row, not missed. Cy answered
    // nothing in the run: 0 and missed. The session worth 0 points is nobody's.
    QStringList missed;
    for (int i = 0; i < result.rows.size(); ++i)
        for (const PregressReportData &r : progressive.rowsOf(i))
            if (r.flag() == PregressReportData::MissedRow)
                missed << QStringLiteral("%1 %2").arg(result.rows.at(i).studentID(), r.session());
    EXPECT_EQ(missed, (QStringList{"S2 Quiz 1", "S3 Quiz 1", "S3 Grades 4"}));
    EXPECT_EQ(progressive.headViewArray().at(1).totalSessions(), 2);

    // The run's average is 13 points of 3 students over 10: 43.3 %, from the unrounded 4.33
    // points (the rounded 4.3 would give 43.0).
    const PregressReportData &first = progressive.rowsOf(0).at(0);
    EXPECT_EQ(first.session(), "Quiz 1");
    EXPECT_EQ(QString::asprintf("%.1f", double(first.sessionAvg())), "43.3");
}
