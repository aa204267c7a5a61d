#include "PresentationTools.h"

#include "SystemSettingCtrl.h"
#include "TabController.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/presentation/MouseFunction.h"
#include "platform/PPTEditorMSO.h"
#include "ui/authoring/AddSLides.h"
#include "ui/presentation/PPTQuestionInfoWindowController.h"
#include "ui/presentation/ScreenShotCapture.h"
#include "ui/controls/FileDialogs.h"
#include "ui/controls/PollixAlert.h"
#include "ui/controls/ProgressControl.h"

#include <QApplication>
#include <QFileInfo>

void PresentationTools::install()
{
    PPTEditorMSO *ppt = PPTEditorMSO::shareManager();
    ppt->setTemplateLocator([] {
        Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate();
        return app ? app->strPollixFilePath() + QStringLiteral("template.pptx") : QString();
    });
    // The panel proposes the name the deck goes by ("Presentation1.pptx"), so that Save is ready
    // for the teacher's Return; a deck converted from an old .ppt is offered the folder it came from.
    ppt->setSavePathProvider([](const QString &suggested) {
        const QFileInfo info(suggested);
        return FileDialogs::getSaveFileName(QApplication::activeWindow(), QObject::tr("Save Presentation"),
                                            FileDialogs::Kind::QuestionFiles, QObject::tr("Presentations (*.pptx)"),
                                            info.isAbsolute() ? info.absolutePath() : QString(), info.fileName());
    });
    // An old .ppt is converted off the GUI thread, under the progress window.
    ppt->setLongWorkRunner([](const QString &caption, const std::function<bool()> &work) {
        return ProgressControl::runWithProgress(
            QApplication::activeWindow(), [&work](const ProgressControl::Progress &) { return work(); }, caption);
    });

    TabController::hooks().editsPresentations = true;
    // The template picker copies template slides into the open presentation.
    AddSLides::hooks().copyAndPasteSlide = [](int index) {
        PPTEditorMSO *p = PPTEditorMSO::shareManager();
        if (p->copySlideByIndex(index) && p->pasteSlide())
            return true;
        PollixAlert::show(QApplication::activeWindow(), QStringLiteral("Pollix"), QObject::tr("The slide could not be added."),
                          {QObject::tr("OK")}, p->lastErrorText());
        return false;
    };
    AddSLides::hooks().slideCount = [] { return PPTEditorMSO::shareManager()->getCountOfSlide(); };
    TabController::hooks().showTemplatePicker = [](TabController *tab) {
        auto *picker = new AddSLides(tab);
        picker->setAttribute(Qt::WA_DeleteOnClose);
        picker->setAddType(0);
        picker->runForAddType();
    };

    // The question editor over the slides; the main window's buttons follow the slides it left.
    TabController::hooks().runSlideQuestionEditor = [](TabController *tab) {
        PPTQuestionInfoWindowController editor(tab);
        editor.runModal();
        tab->setPPTButtonState(0);
        tab->raiseToStatusLevel();
    };

    MouseFunction::install();
    // Capture buttons of the question editor and the free-style toolbar.
    ScreenCapture::install(std::make_unique<ScreenShotCapture>());
    SystemSettingCtrl::hooks().setMouseSpeed = [](int speed) { MouseFunction::shareManager()->setM_nMoveSpeed(speed); };
}
