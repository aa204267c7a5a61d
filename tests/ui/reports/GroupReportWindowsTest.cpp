#include "core/reports/ReportTestBase.h"

#include "core/reports/ResultByQuestionInGroupModeReport.h"
#include "ui/controls/DialogHooks.h"
#include "ui/reports/GroupResultController.h"
#include "ui/reports/ReportRegistry.h"
#include "ui/reports/ResultByQuestionInGroupModeController.h"

#include <QProcess>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeView>

// The windows of the group session and standards reports as the chooser opens them.
namespace {
class GroupReportWindowsTest : public ReportTestBase
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
        ReportRegistry::clear();
        ReportTestBase::TearDown();
    }
    // The window the chooser opens for reportName: its interface name and its title.
    QString opened(const QString &reportName, const QuizEntity &quiz)
    {
        QString seen;
        DialogHooks::setModalResponder([&](QDialog *d) {
            seen = d->objectName() + ':' + d->windowTitle();
            return 0;
        });
        QList<SelectStudents> students = ticked(quiz);
        EXPECT_TRUE(ReportRegistry::open(reportName, nullptr, quiz, students)) << reportName.toStdString();
        return seen;
    }
    static QString buttons(const ReportFrame &w)
    {
        QString s;
        for (QPushButton *b : {w.btnFirst, w.btnPrevious, w.btnNext, w.btnLast})
            s += b->isEnabled() ? '1' : '0';
        return s;
    }
};
} // namespace

TEST_F(GroupReportWindowsTest, TheChooserOpensEachReportInItsWindow)
{
    const QuizEntity group = session("group-session");
    EXPECT_EQ(opened("Group Result", group), "GroupResult:Group Result");
    EXPECT_EQ(opened("Group Student Report", group), "GroupStudentReport:Group Student Report");
    EXPECT_EQ(opened("Result By Question", group), "ResultByQuestionInGroupMode:Result By Question");
    const QuizEntity standards = session("standards");
    EXPECT_EQ(opened("Absentee Report", standards), "AbsenteeReport:Absentee Report");
    EXPECT_EQ(opened("Standards Analysis Report", standards), "AbsenteeReport:Standards Analysis Report");
    EXPECT_EQ(opened("Personal Standards Report", standards), "PersonalStandardsReport:Personal Standards Report");
}

TEST_F(GroupReportWindowsTest, OutlineAndGroupListShowTheirPagesAndThePdfComesBack)
{
    ResultByQuestionInGroupModeController window(session("group-session"));
    ASSERT_TRUE(window.outlineView);
    auto *model = static_cast<QStandardItemModel *>(window.outlineView->model());
    ASSERT_EQ(model->rowCount(), 3);
    // Group 2 of question 3 begins on page 8 (three pages a question, the group on the second).
    const QModelIndex group2 = model->index(2, 0, model->index(2, 0));
    EXPECT_EQ(group2.data().toString(), "Group 2");
    window.outlineView->setCurrentIndex(group2);
    EXPECT_EQ(window.curPageNum(), 8);
    EXPECT_EQ(buttons(window), "1111");

    // The PDF holds every page and the window returns to the page it showed.
    QTemporaryDir out;
    const QString pdf = out.filePath("rbq.pdf");
    ASSERT_TRUE(window.saveToPDF(pdf));
    EXPECT_EQ(window.curPageNum(), 8);
    QProcess text;
    text.start("pdftotext", {"-layout", "-f", "7", "-l", "9", pdf, "-"});
    ASSERT_TRUE(text.waitForFinished(60000));
    const QString pages = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_EQ(pages.count("Question 3"), 3);
    EXPECT_TRUE(pages.contains("Page: 9/9") || pages.contains("Page:  9/9")) << pages.toStdString();

    // Choosing the last of 27 groups in the list shows page 2.
    QuizEntity many = session("group-session");
    for (int g = 0; g < many.allStudents().size(); ++g)
        many.allStudents()[g].setGroupNo(g * 10);
    // One of the six stored students is absent.
    for (int g = int(many.allStudents().size()); g < 28; ++g) {
        StudentEntity s = many.allStudents().first();
        s.setId(QString::number(1000 + g));
        s.setGroupNo(g * 10);
        many.allStudents() << s;
    }
    GroupResultController groups(many);
    ASSERT_TRUE(groups.tableView);
    EXPECT_EQ(groups.tableView->model()->rowCount(), 27);
    groups.tableView->selectRow(26);
    EXPECT_EQ(groups.curPageNum(), 2);
    EXPECT_EQ(buttons(groups), "1100");
}
