#include "WelcomeWindowController.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/app/SystemFileUnpacker.h"

#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>

namespace {
int g_seconds = 5;
int g_tickMs = 1000;
QString g_archive;
} // namespace

void WelcomeWindowController::setDefaultSeconds(int seconds) { g_seconds = seconds; }
void WelcomeWindowController::setTickIntervalMs(int ms) { g_tickMs = ms; }
void WelcomeWindowController::setArchivePath(const QString &path) { g_archive = path; }

WelcomeWindowController::WelcomeWindowController(QWidget *parent) : MyBorderlessWindow(parent), m_ntime(g_seconds)
{
    setObjectName(QStringLiteral("WelcomeWindow"));
    // Its own labels only: an alert opened during the start stands over the splash as its child
    // window, and would otherwise be lettered white on its light ground.
    setStyleSheet(QStringLiteral("#WelcomeWindow { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #1f4e8c, stop:1 #0d2547); }"
                                 "#WelcomeWindow > QLabel { color: white; }"));
    auto *title = new QLabel(QStringLiteral("Pollix"), this);
    title->setObjectName(QStringLiteral("labelTitle"));
    QFont f = title->font();
    f.setPointSize(40);
    f.setBold(true);
    title->setFont(f);
    title->setAlignment(Qt::AlignCenter);
    auto *subtitle = new QLabel(tr("Audience Response System"), this);
    subtitle->setAlignment(Qt::AlignCenter);
    QFont sf = subtitle->font();
    sf.setPointSize(14);
    subtitle->setFont(sf);
    auto *version = new QLabel(tr("Version %1").arg(QStringLiteral(POLLIX_VERSION)), this);
    version->setAlignment(Qt::AlignCenter);
    auto *layout = new QVBoxLayout(this);
    layout->addStretch();
    layout->addWidget(title);
    layout->addWidget(subtitle);
    layout->addStretch();
    layout->addWidget(version);
    resize(480, 280);

    closeTimer = new QTimer(this);
    closeTimer->setInterval(g_tickMs);
    connect(closeTimer, &QTimer::timeout, this, &WelcomeWindowController::startCountDown);
}

int WelcomeWindowController::runModal()
{
    // The count-down starts before the unpacking, and ticks missed meanwhile are not made up.
    closeTimer->start();
    unZipSystemFile();
    if (m_ntime <= 0) {
        closeTimer->stop();
        return 0;
    }
    return exec();
}

void WelcomeWindowController::startCountDown()
{
    if (--m_ntime > 0)
        return;
    closeTimer->stop();
    done(0);
}

void WelcomeWindowController::unZipSystemFile()
{
    const Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
    const QString folder = app ? app->strPollixFilePath() : Orvenda_AppDelegate::defaultApplicationFolder();
    SystemFileUnpacker::unZipSystemFile(g_archive.isEmpty() ? SystemFileUnpacker::archivePath() : g_archive, folder);
}
