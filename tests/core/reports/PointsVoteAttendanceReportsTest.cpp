#include "ReportTestBase.h"

#include "core/reports/AttendanceReport.h"
#include "core/reports/StudentPointsList.h"
#include "core/reports/VoteReport.h"
#include "core/reports/VoteReportNonAnonymous.h"

namespace {
class PointsVoteAttendanceReportsTest : public ReportTestBase
{
};

QStringList names(const QList<StudentIdNameAnswer> &list)
{
    QStringList out;
    for (const StudentIdNameAnswer &s : list)
        out << s.studentID();
    return out;
}
} // namespace

TEST_F(PointsVoteAttendanceReportsTest, PointsListOrdersByNumericIDAndShowsWholePointsOfFirstNames)
{
    const StudentPointsList report(session("points-list"));
    const QList<StudentGradeReport> &rows = report.studentNameAndPointsArray();
    ASSERT_EQ(rows.size(), 5);
    // A1 counts as 0; 9 before 10.
    QStringList order;
    for (const StudentGradeReport &r : rows)
        order << r.studentID();
    EXPECT_EQ(order, (QStringList{"A1", "2", "5", "9", "10"}));
    // 12.5 shows 12, an empty mark 0, a negative one stays negative; the first name alone.
    EXPECT_EQ(rows[4].totalPoints(), 12);
    EXPECT_EQ(rows[3].totalPoints(), 0);
    EXPECT_EQ(rows[1].totalPoints(), -3);
    EXPECT_EQ(rows[0].studentName(), "Xia");
    // The long first name is whole in the CSV and shortened on the page.
    expectGolden("points-list", report);

    // 27 students make a full page of 26 and one of 1.
    const StudentPointsList many(withStudents(session("points-list"), 27));
    EXPECT_EQ(many.pages(), (QList<ReportPageSlice>{{0, 0, 26, false}, {0, 26, 1, true}}));
}

TEST_F(PointsVoteAttendanceReportsTest, VoteCountsEachAttendantsFirstAnswerAgainstTheAttendants)
{
    const VoteReport report(session("vote"));
    EXPECT_EQ(report.totalStudent(), 15);
    const QList<VotingResultsPrintPerRowDate> &rows = report.printPerRowDateArray();
    using Row = VotingResultsPrintPerRowDate;
    const auto row = [&](int i) {
        return std::make_tuple(rows[i].type(), rows[i].printStr(), rows[i].count(), rows[i].percentText());
    };
    // Question 1: the second answer of voter 1 and the vote of the student who did not attend
    // count for nothing, so one of the fifteen abstained: 6.67 %, as one vote is.
    ASSERT_GE(rows.size(), 12);
    EXPECT_EQ(row(0), std::make_tuple(int(Row::TitleLine), QString("Which colour for the class room?"), 0, QString("0.00%")));
    EXPECT_EQ(rows[0].total(), 15);
    EXPECT_EQ(row(1), std::make_tuple(int(Row::Heading), QString("Candidate"), 0, QString("0.00%")));
    EXPECT_EQ(row(2), std::make_tuple(int(Row::Option), QString("A.Red"), 5, QString("33.33%")));
    EXPECT_EQ(row(3), std::make_tuple(int(Row::Option), QString("B.Blue"), 9, QString("60.00%")));
    EXPECT_TRUE(rows[4].printStr().endsWith("...")) << rows[4].printStr().toStdString();
    EXPECT_EQ(rows[4].count(), 0);
    EXPECT_EQ(row(5), std::make_tuple(int(Row::Abstained), QString("Abstained from voting"), 1, QString("6.67%")));
    // Question 2: an empty title is one title row; true-or-false votes stored as True and False.
    EXPECT_EQ(row(6), std::make_tuple(int(Row::TitleLine), QString(""), 0, QString("0.00%")));
    EXPECT_EQ(row(8), std::make_tuple(int(Row::Option), QString("A.True"), 10, QString("66.67%")));
    EXPECT_EQ(row(9), std::make_tuple(int(Row::Option), QString("B.False"), 5, QString("33.33%")));
    EXPECT_EQ(row(10), std::make_tuple(int(Row::Abstained), QString("Abstained from voting"), 0, QString("0.00%")));
    // Question 3: a title of several lines, numbered from 0; nobody voted.
    EXPECT_EQ(rows[11].count(), 0);
    EXPECT_EQ(rows[12].type(), int(Row::TitleLine));
    EXPECT_EQ(rows[12].count(), 1);
    EXPECT_EQ(rows.last().count(), 15);
    // Every title line carries Total in the CSV; the page shows it on the first line only.
    expectGolden("vote", report);
    EXPECT_EQ(report.totalPage(), 1);
}

TEST_F(PointsVoteAttendanceReportsTest, VoteWithoutAttendantsShowsNoDivision)
{
    QuizEntity quiz = session("vote");
    for (StudentEntity &s : quiz.allStudents())
        s.setLoginTime(QStringLiteral(""));
    const VoteReport report(quiz);
    EXPECT_EQ(report.totalStudent(), 0);
    const CSVOperator csv = report.csv(QDate(2012, 3, 23));
    for (int r = 1; r <= csv.numOfRows(); ++r) {
        EXPECT_FALSE(csv.stringAtRow(r, 5).contains("nan")) << r;
        EXPECT_FALSE(csv.stringAtRow(r, 4).startsWith("-")) << r;
    }
    // No rows at all: the footer stands in row 10.
    const VoteReport empty(session("empty-session"));
    EXPECT_EQ(empty.totalPage(), 1);
    EXPECT_EQ(empty.csv(QDate(2012, 3, 23)).stringAtRow(10, 1), "Created On:");
}

TEST_F(PointsVoteAttendanceReportsTest, AttendanceCountsEachNamedStudentOnceAndPagesTheLongerList)
{
    const AttendanceReport report(session("attendance"));
    // "|12|3|100|3|999|": 3 named twice is absent once, 999 is nobody.
    EXPECT_EQ(names(report.absentList()), (QStringList{"3", "12", "100"}));
    EXPECT_EQ(report.attendantsList().size(), 27);
    EXPECT_EQ(report.participants(), 30);
    EXPECT_EQ(report.rowPerPage(), 22);
    // Page 1: the absentees and attendants 1 to 22; page 2: attendants 23 to 27.
    EXPECT_EQ(report.pages(), (QList<ReportPageSlice>{{0, 0, 22, false}, {0, 22, 5, true}}));
    EXPECT_EQ(report.attendantsList().at(22).studentID(), "25");
    expectGolden("attendance", report);
    EXPECT_TRUE(looksLikeGolden(renderPage(report, 2), testDataPath("reports/attendance/page-2.png")));

    // Exactly 22 in the longer list: one page.
    QuizEntity quiz = session("attendance");
    quiz.allStudents() = quiz.allStudents().mid(0, 22);
    quiz.allRollCall().first().setAbsenceStu(QStringLiteral("|"));
    const AttendanceReport exact(quiz);
    EXPECT_TRUE(exact.absentList().isEmpty());
    EXPECT_EQ(exact.totalPage(), 1);
    EXPECT_EQ(exact.csv(QDate(2012, 3, 23)).stringAtRow(10, 7), "0.00%");
}

TEST_F(PointsVoteAttendanceReportsTest, AttendanceOfNobodyHasOnePageAndNoDivision)
{
    const AttendanceReport report(session("empty-session"));
    EXPECT_EQ(report.totalPage(), 1);
    const CSVOperator csv = report.csv(QDate(2012, 3, 23));
    EXPECT_EQ(csv.stringAtRow(9, 4), "0");
    EXPECT_EQ(csv.stringAtRow(10, 7), "0.00%");
    EXPECT_EQ(csv.stringAtRow(11, 7), "0.00%");
    EXPECT_EQ(csv.stringAtRow(13, 5), "Attendance");
    EXPECT_EQ(csv.stringAtRow(15, 1), "Created On:");
}

TEST_F(PointsVoteAttendanceReportsTest, VotingResultNamesEachAttendantsAnswerAfterTheVotes)
{
    const VoteReportNonAnonymous report(session("vote"));
    EXPECT_FALSE(report.hasCSV());
    // Per question a page of votes and one of its 15 voters.
    EXPECT_EQ(report.totalPage(), 6);
    EXPECT_FALSE(report.pageAt(1).voters);
    EXPECT_TRUE(report.pageAt(2).voters);
    // Votes are counted by the option's letter, as in the vote report.
    EXPECT_EQ(report.voteRowsOf(0).at(2).count(), 5);
    const QList<StudentIdNameAnswer> &voters = report.votersOf(0);
    ASSERT_EQ(voters.size(), 15);
    EXPECT_EQ(voters[0].studentName(), "Voter1 Lee");
    EXPECT_EQ(voters[0].answer(), "A");
    EXPECT_EQ(voters[14].answer(), "__");
    EXPECT_EQ(report.votersOf(1).at(14).answer(), "False");
    EXPECT_TRUE(looksLikeGolden(renderPage(report, 2), testDataPath("reports/vote/page-voters-2.png")));

    // 30 attendants: 26 and 4 voters a question; a title too long for one page takes two.
    QuizEntity quiz = session("vote");
    for (int i = 17; i <= 31; ++i) {
        StudentEntity s = quiz.allStudents().first();
        s.setId(QString::number(i));
        quiz.allStudents().append(s);
    }
    quiz.allQuestions()[0].setTitle(QString(3000, QLatin1Char('M')));
    const VoteReportNonAnonymous many(quiz);
    EXPECT_EQ(many.totalStudent(), 30);
    QList<std::pair<bool, int>> firstQuestion;
    for (int p = 1; p <= many.totalPage() && many.pageAt(p).question == 0; ++p)
        firstQuestion.append({many.pageAt(p).voters, many.pageAt(p).count});
    ASSERT_GE(firstQuestion.size(), 4);
    EXPECT_EQ(firstQuestion.mid(firstQuestion.size() - 2), (QList<std::pair<bool, int>>{{true, 26}, {true, 4}}));
    EXPECT_EQ(firstQuestion[0], std::make_pair(false, 26));

    // Nobody attended: each question's voters' page holds its headings alone.
    QuizEntity absent = session("vote");
    for (StudentEntity &s : absent.allStudents())
        s.setLoginTime(QStringLiteral(""));
    const VoteReportNonAnonymous nobody(absent);
    EXPECT_EQ(nobody.totalPage(), 6);
    EXPECT_EQ(nobody.pageAt(2).count, 0);
    EXPECT_EQ(nobody.voteRowsOf(0).at(2).percentText(), "0.00%");
    // No questions: one empty page.
    EXPECT_EQ(VoteReportNonAnonymous(session("empty-session")).totalPage(), 1);
}
