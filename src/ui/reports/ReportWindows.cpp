#include "ReportWindows.h"

#include "ReportController.h"
#include "ReportRegistry.h"

#include "ui/app/TabController.h"
#include "ui/controls/DialogHooks.h"

namespace ReportWindows {

void install()
{
    ReportRegistry::registerBuiltReports();
    TabController::hooks().runReport = [](QWidget *parent) {
        ReportController window(parent);
        DialogHooks::runModal(&window);
    };
}

} // namespace ReportWindows
