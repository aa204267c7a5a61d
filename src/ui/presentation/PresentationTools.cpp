#include "PresentationTools.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/presentation/MouseFunction.h"
#include "platform/PPTEditorMSO.h"
#include "ui/app/SystemSettingCtrl.h"
#include "ui/controls/FileDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

void PresentationTools::install()
{
    PPTEditorMSO *ppt = PPTEditorMSO::shareManager();
    ppt->setTemplateLocator([] {
        Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
        return app ? app->strPollixFilePath() + QStringLiteral("template.pptx") : QString();
    });
    ppt->setSavePathProvider([](const QString &suggested) {
        const QFileInfo info(suggested);
        const QString start = info.isAbsolute() ? suggested : QDir::homePath() + QStringLiteral("/Documents/") + suggested;
        return FileDialogs::getSaveFileName(QApplication::activeWindow(), QObject::tr("Save Presentation"), start,
                                            QObject::tr("Presentations (*.pptx)"));
    });

    MouseFunction::install();
    SystemSettingCtrl::hooks().setMouseSpeed = [](int speed) { MouseFunction::shareManager()->setM_nMoveSpeed(speed); };
}
