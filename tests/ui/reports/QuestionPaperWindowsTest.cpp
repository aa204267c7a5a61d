#include "core/reports/ReportTestBase.h"

#include "core/reports/SessionQuestionReport.h"
#include "support/DialogAnswers.h"
#include "support/SlideDecks.h"
#include "ui/reports/ClassStudyGuideController.h"
#include "ui/reports/CreateReportController.h"
#include "ui/reports/QuestionReportController.h"
#include "ui/reports/ReportRegistry.h"
#include "ui/reports/ReportView.h"
#include "ui/reports/ReportWindowTesting.h"
#include "ui/reports/StudentResponseResultController.h"
#include "ui/reports/StudyGuideController.h"

#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>

// The windows of the Question Report, the Study Guide, the Class Study Guide and the Student
// Response Result over the question-paper session: opened from the chooser with the ticked
// students, their lists leading to pages, and their PDFs.
namespace {
class QuestionPaperWindowsTest : public ReportTestBase
{
protected:
    void SetUp() override
    {
        ReportTestBase::SetUp();
        ReportRegistry::clear();
        ReportRegistry::registerBuiltReports();
    }
    void TearDown() override
    {
        DialogHooks::setModalResponder({});
        ReportTestBase::TearDown();
    }
    // First, Previous, Next, Last.
    QTemporaryDir out;
    DialogAnswers answers;
};
} // namespace

TEST_F(QuestionPaperWindowsTest, TheChooserOpensEachReportOverTheTickedStudents)
{
    QString path;
    session("question-paper", &path);
    CreateReportController chooser(0, "Normal Quiz", "question-paper-id", path);
    ASSERT_TRUE(chooser.isLoaded());
    // Eve (ID 5, second in the list) is not ticked.
    for (int r = 0; r < chooser.tableStudent->rowCount(); ++r)
        if (chooser.tableStudent->item(r, 1)->text() != "5")
            chooser.tableStudent->item(r, 0)->setCheckState(Qt::Checked);

    QStringList opened;
    DialogHooks::setModalResponder([&opened](QDialog *d) {
        auto *frame = qobject_cast<ReportFrame *>(d);
        EXPECT_TRUE(frame);
        if (!frame)
            return 0;
        // The list beside the pages: the four ticked students, or the six questions.
        const int listed = frame->tableView ? frame->tableView->model()->rowCount() : -1;
        opened << QStringLiteral("%1 %2 %3").arg(frame->objectName()).arg(listed).arg(frame->totalPage());
        return 0;
    });
    for (const char *report : {"Question Report", "Study Guide", "Class Study Guide", "Student Response Result"})
        for (int r = 0; r < chooser.tableReportFormat->rowCount(); ++r)
            if (chooser.reportNameAt(r) == QLatin1String(report)) {
                chooser.tableReportFormat->selectRow(r);
                EXPECT_TRUE(chooser.btnPreview->isEnabled()) << report;
                chooser.btnPreview->click();
            }
    EXPECT_EQ(opened, (QStringList{"QuestionReport 6 6", "StudyGuide 4 5", "ClassStudyGuide 4 5",
                                   "StudentResponseResult 4 8"}));
    EXPECT_TRUE(answers.alerts().isEmpty());
}

TEST_F(QuestionPaperWindowsTest, ListsLeadToTheirFirstPagesAndThePdfHoldsEveryPage)
{
    const QuizEntity quiz = session("question-paper");
    const QList<SelectStudents> students = ticked(quiz, {"5"});

    // Dan's guide starts on page 4 of 5; Bob's on page 1.
    StudyGuideController guide(quiz, students);
    guide.tableView->selectRow(3);
    EXPECT_EQ(guide.curPageNum(), 4);
    EXPECT_EQ(pagingButtons(guide), "1111");
    guide.tableView->selectRow(0);
    EXPECT_EQ(guide.curPageNum(), 1);
    EXPECT_EQ(pagingButtons(guide), "0011");

    ClassStudyGuideController classGuide(quiz, students);
    classGuide.tableView->selectRow(3);
    EXPECT_EQ(classGuide.curPageNum(), 4);
    StudentResponseResultController result(quiz, students);
    result.tableView->selectRow(3);
    EXPECT_EQ(result.curPageNum(), 7);
    EXPECT_EQ(result.reportView->labelPage(), "Page:  7/8");

    // The Question Report: the fifth question on page 5, the last on the last page.
    QuestionReportController questions(quiz, students);
    questions.tableView->selectRow(4);
    EXPECT_EQ(questions.curPageNum(), 5);
    questions.tableView->selectRow(5);
    EXPECT_EQ(pagingButtons(questions), "1100");
    const QString pdf = out.filePath("questions.pdf");
    QString why;
    ASSERT_TRUE(questions.saveToPDF(pdf, &why)) << why.toStdString();
    EXPECT_EQ(SlideDecks::pdfPageCount(pdf), 6);
    EXPECT_EQ(questions.curPageNum(), 6) << "back to the page shown";
    const QString text = SlideDecks::pdfText(pdf);
    for (const char *expected : {"Question Report", "Correct Answer:B", "Carla Maria Fernandes-Ortiz", "Cloze Test",
                                 "Short Answer", "Other", "Page: 6/6"})
        EXPECT_TRUE(text.contains(expected) || text.contains(QString(expected).replace(" ", "  "))) << expected;
}
