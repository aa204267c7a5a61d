#include "core/app/Orvenda_AppDelegate.h"
#include "platform/FolderWork.h"
#include "platform/InstanceLock.h"
#include "ui/app/MainwndController.h"
#include "ui/app/PollixProgram.h"
#include "ui/app/StartRecovery.h"
#include "ui/app/TabController.h"

#include <QApplication>
#include <QDir>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    PollixProgram::setUpApplication(app);

    // One Pollix per application folder, held before anything in it is read or written; in the
    // data folder when the application folder itself is read-only.
    const QString folder = Orvenda_AppDelegate::defaultApplicationFolder();
    InstanceLock lock(folder, QDir(folder).filePath(QStringLiteral("Data")));
    PollixProgram::endOnSignals(lock);
    if (!PollixProgram::claimApplicationFolder(lock))
        return 0;
    PollixProgram::installServices();

    Orvenda_AppDelegate delegate;
    delegate.setIsLogin(false);
    Orvenda_AppDelegate::setAppDelegate(&delegate);
    // What the last run left unfinished; a data folder that cannot be used ends the program.
    if (!StartRecovery::run()) {
        Orvenda_AppDelegate::setAppDelegate(nullptr);
        return 1;
    }

    MainwndController controller;
    PollixProgram::comeForwardOnRequest(lock, controller);
    PollixProgram::warnWhenTakenOver(lock, [&lock] {
        PollixProgram::endNow(lock, QStringLiteral("the teacher quit, as another Pollix opened the folder"));
    });
    controller.initWindow();
    controller.showWindow();
    const int rc = app.exec();
    // The archive of data a restore replaced, made after it, is finished with the folder held.
    PollixProgram::finishFolderWork(lock);
    FolderWork::waitUntilIdle();
    Orvenda_AppDelegate::setAppDelegate(nullptr);
    return rc;
}
