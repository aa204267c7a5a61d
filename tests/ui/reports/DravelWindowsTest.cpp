#include "core/reports/ReportTestBase.h"

#include "core/roster/CSVOperator.h"
#include "support/SlideDecks.h"
#include "ui/reports/ClassStudyGuideDravelController.h"
#include "ui/reports/CorrectRateStatisticsByAnswerTimeDravelController.h"
#include "ui/reports/QuestionReportDravelController.h"
#include "ui/reports/ReportWindowTesting.h"
#include "ui/reports/ResultByQuestionDravelController.h"
#include "ui/reports/ResultByQuestionInGroupModeDravelController.h"
#include "ui/reports/ResultOfEliminationReportDravelController.h"
#include "ui/reports/StudyGuideDravelController.h"

#include <QFile>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeView>

// The Dravel-named report windows, made by a caller as nothing in the system makes them: each
// shows its report on its own pages, with its list beside them, and only the group one has a CSV.
namespace {
class DravelWindowsTest : public ReportTestBase
{
protected:
    // The window's name, title, pages, and whether it offers a CSV.
    static std::string describe(const ReportFrame &w)
    {
        return QStringLiteral("%1:%2:%3:%4")
            .arg(w.objectName(), w.windowTitle())
            .arg(w.totalPage())
            .arg(w.btnSaveToCSV->isVisibleTo(&w) && w.btnSaveToCSV->isEnabled() ? "csv" : "-")
            .toStdString();
    }
};
} // namespace

TEST_F(DravelWindowsTest, EachWindowShowsItsReportWithoutACsvButTheGroupOne)
{
    const QuizEntity paper = session("question-paper");
    const QList<SelectStudents> four = ticked(paper, {"5"});
    // One missed question a row, and the correct answers beside the students': each student's
    // one page (four, where the base reports have five).
    EXPECT_EQ(describe(ClassStudyGuideDravelController(paper, four)), "ClassStudyGuide:Class Study Guide:4:-");
    EXPECT_EQ(describe(StudyGuideDravelController(paper, four)), "StudyGuide:Study Guide:4:-");
    EXPECT_EQ(describe(QuestionReportDravelController(paper, four)), "QuestionReport:Question Report:6:-");
    // One row a student: the first question on one page (three pages in the base).
    const QuizEntity rates = session("correct-rate");
    EXPECT_EQ(describe(CorrectRateStatisticsByAnswerTimeDravelController(rates, ticked(rates))),
              "CorrectRateStatisticsByAnswerTime:Correct Rate Statistics:2:-");
    const QuizEntity rush = session("result-by-question");
    EXPECT_EQ(describe(ResultByQuestionDravelController(rush, ticked(rush), 1)),
              "ResultByQuestion:Result By Question(Scores):2:-");
    // Any flag but the scores' is the answer detail.
    EXPECT_EQ(describe(ResultByQuestionDravelController(rush, ticked(rush), -1)),
              "ResultByQuestion:Result By Question(Answer Detail):2:-");
    EXPECT_EQ(describe(ResultByQuestionInGroupModeDravelController(session("group-session"))),
              "ResultByQuestionInGroupMode:Result By Question:9:csv");
}

TEST_F(DravelWindowsTest, ListsLeadToPagesThePdfComesBackAndTheGroupCsvIsWritten)
{
    const QuizEntity elimination = session("elimination");
    ResultOfEliminationReportDravelController eliminated(elimination, ticked(elimination, {"4"}), 0);
    ASSERT_TRUE(eliminated.tableView);
    eliminated.tableView->selectRow(2);
    EXPECT_EQ(eliminated.curPageNum(), 5);
    EXPECT_EQ(pagingButtons(eliminated), "1111");
    QTemporaryDir out;
    const QString pdf = out.filePath("elimination.pdf");
    QString why;
    ASSERT_TRUE(eliminated.saveToPDF(pdf, &why)) << why.toStdString();
    EXPECT_EQ(SlideDecks::pdfPageCount(pdf), eliminated.totalPage());
    EXPECT_EQ(eliminated.curPageNum(), 5) << "back to the page shown";
    EXPECT_TRUE(SlideDecks::pdfText(pdf).contains("StudentID"));

    ResultByQuestionInGroupModeDravelController group(session("group-session"));
    ASSERT_TRUE(group.outlineView);
    auto *model = static_cast<QStandardItemModel *>(group.outlineView->model());
    group.outlineView->setCurrentIndex(model->index(2, 0));
    EXPECT_EQ(group.curPageNum(), 7);
    const QString csv = out.filePath("group.csv");
    ASSERT_TRUE(group.saveToCSV(csv, &why)) << why.toStdString();
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    // Question number 1, stored second, heads the CSV's first block under the name its pages give
    // it.
    EXPECT_LT(bytes.indexOf("Question 1"), bytes.indexOf("What is 2 + 3?"));
    EXPECT_LT(bytes.indexOf("What is 2 + 3?"), bytes.indexOf("Question 2"));
}
