#include "ReportShots.h"

#include "core/reports/ReportDocument.h"
#include "ui/reports/ReportFrame.h"

#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

namespace ReportShots {

QString folder()
{
    const QString folder = qEnvironmentVariable("POLLIX_SCREENSHOTS");
    if (!folder.isEmpty())
        QDir().mkpath(folder);
    return folder;
}

void shoot(QWidget *w, const QString &folder, const QString &name)
{
    QTest::qWait(300);
    w->grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
    if (QScreen *screen = QGuiApplication::primaryScreen())
        screen->grabWindow(0).save(folder + QLatin1Char('/') + name + QStringLiteral("-screen.png"));
}

void shootReportWindow(ReportFrame *w, const QString &folder, const QString &name)
{
    w->show();
    shoot(w, folder, name);
    w->nextPage();
    shoot(w, folder, name + QStringLiteral("-page2"));
    w->lastPage();
    shoot(w, folder, name + QStringLiteral("-last"));
    w->cboScale->setCurrentText(QStringLiteral("50%"));
    w->comboBoxWillDismiss();
    shoot(w, folder, name + QStringLiteral("-50"));
    w->cboScale->setCurrentText(QStringLiteral("Whole Page"));
    w->comboBoxWillDismiss();
    shoot(w, folder, name + QStringLiteral("-whole"));
    w->saveToPDF(folder + QLatin1Char('/') + name + QStringLiteral(".pdf"));
    if (w->report()->hasCSV())
        w->saveToCSV(folder + QLatin1Char('/') + name + QStringLiteral(".csv"));
    w->close();
}

} // namespace ReportShots
