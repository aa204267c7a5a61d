#include "PollixProgram.h"

#include "ActivityWindowOpener.h"
#include "DataManagementCtrl.h"
#include "MainwndController.h"
#include "PresentationTools.h"
#include "QuestionEditorOpener.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/authoring/ExamPaperInfo.h"
#include "core/gradebook/GradebookRosterRecords.h"
#include "core/keypad/DeviceController.h"
#include "platform/InstanceLock.h"
#include "platform/Log.h"
#include "platform/ShutdownSignals.h"
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
#include "ui/run/RunSession.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <utility>

namespace {
QString counted(qint64 n, const QString &one, const QString &many)
{
    return n == 1 ? one : many.arg(n);
}

// How long ago a lock was made, as a teacher reads it. Another computer's clock may be ahead.
QString ageOf(const QDateTime &written)
{
    const qint64 minutes = std::max<qint64>(0, written.secsTo(QDateTime::currentDateTimeUtc())) / 60;
    if (minutes < 1)
        return QObject::tr("less than a minute ago");
    if (minutes < 120)
        return counted(minutes, QObject::tr("a minute ago"), QObject::tr("%1 minutes ago"));
    if (minutes < 48 * 60)
        return QObject::tr("%1 hours ago").arg(minutes / 60);
    return QObject::tr("%1 days ago").arg(minutes / (24 * 60));
}

// The lock was made on another computer, where Pollix may still run or may have been cut off
// (switched off, crashed) with its lock left behind: the teacher, who knows, says which.
bool openAnywayOrQuit(InstanceLock &lock)
{
    const InstanceLock::Owner owner = lock.owner();
    const QString made = owner.written.isValid()
                             ? QObject::tr("Its lock was made on %1, %2, by process %3.")
                                   .arg(owner.written.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                                        ageOf(owner.written))
                                   .arg(owner.pid)
                             : QObject::tr("Its lock does not say when it was made.");
    const QString advice = QObject::tr("If Pollix no longer runs there (that computer was switched off or crashed), open "
                                       "the folder anyway. If it still runs there, quit and end it there first: two "
                                       "Pollix on one application folder overwrite each other's work.");
    // Only the button opens anyway: Return, Escape, the close box and an ending signal quit,
    // which leaves the other computer's work alone.
    PollixAlert alert(QStringLiteral("Pollix"),
                      QObject::tr("Pollix on the computer \"%1\" holds this application folder.").arg(owner.host),
                      {QObject::tr("Open Anyway"), QObject::tr("Quit")},
                      QStringLiteral("%1\n%2\n\n%3").arg(made, advice, QDir::toNativeSeparators(lock.folder())));
    if (auto *quit = alert.findChild<QPushButton *>(QStringLiteral("alertButton1")))
        alert.setDefaultButton(quit);
    if (alert.runModal() != PollixAlert::AlertFirstButtonReturn)
        return false;
    QString why;
    if (lock.takeOver(&why)) {
        PollixLog(QStringLiteral("%1 opened anyway over the lock of %2").arg(lock.folder(), owner.host));
        return true;
    }
    PollixAlert::show(nullptr, QStringLiteral("Pollix"), QObject::tr("The application folder could not be opened."),
                      {QObject::tr("OK")}, why.isEmpty() ? QObject::tr("Another Pollix has taken it meanwhile.") : why);
    return false;
}

// Every run on the screen saves what it holds, with no question: the program is ending. Each
// then tells the keypads goodbye as its Exit does, so that they log in afresh at the next start;
// `then` runs once every run's keypads are logged out, or after a second at most.
void endRunsUnasked(const std::function<void()> &then)
{
    QSet<RunSession *> found;
    for (QWidget *window : QApplication::topLevelWidgets())
        for (RunSession *run : window->findChildren<RunSession *>())
            found.insert(run);
    QList<QPointer<RunSession>> runs;
    for (RunSession *run : found) {
        QString path, why;
        if (run->saveUnasked(&path, &why))
            PollixLog(QStringLiteral("The run was saved as Pollix ended: %1").arg(path));
        else if (!why.isEmpty())
            qCWarning(lcPollix).noquote() << QStringLiteral("The run could not be saved as Pollix ended: %1").arg(why);
        run->farewell();
        runs << run;
    }
    if (runs.isEmpty()) {
        then();
        return;
    }
    constexpr int kLogoutWaitMs = 1000;
    constexpr int kLineGraceMs = 100;
    auto *poll = new QTimer(qApp);
    poll->setInterval(20);
    auto since = std::make_shared<QElapsedTimer>();
    since->start();
    QObject::connect(poll, &QTimer::timeout, poll, [poll, runs, since, then] {
        const bool done = std::all_of(runs.cbegin(), runs.cend(), [](const QPointer<RunSession> &run) {
            return !run || run->loggedOut();
        });
        if (!done && since->elapsed() < kLogoutWaitMs)
            return;
        if (!done)
            PollixLog(QStringLiteral("The keypads' logout was not confirmed as Pollix ended"));
        poll->stop();
        poll->deleteLater();
        // The last frames leave the line before the port closes under them.
        QTimer::singleShot(kLineGraceMs, qApp, then);
    });
    poll->start();
}
} // namespace

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

bool claimApplicationFolder(InstanceLock &lock, int answerWaitMs)
{
    switch (lock.take()) {
    case InstanceLock::Outcome::Taken:
        return true;
    case InstanceLock::Outcome::HeldOnOtherComputer:
        return openAnywayOrQuit(lock);
    case InstanceLock::Outcome::HeldByOther:
        break;
    }
    const InstanceLock::Owner owner = lock.owner();
    const bool forward = lock.askOwnerToComeForward(answerWaitMs);
    const QString where = owner.pid > 0 ? QObject::tr("It runs as process %1 on %2.").arg(owner.pid).arg(owner.host)
                                        : QObject::tr("Its process could not be named.");
    const QString next = forward ? QObject::tr("Its window has been brought to the front.")
                                 : QObject::tr("Its window could not be brought to the front. Use its window, or close it "
                                               "before starting Pollix again.");
    PollixAlert::show(nullptr, QStringLiteral("Pollix"), QObject::tr("Pollix is already running on this application folder."),
                      {QObject::tr("OK")}, QStringLiteral("%1\n%2\n\n%3").arg(where, next, QDir::toNativeSeparators(lock.folder())));
    return false;
}

void comeForwardOnRequest(InstanceLock &lock, MainwndController &controller)
{
    lock.setComeForwardHandler([&controller] {
        QWidget *window = QApplication::activeModalWidget();
        if (!window && controller.window() && (controller.window()->isVisible() || controller.window()->isMinimized()))
            window = controller.window();
        if (!window)
            return false;
        if (window->isMinimized())
            window->showNormal();
        window->raise();
        window->activateWindow();
        return true;
    });
}

void endOnSignals(InstanceLock &lock, std::function<void()> end)
{
    if (!end) {
        end = [] {
            // Every loop ends, the dialogs' included; a main loop not yet running ends when it starts.
            QCoreApplication::exit(0);
            QMetaObject::invokeMethod(qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
        };
    }
    auto *catcher = new ShutdownSignals(&lock);
    auto ending = std::make_shared<bool>(false);
    QObject::connect(catcher, &ShutdownSignals::received, &lock, [&lock, ending, end](int signalNumber) {
        if (std::exchange(*ending, true))
            return;
        PollixLog(QStringLiteral("Pollix ends on signal %1").arg(signalNumber));
        QPointer<InstanceLock> held(&lock);
        endRunsUnasked([held, end] {
            if (DeviceController::exists())
                DeviceController::ShareDeviceController()->letGoOfReceivers();
            if (held)
                held->release();
            end();
        });
    });
}

} // namespace PollixProgram
