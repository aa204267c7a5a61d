#include "core/reports/ReportTestBase.h"

#include "core/store/TovFastQuizXmlDatabase.h"
#include "support/DialogAnswers.h"
#include "ui/reports/CreateReportController.h"
#include "ui/reports/ReportController.h"
#include "ui/reports/ReportFrame.h"
#include "ui/reports/ReportRegistry.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTest>

// Pictures of the Report window, the chooser and each report for a person to look at: run with
// POLLIX_SCREENSHOTS set to a folder (under Xvfb with QT_QPA_PLATFORM=xcb to see window frames).
// POLLIX_SCREENSHOT_HOME names an application folder to list instead of the test's sessions (the
// demo folder after a demo run); the PDF and CSV files of each report are written beside the
// pictures.
namespace {
class ReportScreensTest : public ReportTestBase
{
protected:
    void SetUp() override
    {
        folder = qEnvironmentVariable("POLLIX_SCREENSHOTS");
        if (folder.isEmpty())
            GTEST_SKIP() << "POLLIX_SCREENSHOTS not set";
        ReportTestBase::SetUp();
        QDir().mkpath(folder);
        const QString demo = qEnvironmentVariable("POLLIX_SCREENSHOT_HOME");
        if (!demo.isEmpty()) {
            demoApp = std::make_unique<Orvenda_AppDelegate>(demo);
            Orvenda_AppDelegate::setAppDelegate(demoApp.get());
        }
        ReportRegistry::clear();
        ReportRegistry::registerBuiltReports();
    }
    void TearDown() override
    {
        DialogHooks::setModalResponder({});
        ReportTestBase::TearDown();
    }
    void shoot(QWidget *w, const QString &name)
    {
        QTest::qWait(300);
        w->grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
        if (QScreen *screen = QGuiApplication::primaryScreen())
            screen->grabWindow(0).save(folder + QLatin1Char('/') + name + QStringLiteral("-screen.png"));
    }
    void reportWindow(ReportFrame *w, const QString &name)
    {
        w->show();
        shoot(w, name);
        w->nextPage();
        shoot(w, name + QStringLiteral("-page2"));
        w->cboScale->setCurrentText(QStringLiteral("50%"));
        w->comboBoxWillDismiss();
        shoot(w, name + QStringLiteral("-50"));
        w->cboScale->setCurrentText(QStringLiteral("Whole Page"));
        w->comboBoxWillDismiss();
        shoot(w, name + QStringLiteral("-whole"));
        w->saveToPDF(folder + QLatin1Char('/') + name + QStringLiteral(".pdf"));
        w->saveToCSV(folder + QLatin1Char('/') + name + QStringLiteral(".csv"));
        w->close();
    }

    QString folder;
    std::unique_ptr<Orvenda_AppDelegate> demoApp;
    DialogAnswers answers;
};
} // namespace

TEST_F(ReportScreensTest, ReportWindowChooserAndReports)
{
    if (!demoApp) {
        session("class-response");
        session("student-session");
        session("response-spread");
    }
    ReportController window;
    window.show();
    shoot(&window, QStringLiteral("report-window"));
    int shown = 0;
    DialogHooks::setModalResponder([&](QDialog *d) {
        if (auto *chooser = qobject_cast<CreateReportController *>(d)) {
            chooser->show();
            chooser->btnSelectAll->click();
            shoot(chooser, QStringLiteral("chooser"));
            for (const char *report : {"Class Response Report", "Student Session Report", "Response Spread Report"})
                for (int r = 0; r < chooser->tableReportFormat->rowCount(); ++r)
                    if (chooser->reportNameAt(r) == QLatin1String(report)) {
                        chooser->tableReportFormat->selectRow(r);
                        chooser->btnPreview->click();
                    }
            chooser->close();
        } else if (auto *report = qobject_cast<ReportFrame *>(d)) {
            reportWindow(report, report->objectName() + QString::number(++shown));
        }
        return 0;
    });
    window.btnReport1->click();
    EXPECT_EQ(shown, 3);
}
