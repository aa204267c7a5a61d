#include "GradebookWindows.h"

#include "AcademicSummaryController.h"
#include "ClassGradeReportController.h"
#include "CreateSubjectGradeReportController.h"
#include "ImportCourseGradeController.h"
#include "NewSubjectGradeController.h"
#include "ProgressiveReportController.h"
#include "ReportCardController.h"
#include "ReportCourseGradeListTab.h"
#include "ReportCourseGradeTab.h"
#include "SubjectGradeSummaryController.h"

#include "core/gradebook/GradebookRosterRecords.h"
#include "core/store/TovWeightAndSessionTypeXmlDatabase.h"
#include "ui/controls/DialogHooks.h"
#include "ui/reports/ReportController.h"

#include <QTabWidget>

namespace GradebookWindows {

void installCourseGradeTabs()
{
    ReportController::hooks().addCourseGradeTabs = [](ReportController *report) {
        auto *tab2 = new ReportCourseGradeTab(report);
        auto *tab3 = new ReportCourseGradeListTab;
        // A backup may bring grading periods with it.
        tab3->periodsChanged = [tab2] { tab2->refreshPeriod2(); };
        report->tabView->addTab(tab2, ReportController::tr("Course Grade"));
        report->tabView->addTab(tab3, ReportController::tr("Course Grade List"));
    };
}

void install()
{
    installCourseGradeTabs();
    static GradebookRosterRecords records;
    GradebookNameRecords::install(&records);

    ReportController::Hooks &report = ReportController::hooks();
    report.editCourseGrade = [](ReportController *parent, const ReportTable1Element &row) {
        NewSubjectGradeController editor(parent, row, parent);
        DialogHooks::runModal(&editor);
    };
    report.importCourseGrade = [](ReportController *parent, const QString &path) {
        ImportCourseGradeController importer(path, parent, parent);
        DialogHooks::runModal(&importer);
    };
    CreateSubjectGradeReportController::hooks().openReport =
        [](CreateSubjectGradeReportController *grade, int reportNo, const QList<StudentMarkGrade> &rows) {
            SessionSelectController *selection = grade->sessionSelection();
            std::unique_ptr<ReportFrame> window;
            switch (reportNo) {
            case 0:
                window = std::make_unique<ProgressiveReportController>(selection, rows, grade->avg(), grade);
                break;
            case 1:
                window = std::make_unique<AcademicSummaryController>(selection, rows, grade->avg(), grade);
                break;
            case 2:
                window = std::make_unique<SubjectGradeSummaryController>(selection, rows, grade);
                break;
            case 3:
                if (!rows.isEmpty())
                    window = std::make_unique<ClassGradeReportController>(selection, rows.first(), grade->avg(), grade);
                break;
            }
            if (window)
                DialogHooks::runModal(window.get());
        };
    ReportCourseGradeListTab::hooks().reportCard = [](QWidget *parent, const QList<CourseGradeEntity> &grades,
                                                      const QList<SelectStudents> &students) {
        ReportCardController window(grades, students, parent);
        DialogHooks::runModal(&window);
    };
    report.sessionTypeNames = [] {
        QStringList names;
        for (const SessionTypeEntity &t : TovWeightAndSessionTypeXmlDatabase::sharedUI()->sessionTypeList())
            names << t.name();
        return names;
    };
}

} // namespace GradebookWindows
