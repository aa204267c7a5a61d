#include "MainWindowForRuns.h"

#include "ui/app/ActivityWindowOpener.h"
#include "ui/app/TabController.h"
#include "ui/run/QuizStateWindowController.h"

#include <QApplication>

void useMainWindowForRuns()
{
    TabController::resetHooks();
    TabController::hooks().runSplash = [](QWidget *) {};
    TabController::hooks().runSystemChoice = [](QWidget *) {};
    ActivityWindowOpener::install();
}

QuizStateWindowController *activityWindowShown()
{
    for (QWidget *top : QApplication::topLevelWidgets())
        if (auto *w = qobject_cast<QuizStateWindowController *>(top); w && w->isVisible())
            return w;
    return nullptr;
}
