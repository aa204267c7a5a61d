#include "GradebookWindows.h"

#include "ImportCourseGradeController.h"
#include "NewSubjectGradeController.h"

#include "core/gradebook/GradebookRosterRecords.h"
#include "core/gradebook/TovWeightAndSessionTypeXmlDatabase.h"
#include "ui/app/DataManagementCtrl.h"
#include "ui/controls/DialogHooks.h"
#include "ui/reports/ReportController.h"

namespace GradebookWindows {

void install()
{
    static GradebookRosterRecords records;
    GradebookNameRecords::install(&records);
    DataManagementCtrl::hooks().reloadGradebook = [] { GradebookRosterRecords::reloadStores(); };

    ReportController::Hooks &report = ReportController::hooks();
    report.editCourseGrade = [](ReportController *parent, const ReportTable1Element &row) {
        NewSubjectGradeController editor(parent, row, parent);
        DialogHooks::runModal(&editor);
    };
    report.importCourseGrade = [](ReportController *parent, const QString &path) {
        ImportCourseGradeController importer(path, parent, parent);
        DialogHooks::runModal(&importer);
    };
    report.sessionTypeNames = [] {
        QStringList names;
        for (const SessionTypeEntity &t : TovWeightAndSessionTypeXmlDatabase::sharedUI()->sessionTypeList())
            names << t.name();
        return names;
    };
}

} // namespace GradebookWindows
