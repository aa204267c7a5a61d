#include "PresentationTools.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/presentation/MouseFunction.h"
#include "platform/PPTEditorMSO.h"
#include "ui/app/SystemSettingCtrl.h"
#include "ui/app/TabController.h"
#include "ui/controls/FileDialogs.h"

#include <QApplication>
#include <QFileInfo>

void PresentationTools::install()
{
    PPTEditorMSO *ppt = PPTEditorMSO::shareManager();
    ppt->setTemplateLocator([] {
        Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
        return app ? app->strPollixFilePath() + QStringLiteral("template.pptx") : QString();
    });
    // A deck converted from an old .ppt is offered the folder it came from.
    ppt->setSavePathProvider([](const QString &suggested) {
        const QFileInfo info(suggested);
        return FileDialogs::getSaveFileName(QApplication::activeWindow(), QObject::tr("Save Presentation"),
                                            info.isAbsolute() ? info.absolutePath() : QString(),
                                            QObject::tr("Presentations (*.pptx)"));
    });

    TabController::hooks().editsPresentations = true;

    MouseFunction::install();
    SystemSettingCtrl::hooks().setMouseSpeed = [](int speed) { MouseFunction::shareManager()->setM_nMoveSpeed(speed); };
}
