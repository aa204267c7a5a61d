#include "ReportShots.h"

#include "Shots.h"
#include "core/reports/ReportDocument.h"
#include "ui/reports/ReportFrame.h"
#include "ui/reports/ReportView.h"

#include <QComboBox>
#include <QDir>

#include <gtest/gtest.h>

namespace ReportShots {

bool drewWithItsPage(ReportFrame *w, const QString &name)
{
    const ::testing::AssertionResult window = Shots::drew(w, name);
    EXPECT_TRUE(window);
    const ::testing::AssertionResult page = Shots::drew(w->reportView, name + QStringLiteral("-page"));
    EXPECT_TRUE(page);
    return window && page;
}

void shootReportWindow(ReportFrame *w, const QString &name)
{
    w->show();
    drewWithItsPage(w, name);
    w->nextPage();
    drewWithItsPage(w, name + QStringLiteral("-page2"));
    w->lastPage();
    drewWithItsPage(w, name + QStringLiteral("-last"));
    w->cboScale->setCurrentText(QStringLiteral("50%"));
    w->comboBoxWillDismiss();
    drewWithItsPage(w, name + QStringLiteral("-50"));
    w->cboScale->setCurrentText(QStringLiteral("Whole Page"));
    w->comboBoxWillDismiss();
    drewWithItsPage(w, name + QStringLiteral("-whole"));
    if (const QString folder = Shots::folder(); !folder.isEmpty()) {
        w->saveToPDF(QDir(folder).filePath(name + QStringLiteral(".pdf")));
        if (w->report()->hasCSV())
            w->saveToCSV(QDir(folder).filePath(name + QStringLiteral(".csv")));
    }
    w->close();
}

} // namespace ReportShots
