#include "ReportTestBase.h"

#include "core/reports/ClassStudyGuideReport.h"
#include "core/reports/ClassStudyGuideView.h"
#include "core/reports/QuestionReportHistogramView.h"
#include "core/reports/ReportDrawing.h"
#include "core/reports/ReportQuestionLines.h"
#include "core/reports/ReportStyle.h"
#include "core/reports/SessionQuestionReport.h"
#include "core/reports/StudentResponseResultReport.h"
#include "core/reports/StudyGuideReport.h"
#include "core/reports/StudyGuideView.h"
#include "support/ImageCompare.h"

#include <QImage>
#include <QPainter>

// The reports that print a session's questions or each student's missed questions: the Question
// Report, the Study Guide, the Class Study Guide and the Student Response Result, over the
// question-paper session (a question of each type; Bob's answers stored out of order, Carla's
// first answer to question 1 followed by a second, Dan without answers, Eve not ticked).
namespace {
class QuestionPaperReportsTest : public ReportTestBase
{
protected:
    void expectGolden(const QString &caseName, const ReportDocument &report)
    {
        const QByteArray actual = report.csv(QDate(2012, 3, 23)).csvData();
        writeGoldenIfAsked(caseName, actual);
        EXPECT_EQ(actual, expected(caseName));
        EXPECT_TRUE(
            looksLikeGolden(render(report, 1), testDataPath(QStringLiteral("reports/%1/page-1.png").arg(caseName))));
    }
    QuizEntity paper() const { return session("question-paper"); }
    // Every student but Eve, in the chooser's order: 3 Bob, 007 Carla, 12 Ann, 20 Dan.
    static QList<SelectStudents> class4(const QuizEntity &quiz) { return ticked(quiz, {"5"}); }

    // A session of questions made here: type code, text and option count each.
    struct Q
    {
        QString type;
        QString text;
        int options = 2;
        QString right = QStringLiteral("A");
    };
    static QuizEntity madeSession(const QList<Q> &questions, int students)
    {
        QuizEntity quiz;
        quiz.setName(QStringLiteral("Made"));
        quiz.setActionType(QStringLiteral("Normal Quiz"));
        for (int i = 0; i < questions.size(); ++i) {
            QuestionEntity q;
            q.setQuNo(i + 1);
            q.setQuType(questions[i].type);
            q.setTitle(questions[i].text);
            q.setRightAns(questions[i].right);
            for (int j = 0; j < questions[i].options; ++j) {
                QuestionOptionEntity o;
                o.setText(QStringLiteral("Option %1").arg(j));
                q.allOptions().append(o);
            }
            quiz.allQuestions().append(q);
        }
        return withStudents(quiz, students);
    }
    // A text of exactly lines lines at width in the reports' Arial 18.
    static QString textOfLines(int lines, double width)
    {
        const auto count = [width](const QString &text) {
            return ReportQuestionLines::textLines(text, width, ReportStyle::arial(18)).size();
        };
        QString text;
        while (count(text) < lines || text.isEmpty())
            text += QStringLiteral("word ");
        while (count(text + QLatin1Char('w')) == lines)
            text += QLatin1Char('w');
        return text;
    }
    static int pixelsOf(const QImage &image, const QColor &colour)
    {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                n += std::abs(c.red() - colour.red()) < 3 && std::abs(c.green() - colour.green()) < 3
                     && std::abs(c.blue() - colour.blue()) < 3;
            }
        return n;
    }
};
} // namespace

TEST_F(QuestionPaperReportsTest, QuestionReportCountsTheTickedStudentsRepliesByQuestionNumber)
{
    const QuizEntity quiz = paper();
    SessionQuestionReport report(quiz, class4(quiz));
    ASSERT_EQ(report.studentAnswersArray().size(), 4);
    const StudentAnswers<> &bob = report.studentAnswersArray()[0];
    // Bob's six records are stored out of order: each still answers its own question.
    EXPECT_EQ(bob.answers()[0].str(), "a");
    EXPECT_EQ(bob.answers()[1].str(), "AC");
    EXPECT_EQ(bob.answers()[3].str(), "") << "an empty reply stays as stored";
    // Dan has no answers: "__" everywhere.
    for (const SingleColumnString &answer : report.studentAnswersArray()[3].answers())
        EXPECT_EQ(answer.str(), "__");

    // Single answer: "a" (lower case), "AB" (Carla's first of two) and "__" are Other.
    const ChoiseCount &single = report.choiseArray()[0];
    EXPECT_EQ(single.bCount(), 1);
    EXPECT_EQ(single.otherCount(), 3);
    EXPECT_EQ(single.max(), 3);
    // True or false: "True" counts as True, "f" and "B" as False, "__" as Other; Eve's "False"
    // is not counted, she is not ticked.
    const ChoiseCount &trueFalse = report.choiseArray()[4];
    EXPECT_EQ(std::make_tuple(trueFalse.aCount(), trueFalse.bCount(), trueFalse.otherCount()),
              std::make_tuple(1, 2, 1));
    // Multiple answer, cloze test, short answer and the page that is no question: no counts.
    for (int q : {1, 2, 3, 5})
        EXPECT_EQ(report.choiseArray()[q].max(), 0) << q;

    // Blocks: the wrapped option C gives two lines, the letter on its first; the cloze test
    // shows its mark instead of options; every block ends with the correct answer and heading.
    const QList<SingleColumnString> &first = report.block(0);
    ASSERT_EQ(first.size(), 8);
    EXPECT_EQ(first[3].num(), 1201);
    EXPECT_EQ(first[4].num(), 1202);
    EXPECT_EQ(first[6].str(), "Correct Answer:B");
    EXPECT_EQ(first[7].num(), -1);
    EXPECT_EQ(report.block(2)[1].str(), "Cloze Test");
    EXPECT_EQ(report.block(5).size(), 4) << "two lines of text, no options, for a page that is no question";

    // One page each; the chart stands under the single-answer question's table.
    EXPECT_EQ(report.pageArray(), (QList<int>{1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(report.sideRowSelected(4), 5);
    expectGolden("question-report", report);
}

TEST_F(QuestionPaperReportsTest, QuestionPagesLeaveTheChartItsRowsOrGiveItAPage)
{
    // Single answer, two options: a block of 5 rows; 25 rows a page.
    const auto pagesWith = [&](const QString &type, int students) {
        const QuizEntity quiz = madeSession({{type, "Q"}}, students);
        return SessionQuestionReport(quiz, ticked(quiz)).pages();
    };
    // 5 + 12 rows leave 8 free: the chart on the page; 13 students leave 7: a page of its own.
    EXPECT_EQ(pagesWith("1", 12), (QList<ReportPageSlice>{{0, 0, 17, true}}));
    EXPECT_EQ(pagesWith("1", 13), (QList<ReportPageSlice>{{0, 0, 18, false}, {0, 18, 0, true}}));
    EXPECT_EQ(pagesWith("5", 13).size(), 2);
    // No chart for a multiple-answer question: one page.
    EXPECT_EQ(pagesWith("2", 13).size(), 1);
    // More students than fit: the table goes on, 25 a page, its heading not repeated.
    EXPECT_EQ(pagesWith("2", 60), (QList<ReportPageSlice>{{0, 0, 25, false}, {0, 25, 25, false}, {0, 50, 15, true}}));

    // A block of exactly 25 rows and no student fills one page, and no empty page follows.
    const QuizEntity full = madeSession({{"NULL", textOfLines(23, 700)}}, 0);
    const SessionQuestionReport exact(full, ticked(full));
    ASSERT_EQ(exact.block(0).size(), 25);
    EXPECT_EQ(exact.totalPage(), 1);

    // The list leads to a question's first page: 2 and 3 pages before the third question.
    const QuizEntity three = madeSession({{"1", "Q"}, {"1", textOfLines(25, 700)}, {"1", "Q"}}, 30);
    SessionQuestionReport report(three, ticked(three));
    EXPECT_EQ(report.pageArray(), (QList<int>{2, 3, 2}));
    EXPECT_EQ(report.sideRowSelected(2), 6);
    EXPECT_EQ(report.totalPage(), 7);

    // A session name of two lines: 24 rows, and pages 25 shorter.
    QuizEntity named = madeSession({{"1", "Q"}}, 40);
    named.setName(QString(45, QLatin1Char('W')));
    const SessionQuestionReport twoLines(named, ticked(named));
    EXPECT_EQ(twoLines.rowPerPage(), 24);
    EXPECT_EQ(twoLines.bodyFrame({}), QRectF(25, 70, 744, 695));

    // The chart page draws the bars: the Other bar's front, all 13 students being Other.
    const QuizEntity chart = madeSession({{"1", "Q"}}, 13);
    const SessionQuestionReport charted(chart, ticked(chart));
    EXPECT_EQ(pixelsOf(render(charted, 1), QuestionReportHistogramView::frontColor(10)), 0);
    EXPECT_GT(pixelsOf(render(charted, 2), QuestionReportHistogramView::frontColor(10)), 38 * 100);
}

TEST_F(QuestionPaperReportsTest, HistogramScaleCoversTheLargestCountInEightSteps)
{
    EXPECT_EQ(QuestionReportHistogramView::numPerCell(0), 1);
    EXPECT_EQ(QuestionReportHistogramView::numPerCell(8), 1);
    EXPECT_EQ(QuestionReportHistogramView::numPerCell(9), 2);
    EXPECT_EQ(QuestionReportHistogramView::numPerCell(17), 3);
    EXPECT_EQ(QuestionReportHistogramView::barHeight(8, 1), 128);
    EXPECT_EQ(QuestionReportHistogramView::barHeight(9, 2), 72);
    EXPECT_EQ(QuestionReportHistogramView::barHeight(0, 3), 0);
}

TEST_F(QuestionPaperReportsTest, StudyGuideListsEachStudentsMissedQuestions)
{
    const QuizEntity quiz = paper();
    StudyGuideReport report(quiz, class4(quiz));
    const QList<StudyGuide> &guides = report.studyGuideArray();
    ASSERT_EQ(guides.size(), 4);
    EXPECT_EQ(guides[0].studentID(), "3");
    const auto answerLines = [](const StudyGuide &guide) {
        QStringList lines;
        for (const SingleColumnString &row : guide.strArray())
            if (row.num() == StudyGuideView::kYourAnswer)
                lines << row.str();
        return lines;
    };
    // Bob's out-of-order records answer their own questions: question 2 (AC) is right and not
    // listed; "__", an empty reply and no record at all are missed.
    EXPECT_EQ(answerLines(guides[0]),
              (QStringList{"Your Answer:a", "Your Answer:__", "Your Answer:", "Your Answer:f", "Your Answer:__"}));
    // Carla's first answer to question 1 counts, not her second.
    EXPECT_EQ(answerLines(guides[1]).first(), "Your Answer:AB");
    // A true-or-false question is listed without options.
    const QList<SingleColumnString> &bob = guides[0].strArray();
    const auto sun =
        std::find_if(bob.begin(), bob.end(), [](const auto &r) { return r.str() == "The sun is a star."; });
    ASSERT_NE(sun, bob.end());
    EXPECT_EQ((sun + 1)->str(), "Your Answer:f");

    // Dan missed everything: 24 lines a page, his second page holds the rest; the list leads to
    // his first.
    EXPECT_EQ(report.rowPerPage(), 24);
    EXPECT_EQ(report.totalPage(), 5);
    EXPECT_EQ(report.pages()[3], (ReportPageSlice{3, 60, 24, false}));
    EXPECT_EQ(report.sideRowSelected(3), 4);
    expectGolden("study-guide", report);

    // A student who answered everything right: one page saying so, and one CSV row.
    QuizEntity one = paper();
    one.allQuestions() = one.allQuestions().mid(0, 1);
    QList<SelectStudents> ann = ticked(one, {"3", "007", "20", "5"});
    const StudyGuideReport right(one, ann);
    EXPECT_EQ(right.totalPage(), 1);
    EXPECT_TRUE(right.studyGuideArray()[0].strArray().isEmpty());
    const CSVOperator csv = right.csv(QDate(2012, 3, 23));
    EXPECT_EQ(csv.stringAtRow(10, 2), "12 Ann Lee");
    EXPECT_EQ(csv.stringAtRow(11, 1), "There is no record.");
    EXPECT_TRUE(looksLikeGolden(render(right, 1), testDataPath("reports/study-guide/no-record.png")));
}

TEST_F(QuestionPaperReportsTest, ClassStudyGuideSumsUpTheMissedShareFiveToAPage)
{
    const QuizEntity quiz = paper();
    ClassStudyGuideReport report(quiz, class4(quiz));
    const QList<StudentAnswers<>> &students = report.studentAnswersArray();
    ASSERT_EQ(students.size(), 4);
    QList<int> missed;
    for (const StudentAnswers<> &s : students)
        missed << int(s.answers().size());
    EXPECT_EQ(missed, (QList<int>{5, 5, 3, 6}));
    EXPECT_EQ(students[0].answers()[2].str(), "") << "an empty reply is kept (the page shows __)";
    EXPECT_EQ(students[1].answers()[4].str(), "__") << "no record";
    // Five missed questions a page: Dan's sixth goes on a page of its own.
    EXPECT_EQ(report.entriesPerPage(), 5);
    EXPECT_EQ(report.totalPage(), 5);
    EXPECT_EQ(report.pages()[4], (ReportPageSlice{3, 18, 1, true}));
    EXPECT_EQ(report.sideRowSelected(3), 4);
    expectGolden("class-study-guide", report);

    // The summary as the design's example reads; no questions divide by nothing.
    const QString format = ClassStudyGuideView::summaryFormat();
    EXPECT_EQ(ClassStudyGuideView::summary(format, 3, 20), "You missed 3 out of 20 questions for 15.0% incorrect.");
    EXPECT_EQ(ClassStudyGuideView::summary(format, 0, 0), "You missed 0 out of 0 questions for 0.0% incorrect.");

    // 21 missed questions: pages of 5, 5, 5, 5 and 1, each shown once.
    QuizEntity many = madeSession(QList<Q>(21, Q{"1", "Q"}), 1);
    const ClassStudyGuideReport long21(many, ticked(many));
    QList<int> counts;
    for (const ReportPageSlice &page : long21.pages())
        counts << page.count;
    EXPECT_EQ(counts, (QList<int>{5, 5, 5, 5, 1}));
}

TEST_F(QuestionPaperReportsTest, StudentResponseResultMarksAndScoresEveryAnswer)
{
    const QuizEntity quiz = paper();
    StudentResponseResultReport report(quiz, class4(quiz));
    const QList<StudentAnswers<>> &students = report.studentAnswersArray();
    ASSERT_EQ(students.size(), 4);
    const auto marks = [](const StudentAnswers<> &s) {
        QString out;
        for (const SingleColumnString &a : s.answers())
            out += a.num() == 1 ? 'v' : 'x';
        return out;
    };
    EXPECT_EQ(marks(students[0]), "xvxxxx");
    EXPECT_EQ(marks(students[2]), "vxvxvx");
    EXPECT_EQ(students[0].answers()[1].point(), 10);
    // The stored total: every stored point of the student (Carla's second answer too); the CSV
    // file adds up the rows instead: 10.
    EXPECT_EQ(students[1].totalPoints(), 20);
    int rows = 0;
    for (const SingleColumnString &a : students[1].answers())
        rows += a.point();
    EXPECT_EQ(rows, 10);

    // The paper is 26 lines (option C and the last text take more than one): two pages a student
    // at 24 a page.
    EXPECT_EQ(report.arrayForCSV().size(), 26);
    EXPECT_EQ(report.totalPage(), 8);
    EXPECT_EQ(report.pages()[1], (ReportPageSlice{0, 24, 2, true}));
    EXPECT_EQ(report.sideRowSelected(2), 5);
    expectGolden("student-response-result", report);
    // The question that goes over the page shows its gain again on the next page.
    EXPECT_TRUE(looksLikeGolden(render(report, 2), testDataPath("reports/student-response-result/page-2.png")));

    // Rush Quiz: a wrong answer costs the question's points, a missed chance too; no answer costs nothing.
    QuizEntity rush = paper();
    rush.setActionType(QStringLiteral("Rush Quiz"));
    const StudentResponseResultReport rushed(rush, class4(rush));
    QList<int> bob, carla;
    for (const SingleColumnString &a : rushed.studentAnswersArray()[0].answers())
        bob << a.point();
    for (const SingleColumnString &a : rushed.studentAnswersArray()[1].answers())
        carla << a.point();
    EXPECT_EQ(bob, (QList<int>{-10, 10, 0, 0, -10, 0}));
    EXPECT_EQ(carla, (QList<int>{-10, 10, -10, -10, -10, 0}));
    // Multiple Mode deducts only on its rush questions.
    QuizEntity multiple = paper();
    multiple.setActionType(QStringLiteral("Multiple Mode"));
    multiple.allQuestions()[4].setQuMode(QStringLiteral("4"));
    const StudentResponseResultReport mixed(multiple, class4(multiple));
    bob.clear();
    for (const SingleColumnString &a : mixed.studentAnswersArray()[0].answers())
        bob << a.point();
    EXPECT_EQ(bob, (QList<int>{0, 10, 0, 0, -10, 0}));
}

TEST_F(QuestionPaperReportsTest, NoAnswerIsNeverRightAndThePageAndTheCsvAgree)
{
    // A question without a correct answer and a student without an answer to it.
    QuizEntity quiz = paper();
    quiz.allQuestions()[0].setRightAns(QString());
    const StudentResponseResultReport report(quiz, ticked(quiz, {"3", "007", "12", "5"}));
    const SingleColumnString dan = report.studentAnswersArray()[0].answers()[0];
    EXPECT_EQ(dan.num(), 0);
    EXPECT_EQ(dan.point(), 0);
    const CSVOperator csv = report.csv(QDate(2012, 3, 23));
    EXPECT_EQ(csv.stringAtRow(10, 9), "0") << "the page's total";
    EXPECT_EQ(csv.stringAtRow(17, 1), "Your Answer:__");
    EXPECT_EQ(csv.stringAtRow(17, 9), "cross");
}

TEST_F(QuestionPaperReportsTest, EmptySessionsGiveOnePageAndAHeadedCsv)
{
    const QuizEntity empty = session("empty-session");
    std::vector<std::unique_ptr<ReportDocument>> reports;
    reports.push_back(std::make_unique<SessionQuestionReport>(empty, ticked(empty)));
    reports.push_back(std::make_unique<StudyGuideReport>(empty, ticked(empty)));
    reports.push_back(std::make_unique<ClassStudyGuideReport>(empty, ticked(empty)));
    reports.push_back(std::make_unique<StudentResponseResultReport>(empty, ticked(empty)));
    for (const auto &report : reports) {
        EXPECT_EQ(report->totalPage(), 1) << report->reportName().toStdString();
        EXPECT_FALSE(render(*report, 1).isNull());
        const CSVOperator csv = report->csv(QDate(2012, 3, 23));
        EXPECT_EQ(csv.stringAtRow(1, 1), report->reportName());
        EXPECT_EQ(csv.stringAtRow(csv.numOfRows(), 1), "Created On:");
    }
    // Students but no questions: nothing missed, out of nothing.
    QuizEntity noQuestions = paper();
    noQuestions.allQuestions().clear();
    const ClassStudyGuideReport guide(noQuestions, class4(noQuestions));
    EXPECT_EQ(guide.csv(QDate(2012, 3, 23)).stringAtRow(11, 1), "You missed 0 out of 0 questions for 0.0% incorrect.");
    const SessionQuestionReport questions(noQuestions, class4(noQuestions));
    EXPECT_EQ(questions.totalPage(), 1);
    EXPECT_FALSE(render(questions, 1).isNull());
}

TEST_F(QuestionPaperReportsTest, WrappedLinesStayWithinTheirWidthAndKeepEveryCharacter)
{
    // The wrap adds widths cut to whole points: a long line of narrow-and-wide characters would
    // come out wider than its column, and the page would cut its end off.
    const QFont font = ReportStyle::arial(18);
    const QString text = QString("Wil lit fmi WMW ").repeated(30);
    double widest = 0;
    for (const QString &line : getStrings(text, 716, font))
        widest = std::max(widest, textWidthF(line, font));
    ASSERT_GT(widest, 716) << "the plain wrap overflows here";
    const QStringList lines = getStringsWithin(text, 716, font);
    EXPECT_GT(lines.size(), 1);
    EXPECT_EQ(lines.join(QString()), text);
    for (const QString &line : lines)
        EXPECT_LE(textWidthF(line, font), 716) << line.toStdString();
    // Where the wrap fits, its breaks stay as they are.
    EXPECT_EQ(getStringsWithin("short", 716, font), getStrings("short", 716, font));
    for (const SingleColumnString &row : ReportQuestionLines::optionLines({text}, 716, font))
        EXPECT_EQ(getStringWithSuspensionPoint(row.str(), 744 - 2 - textWidthF("A.", font), font), row.str());
}
