#include "ReportWindows.h"

#include "CreateNewSessionController.h"
#include "EditSessionController.h"
#include "ImportSessionController.h"
#include "MergeController.h"
#include "ReportController.h"
#include "ReportRegistry.h"
#include "StudentPointsListController.h"

#include "ui/controls/DialogHooks.h"
#include "ui/controls/PollixAlert.h"

#include <QTabWidget>

namespace ReportWindows {

void installSessionWindows()
{
    ReportController::Hooks &hooks = ReportController::hooks();
    hooks.newSession = [](ReportController *window, bool pointsOnly) {
        CreateNewSessionController entry(window);
        entry.tabForms->setCurrentIndex(pointsOnly ? 1 : 0);
        return DialogHooks::runModal(&entry);
    };
    hooks.editSession = [](ReportController *window, const ReportTable1Element &row) {
        EditSessionController editor(row.actNo(), window, row);
        if (!editor.isLoaded()) {
            PollixAlert::show(window, QObject::tr("Pollix"), QObject::tr("The session could not be read."),
                              {QObject::tr("OK")}, editor.loadError());
            return;
        }
        DialogHooks::runModal(&editor);
    };
    hooks.mergeSessions = [](ReportController *window) {
        MergeController merge(window);
        DialogHooks::runModal(&merge);
    };
    hooks.importSession = [](ReportController *window, const QString &path) {
        ImportSessionController import(path, window);
        if (!import.isLoaded()) {
            PollixAlert::show(window, QObject::tr("Pollix"), QObject::tr("The file could not be read."),
                              {QObject::tr("OK")}, import.loadError());
            return;
        }
        DialogHooks::runModal(&import);
    };
}

void install()
{
    ReportRegistry::registerBuiltReports();
    installSessionWindows();
    ReportController::hooks().pointsList = [](ReportController *window, const QuizEntity &quiz) {
        StudentPointsListController list(quiz, window);
        DialogHooks::runModal(&list);
    };
}

} // namespace ReportWindows
