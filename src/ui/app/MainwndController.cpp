#include "MainwndController.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "ui/app/SelectASystem.h"
#include "ui/app/TabController.h"
#include "ui/controls/DesktopFiles.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>

MainwndController::MainwndController(QObject *parent) : QObject(parent) {}

MainwndController::~MainwndController()
{
    NotificationCenter::defaultCenter()->removeObserver(this);
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

    // The system in use: a receiver plugged in names it; without one the teacher chooses it here,
    // in the system choice or by its model, as often as needed (the choice at start may have
    // been closed without one).
    QMenu *system = bar->addMenu(tr("&System"));
    system->setObjectName(QStringLiteral("menuSystem"));
    menuSelectSystem = system->addAction(tr("Select a System…"), m_window, &TabController::chooseSystem);
    menuSelectSystem->setObjectName(QStringLiteral("menuSelectSystem"));
    system->addSeparator();
    auto *models = new QActionGroup(this);
    struct Model
    {
        QAction **item;
        int type;
        QString name;
    };
    const QList<Model> items{{&menuEnvel, 0, QStringLiteral("Envel")},
                             {&menuArvel, 1, QStringLiteral("Arvel")},
                             {&menuCorvel, 2, QStringLiteral("Corvel")},
                             {&menuDravel, 3, QStringLiteral("Dravel")}};
    for (const auto &[item, type, name] : items) {
        QAction *a = system->addAction(name);
        a->setObjectName(QStringLiteral("menu") + name);
        a->setCheckable(true);
        a->setData(type);
        models->addAction(a);
        connect(a, &QAction::triggered, this, [this, type] {
            m_window->lowerToNormalLevel();
            SelectASystem::chooseSystem(type, m_window);
            m_window->raiseToStatusLevel();
        });
        *item = a;
    }
    refreshSystemMenu();
    NotificationCenter::defaultCenter()->addObserver(this, Notify::DeviceChanged,
                                                     [this](const Notification &) { refreshSystemMenu(); });

    QMenu *help = bar->addMenu(tr("&Help"));
    help->addAction(tr("Pollix Help"), this, [this] {
        if (Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate())
            app->onPollixHelp(DesktopFiles::alertOver(m_window));
    });
}

void MainwndController::refreshSystemMenu()
{
    const Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
    // A receiver plugged in names the system: nothing to choose then.
    const bool choosable = !app || !app->getBHaveDevice();
    const int inUse = app ? app->currentDeviceType() : -1;
    menuSelectSystem->setEnabled(choosable);
    for (QAction *a : {menuEnvel, menuArvel, menuCorvel, menuDravel}) {
        a->setEnabled(choosable);
        a->setChecked(a->data().toInt() == inUse);
    }
}

void MainwndController::showWindow()
{
    m_window->raiseToStatusLevel();
    m_window->show();
}
