#include "PollixProgram.h"

#include "ActivityWindowOpener.h"
#include "DataManagementCtrl.h"
#include "MainwndController.h"
#include "PresentationTools.h"
#include "QuestionEditorOpener.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/app/zipHelper.h"
#include "core/authoring/ExamPaperInfo.h"
#include "core/gradebook/GradebookRosterRecords.h"
#include "core/keypad/DeviceController.h"
#include "platform/AtomicFile.h"
#include "platform/FolderWork.h"
#include "platform/InstanceLock.h"
#include "platform/Log.h"
#include "platform/PostedCalls.h"
#include "platform/ShutdownSignals.h"
#include "ui/app/StartRecovery.h"
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
    alert.setDefault(PollixAlert::Default::LeavesAsIs);
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

// The word by which an ending Pollix tells a start that it is finishing the archive of replaced
// data, its work handed on (FolderWork) after a restore.
constexpr char kArchiveOfReplacedData[] = "archive";

// From now on, a start that asks this ending Pollix to come forward learns what it finishes.
void tellStartsWhatIsFinished(InstanceLock &lock)
{
    lock.setFinishingQuery([] {
        return FolderWork::onlyHandedOnRuns() ? QByteArray(kArchiveOfReplacedData) : QByteArray();
    });
}

// No lock could be made, though the folder can be written: unlocked, a second start would run on
// it too.
void refuseUnlocked(const InstanceLock &lock)
{
    PollixAlert::show(nullptr, QStringLiteral("Pollix"), QObject::tr("Pollix cannot lock this application folder."),
                      {QObject::tr("OK")},
                      QObject::tr("Its lock could not be made:\n%1\n\nWithout its lock, a second Pollix could open the "
                                  "folder too, and two Pollix on one application folder overwrite each other's work. "
                                  "Remove what is in the lock's place (it is no lock of Pollix), or have the disk "
                                  "checked, then start Pollix again.\n\n%2")
                          .arg(lock.whyNotLocked(), QDir::toNativeSeparators(lock.folder())));
}

// Calls handed to the GUI thread from wherever (a worker that ended, a write on one); lives as
// long as the application.
PostedCalls *guiCalls()
{
    static PostedCalls *calls = new PostedCalls(qApp);
    return calls;
}

// Every loop ends, the dialogs' included, also one that starts later (a report shown after the
// work that held the ending back); a main loop not yet running ends when it starts.
void exitEveryLoop()
{
    QCoreApplication::exit(0);
    auto *again = new QTimer(qApp);
    QObject::connect(again, &QTimer::timeout, qApp, [] { QCoreApplication::exit(0); });
    again->start(50);
}

// A change in place that the disk did not confirm: said at once, in a notice that waits for
// nothing; while one is up, the next ones join it.
void tellUnsynced(const QString &path, const QString &why)
{
    static QPointer<PollixAlert> shown;
    static QStringList files;
    // A notice closed is gone, even while its window waits to be deleted.
    if (!shown || !shown->isVisible()) {
        shown.clear();
        files.clear();
    }
    if (!files.contains(path))
        files << path;
    const QString text = QObject::tr("A change was saved, but the disk did not confirm it: it may be lost if the power "
                                     "fails now.");
    const QString details = QObject::tr("%1\n\n%2\n\nDo not save it again: it is in place. If this comes back, have the "
                                        "disk or the network share of the application folder checked.")
                                .arg(files.join(QLatin1Char('\n')).left(2000), why);
    if (shown) {
        shown->setInformativeText(details);
        return;
    }
    shown = PollixAlert::notice(QStringLiteral("Pollix"), text, {QObject::tr("OK")}, details);
}

// Every run on the screen saves what it holds, with no question: the program is ending. Each
// then tells the keypads goodbye as its Exit does, so that they log in afresh at the next start;
// `then` runs once every run's keypads are logged out, or after a second at most.
void endRunsUnasked(const std::function<void()> &then)
{
    // A question set still going out to the keypads ends as its Stop ends it: its frames would go
    // out among the farewell's, and its window would take the receiver's answer to the logout's
    // wake frame for the answer to its own.
    for (QWidget *window : QApplication::topLevelWidgets())
        if (auto *sending = qobject_cast<SendQuestions *>(window); sending && sending->isVisible())
            sending->OnOK();
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
        return window.savedPath();
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
    // A save whose folder the disk did not confirm is in place (so not failed), and the teacher
    // knows that it may not survive a power cut.
    PostedCalls *calls = guiCalls();
    AtomicFile::setUnsyncedHandler([calls](const QString &path, const QString &why) {
        calls->post([path, why] { tellUnsynced(path, why); });
    });
}

bool claimApplicationFolder(InstanceLock &lock, int answerWaitMs)
{
    // Before the lock makes the folder or anything in it: a start refused leaves nothing behind.
    if (!StartRecovery::checkFolders(lock.folder()))
        return false;
    switch (lock.take()) {
    case InstanceLock::Outcome::Taken:
        return true;
    case InstanceLock::Outcome::HeldOnOtherComputer:
        return openAnywayOrQuit(lock);
    case InstanceLock::Outcome::Unavailable:
        refuseUnlocked(lock);
        return false;
    case InstanceLock::Outcome::Unwritable:
        StartRecovery::tellUnwritable(lock.folder(), lock.whyNotLocked());
        return false;
    case InstanceLock::Outcome::HeldByOther:
        break;
    }
    const InstanceLock::Owner owner = lock.owner();
    QByteArray finishing;
    const bool forward = lock.askOwnerToComeForward(answerWaitMs, &finishing);
    const QString where = owner.pid > 0 ? QObject::tr("It runs as process %1 on %2.").arg(owner.pid).arg(owner.host)
                                        : QObject::tr("Its process could not be named.");
    if (finishing == kArchiveOfReplacedData) {
        PollixAlert::show(nullptr, QStringLiteral("Pollix"),
                          QObject::tr("Pollix is finishing the archive of replaced data on this application folder."),
                          {QObject::tr("OK")},
                          QStringLiteral("%1\n%2\n\n%3")
                              .arg(where,
                                   QObject::tr("It is ending, and ends by itself once the data a restore replaced are "
                                               "saved in Backups (for a large data folder, this takes minutes). Start "
                                               "Pollix again then."),
                                   QDir::toNativeSeparators(lock.folder())));
        return false;
    }
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

void endNow(InstanceLock &lock, const QString &reason, std::function<void()> end)
{
    if (lock.property("pollixEnding").toBool())
        return;
    lock.setProperty("pollixEnding", true);
    PollixLog(QStringLiteral("Pollix ends: %1").arg(reason));
    if (!end)
        end = exitEveryLoop;
    QPointer<InstanceLock> guard(&lock);
    endRunsUnasked([guard, end] {
        if (DeviceController::exists())
            DeviceController::ShareDeviceController()->letGoOfReceivers();
        // A backup or a restore under way ends first, with the folder still this program's:
        // another start meanwhile is refused, and no start finishes or removes what it is making.
        if (FolderWork::running()) {
            PollixLog(QStringLiteral("Pollix ends once the work on its data folder under way is done"));
            if (guard)
                tellStartsWhatIsFinished(*guard);
        }
        // Looked at again on this thread, where more work is handed on: the folder goes only when
        // none runs or waits.
        auto letGo = std::make_shared<std::function<void()>>();
        *letGo = [itself = std::weak_ptr<std::function<void()>>(letGo), guard, end] {
            if (FolderWork::running()) {
                PostedCalls *calls = guiCalls();
                FolderWork::whenIdle([calls, again = itself.lock()] { calls->post([again] { (*again)(); }); });
                return;
            }
            if (guard)
                guard->release();
            end();
        };
        (*letGo)();
    });
}

void finishFolderWork(InstanceLock &lock)
{
    if (!FolderWork::running())
        return;
    PollixLog(QStringLiteral("Pollix ends once the archive of replaced data is written"));
    tellStartsWhatIsFinished(lock);
    // The teacher quit: no window stays that seems to work on, only the one that says why Pollix
    // has not ended yet.
    for (QWidget *window : QApplication::topLevelWidgets())
        window->hide();
    DataManagementCtrl::finishBackgroundWork(
        nullptr, QObject::tr("Pollix is finishing the archive of replaced data in %1, and ends when it is done.")
                     .arg(QDir::toNativeSeparators(zipHelper::backupsFolder())));
}

void endOnSignals(InstanceLock &lock, std::function<void()> end)
{
    guiCalls();
    auto *catcher = new ShutdownSignals(&lock);
    QObject::connect(catcher, &ShutdownSignals::received, &lock, [&lock, end](int signalNumber) {
        endNow(lock, QStringLiteral("signal %1").arg(signalNumber), end);
    });
}

void warnWhenTakenOver(InstanceLock &lock, std::function<void()> quit)
{
    const auto tellOtherComputer = [&lock, quit] {
        const QString host = lock.owner().host;
        PollixAlert::notice(
            QStringLiteral("Pollix"),
            QObject::tr("Pollix on the computer \"%1\" has opened this application folder.").arg(host),
            {QObject::tr("Quit"), QObject::tr("Keep Working Here")},
            QObject::tr("Changes made here from now on may be lost, or overwrite the work done there: two Pollix on one "
                        "application folder overwrite each other's work. Until you choose, Pollix here changes no file "
                        "that is there already (a run is still saved as a new session).\n\nQuit here, unless Pollix no "
                        "longer runs on \"%1\"; then keep working here, which takes the folder back.\n\n%2")
                .arg(host, QDir::toNativeSeparators(lock.folder())),
            [&lock, quit](int answer) {
                if (answer == 0) {
                    quit();
                    return;
                }
                if (answer != 1)
                    return;
                QString why;
                if (lock.takeOver(&why))
                    return;
                PollixAlert::notice(QStringLiteral("Pollix"), QObject::tr("The application folder could not be taken back."),
                                    {QObject::tr("OK")}, why);
            });
    };
    // Another start of this computer holds the kernel's lock on the folder now, which is not
    // taken back from a Pollix that runs: there is no working here again, only finishing.
    const auto tellOtherStart = [&lock, quit] {
        PollixAlert::notice(
            QStringLiteral("Pollix"), QObject::tr("Another Pollix on this computer has opened this application folder."),
            {QObject::tr("Quit"), QObject::tr("Go On Here")},
            QObject::tr("Its lock file was removed while this Pollix did not answer, and Pollix was started again on the "
                        "folder (process %1). Two Pollix on one application folder overwrite each other's work: from now "
                        "on Pollix here changes no file that is there already (a run is still saved as a new session).\n\n"
                        "Quit here, and work in the other Pollix. \"Go On Here\" lets you finish what you are doing "
                        "first; this Pollix cannot take the folder back while the other one runs.\n\n%2")
                .arg(lock.owner().pid)
                .arg(QDir::toNativeSeparators(lock.folder())),
            [quit](int answer) {
                if (answer == 0)
                    quit();
            });
    };
    QObject::connect(&lock, &InstanceLock::takenByOtherComputer, &lock, tellOtherComputer);
    QObject::connect(&lock, &InstanceLock::takenByOtherStart, &lock, tellOtherStart);
    // The lock looks at its file as soon as events run, which may be before this (an alert of
    // the start's recovery): what it found then is told now.
    if (lock.isTakenByOtherComputer())
        tellOtherComputer();
    if (lock.isTakenByOtherStart())
        tellOtherStart();
}

} // namespace PollixProgram
