#include "core/reports/ReportTestBase.h"

#include "DemoData.h"
#include "support/DialogAnswers.h"
#include "support/Shots.h"
#include "ui/controls/MyComboBox.h"
#include "ui/controls/PollixAlert.h"
#include "ui/controls/TovTableView.h"
#include "ui/gradebook/GradebookWindows.h"
#include "ui/reports/CreateNewSessionController.h"
#include "ui/reports/CreateReportController.h"
#include "ui/reports/EditSessionController.h"
#include "ui/reports/ImportSessionController.h"
#include "ui/reports/MergeController.h"
#include "ui/reports/ReportController.h"
#include "ui/reports/ReportFrame.h"
#include "ui/reports/ReportRegistry.h"
#include "ui/reports/ReportWindows.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QDirIterator>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

// The session windows of the Report window as a person sees them, along the path a teacher new
// to the program takes: New enters a five-question paper test for the class, Edit fixes one
// correct answer, a second paper is entered and Merge joins both, a file from another computer is
// previewed and imported, and the Student Session Report shows the result. Every window looked at
// draws, in every run of the suite; with a picture folder set (./dev shots) the pictures go there.
// The application folder is the demo folder's class and sessions, made as ./dev run makes them, or
// a copy of the one POLLIX_SCREENSHOT_HOME names.
namespace {
class SessionScreensTest : public ReportTestBase
{
protected:
    void SetUp() override
    {
        ReportTestBase::SetUp();
        const QString demo = qEnvironmentVariable("POLLIX_SCREENSHOT_HOME");
        if (demo.isEmpty()) {
            QString why;
            ASSERT_FALSE(DemoData::ensure(home(), QString(), &why).isEmpty()) << why.toStdString();
            ASSERT_TRUE(DemoData::ensureSessions(&why)) << why.toStdString();
        } else {
            QDirIterator it(demo, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString file = it.next();
                const QString target = copy.filePath(QDir(demo).relativeFilePath(file));
                QDir().mkpath(QFileInfo(target).absolutePath());
                QFile::copy(file, target);
            }
            demoApp = std::make_unique<Orvenda_AppDelegate>(copy.path());
            Orvenda_AppDelegate::setAppDelegate(demoApp.get());
        }
        ReportController::resetHooks();
        GradebookWindows::installCourseGradeTabs();
        ReportRegistry::clear();
        ReportRegistry::registerBuiltReports();
        ReportWindows::installSessionWindows();
    }
    void TearDown() override
    {
        DialogHooks::setModalResponder({});
        ReportController::resetHooks();
        ReportTestBase::TearDown();
    }
    void shoot(QWidget *w, const QString &name) { EXPECT_TRUE(Shots::drew(w, name)); }
    // An alert as the window shows it, looked at over the window.
    void shootAlert(QWidget *over, const QString &text, const QStringList &buttons, const QString &name)
    {
        PollixAlert alert(QStringLiteral("Pollix"), text, buttons, {}, over);
        alert.QMessageBox::show();
        shoot(&alert, name);
        alert.close();
    }
    static void enter(CreateNewSessionController *entry, const QString &name, const QStringList &correct,
                      const QStringList &answers)
    {
        entry->textSession->setText(name);
        entry->textTestTitle->setText(name + QStringLiteral(" (paper)"));
        entry->cboTotalQuestion->setCurrentText(QString::number(correct.size()));
        for (int k = 0; k < correct.size(); ++k) {
            entry->cboQuestion->setCurrentIndex(k);
            entry->textCorrectAnswer->clear();
            QTest::keyClicks(entry->textCorrectAnswer, correct[k]);
            QTest::keyClick(entry->textCorrectAnswer, Qt::Key_Return);
            entry->textQuestion->setPlainText(QStringLiteral("Question %1 of the paper test").arg(k + 1));
            for (int r = 0; r < entry->tableView->rowCount(); ++r)
                entry->tableView->item(r, 2)->setText(answers[k].mid(r % answers[k].size(), 1));
        }
    }

    QTemporaryDir copy;
    std::unique_ptr<Orvenda_AppDelegate> demoApp;
    DialogAnswers answers;
};
} // namespace

TEST_F(SessionScreensTest, NewEditMergeImportAndTheReport)
{
    ReportController window;
    window.show();
    shoot(&window, QStringLiteral("sessions-before"));
    int entries = 0;
    DialogHooks::setModalResponder([&](QDialog *d) {
        d->show();
        if (auto *entry = qobject_cast<CreateNewSessionController *>(d)) {
            if (entries++ == 0) {
                shoot(entry, QStringLiteral("new-empty"));
                enter(entry, QStringLiteral("Paper test"), {"B", "A", "D", "C", "A"}, {"BBBA", "AACA", "CCCD", "CCCC", "AABA"});
                shoot(entry, QStringLiteral("new-filled"));
                shootAlert(entry, QStringLiteral("The answer should be within the range of option count."),
                           {QStringLiteral("OK")}, QStringLiteral("new-alert"));
                entry->tabForms->setCurrentIndex(1);
                entry->cmbClass->setCurrentIndex(1);
                for (int r = 0; r < entry->studentListTable->rowCount(); ++r)
                    entry->studentListTable->item(r, 2)->setText(QString::number(60 + r));
                shoot(entry, QStringLiteral("new-points"));
                entry->tabForms->setCurrentIndex(0);
            } else {
                enter(entry, QStringLiteral("Second paper"), {"A", "B"}, {"AAAB", "BBBB"});
            }
            entry->doSave();
        } else if (auto *editor = qobject_cast<EditSessionController *>(d)) {
            shoot(editor, QStringLiteral("edit-questions"));
            editor->tableQuestion1->item(2, EditSessionController::ColCorrectAnswer)->setText(QStringLiteral("C"));
            editor->tableQuestion1->selectRow(2);
            shoot(editor, QStringLiteral("edit-fixed"));
            editor->tabView->setCurrentIndex(1);
            editor->tableStudent2->selectRow(0);
            shoot(editor, QStringLiteral("edit-students"));
            editor->doSave();
            editor->doClose();
        } else if (auto *merge = qobject_cast<MergeController *>(d)) {
            merge->table2->item(0, 0)->setText(QStringLiteral("Both papers"));
            shoot(merge, QStringLiteral("merge"));
            merge->doSave();
        } else if (auto *import = qobject_cast<ImportSessionController *>(d)) {
            shoot(import, QStringLiteral("import-by-student"));
            import->findChild<QTabWidget *>()->setCurrentIndex(1);
            import->questionPointsStandardTableView->selectRow(1);
            shoot(import, QStringLiteral("import-by-question"));
            import->doImport();
        } else if (auto *chooser = qobject_cast<CreateReportController *>(d)) {
            chooser->btnSelectAll->click();
            for (int r = 0; r < chooser->tableReportFormat->rowCount(); ++r)
                if (chooser->reportNameAt(r) == QLatin1String("Student Session Report")) {
                    chooser->tableReportFormat->selectRow(r);
                    chooser->btnPreview->click();
                }
        } else if (auto *report = qobject_cast<ReportFrame *>(d)) {
            shoot(report, QStringLiteral("report-") + window.selectedRows().value(0).session());
        }
        d->close();
        return 0;
    });
    const auto select = [&window](const QStringList &names) {
        window.table1->clearSelection();
        for (int i = 0; i < window.table1Array().size(); ++i)
            if (names.contains(window.table1Array()[i].session()))
                window.table1->selectionModel()->select(window.table1->model()->index(i, 0),
                                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    };
    window.btnNew1->click();
    select({QStringLiteral("Paper test")});
    window.btnEdit1->click();
    window.btnReport1->click();
    window.btnNew1->click();
    select({QStringLiteral("Paper test"), QStringLiteral("Second paper")});
    shoot(&window, QStringLiteral("sessions-two-chosen"));
    window.btnMerge1->click();
    select({QStringLiteral("Both papers")});
    window.btnReport1->click();

    // A session exported on another computer, under another name.
    QByteArray xml;
    {
        QFile f(window.selectedRows().value(0).filePath());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        xml = f.readAll();
    }
    xml.replace("<Name>Both papers</Name>", "<Name>Room 12 / both papers</Name>");
    QTemporaryDir outside;
    QFile out(outside.filePath("room12.xml"));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(xml);
    out.close();
    answers.answerFile(out.fileName());
    window.btnImport->click();
    shoot(&window, QStringLiteral("sessions-after"));
    EXPECT_GE(window.table1Array().size(), 4);
}
