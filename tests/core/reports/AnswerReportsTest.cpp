#include "ReportTestBase.h"

#include "core/reports/CorrectRateStatistics.h"
#include "core/reports/ResultByQuestionReport.h"
#include "core/reports/ReportStyle.h"
#include "core/reports/ResultOfEliminationReport.h"

namespace {
class AnswerReportsTest : public ReportTestBase
{
protected:
    // quiz with count students answering question 1 (its right answer "A") after seconds each.
    static QuizEntity bandOf(QuizEntity quiz, int count, int seconds, int firstID = 1)
    {
        for (int i = firstID; i < firstID + count; ++i) {
            StudentEntity s;
            s.setId(QString::number(i));
            s.setFirstName(QStringLiteral("Pupil%1").arg(i));
            quiz.allStudents().append(s);
            ResponseDataEntity a;
            a.setStudentID(s.id());
            a.setQuestionID(QStringLiteral("1"));
            a.setResponse(i % 2 ? QStringLiteral("A") : QStringLiteral("B"));
            a.setTime(seconds);
            quiz.allStudentsAns().append(a);
        }
        return quiz;
    }
    QuizEntity oneQuestion(const QString &caseName) const
    {
        QuizEntity quiz = session(caseName);
        quiz.allQuestions() = quiz.allQuestions().mid(0, 1);
        quiz.allStudents().clear();
        quiz.allStudentsAns().clear();
        return quiz;
    }
    static QList<int> kinds(const QList<CorrectRateStatistics::Row> &rows, int from, int count)
    {
        QList<int> out;
        for (int i = from; i < from + count && i < rows.size(); ++i)
            out << rows.at(i).flag();
        return out;
    }
};
} // namespace

TEST_F(AnswerReportsTest, AnswerTimesFallIntoFiveSecondBandsWithTheirEndsInTheLowerOne)
{
    for (const auto &[seconds, band] : {std::pair{0, 0}, {4, 0}, {5, 0}, {6, 1}, {10, 1}, {11, 2}, {26, 5}, {-3, 0}})
        EXPECT_EQ(CorrectRateStatistics::bandOf(seconds), band) << seconds;
    EXPECT_EQ(CorrectRateStatistics::bandCaption(0), "0~5 seconds");
    EXPECT_EQ(CorrectRateStatistics::bandCaption(1), "6~10 seconds");
    EXPECT_EQ(CorrectRateStatistics::bandCaption(5), "26~30 seconds");
}

TEST_F(AnswerReportsTest, CorrectRateBandsRatesAndOutline)
{
    QuizEntity quiz = session("correct-rate");
    CorrectRateStatistics report(quiz, ticked(quiz, {"9"}));
    const QList<QuestionAndStudentAnsInfo> &questions = report.questionArray();
    ASSERT_EQ(questions.size(), 2);
    // Question 1: 0, 4, 5 seconds and the student without an answer in the first band; only
    // the first answer of student 1 counts.
    const QList<DivisibleByFiveStudentAnsRow> &bands = questions[0].sortArray();
    ASSERT_EQ(bands.size(), 4);
    EXPECT_EQ(bands[0].members().size(), 4);
    EXPECT_EQ(bands[3].multiple(), 5);
    const StudentAnswers<QString> &missing = bands[0].members().last();
    EXPECT_EQ(missing.studentID(), "8");
    EXPECT_EQ(missing.answers().value(0), "__");
    EXPECT_EQ(missing.ansTime(), 0);
    // Right answers earn the mark (3), wrong ones nothing.
    EXPECT_EQ(bands[0].members()[0].totalPoints(), 3);
    EXPECT_EQ(bands[0].members()[1].totalPoints(), 0);

    QStringList rates;
    for (const auto &row : report.arrayForCSV())
        if (row.flag() == CorrectRateStatistics::Row::CorrectRate)
            rates << row.correctRate();
    EXPECT_EQ(rates, (QStringList{"50.00%", "50.00%", "100.00%", "0.00%", "0.00%", "33.33%"}));

    // Every question starts a page: question 1 takes two, question 2 begins on page 3.
    EXPECT_EQ(report.rowPerPage(), 25);
    const QList<NodeDataPtr> outline = report.outline();
    ASSERT_EQ(outline.size(), 2);
    EXPECT_EQ(outline[1]->relativePath(), "Question 2");
    EXPECT_EQ(outline[1]->line(), 3);
    ASSERT_EQ(outline[0]->children().size(), 4);
    EXPECT_EQ(outline[0]->children()[2]->relativePath(), "11~15 seconds");
    EXPECT_EQ(report.pageOfNode(*outline[0]->children()[3]), 1);
    EXPECT_EQ(report.totalPage(), 3);
    // In the CSV a question over two pages has one title and one caption per band.
    expectGolden("correct-rate", report);
    EXPECT_TRUE(looksLikeGolden(renderPage(report, 2), testDataPath("reports/correct-rate/page-2.png")));
}

TEST_F(AnswerReportsTest, CorrectRatePagesRepeatTheHeadsInsideABandOnly)
{
    // A band of 12: the eleventh student ends page 1; page 2 starts with title, caption and
    // headings, then the twelfth.
    const QuizEntity twelve = bandOf(oneQuestion("correct-rate"), 12, 3);
    const CorrectRateStatistics a(twelve, ticked(twelve));
    using R = CorrectRateStatistics::Row;
    EXPECT_EQ(kinds(a.arrayForCSV(), 23, 5), (QList<int>{R::RightAnswer, R::AnswerLine, R::QuestionTitle,
                                                          R::BandCaption, R::Headings}));
    EXPECT_EQ(a.totalPage(), 2);

    // A band of 10 fills page 1 exactly; the next band opens page 2 without a title; its twelfth
    // student is the last row of page 2 and the answer line opens page 3, shaded by itself.
    QuizEntity ten = bandOf(oneQuestion("correct-rate"), 10, 3);
    ten = bandOf(ten, 12, 7, 11);
    const CorrectRateStatistics b(ten, ticked(ten));
    EXPECT_EQ(kinds(b.arrayForCSV(), 23, 4), (QList<int>{R::CorrectRate, R::Spacer, R::BandCaption, R::Headings}));
    EXPECT_EQ(kinds(b.arrayForCSV(), 49, 2), (QList<int>{R::WrongAnswer, R::AnswerLine}));
    EXPECT_EQ(b.slice(3).first, 50);
    EXPECT_EQ(b.arrayForCSV().at(50).quNo(), "4");
    const QImage page3 = renderPage(b, 3);
    // The answer line at the page's top is grey, as its student's row.
    EXPECT_EQ(page3.pixel(400, 1123 - (70 + 720 - 90) - 12), ReportStyle::grey().rgb());

    // Two lines of session name: 23 rows a page.
    QuizEntity named = twelve;
    named.setName(QString(45, QLatin1Char('W')));
    EXPECT_EQ(CorrectRateStatistics(named, ticked(named)).rowPerPage(), 23);
}

TEST_F(AnswerReportsTest, ResultByQuestionScoresRushPointsStudentByStudent)
{
    QuizEntity quiz = session("result-by-question");
    const ResultByQuestionReport scores(quiz, ticked(quiz, {"10"}), 1);
    const auto &students = scores.studentAnswersArray();
    ASSERT_EQ(students.size(), 2);
    EXPECT_EQ(students[0].studentID(), "2");
    const auto answers = [](const StudentAnswers<AnsPointQuNo> &s) {
        QList<std::pair<QString, int>> out;
        for (const AnsPointQuNo &a : s.answers())
            out.append({a.ans(), a.point()});
        return out;
    };
    // Right +5, wrong -5, no answer 0, right.
    EXPECT_EQ(answers(students[0]), (QList<std::pair<QString, int>>{{"A", 5}, {"C", -5}, {"__", 0}, {"D", 5}}));
    EXPECT_EQ(students[0].totalPoints(), 5);
    // A stored "__" and an empty reply are no answer; a rush chance not taken costs the points.
    EXPECT_EQ(answers(students[1]), (QList<std::pair<QString, int>>{{"__", 0}, {"__N", -5}, {"__", 0}, {"A", -5}}));
    EXPECT_EQ(students[1].totalPoints(), -10);
    expectGolden("result-by-question", scores);

    const ResultByQuestionReport detail(quiz, ticked(quiz, {"10"}), 0);
    EXPECT_EQ(detail.reportName(), "Result By Question(Answer Detail)");
    const QByteArray csv = detail.csv(QDate(2012, 3, 23)).csvData();
    writeGoldenIfAsked("result-by-question", csv, "expected-detail.csv");
    EXPECT_EQ(csv, expected("result-by-question", "expected-detail.csv"));
    EXPECT_TRUE(looksLikeGolden(renderPage(detail, 1), testDataPath("reports/result-by-question/page-detail-1.png")));
}

TEST_F(AnswerReportsTest, ResultByQuestionRepeatsTheStudentAtEveryPageItsAnswersOpen)
{
    // One student, 26 one-line questions: three rows each after the title and headings, so the
    // 26th question's text ends page 3 and page 4 opens with the student again.
    QuizEntity quiz = session("result-by-question");
    QList<QuestionEntity> questions;
    for (int k = 1; k <= 26; ++k) {
        QuestionEntity q = quiz.allQuestions().first();
        q.setQuNo(k);
        questions.append(q);
    }
    quiz.allQuestions() = questions;
    const ResultByQuestionReport report(quiz, ticked(quiz, {"9", "10"}), 0);
    using R = ResultByQuestionReport::Row;
    const auto kindAt = [&](int i) { return report.printDateArray().at(i).flag(); };
    EXPECT_EQ(report.rowPerPage(), 26);
    EXPECT_EQ(kindAt(77), int(R::QuestionFirstLine));
    EXPECT_EQ((QList<int>{kindAt(78), kindAt(79), kindAt(80), kindAt(81)}),
              (QList<int>{R::StudentTitle, R::Headings, R::Response, R::CorrectAnswer}));
    // Choosing the student shows the page of their first title.
    ResultByQuestionReport chooser(quiz, ticked(quiz), 1);
    EXPECT_EQ(chooser.sideRowSelected(2), 3);
    // The CSV names the student once.
    EXPECT_EQ(report.csv(QDate(2012, 3, 23)).csvData().count("Xan Cole"), 1);
}

TEST_F(AnswerReportsTest, EliminationShadesAndListsEveryoneOutOnPagesAndInTheCSV)
{
    QuizEntity quiz = session("elimination");
    ResultOfEliminationReport report(quiz, ticked(quiz, {"4"}));
    // Questions in the order of their numbers, numbered by that order.
    ASSERT_EQ(report.questionArray().size(), 3);
    EXPECT_EQ(report.questionArray()[1].question().quNo(), 2);
    EXPECT_EQ(report.questionArray()[1].questionNo(), "Question 2");
    const auto out = [&](int k) {
        QStringList ids;
        for (const auto &row : report.rowsOf(k))
            if (row.isFail())
                ids << row.studentID() + QLatin1Char('=') + row.response();
        return ids;
    };
    EXPECT_EQ(out(0), (QStringList{"2=B", "3=__"}));
    // A question worth nothing still puts out those who missed it, in the CSV too.
    EXPECT_EQ(out(1), (QStringList{"2=C", "3=__"}));
    EXPECT_EQ(out(2), (QStringList{"3=A"}));
    // Per question a response page and a list page; the third question starts on page 5.
    EXPECT_EQ(report.totalPage(), 6);
    EXPECT_TRUE(report.pageAt(2).eliminatedList);
    EXPECT_EQ(report.sideRowSelected(2), 5);
    expectGolden("elimination", report);
    EXPECT_TRUE(looksLikeGolden(renderPage(report, 2), testDataPath("reports/elimination/page-2.png")));

    // A name too long for its column is shortened inside the page view, whole in the CSV.
    QList<SelectStudents> students = ticked(quiz, {"4"});
    students[0].setStudentName(QString(80, QLatin1Char('W')));
    const ResultOfEliminationReport longName(quiz, students);
    const QImage page = renderPage(longName, 1);
    int outside = 0;
    for (int y = 400; y < 560; ++y)
        for (int x = 771; x < 794; ++x)
            outside += page.pixel(x, y) != qRgb(255, 255, 255);
    EXPECT_EQ(outside, 0);
    EXPECT_TRUE(longName.csv(QDate(2012, 3, 23)).csvData().contains(QString(80, QLatin1Char('W')).toUtf8()));
}

TEST_F(AnswerReportsTest, EliminationPagesByStudentsAndNameLines)
{
    QuizEntity quiz = withStudents(session("elimination"), 27);
    quiz.allStudentsAns().clear();
    // Nobody ticked: a list page of its title alone per question.
    EXPECT_EQ(ResultOfEliminationReport(quiz, ReportChoice::studentCheckList(quiz)).totalPage(), 3);
    // 27 without answers: 13 a response page (3 pages), 26 a list page (2 pages), per question.
    const ResultOfEliminationReport all(quiz, ticked(quiz));
    EXPECT_EQ(all.rowPerPage(), 13);
    EXPECT_EQ(all.totalPage(), 3 * 5);
    EXPECT_EQ(all.pageAt(5).count, 1);
    // A session name of three lines leaves room for 25 listed students, not 26.
    quiz.setName(QString(90, QLatin1Char('W')));
    const ResultOfEliminationReport tall(quiz, ticked(quiz));
    EXPECT_EQ(tall.nameLines(), 3);
    EXPECT_EQ(tall.rowPerPage(), 12);
    EXPECT_EQ(tall.listRowsPerPage(), 25);
}
