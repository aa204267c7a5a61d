#include "ReportTestBase.h"

#include "core/reports/GroupResultReport.h"
#include "core/reports/GroupStudentReport.h"
#include "core/reports/ResultByQuestionInGroupModeReport.h"
#include "core/reports/ResultByQuestionInGroupModeView.h"
#include "support/ImageCompare.h"


// The group session's reports: the group result, the group student report and the result by
// question in group mode, over the session of tests/data/reports/group-session/ and sessions
// built here.
namespace {
using Row = ResultsByQuestionInGroupModePrintDate;

class GroupReportsTest : public ReportTestBase
{
protected:
    static Row first(const ResultByQuestionInGroupModeReport &report, Row::Kind kind)
    {
        for (const Row &row : report.arrayForCSV())
            if (row.flag() == kind)
                return row;
        return {};
    }
    // The kinds of a page's rows, as digits ("A" for 10 and up, shifted).
    static QString kinds(const ResultByQuestionInGroupModeReport &report, int page)
    {
        QString s;
        const ReportPageSlice slice = report.slice(page);
        for (int i = slice.first; i < slice.first + slice.count; ++i)
            s += QChar(u"0123456789ABCD"[report.arrayForCSV().at(i).flag()]);
        return s;
    }
};
} // namespace

TEST_F(GroupReportsTest, GroupResultAddsTheMembersWholePointsByGroup)
{
    // Students in groups 2, 1, 2 with 5, 7 and 4 points.
    const GroupResultReport report(groupQuiz({2, 1, 2}, {5, 7, 4}));
    ASSERT_EQ(report.groupArray().size(), 2);
    const auto group = [&](int i) {
        const GroupAndStudentsPoint &g = report.groupArray().at(i);
        return std::make_tuple(g.groupNo(), g.point(), g.appendPoint(), g.totalPoint());
    };
    EXPECT_EQ(group(0), std::make_tuple(1, 7, 0, 7));
    EXPECT_EQ(group(1), std::make_tuple(2, 9, 0, 9));

    // Points-only totals are cut toward zero before they are added: 7.9 and -2.5 give 5.
    QuizEntity pointsOnly = groupQuiz({3, 3});
    pointsOnly.allQuestions().clear();
    pointsOnly.allStudents()[0].setTotalMark("7.9");
    pointsOnly.allStudents()[1].setTotalMark("-2.5");
    EXPECT_EQ(GroupResultReport(pointsOnly).groupArray().at(0).point(), 5);

    // The stored session: students without a group form group 0; the absent one counts nowhere.
    const GroupResultReport stored(session("group-session"));
    EXPECT_EQ(stored.totalStudent(), 5);
    expectGolden("group-result", stored);
}

TEST_F(GroupReportsTest, GroupListsAndOutlinesLeadToThePageOfTheirRow)
{
    // 27 groups: 26 fill page 1 under a one-line session name; the 27th row's page is 2.
    QList<int> groups;
    for (int g = 1; g <= 27; ++g)
        groups << g;
    QuizEntity quiz = groupQuiz(groups);
    GroupResultReport oneLine(quiz);
    EXPECT_EQ(oneLine.totalPage(), 2);
    EXPECT_EQ(oneLine.sideRowSelected(25), 1);
    EXPECT_EQ(oneLine.sideRowSelected(26), 2);
    quiz.setName(QString(45, QLatin1Char('W')));
    GroupResultReport twoLines(quiz);
    EXPECT_EQ(twoLines.rowPerPage(), 25);
    EXPECT_EQ(twoLines.sideRowSelected(25), 2);

    // One group of 24 members: title, heads and members fill page 1 exactly; a 25th member
    // starts page 2 alone.
    const GroupStudentReport full(groupQuiz(QList<int>(24, 4)));
    EXPECT_EQ(full.totalPage(), 1);
    QuizEntity more = groupQuiz(QList<int>(25, 4));
    const GroupStudentReport over(more);
    EXPECT_EQ(std::make_pair(over.pages().last().first, over.pages().last().count), std::make_pair(26, 1));
    // Under a two-line name (25 rows a page) the member on row 26 is on page 2, row 25 on page 1.
    more.setName(QString(45, QLatin1Char('W')));
    const GroupStudentReport twoLineMembers(more);
    const QList<NodeDataPtr> nodes = twoLineMembers.outline();
    ASSERT_EQ(nodes.size(), 1);
    EXPECT_EQ(nodes[0]->line(), 1);
    EXPECT_EQ(twoLineMembers.pageOfNode(*nodes[0]->children().at(23)), 2);
    EXPECT_EQ(twoLineMembers.pageOfNode(*nodes[0]->children().at(22)), 1);
}

TEST_F(GroupReportsTest, GroupStudentReportCountsGroupsAndOrdersMembersByNumericID)
{
    const GroupStudentReport report(session("group-session"));
    // Groups 0, 1 and 2 are titled by their places; IDs x1 (no digits: 0) before 3, 12 before 100;
    // a student without names is "Null".
    QStringList shown;
    for (const GroupStudentReportPrintDate &row : report.printPerRowDateArray())
        shown << (row.flag() == GroupStudentReportPrintDate::GroupTitle ? row.title()
                  : row.flag() == GroupStudentReportPrintDate::Member ? row.studentName() + '=' + row.point()
                                                                        : QStringLiteral("heads"));
    EXPECT_EQ(shown.join(','), "Group 1,heads,Dan Wu=15,Group 2,heads,Null=0,Bob Stone=10,"
                               "Group 3,heads,Ann Lee=25,Carla Diaz=10");
    ASSERT_EQ(report.outline().size(), 3);
    EXPECT_EQ(report.outline()[2]->relativePath(), "Group 3");
    EXPECT_EQ(report.outline()[2]->children()[1]->line(), 11);
    expectGolden("group-student", report);

    // A name with a slash stands whole on the page; its outline leaf keeps what follows the slash.
    QuizEntity slash = groupQuiz({1});
    slash.allStudents()[0].setLastName("Smith/Jones");
    const GroupStudentReport slashed(slash);
    EXPECT_EQ(slashed.printPerRowDateArray().at(2).studentName(), "P1 Smith/Jones");
    EXPECT_EQ(slashed.outline()[0]->children()[0]->relativePath(), "Jones");

    // Nobody attended: no row, no outline, one empty page.
    QuizEntity nobody = groupQuiz({1, 2});
    for (StudentEntity &s : nobody.allStudents())
        s.setLoginTime("");
    const GroupStudentReport empty(nobody);
    EXPECT_TRUE(empty.printPerRowDateArray().isEmpty());
    EXPECT_TRUE(empty.outline().isEmpty());
    EXPECT_EQ(empty.totalPage(), 1);
}

TEST_F(GroupReportsTest, ResultByQuestionScoresEachMembersFirstAnswerByTheSessionsRule)
{
    // A 10-point question with the right answer A: C, "__", "__N", A and no answer at all.
    for (const QString &activity : {QStringLiteral("4"), QStringLiteral("1"), QStringLiteral("5")}) {
        QuizEntity quiz = groupQuiz({1, 1, 1, 1, 1}, {}, activity);
        const QStringList replies{"C", "__", "__N", "A"};
        for (int i = 0; i < replies.size(); ++i)
            quiz.allStudentsAns() << answer(QString::number(i + 1), 1, replies.at(i));
        // A later answer to the same question does not count.
        quiz.allStudentsAns() << answer("1", 1, "A");
        const ResultByQuestionInGroupModeReport report(quiz);
        QStringList members;
        QString summary;
        for (const Row &row : report.arrayForCSV()) {
            if (row.flag() == Row::Member)
                members << row.response() + ' ' + row.point() + ' ' + row.correctRate();
            if (row.flag() == Row::GroupParticipants)
                summary += row.numOfPart();
            if (row.flag() == Row::GroupCorrect)
                summary += ' ' + row.groupCorrect();
        }
        const bool rush = activity == "4";
        EXPECT_EQ(members, (QStringList{rush ? "C -10 0%" : "C 0 0%", "__ 0 0%", rush ? "__N -10 0%" : "__N 0 0%",
                                        "A 10 100%", "__ 0 0%"}))
            << activity.toStdString();
        // Four answered ("__" is an answer record); one of five right.
        EXPECT_EQ(summary, "4 20.00%");
    }

    // 2 of 3 members right: 66.67 %; nobody attending: the totals read 0.00 %, never "nan".
    QuizEntity thirds = groupQuiz({1, 1, 1});
    thirds.allStudentsAns() << answer("1", 1, "A") << answer("2", 1, "A") << answer("3", 1, "B");
    const ResultByQuestionInGroupModeReport rates(thirds);
    EXPECT_EQ(first(rates, Row::GroupCorrect).groupCorrect(), "66.67%");
    EXPECT_EQ(first(rates, Row::TotalCorrect).totalCorrect(), "66.67%");
    QuizEntity nobody = groupQuiz({1});
    nobody.allStudents()[0].setLoginTime("");
    const ResultByQuestionInGroupModeReport empty(nobody);
    EXPECT_EQ(first(empty, Row::TotalCorrect).totalCorrect(), "0.00%");
    EXPECT_EQ(empty.totalPage(), 1);
}

TEST_F(GroupReportsTest, ResultByQuestionPagesRepeatAGroupsHeaderWhereItGoesOn)
{
    // A group of 8 begins a page: its header and 7 members fill 18 rows; the 8th member goes on
    // under the repeated header, then the group's summary and the question's totals.
    const ResultByQuestionInGroupModeReport eight(groupQuiz(QList<int>(8, 1)));
    ASSERT_EQ(eight.totalPage(), 2);
    EXPECT_EQ(kinds(eight, 1), "0123" + QString("4C").repeated(7));
    EXPECT_EQ(kinds(eight, 2), "01234C5B6B78B9BAD");

    // A group of 1 then a group of 2 make the fullest page (19 rows); the second's summary
    // starts the next page under its title and points only.
    const ResultByQuestionInGroupModeReport fullest(groupQuiz({1, 2, 2}));
    EXPECT_EQ(kinds(fullest, 1), "01234C5B6B701234C4C");
    EXPECT_EQ(kinds(fullest, 2), "0125B6B78B9BAD");
    // Each further line of the session name takes a row off every page, so that the fullest page
    // still ends inside the page view (19 rows draw down to 12 points above its bottom).
    QList<int> mixed;
    for (int size : {1, 2, 1, 2, 3, 1, 2, 8, 1, 2, 4, 1})
        mixed << QList<int>(size, int(mixed.size()) + 1);
    QuizEntity named = groupQuiz(mixed);
    for (int n = 1; n <= ReportHeadView::kMaxSessionLines; ++n) {
        named.setName(QString(45 * (n - 1), QLatin1Char('W')));
        const ResultByQuestionInGroupModeReport cut(named);
        ASSERT_EQ(cut.nameLines(), n);
        int most = 0;
        for (const ReportPageSlice &s : cut.pages())
            most = std::max(most, s.count);
        EXPECT_LE(most, 19 - (n - 1)) << n;
        if (n == 1) {
            EXPECT_EQ(most, 19);
        }
    }

    // A single group of 2: the totals take a page of their own, so 5 questions make 10 pages,
    // each question starting a page; the outline leads to the page a question and a group begin on.
    QuizEntity five = groupQuiz({3, 3});
    for (int k = 2; k <= 5; ++k) {
        QuestionEntity q = five.allQuestions().first();
        q.setQuNo(k);
        five.allQuestions() << q;
    }
    const ResultByQuestionInGroupModeReport ten(five);
    EXPECT_EQ(ten.totalPage(), 10);
    EXPECT_EQ(kinds(ten, 4), "8B9BAD");
    ASSERT_EQ(ten.outline().size(), 5);
    EXPECT_EQ(ten.pageOfNode(*ten.outline()[2]), 5);
    EXPECT_EQ(ten.pageOfNode(*ten.outline()[2]->children()[0]), 5);
    EXPECT_EQ(ten.outline()[2]->children()[0]->relativePath(), "Group 3");
}

TEST_F(GroupReportsTest, ResultByQuestionGoldenCsvAndPage)
{
    // Questions stored 2, 1, 3 are shown 1, 2, 3; the CSV writes the groups once however they
    // run over pages, and the text of question 3 on two lines.
    const ResultByQuestionInGroupModeReport report(session("group-session"));
    ASSERT_EQ(report.questionArray().size(), 3);
    EXPECT_EQ(report.questionArray()[0].question().rightAns(), "A");
    EXPECT_EQ(report.questionArray()[2].questionNo(), "Question 3");
    expectGolden("group-result-by-question", report);

    // A group carried over a page stands once in the CSV, with its header once.
    const ResultByQuestionInGroupModeReport eight(groupQuiz(QList<int>(8, 1)));
    const CSVOperator csv = eight.csv(QDate(2012, 3, 23));
    int titles = 0, heads = 0, members = 0;
    for (int r = 1; r <= csv.numOfRows(); ++r) {
        titles += csv.stringAtRow(r, 1) == "Group 1";
        heads += csv.stringAtRow(r, 3) == "Student";
        members += csv.stringAtRow(r, 7) == "0%";
    }
    EXPECT_EQ(std::make_tuple(titles, heads, members), std::make_tuple(1, 1, 8));

    // A title too long for the header box ends its fourth line in "...".
    const QStringList lines =
        ResultByQuestionInGroupModeView::titleLines(QString(400, QLatin1Char('x')), ResultByQuestionInGroupModeLayout::standard());
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines.last().endsWith("..."));
}
