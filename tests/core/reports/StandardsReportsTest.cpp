#include "ReportTestBase.h"

#include "core/engine/StoredAnswers.h"
#include "core/reports/AbsenteeReport.h"
#include "core/reports/PersonalStandardsReport.h"
#include "core/reports/PersonalStandardsReportView.h"
#include "core/reports/StandardsAnalysisReport.h"
#include "support/ImageCompare.h"

#include <QPainter>


// The absentee, personal standards and standards analysis reports, over the session of
// tests/data/reports/standards/ and sessions built here.
namespace {
using Row = PersonalStandardsReportPrintDate;

class StandardsReportsTest : public ReportTestBase
{
protected:
    // Where "There is no record." and "Created On:" stand in a report's CSV.
    static std::pair<QString, QString> emptyCsv(const ReportDocument &report, int column)
    {
        const CSVOperator csv = report.csv(QDate(2012, 3, 23));
        return {csv.stringAtRow(12, column), csv.stringAtRow(15, 1)};
    }
    // A session of `attendants` students logged in and one question per entry of `right`, all of
    // code "C.1", question j answered right by the first right[j] students.
    static QuizEntity coded(int attendants, const QList<int> &right)
    {
        QuizEntity quiz;
        quiz.setActionType("1");
        for (int j = 0; j < right.size(); ++j) {
            QuestionEntity q;
            q.setQuNo(j + 1);
            q.setRightAns("A");
            StandardEntity standard;
            standard.setCode("C.1");
            standard.setTitle("Fractions");
            q.setStandard(standard);
            quiz.allQuestions() << q;
            for (int i = 1; i <= right.at(j); ++i) {
                ResponseDataEntity a;
                a.setStudentID(QString::number(i));
                a.setQuestionID(QString::number(j + 1));
                a.setResponse("A");
                quiz.allStudentsAns() << a;
            }
        }
        for (int i = 1; i <= attendants; ++i) {
            StudentEntity s;
            s.setId(QString::number(i));
            s.setLoginTime("2012-03-23T14:01:00");
            quiz.allStudents() << s;
        }
        return quiz;
    }
    static QString shown(const StandardsAnalysisReport &report)
    {
        return PersonalStandardsReportView::percent(report.standardsCodeCorrectArray().value(0).correct());
    }
};
} // namespace

TEST_F(StandardsReportsTest, AbsenteesAreThoseWithNeitherLoginNorAnswerByNumericID)
{
    // Logged in, or an empty login time with an answer: not listed. No digits count as 0; 9 and
    // 009 are equal and keep the session's order.
    const AbsenteeReport report(session("standards"));
    QStringList ids;
    for (const StudentGradeReport &row : report.studentNameAndPointsArray())
        ids << row.studentID() + '=' + row.studentName();
    EXPECT_EQ(ids.join(','), "abc=Null,9=Eve Hart,009=Fay Ray,10=Dan Wu");
    expectGolden("absentee", report);

    // Nobody absent: one page, and the CSV's note in row 12 with "Created On:" in row 15.
    const AbsenteeReport none(coded(3, {1}));
    EXPECT_EQ(none.totalPage(), 1);
    EXPECT_EQ(emptyCsv(none, 3), std::make_pair(QString("There is no record."), QString("Created On:")));
    EXPECT_TRUE(looksLikeGolden(renderPage(none, 1), testDataPath("reports/absentee/no-record.png")));
}

TEST_F(StandardsReportsTest, PersonalStandardsRateEachTickedStudentByCode)
{
    const QuizEntity quiz = session("standards");
    // Gus and the absentees are not ticked.
    const PersonalStandardsReport report(quiz, ticked(quiz, {"4", "9", "10", "009", "abc"}));
    // MA.1 (questions 1 and 3, the title of 1), ma.1 apart from it, SC.2 over two lines, EN.3
    // without a title; question 4 has no code.
    const QList<CodeStandardCorrect> &codes = report.standardsCodeCorrectArray();
    ASSERT_EQ(codes.size(), 4);
    EXPECT_EQ(codes[0].code() + ':' + codes[0].standard(), "MA.1:Add whole numbers");
    EXPECT_EQ(codes[0].quNoArray(), (QList<int>{1, 3}));
    EXPECT_EQ(codes[1].code(), "ma.1");
    EXPECT_EQ(report.standardCount(), 3);
    QStringList rates;
    for (const Row &row : report.printDateArray())
        if (row.flag() == Row::CodeLine)
            rates << PersonalStandardsReportView::percent(row.correct());
    // Ann: 1 of 2 on MA.1; Bob's two right answers to question 1 count once (100, not 150).
    EXPECT_EQ(rates.join(' '), "50.0 100.0 100.0 100.0 100.0 0.0 0.0 0.0 0.0 0.0 0.0 0.0");
    expectGolden("personal-standards", report);

    // The outline: a node per ticked student on its heading row, a leaf per code on its first.
    const QList<NodeDataPtr> nodes = report.outline();
    ASSERT_EQ(nodes.size(), 3);
    EXPECT_EQ(nodes[1]->relativePath(), "Bob Stone");
    EXPECT_EQ(nodes[1]->line(), 8);
    EXPECT_EQ(nodes[1]->children()[3]->line(), 14);
    EXPECT_EQ(StandardsAnalysisReport::questionRate(quiz, StoredAnswers(quiz), 0, {"1", "2", "3"}, 3), 0.667f);

    // Only titleless codes: no rows, "There is no record." in row 12, column 4.
    QuizEntity untitled = coded(2, {1, 2});
    for (QuestionEntity &q : untitled.allQuestions())
        q.standard()->setTitle("");
    const PersonalStandardsReport empty(untitled, ticked(untitled));
    EXPECT_EQ(empty.printDateArray().size(), 0);
    EXPECT_TRUE(empty.outline().isEmpty());
    EXPECT_EQ(emptyCsv(empty, 4), std::make_pair(QString("There is no record."), QString("Created On:")));

    // A code too wide for its column ends in "..." left of the titles; the page shows it whole on
    // the pointer.
    QuizEntity longCode = coded(1, {1});
    longCode.allQuestions()[0].standard()->setCode("MATH.GRADE5.NUMBERS.FRACTIONS");
    QList<ReportToolTip> tips;
    QImage image(794, 1123, QImage::Format_RGB32);
    QPainter painter(&image);
    PersonalStandardsReport(longCode, ticked(longCode)).paintPage(painter, 1, &tips);
    ASSERT_EQ(tips.size(), 1);
    EXPECT_EQ(tips[0].text, "MATH.GRADE5.NUMBERS.FRACTIONS");
    EXPECT_LE(tips[0].rect.right(), 25 + 148);

    // Rows go on over pages by count; under a two-line name the code on row 26 is on page 2.
    QuizEntity many = withStudents(coded(1, {1}), 13);
    many.setName(QString(45, QLatin1Char('W')));
    const PersonalStandardsReport paged(many, ticked(many));
    EXPECT_EQ(paged.pageOfNode(*paged.outline()[12]->children()[0]), 2);
    EXPECT_EQ(paged.pageOfNode(*paged.outline()[12]), 1);
}

TEST_F(StandardsReportsTest, StandardsAnalysisAveragesRoundedQuestionRatesOverAttendants)
{
    // 20 attendants: 10 and 15 right give 62.5; one question with 7 right gives 35.0.
    EXPECT_EQ(shown(StandardsAnalysisReport(coded(20, {10, 15}))), "62.5");
    EXPECT_EQ(shown(StandardsAnalysisReport(coded(20, {7}))), "35.0");
    // 3 attendants, one right on each of two questions: 0.333 twice shows 33.3.
    EXPECT_EQ(shown(StandardsAnalysisReport(coded(3, {1, 1}))), "33.3");
    // Answers of students who did not attend do not count: a share never passes 100.
    EXPECT_EQ(shown(StandardsAnalysisReport(coded(2, {5}))), "100.0");
    // Nobody attended: 0.0, not a division by zero.
    EXPECT_EQ(shown(StandardsAnalysisReport(coded(0, {1}))), "0.0");

    const StandardsAnalysisReport report(session("standards"));
    EXPECT_EQ(report.totalStudents(), 3);
    expectGolden("standards-analysis", report);

    // No code at all: "There is no record." in row 12, column 3.
    QuizEntity none = coded(3, {1});
    none.allQuestions()[0].setStandard(std::nullopt);
    EXPECT_EQ(emptyCsv(StandardsAnalysisReport(none), 3),
              std::make_pair(QString("There is no record."), QString("Created On:")));
}

TEST_F(StandardsReportsTest, StandardsCountTheAnswerThatBelongsToEachQuestionOnly)
{
    // Two questions stored as 2, 1; student 1 answered both right, student 2 answered the one
    // numbered 2 wrong first and right only in a later record, which counts for nothing.
    QuizEntity quiz = coded(2, {1, 1});
    quiz.allQuestions()[0].setQuNo(2);
    quiz.allQuestions()[1].setQuNo(1);
    ResponseDataEntity wrong, later;
    wrong.setStudentID("2");
    wrong.setQuestionID("2");
    wrong.setResponse("B");
    later = wrong;
    later.setResponse("A");
    quiz.allStudentsAns() << wrong << later;
    const StoredAnswers stored(quiz);
    EXPECT_EQ(StandardsAnalysisReport::questionRate(quiz, stored, 0, {"1", "2"}, 2), 0.5f);
    EXPECT_EQ(StandardsAnalysisReport::questionRate(quiz, stored, 1, {"1", "2"}, 2), 0.5f);
    const QSet<QString> keys = PersonalStandardsReport::answerKeys(quiz);
    const QList<CodeStandardCorrect> codes = PersonalStandardsReport::standardCodes(quiz);
    ASSERT_EQ(codes.size(), 1);
    EXPECT_EQ(PersonalStandardsReport::studentRate(keys, codes[0], "1"), 1.0f);
    EXPECT_EQ(PersonalStandardsReport::studentRate(keys, codes[0], "2"), 0.0f);
}
