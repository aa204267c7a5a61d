#include "PollixProgram.h"

#include "ActivityWindowOpener.h"
#include "DataManagementCtrl.h"
#include "PresentationTools.h"
#include "QuestionEditorOpener.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/authoring/ExamPaperInfo.h"
#include "core/gradebook/GradebookRosterRecords.h"
#include "core/keypad/DeviceController.h"
#include "platform/InstanceLock.h"
#include "ui/app/TabController.h"
#include "ui/app/WelcomeWindowController.h"
#include "ui/controls/AppIcons.h"
#include "ui/controls/DialogHooks.h"
#include "ui/controls/PollixAlert.h"
#include "ui/controls/ScreenFit.h"
#include "ui/gradebook/GradebookWindows.h"
#include "ui/keypad/GetRequestQuesStus.h"
#include "ui/keypad/ReceiveReportController.h"
#include "ui/keypad/SendQuestions.h"
#include "ui/reports/ReportController.h"
#include "ui/reports/ReportWindows.h"
#include "ui/roster/ImportWindows.h"

#include <QApplication>
#include <QDir>

namespace PollixProgram {

void setUpApplication(QApplication &)
{
    QApplication::setApplicationName(QStringLiteral("Pollix"));
    QApplication::setOrganizationName(QStringLiteral("Pollix"));
    QApplication::setApplicationVersion(QStringLiteral(POLLIX_VERSION));
    QApplication::setWindowIcon(AppIcons::icon(QStringLiteral("tabctrl")));

    // Scripted runs and screenshots may shorten the welcome splash.
    bool ok = false;
    const int splashSeconds = qEnvironmentVariableIntValue("POLLIX_SPLASH_SECONDS", &ok);
    if (ok)
        WelcomeWindowController::setDefaultSeconds(splashSeconds);
    ScreenFit::keepWindowsOnScreen();
}

void installServices()
{
    // The link's own alerts (two receivers on one channel) are shown as alert panels.
    DeviceController::setAlertHandler(
        [](const QString &title, const QString &text) { PollixAlert::show(nullptr, title, text); });
    // The main window reads question files and answer sheets through the one file reader.
    TabController::hooks().readQuestionFile = [](const QString &path) -> std::optional<TabController::QuestionFileInfo> {
        const ExamPaperInfoPtr set = ExamPaperInfo::unarchiveObjectWithFile(path);
        if (!set)
            return std::nullopt;
        TabController::QuestionFileInfo info;
        info.strSymbol = set->strSymbol();
        info.nExamPaperID = set->nExamPaperID();
        for (const QuestionSetViewPtr &page : set->arrayQuestionsInfo())
            info.questionTypes.append(page->nQuestionType());
        return info;
    };
    // Activity objects list keypads asking for the question set in this window.
    GetRequestQuesStus::installAsRequestWindow();
    // The transfers: the question set to the keypads from a run, a session from the teacher keypad.
    SendQuestions::installForRunWindows();
    TabController::hooks().runReceiveSession = [](QWidget *parent) {
        ReceiveReportController window(parent);
        if (Orvenda_AppDelegate *app = Orvenda_AppDelegate::getAppDelegate())
            app->setObjectToReceiveCommData(&window);
        DialogHooks::runModal(&window);
    };
    // Start hands the run to the activity window.
    ActivityWindowOpener::install();
    // The question editor and the title and ID dialog.
    QuestionEditorOpener::install();
    // Slide decks, the slide show and the keypad mouse.
    PresentationTools::install();
    // The class set-up imports students and teachers from CSV files.
    ImportWindows::install();
    // The Report window and the reports built so far.
    ReportWindows::install();
    TabController::hooks().runReport = [](QWidget *parent) {
        ReportController window(parent);
        DialogHooks::runModal(&window);
    };
    // The gradebook's windows in the Report window, and its records of roster names, which are
    // read again after the data folder changed.
    GradebookWindows::install();
    DataManagementCtrl::hooks().reloadGradebook = [] { GradebookRosterRecords::reloadStores(); };
}

bool claimApplicationFolder(InstanceLock &lock)
{
    if (lock.take() == InstanceLock::Outcome::Taken)
        return true;
    const InstanceLock::Owner owner = lock.owner();
    const bool forward = lock.askOwnerToComeForward();
    const QString where = owner.pid > 0 ? QObject::tr("It runs as process %1 on %2.").arg(owner.pid).arg(owner.host)
                                        : QObject::tr("Its process could not be named.");
    const QString next = forward ? QObject::tr("Its window has been brought to the front.")
                                 : QObject::tr("Use its window, or close it before starting Pollix again.");
    PollixAlert::show(nullptr, QStringLiteral("Pollix"), QObject::tr("Pollix is already running on this application folder."),
                      {QObject::tr("OK")}, QStringLiteral("%1\n%2\n\n%3").arg(where, next, QDir::toNativeSeparators(lock.folder())));
    return false;
}

} // namespace PollixProgram
