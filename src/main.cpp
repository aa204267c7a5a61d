#include "core/app/Orvenda_AppDelegate.h"
#include "core/store/DataRecovery.h"
#include "platform/InstanceLock.h"
#include "ui/app/MainwndController.h"
#include "ui/app/PollixProgram.h"
#include "ui/app/TabController.h"
#include "ui/controls/PollixAlert.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    PollixProgram::setUpApplication(app);

    // One Pollix per application folder, held before anything in it is read or written.
    InstanceLock lock(Orvenda_AppDelegate::defaultApplicationFolder());
    if (!PollixProgram::claimApplicationFolder(lock))
        return 0;
    PollixProgram::installServices();

    Orvenda_AppDelegate delegate;
    delegate.setIsLogin(false);
    Orvenda_AppDelegate::setAppDelegate(&delegate);
    QString why;
    if (!DataRecovery::run(&why))
        PollixAlert::show(nullptr, QStringLiteral("Pollix"), QObject::tr("A change cut short when Pollix last ended could not be finished."),
                          {QObject::tr("OK")}, why);

    MainwndController controller;
    QObject::connect(&lock, &InstanceLock::comeForwardRequested, &controller, [&controller] {
        // The window the teacher works in comes forward: a dialog over the main window (the
        // splash, an alert, an editor), else the main window once it is up.
        QWidget *window = QApplication::activeModalWidget();
        if (!window && controller.window() && (controller.window()->isVisible() || controller.window()->isMinimized()))
            window = controller.window();
        if (!window)
            return;
        if (window->isMinimized())
            window->showNormal();
        window->raise();
        window->activateWindow();
    });
    controller.initWindow();
    controller.showWindow();
    const int rc = app.exec();
    Orvenda_AppDelegate::setAppDelegate(nullptr);
    return rc;
}
