#include "core/app/Orvenda_AppDelegate.h"
#include "ui/app/MainwndController.h"
#include "ui/app/PollixProgram.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    PollixProgram::setUpApplication(app);
    PollixProgram::installServices();

    Orvenda_AppDelegate delegate;
    delegate.setIsLogin(false);
    Orvenda_AppDelegate::setAppDelegate(&delegate);

    MainwndController controller;
    controller.initWindow();
    controller.showWindow();
    const int rc = app.exec();
    Orvenda_AppDelegate::setAppDelegate(nullptr);
    return rc;
}
