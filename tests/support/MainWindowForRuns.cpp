#include "MainWindowForRuns.h"

#include "ui/app/ActivityWindowOpener.h"
#include "ui/app/TabController.h"

void useMainWindowForRuns()
{
    TabController::resetHooks();
    TabController::hooks().runSplash = [](QWidget *) {};
    TabController::hooks().runSystemChoice = [](QWidget *) {};
    ActivityWindowOpener::install();
}
