#include "core/reports/ReportTestBase.h"

#include "core/reports/ReportDocument.h"
#include "core/reports/StudentSessionReport.h"
#include "platform/AtomicFile.h"
#include "support/DialogAnswers.h"
#include "support/SmallDisk.h"
#include "ui/reports/CustomZoomController.h"
#include "ui/reports/GoToPageController.h"
#include "ui/reports/ReportFrame.h"
#include "ui/reports/ReportView.h"
#include "ui/reports/ReportWindowTesting.h"
#include "ui/reports/StudentGradeReportController.h"

#include <QComboBox>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {
// What a poppler tool prints for a file; empty when it fails.
QString poppler(const QString &tool, const QStringList &arguments)
{
    QProcess p;
    p.start(tool, arguments);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pdfPages(const QString &path)
{
    const QString info = poppler("pdfinfo", {path});
    for (const QString &line : info.split('\n'))
        if (line.startsWith("Pages:"))
            return line.mid(6).trimmed().toInt();
    return -1;
}

class ReportFrameTest : public ReportTestBase
{
protected:
    void TearDown() override
    {
        DialogHooks::setModalResponder({});
        ReportTestBase::TearDown();
    }
    // A Student Session Report of `students` students: 26 on a page.
    std::unique_ptr<StudentGradeReportController> window(int students)
    {
        const QuizEntity quiz = withStudents(session("student-session"), students);
        return std::make_unique<StudentGradeReportController>(quiz, ticked(quiz));
    }
    std::unique_ptr<ReportFrame> windowWith(const ReportFramePolicy &policy, int students)
    {
        const QuizEntity quiz = withStudents(session("student-session"), students);
        return std::make_unique<ReportFrame>(std::make_unique<StudentSessionReport>(quiz, ticked(quiz), policy), "Test");
    }
    static QString buttons(const ReportFrame &w) { return pagingButtons(w); }
    QTemporaryDir out;
};
} // namespace

TEST_F(ReportFrameTest, PagingButtonsFollowThePageShown)
{
    auto w = window(5 * 26);
    ASSERT_EQ(w->totalPage(), 5);
    EXPECT_EQ(w->curPageNum(), 1);
    EXPECT_EQ(buttons(*w), "0011");
    EXPECT_TRUE(w->btnGoToPage->isEnabled());
    EXPECT_EQ(w->reportView->labelPage(), "Page:  1/5");
    w->btnNext->click();
    EXPECT_EQ(buttons(*w), "1111");
    w->btnLast->click();
    EXPECT_EQ(w->curPageNum(), 5);
    EXPECT_EQ(buttons(*w), "1100");
    EXPECT_EQ(w->reportView->labelPage(), "Page:  5/5");
    w->btnPrevious->click();
    EXPECT_EQ(buttons(*w), "1111");
    w->btnFirst->click();
    EXPECT_EQ(buttons(*w), "0011");

    // Go to page: it starts at the page on show, ready to be typed over; the page typed; 0 or
    // Cancel keeps the page; a number above the count shows the count.
    EXPECT_EQ(w->txtPage->text(), "Page:  1/5");
    w->btnNext->click();
    EXPECT_EQ(w->txtPage->text(), "Page:  2/5");
    DialogHooks::setModalResponder([](QDialog *d) {
        auto *dialog = qobject_cast<GoToPageController *>(d);
        EXPECT_EQ(dialog->textPage->text(), "2");
        EXPECT_EQ(dialog->textPage->selectedText(), "2");
        dialog->textPage->setFocus();
        QTest::keyClicks(dialog->textPage, "4");
        EXPECT_EQ(dialog->textPage->text(), "4");
        dialog->textPage->clear();
        QTest::keyClicks(dialog->textPage, "99");
        EXPECT_EQ(dialog->textPage->text(), "5");
        dialog->textPage->setText("3");
        dialog->btnOK->click();
        return dialog->result();
    });
    w->btnGoToPage->click();
    EXPECT_EQ(w->curPageNum(), 3);
    EXPECT_EQ(w->txtPage->text(), "Page:  3/5");
    EXPECT_EQ(buttons(*w), "1111");
    for (const char *press : {"btnOK", "btnCancel"}) {
        DialogHooks::setModalResponder([press](QDialog *d) {
            auto *dialog = qobject_cast<GoToPageController *>(d);
            dialog->textPage->setText("0");
            d->findChild<QPushButton *>(press)->click();
            return d->result();
        });
        w->goToPage();
        EXPECT_EQ(w->curPageNum(), 3) << press;
    }

    // One page: nothing to page through.
    auto single = window(3);
    EXPECT_EQ(buttons(*single), "0000");
    EXPECT_FALSE(single->btnGoToPage->isEnabled());
}

TEST_F(ReportFrameTest, ZoomScalesThePageFromItsOwnSizeAndCentresIt)
{
    auto w = window(30);
    w->resize(1000, 800);
    w->show();
    QApplication::processEvents();
    const QSize visible = w->scrollView->size();
    const auto choose = [&](const QString &item) {
        w->cboScale->setCurrentText(item);
        w->comboBoxWillDismiss();
    };
    choose("200%");
    EXPECT_EQ(w->reportView->size(), QSize(1588, 2246));
    choose("50%");
    // Each zoom starts from the page's own size (on whole screen points).
    EXPECT_EQ(w->reportView->width(), 397);
    EXPECT_NEAR(w->reportView->height(), 561.5, 0.5);
    EXPECT_NEAR(w->reportView->x(), (visible.width() - 2 - 397) / 2.0, 0.5);
    choose("Whole Page");
    EXPECT_EQ(w->reportView->height(), visible.height() - 2);
    choose("100%");
    EXPECT_EQ(w->reportView->size(), QSize(794, 1123));

    // Customize: 10 and 0 are raised to 25; Cancel changes nothing.
    CustomZoomController dialog;
    dialog.textFactor->setText("10");
    dialog.btnOK->click();
    EXPECT_EQ(dialog.result(), 25);
    dialog.textFactor->setText("0");
    dialog.btnOK->click();
    EXPECT_EQ(dialog.result(), 25);
    DialogHooks::setModalResponder([](QDialog *d) {
        auto *zoom = qobject_cast<CustomZoomController *>(d);
        zoom->textFactor->setText("150");
        zoom->btnOK->click();
        return zoom->result();
    });
    choose("Customize...");
    EXPECT_NEAR(w->reportView->height(), 1684.5, 0.5);
    DialogHooks::setModalResponder([](QDialog *d) {
        qobject_cast<CustomZoomController *>(d)->btnCancel->click();
        return d->result();
    });
    choose("Customize...");
    EXPECT_NEAR(w->reportView->height(), 1684.5, 0.5);
}

// Page Width: the page's whole width in view, also beside the list of students, in windows of
// every size the program opens on, and again after the window is resized.
TEST_F(ReportFrameTest, PageWidthShowsThePagesWholeWidthBesideTheList)
{
    auto w = window(60);
    ASSERT_TRUE(w->tableView);
    const auto expectWholeWidth = [&](const char *when) {
        QApplication::processEvents();
        const QWidget *viewport = w->scrollView->viewport();
        const QRect page(w->reportView->mapTo(viewport, QPoint(0, 0)), w->reportView->size());
        EXPECT_GE(page.left(), 0) << when;
        EXPECT_LE(page.right(), viewport->width() - 1) << when;
        EXPECT_FALSE(w->scrollView->horizontalScrollBar()->isVisible()) << when;
        // Fitted, not merely small: the page takes the width there is.
        EXPECT_GE(page.width(), viewport->width() - 4) << when;
        EXPECT_NEAR(double(page.height()) / page.width(), 1123.0 / 794, 0.01) << when;
        EXPECT_TRUE(w->scrollView->verticalScrollBar()->isVisible()) << when;
    };
    w->resize(1000, 700);
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    // The window opens at Page Width.
    EXPECT_EQ(w->cboScale->currentText(), "Page Width");
    expectWholeWidth("opened");
    EXPECT_LT(w->reportView->width(), 794) << "narrower than the page's own width here";

    // The teacher picks 200% and then Page Width again with the keys of the zoom box.
    w->cboScale->setFocus();
    w->cboScale->setCurrentText("200%");
    w->comboBoxWillDismiss();
    QApplication::processEvents();
    EXPECT_TRUE(w->scrollView->horizontalScrollBar()->isVisible());
    while (w->cboScale->currentIndex() > 0)
        QTest::keyClick(w->cboScale, Qt::Key_Up);
    EXPECT_EQ(w->cboScale->currentText(), "Page Width");
    expectWholeWidth("chosen again");

    for (const QSize size : {QSize(1366, 740), QSize(1024, 740), QSize(820, 600)}) {
        w->resize(size);
        expectWholeWidth(qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())));
    }
    // Another zoom stays as chosen when the window changes.
    w->cboScale->setCurrentText("50%");
    w->comboBoxWillDismiss();
    w->resize(1100, 700);
    QApplication::processEvents();
    EXPECT_EQ(w->reportView->width(), 397);
}

TEST_F(ReportFrameTest, PdfHoldsEveryPageAtPageSizeAndTheWindowReturnsAsItsPolicySays)
{
    auto w = window(5 * 26);
    w->showPage(3);
    w->cboScale->setCurrentText("200%");
    w->comboBoxWillDismiss();
    const QString pdf = out.filePath("all.pdf");
    QString why;
    ASSERT_TRUE(w->saveToPDF(pdf, &why)) << why.toStdString();
    EXPECT_EQ(pdfPages(pdf), 5);
    EXPECT_TRUE(poppler("pdfinfo", {pdf}).contains("(A4)"));
    EXPECT_EQ(w->curPageNum(), 3) << "back to the page shown before";
    EXPECT_EQ(buttons(*w), "1111");
    const QString text = poppler("pdftotext", {"-layout", "-f", "5", "-l", "5", pdf, "-"});
    EXPECT_TRUE(text.contains("Student Session Report"));
    EXPECT_TRUE(text.contains("Page: 5/5") || text.contains("Page:  5/5")) << text.toStdString();

    // The first page rendered: not blank, with the orange of the title bar.
    poppler("pdftoppm", {"-png", "-r", "48", "-f", "1", "-l", "1", "-singlefile", pdf, out.filePath("first")});
    const QImage page(out.filePath("first.png"));
    ASSERT_FALSE(page.isNull());
    int inked = 0, orange = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            inked += c != QColor(Qt::white);
            orange += c.red() > 200 && c.green() > 130 && c.green() < 190 && c.blue() < 80;
        }
    EXPECT_GT(inked, page.width() * page.height() / 20);
    EXPECT_GT(orange, 100);

    // The second session reports go back to page 1; the one-page kind writes the page shown.
    auto first = windowWith(ReportFramePolicy::windowFrame(), 60);
    first->showPage(2);
    ASSERT_TRUE(first->saveToPDF(out.filePath("first.pdf")));
    EXPECT_EQ(pdfPages(out.filePath("first.pdf")), 3);
    EXPECT_EQ(first->curPageNum(), 1);
    ReportFramePolicy shown = ReportFramePolicy::gradebookFrame();
    shown.pdf = ReportFramePolicy::Pdf::ShownPage;
    shown.head = ReportFramePolicy::Head::Session;
    auto one = windowWith(shown, 60);
    one->showPage(2);
    ASSERT_TRUE(one->saveToPDF(out.filePath("one.pdf")));
    EXPECT_EQ(pdfPages(out.filePath("one.pdf")), 1);
    EXPECT_TRUE(poppler("pdftotext", {out.filePath("one.pdf"), "-"}).contains("2/3"));
    EXPECT_EQ(one->curPageNum(), 2);
}

TEST_F(ReportFrameTest, ExportsAskForAFileAndSayWhyTheyFailed)
{
    DialogAnswers answers;
    auto w = window(60);
    w->showPage(2);
    // The panel's path gets its extension; Cancel writes nothing and keeps the page.
    answers.answerFile(out.filePath("report"));
    w->btnSaveToPDF->click();
    EXPECT_EQ(pdfPages(out.filePath("report.pdf")), 3);
    EXPECT_EQ(w->curPageNum(), 2);
    answers.answerFile("");
    w->btnSaveToPDF->click();
    answers.answerFile(out.filePath("list"));
    w->btnSaveToCSV->click();
    EXPECT_EQ(readFile(out.filePath("list.csv")), w->report()->csv(QDate(2012, 3, 23)).csvData());
    ASSERT_EQ(answers.fileDialogs().size(), 3);
    EXPECT_EQ(answers.fileDialogs()[2].filter, "CSV (*.csv)");
    // Each written file is named with its folder; the cancelled one says nothing.
    ASSERT_EQ(answers.alerts().size(), 2);
    EXPECT_EQ(answers.alerts()[0].text, "The PDF file was saved.");
    EXPECT_EQ(answers.alerts()[0].informativeText, "Saved to " + out.filePath("report.pdf"));
    EXPECT_EQ(answers.alerts()[1].text, "The CSV file was saved.");
    EXPECT_EQ(answers.alerts()[1].informativeText, "Saved to " + out.filePath("list.csv"));

    // A folder that is not there: an alert with the reason, never silence.
    answers.answerFile(out.filePath("missing/report.pdf"));
    w->btnSaveToPDF->click();
    answers.answerFile(out.filePath("missing/list.csv"));
    w->btnSaveToCSV->click();
    ASSERT_EQ(answers.alerts().size(), 4);
    EXPECT_EQ(answers.alerts()[2].text, "The PDF file could not be saved.");
    EXPECT_FALSE(answers.alerts()[2].informativeText.isEmpty());
    EXPECT_EQ(answers.alerts()[3].title, "Pollix ARS");
    EXPECT_EQ(answers.alerts()[3].text, "Create file failed");
    EXPECT_EQ(w->curPageNum(), 2);

    // A write that fails on the way (a full disk, a crash before the rename) keeps the old file.
    const QString kept = out.filePath("kept.pdf");
    ASSERT_TRUE(w->saveToPDF(kept));
    const QByteArray before = readFile(kept);
    AtomicFile::setFailureHook([](const QString &) { return true; });
    QString why;
    EXPECT_FALSE(w->saveToPDF(kept, &why));
    EXPECT_FALSE(why.isEmpty());
    AtomicFile::setFailureHook({});
    EXPECT_EQ(readFile(kept), before);
}

TEST_F(ReportFrameTest, AFullDiskFailsThePdfAndTheCsvWithTheirReasons)
{
    POLLIX_ON_SMALL_DISK(.kilobytes = 64);
    auto w = window(60);
    ASSERT_TRUE(SmallDisk::fill());
    QString why, reason;
    EXPECT_FALSE(w->saveToPDF(SmallDisk::folder() + "/report.pdf", &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_FALSE(w->saveToCSV(SmallDisk::folder() + "/list.csv", &why, &reason));
    EXPECT_EQ(why, "File is not writable.");
    EXPECT_FALSE(QFileInfo::exists(SmallDisk::folder() + "/report.pdf"));
}

TEST_F(ReportFrameTest, EveryNewPageOpensAtItsTop)
{
    auto w = window(5 * 26);
    w->resize(1000, 700);
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    w->cboScale->setCurrentText("200%");
    w->comboBoxWillDismiss();
    QApplication::processEvents();
    QScrollBar *down = w->scrollView->verticalScrollBar();
    QScrollBar *across = w->scrollView->horizontalScrollBar();
    ASSERT_GT(down->maximum(), 0);
    const auto readToTheBottom = [&] {
        down->setValue(down->maximum());
        across->setValue(across->maximum() / 2);
    };
    // Each way to another page: the buttons, the go-to-page dialog, the list of students.
    const std::pair<QPushButton *, int> presses[] = {
        {w->btnNext, 2}, {w->btnLast, 5}, {w->btnPrevious, 4}, {w->btnFirst, 1}};
    for (const auto &[button, page] : presses) {
        readToTheBottom();
        QTest::mouseClick(button, Qt::LeftButton);
        ASSERT_EQ(w->curPageNum(), page);
        EXPECT_EQ(down->value(), 0) << button->objectName().toStdString();
        EXPECT_EQ(across->value(), across->maximum() / 2) << "the column in view stays";
    }
    DialogHooks::setModalResponder([](QDialog *d) {
        auto *dialog = qobject_cast<GoToPageController *>(d);
        dialog->textPage->setText("3");
        dialog->btnOK->click();
        return dialog->result();
    });
    readToTheBottom();
    w->btnGoToPage->click();
    ASSERT_EQ(w->curPageNum(), 3);
    EXPECT_EQ(down->value(), 0);
    readToTheBottom();
    w->tableView->selectRow(26);
    ASSERT_EQ(w->curPageNum(), 2);
    EXPECT_EQ(down->value(), 0);
    // The same page chosen again is left where it is being read.
    readToTheBottom();
    w->tableView->selectRow(27);
    ASSERT_EQ(w->curPageNum(), 2);
    EXPECT_EQ(down->value(), down->maximum());
}

TEST_F(ReportFrameTest, ChoosingAStudentInTheListShowsTheirPage)
{
    auto w = window(60);
    ASSERT_TRUE(w->tableView);
    EXPECT_EQ(w->tableView->model()->rowCount(), 60);
    w->tableView->selectRow(40);
    EXPECT_EQ(w->curPageNum(), 2);
    EXPECT_EQ(buttons(*w), "1111");
    w->tableView->selectRow(59);
    EXPECT_EQ(w->curPageNum(), 3);
    EXPECT_EQ(buttons(*w), "1100");
}
