#include "core/app/Orvenda_AppDelegate.h"
#include "ui/app/TabController.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pollix"));
    QApplication::setOrganizationName(QStringLiteral("Pollix"));
    QApplication::setApplicationVersion(QStringLiteral(POLLIX_VERSION));

    Orvenda_AppDelegate delegate;
    Orvenda_AppDelegate::setAppDelegate(&delegate);

    TabController window;
    window.show();
    const int rc = app.exec();
    Orvenda_AppDelegate::setAppDelegate(nullptr);
    return rc;
}
