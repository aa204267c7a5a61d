#include "ReportTestBase.h"

#include "core/reports/ClassResponseReport.h"
#include "core/reports/ReportPaging.h"
#include "core/reports/ResponseSpreadReport.h"
#include "core/reports/StudentSessionReport.h"
#include "support/ImageCompare.h"

#include <QImage>
#include <QPainter>

namespace {
class SessionReportsTest : public ReportTestBase
{
protected:
    void expectCSV(const QString &caseName, const ReportDocument &report)
    {
        const QByteArray actual = report.csv(QDate(2012, 3, 23)).csvData();
        writeGoldenIfAsked(caseName, actual);
        EXPECT_EQ(actual, expected(caseName));
    }
    static int redPixelsInBand(const QImage &image, int top, int bottom)
    {
        int red = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                red += c.red() - c.green() > 80 && c.red() - c.blue() > 80;
            }
        return red;
    }
};
} // namespace

TEST_F(SessionReportsTest, StudentSessionReportCountsFirstAnswersExactlyAndKeepsTheListsOrder)
{
    const QuizEntity quiz = session("student-session");
    // Student 5 is not ticked; the rest keep the order of their IDs read as numbers.
    StudentSessionReport report(quiz, ticked(quiz, {"5"}));
    const QList<StudentGradeReport> &rows = report.rowArray();
    ASSERT_EQ(rows.size(), 4);
    const auto row = [&](int i) {
        return std::make_tuple(rows[i].studentID(), rows[i].correctRatio(), rows[i].correct(), rows[i].totalPoints());
    };
    // A later right answer to a question already answered counts for nothing.
    EXPECT_EQ(row(0), std::make_tuple(QString("3"), QString("1/3"), 33, 10));
    EXPECT_EQ(row(1), std::make_tuple(QString("007"), QString("3/3"), 100, 30));
    // "CA" is not "AC": wrong, and its stored -5 still lowers the total.
    EXPECT_EQ(row(2), std::make_tuple(QString("12"), QString("2/3"), 66, 15));
    // No answers at all: still a row.
    EXPECT_EQ(row(3), std::make_tuple(QString("20"), QString("0/3"), 0, 0));
    // The ratio's slash is written "|"; the long name is whole; the comma of the session name and
    // of the subject become blanks.
    expectCSV("student-session", report);
    // On the page the name is cut to 20 characters and "..."; the chosen student is outlined.
    EXPECT_EQ(report.sideRowSelected(1), 1);
    EXPECT_TRUE(looksLikeGolden(render(report, 1), testDataPath("reports/student-session/page-1.png")));
}

TEST_F(SessionReportsTest, StudentSessionReportOfASessionWithoutQuestionsShowsNoDivision)
{
    QuizEntity quiz = session("student-session");
    quiz.allQuestions().clear();
    const StudentSessionReport report(quiz, ticked(quiz));
    ASSERT_EQ(report.rowArray().size(), 5);
    for (const StudentGradeReport &row : report.rowArray()) {
        EXPECT_EQ(row.correctRatio(), "0/0");
        EXPECT_EQ(row.correct(), 0);
    }

    // No students at all: one empty page, and a CSV of head, headings and footer.
    const QuizEntity empty = session("empty-session");
    const StudentSessionReport none(empty, ticked(empty));
    EXPECT_EQ(none.totalPage(), 1);
    const CSVOperator csv = none.csv(QDate(2012, 3, 23));
    EXPECT_EQ(csv.numOfRows(), 11);
    EXPECT_EQ(csv.stringAtRow(9, 7), "Total Point");
    EXPECT_EQ(csv.stringAtRow(10, 1), "");
    EXPECT_EQ(csv.stringAtRow(11, 1), "Created On:");
}

TEST_F(SessionReportsTest, PagesHoldRowsByTheSessionNamesLines)
{
    QuizEntity quiz = withStudents(session("student-session"), 27);
    const StudentSessionReport oneLine(quiz, ticked(quiz));
    EXPECT_EQ(oneLine.nameLines(), 1);
    EXPECT_EQ(oneLine.rowPerPage(), 26);
    EXPECT_EQ(oneLine.pages(), (QList<ReportPageSlice>{{0, 0, 26, false}, {0, 26, 1, true}}));

    quiz.setName(QString(45, QLatin1Char('W')));
    const StudentSessionReport twoLines(quiz, ticked(quiz));
    EXPECT_EQ(twoLines.nameLines(), 2);
    EXPECT_EQ(twoLines.rowPerPage(), 25);
    EXPECT_EQ(twoLines.bodyFrame({}), QRectF(25, 70, 744, 695));

    // However long the name, the head takes a bounded number of lines and pages keep rows.
    quiz.setName(QString(5000, QLatin1Char('W')));
    const StudentSessionReport endless(quiz, ticked(quiz));
    EXPECT_EQ(endless.nameLines(), ReportHeadView::kMaxSessionLines);
    EXPECT_GE(endless.rowPerPage(), 1);
    EXPECT_EQ(endless.totalPage(), (27 + endless.rowPerPage() - 1) / endless.rowPerPage());

    const ClassResponseReport classResponse(session("class-response"));
    EXPECT_EQ(classResponse.rowPerPage(), 27) << "no heading row: one row more than the others";
}

TEST_F(SessionReportsTest, StudentListChoiceFindsThePageAndOutlinesTheRowInRed)
{
    const QuizEntity quiz = withStudents(session("student-session"), 30);
    StudentSessionReport report(quiz, ticked(quiz));
    EXPECT_EQ(report.sideList().rows.size(), 30);
    EXPECT_EQ(report.sideRowSelected(29), 2);
    EXPECT_EQ(report.studentID(), "30");
    // Row 4 of page 2 (30 = 26 + 4): its outline is red, rows above are not.
    const QImage page = render(report, 2);
    const int rowTop = 1123 - (70 + 745 - 25 - 57 + 1 - 25 * 4) - 22;
    EXPECT_GT(redPixelsInBand(page, rowTop - 1, rowTop + 24), 1000);
    EXPECT_EQ(redPixelsInBand(page, rowTop - 60, rowTop - 10), 0);
    EXPECT_EQ(report.sideRowSelected(-1), 0);
    EXPECT_EQ(redPixelsInBand(render(report, 2), rowTop - 1, rowTop + 24), 0);
}

TEST_F(SessionReportsTest, ClassResponseReportSharesAreOfTheWholeClass)
{
    const ClassResponseReport report(session("class-response"));
    const QList<Question> &questions = report.questionArray();
    ASSERT_EQ(questions.size(), 7);
    // 10 and 20 of 30: 33.3 % and 66.7 % on the page and in the CSV.
    EXPECT_FLOAT_EQ(questions[0].optionPercentArray()[0], 100.0f / 3);
    EXPECT_EQ(ClassResponseReport::tenths(questions[0].optionPercentArray()[0]), 333);
    EXPECT_EQ(ClassResponseReport::tenths(questions[0].optionPercentArray()[1]), 667);
    EXPECT_EQ(ClassResponseReport::csvPercent(questions[0].optionPercentArray()[0]), "33.3%");
    // Everybody on the right answer of a true-or-false question: "100%" in the CSV.
    EXPECT_EQ(ClassResponseReport::csvPercent(questions[1].optionPercentArray()[0]), "100%");
    EXPECT_EQ(ClassResponseReport::tenths(questions[1].optionPercentArray()[0]), 1000);
    EXPECT_EQ(ClassResponseReport::csvPercent(0), "0.0%");
    EXPECT_EQ(ClassResponseReport::csvPercent(99.99f), "100.0%");
    // "True" is option A; a multiple answer "AB" counts for neither A nor B.
    EXPECT_TRUE(ClassResponseReport::isCorrectOption(questions[1], 0));
    EXPECT_FLOAT_EQ(questions[2].optionPercentArray()[0], 200.0f / 30);
    EXPECT_FLOAT_EQ(questions[2].optionPercentArray()[1], 0);

    // Lines: a wrapped option gives two lines, the letter and share on the first only.
    const QList<SingleColumnString> &rows = report.strArray();
    ASSERT_GE(rows.size(), 5);
    EXPECT_EQ(rows[2].num(), 10000000 + 1000 * 667 + 1001 + 100);
    EXPECT_EQ(rows[3].num(), 1001 + 200);
    EXPECT_EQ(rows[4].num(), 1001 + 200 + 1);
    EXPECT_EQ(rows[4].nMessageType(), 3);
    expectCSV("class-response", report);

    // Choosing a question shows the page its text begins on.
    ClassResponseReport chooser(session("class-response"));
    EXPECT_EQ(chooser.sideRowSelected(6), 1);
}

TEST_F(SessionReportsTest, ClassResponsePageDrawsTheRightAnswerInRed)
{
    const ClassResponseReport report(session("class-response"));
    const QImage page = render(report, 1);
    EXPECT_TRUE(looksLikeGolden(page, testDataPath("reports/class-response/page-1.png")));
    // Row 1 under the title bar is B (correct) of question 1; row 0 is A.
    const double top = 1123 - (70 + 720);
    const auto rowBand = [&](int r) { return int(top + 32 + 25 * r); };
    EXPECT_GT(redPixelsInBand(page, rowBand(2), rowBand(3)), 50);
    EXPECT_EQ(redPixelsInBand(page, rowBand(1), rowBand(2)), 0);
}

TEST_F(SessionReportsTest, NoStudentsGiveSharesOfZeroNotNan)
{
    QuizEntity quiz = session("class-response");
    quiz.allStudents().clear();
    const ClassResponseReport classResponse(quiz);
    const CSVOperator csv = classResponse.csv(QDate(2012, 3, 23));
    for (int r = 1; r <= csv.numOfRows(); ++r)
        EXPECT_FALSE(csv.stringAtRow(r, 6).contains("nan")) << r;
    EXPECT_EQ(csv.stringAtRow(10, 6), "0.0%");

    QuizEntity spread = session("response-spread");
    spread.allStudents().clear();
    const ResponseSpreadReport report(spread);
    const CSVOperator grid = report.csv(QDate(2012, 3, 23));
    EXPECT_EQ(grid.stringAtRow(11, 3), "0.00");
    EXPECT_EQ(grid.stringAtRow(11, 13), "0.00") << "nothing to spread: Other is 0 too";
}

TEST_F(SessionReportsTest, ResponseSpreadOtherIsWhatTheRoundedSharesLeave)
{
    const ResponseSpreadReport report(session("response-spread"));
    const QList<Question> &q = report.questionArray();
    ASSERT_EQ(q.size(), 6);
    for (const Question &question : q)
        EXPECT_EQ(question.optionPercentArray().size(), 10);
    // 10 A and 5 B of 30.
    EXPECT_EQ(ResponseSpreadReport::shareTexts(q[0]).mid(0, 3), (QStringList{"33.33", "16.67", "0.00"}));
    EXPECT_EQ(ResponseSpreadReport::otherText(ResponseSpreadReport::other(q[0])), "50.00");
    // Thirds leave 0.01; sixths add up to 100.02, so the CSV shows -0.02 (and the page 0.00).
    EXPECT_EQ(ResponseSpreadReport::otherText(ResponseSpreadReport::other(q[1])), "0.01");
    EXPECT_EQ(ResponseSpreadReport::otherText(ResponseSpreadReport::other(q[2])), "-0.02");
    // True and False count under A and B; two letters and "__" fall to Other.
    EXPECT_EQ(ResponseSpreadReport::shareTexts(q[4]).mid(0, 2), (QStringList{"66.67", "33.33"}));
    EXPECT_EQ(ResponseSpreadReport::otherText(ResponseSpreadReport::other(q[5])), "40.00");
    EXPECT_FALSE(ResponseSpreadReport::hasNumbers(q[3]));
    expectCSV("response-spread", report);
    EXPECT_TRUE(looksLikeGolden(render(report, 1), testDataPath("reports/response-spread/page-1.png")));
}
