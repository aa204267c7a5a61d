#include "ReportTestBase.h"

#include "core/reports/ClassStudyGuideReport.h"
#include "core/reports/CorrectRateStatistics.h"
#include "core/reports/ResultByQuestionInGroupModeReport.h"
#include "core/reports/ResultByQuestionReport.h"
#include "core/reports/ResultOfEliminationReport.h"
#include "core/reports/SessionQuestionReport.h"
#include "core/reports/StudyGuideReport.h"
#include "core/reports/StudyGuideView.h"

// The Dravel-named pages: each report of the first and second session reports built on its second
// layout, over the sessions of the base reports' golden cases; a page of each against its picture,
// and the group report's CSV.
namespace {
using GroupRow = ResultsByQuestionInGroupModePrintDate;

class DravelVariantsTest : public ReportTestBase
{
protected:
    static ReportFramePolicy dravel() { return ReportFramePolicy::dravelFrame(); }
    static QList<int> rowsPerPage(const ReportDocument &report)
    {
        QList<int> rows;
        for (const ReportPageSlice &slice : report.pages())
            rows << slice.count;
        return rows;
    }
};
} // namespace

TEST_F(DravelVariantsTest, PagesOfEachVariant)
{
    // The question-paper session's reports, Eve not ticked.
    const QuizEntity paper = session("question-paper");
    const QList<SelectStudents> four = ticked(paper, {"5"});
    const ClassStudyGuideReport classGuide(paper, four, dravel(), ClassStudyGuideLayout::dravel());
    EXPECT_FALSE(classGuide.hasCSV());
    // One row a missed question under the table's heading: twenty to a page.
    EXPECT_EQ(classGuide.entriesPerPage(), 20);
    expectGolden("class-study-guide-dravel", classGuide);
    // The correct answer beside the student's: answer lines numbered by their question, and no
    // line of their own for the correct answers.
    const StudyGuideReport guide(paper, four, dravel(), StudyGuideLayout::dravel());
    for (const SingleColumnString &row : guide.studyGuideArray()[0].strArray())
        EXPECT_NE(row.num(), StudyGuideView::kCorrectAnswer);
    EXPECT_EQ(guide.studyGuideArray()[0].strArray()[6].num(), 1);
    expectGolden("study-guide-dravel", guide);
    const SessionQuestionReport questions(paper, four, dravel(), QuestionReportLayout::dravel());
    // Single-answer questions carry the chart; the true-or-false one does not.
    EXPECT_TRUE(questions.hasChart(questions.questionArray()[0]));
    EXPECT_FALSE(questions.hasChart(questions.questionArray()[4]));
    expectGolden("question-report-dravel", questions);

    const QuizEntity rates = session("correct-rate");
    expectGolden("correct-rate-dravel", CorrectRateStatistics(rates, ticked(rates), dravel(),
                                                              CorrectRateStatisticsByAnswerTimeLayout::dravel()));
    const QuizEntity elimination = session("elimination");
    expectGolden("elimination-dravel", ResultOfEliminationReport(elimination, ticked(elimination, {"4"}), 0, dravel(),
                                                                 ResultOfEliminationLayout::dravel()));
    // The wrapped fourth question of every student gets a cell of its own, its response and
    // correct answer on its first line.
    const QuizEntity rush = session("result-by-question");
    const ResultByQuestionReport detail(rush, ticked(rush), 0, dravel(), ResultByQuestionLayout::answerDetailDravel());
    EXPECT_EQ(detail.reportName(), "Result By Question(Answer Detail)");
    expectGolden("result-by-question-dravel", detail);
}

TEST_F(DravelVariantsTest, GroupPagesHoldARowMoreAndTheCsvNamesQuestionsAsThePagesDo)
{
    // A group of 20: its header and 15 members fill the first page (19 rows); the header again,
    // the other 5 members and the summary the second; the totals and the question's end the third.
    const ResultByQuestionInGroupModeReport twenty(groupQuiz(QList<int>(20, 1)), ReportFramePolicy::windowFrame(),
                                                   ResultByQuestionInGroupModeLayout::dravel());
    EXPECT_EQ(rowsPerPage(twenty), (QList<int>{19, 14, 6}));
    for (const GroupRow &row : twenty.arrayForCSV())
        EXPECT_NE(row.flag(), GroupRow::ResponseLine);
    // A group of 1 and a group of 5 fill a page to its 19 rows; the second group's summary starts
    // the next page under its title and points.
    const QuizEntity two = groupQuiz({1, 2, 2, 2, 2, 2});
    EXPECT_EQ(rowsPerPage(ResultByQuestionInGroupModeReport(two, ReportFramePolicy::windowFrame(),
                                                            ResultByQuestionInGroupModeLayout::dravel())),
              (QList<int>{19, 14}));

    // Questions stored 2, 1, 3: number 1 is "Question 1" on its pages, in the outline and in the
    // CSV, never its place in the file.
    const ResultByQuestionInGroupModeReport report(session("group-session"),
                                                   ReportFramePolicy::windowFrameBackToShown(ReportFramePolicy::CsvHead::Session),
                                                   ResultByQuestionInGroupModeLayout::dravel());
    ASSERT_EQ(report.questionArray().size(), 3);
    EXPECT_EQ(report.questionArray()[0].question().quNo(), 1);
    EXPECT_EQ(report.questionArray()[0].questionNo(), "Question 1");
    EXPECT_EQ(report.outline()[0]->relativePath(), "Question 1");
    expectGolden("group-result-by-question-dravel", report);
}

TEST_F(DravelVariantsTest, ALongTypedAnswerStaysInsideItsTableCell)
{
    QuizEntity paper = session("question-paper");
    const QString typed = QStringLiteral("The city of lights on the river Seine, I think");
    for (ResponseDataEntity &a : paper.allStudentsAns())
        if (a.studentID() == "3" && a.questionID() == "3")
            a.setResponse(typed);
    // Every page's pointer texts: the answer shortened on the page shows whole there, and only
    // over its own cell (180 points in the study guide's table, 150 in the question report's).
    const auto tipsOver = [&](const ReportDocument &report) {
        QList<ReportToolTip> tips;
        for (int page = 1; page <= report.totalPage(); ++page) {
            QImage image(794, 1123, QImage::Format_RGB32);
            QPainter painter(&image);
            report.paintPage(painter, page, &tips);
        }
        QList<double> widths;
        for (const ReportToolTip &tip : tips)
            if (tip.text == typed)
                widths << tip.rect.width();
        return widths;
    };
    EXPECT_EQ(tipsOver(ClassStudyGuideReport(paper, ticked(paper), dravel(), ClassStudyGuideLayout::dravel())),
              QList<double>{180});
    EXPECT_EQ(tipsOver(SessionQuestionReport(paper, ticked(paper), dravel(), QuestionReportLayout::dravel())),
              QList<double>{150});
    // In the answer detail the response stops short of the correct answer's caption (590).
    QuizEntity rush = session("result-by-question");
    rush.allStudentsAns()[0].setResponse(typed);
    const QList<double> detail =
        tipsOver(ResultByQuestionReport(rush, ticked(rush), 0, dravel(), ResultByQuestionLayout::answerDetailDravel()));
    ASSERT_EQ(detail.size(), 1);
    EXPECT_LT(detail[0], 590 - 487);
}
