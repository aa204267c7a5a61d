#include "MainwndController.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "ui/app/TabController.h"
#include "ui/controls/DesktopFiles.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>

MainwndController::MainwndController(QObject *parent) : QObject(parent) {}

MainwndController::~MainwndController()
{
    delete m_window;
}

void MainwndController::initWindow()
{
    m_window = new TabController;
    awakeFromNib();
    m_window->awakeFromNib();
}

void MainwndController::awakeFromNib()
{
    QMenuBar *bar = m_window->menuBar();
    QMenu *file = bar->addMenu(tr("&File"));
    QAction *quit = file->addAction(tr("Quit Pollix"), qApp, &QApplication::quit);
    quit->setShortcut(QKeySequence::Quit);

    // The receiver models, named for the teacher; the model in use comes from the receiver.
    QMenu *system = bar->addMenu(tr("&System"));
    menuEnvel = system->addAction(QStringLiteral("Envel"));
    menuArvel = system->addAction(QStringLiteral("Arvel"));
    menuCorvel = system->addAction(QStringLiteral("Corvel"));
    menuDravel = system->addAction(QStringLiteral("Dravel"));
    menuEnvel->setObjectName(QStringLiteral("menuEnvel"));
    menuArvel->setObjectName(QStringLiteral("menuArvel"));
    menuCorvel->setObjectName(QStringLiteral("menuCorvel"));
    menuDravel->setObjectName(QStringLiteral("menuDravel"));
    for (QAction *a : {menuEnvel, menuArvel, menuCorvel, menuDravel})
        a->setEnabled(false);

    QMenu *help = bar->addMenu(tr("&Help"));
    help->addAction(tr("Pollix Help"), this, [this] {
        if (Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate())
            app->onPollixHelp(DesktopFiles::alertOver(m_window));
    });
}

void MainwndController::showWindow()
{
    m_window->raiseToStatusLevel();
    m_window->show();
}
