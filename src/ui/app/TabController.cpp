#include "TabController.h"

#include <QTabWidget>

TabController::TabController(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Tabctrl"));
    setWindowTitle(QStringLiteral("Pollix"));
    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabView"));
    setCentralWidget(tabs);
    resize(1024, 700);
}
