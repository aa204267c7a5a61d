// pollix-demo data FOLDER [--archive PATH]
//     Makes FOLDER a demo application folder (the first-run files it lacks, a class of 24
//     students who are in the school roster too, a teacher, a subject, "Demo Quiz.px", three
//     named past quizzes, a points-only session and the gradebook's settings for them, each added
//     when missing); prints the question file's path, then the questions' right answers
//     separated by commas.
// pollix-demo run FOLDER --sim PATH [--archive PATH] [--seed N]
//     The same folder (so a later ./dev run with a display finds it whole), then one whole normal quiz in the program's windows on a simulated Dravel
//     receiver (the pollix-keypad-sim at PATH) driven by its teacher keypad, and a second run that
//     the keypads join again; prints the path of the saved session file.
#include "DemoData.h"
#include "DemoRun.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/store/DataRecovery.h"
#include "platform/InstanceLock.h"
#include "ui/app/PollixProgram.h"
#include "ui/app/StartRecovery.h"
#include "ui/app/WelcomeWindowController.h"

#include <QApplication>

#include <cstdio>

namespace {
QString option(const QStringList &args, const char *name)
{
    const int i = int(args.indexOf(QLatin1String(name)));
    return i >= 0 ? args.value(i + 1) : QString();
}
} // namespace

int main(int argc, char *argv[])
{
    // Asked wrongly (or for help), it says how to ask, also where no display could be opened.
    const auto usage = [] {
        std::fprintf(stderr, "usage: pollix-demo data FOLDER [--archive PATH]\n"
                             "       pollix-demo run FOLDER --sim PATH [--archive PATH] [--seed N]\n");
        return 2;
    };
    if (argc < 3 || (qstrcmp(argv[1], "data") != 0 && qstrcmp(argv[1], "run") != 0))
        return usage();
    // Only the simulated receiver is used, never a real one.
    qputenv("POLLIX_NO_UDEV", "1");
    qunsetenv("POLLIX_SERIAL_PORTS");
    // Making the folder shows no window; it needs no display.
    if (argc > 1 && qstrcmp(argv[1], "data") == 0 && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const QString mode = args.value(0);
    const QString folder = args.at(1);
    qputenv("POLLIX_HOME", folder.toUtf8());
    // Checked as Pollix's start checks it, before the lock makes the folder: the lock would name
    // only the folder it could not open, not why it could not be made.
    if (const QStringList unwritable = StartRecovery::unwritableFolders(folder); !unwritable.isEmpty()) {
        std::fprintf(stderr, "pollix-demo: nothing can be saved in %s:\n%s\n", qPrintable(folder),
                     qPrintable(unwritable.join(QLatin1Char('\n'))));
        return 1;
    }
    // The demo folder is an application folder like any other: one Pollix on it at a time.
    InstanceLock lock(folder);
    // Ended by a signal, the demo ends as Pollix does: the run it steers is saved first.
    PollixProgram::endOnSignals(lock);
    const InstanceLock::Outcome taken = lock.take();
    if (taken == InstanceLock::Outcome::Unavailable || taken == InstanceLock::Outcome::Unwritable) {
        std::fprintf(stderr, "pollix-demo: %s cannot be locked:\n%s\n", qPrintable(folder), qPrintable(lock.whyNotLocked()));
        return 1;
    }
    if (taken != InstanceLock::Outcome::Taken) {
        std::fprintf(stderr, "pollix-demo: Pollix is already running on %s (process %lld on %s)\n", qPrintable(folder),
                     static_cast<long long>(lock.owner().pid), qPrintable(lock.owner().host));
        return 1;
    }

    QString why;
    const QString seedText = option(args, "--seed");
    DemoRun run(folder, option(args, "--sim"), seedText.isEmpty() ? 7u : seedText.toUInt());
    // The receiver's port must be known before the delegate starts looking for receivers.
    if (mode == QLatin1String("run") && !run.startReceiver(&why)) {
        std::fprintf(stderr, "pollix-demo: %s\n", qPrintable(why));
        return 1;
    }
    qputenv("POLLIX_SPLASH_SECONDS", "1");
    PollixProgram::setUpApplication(app);
    PollixProgram::installServices();
    Orvenda_AppDelegate delegate(folder);
    delegate.setIsLogin(false);
    Orvenda_AppDelegate::setAppDelegate(&delegate);
    if (!DataRecovery::run(&why))
        std::fprintf(stderr, "pollix-demo: %s\n", qPrintable(why));

    // The folder is filled before the main window opens, as a teacher's would be; the splash
    // then looks for what is missing in the same archive (the demo's own folder ships none).
    const QString archive = option(args, "--archive");
    if (!archive.isEmpty())
        WelcomeWindowController::setArchivePath(archive);
    const QString quiz = DemoData::ensure(folder, archive, &why);
    if (quiz.isEmpty()) {
        std::fprintf(stderr, "pollix-demo: %s\n", qPrintable(why));
        return 1;
    }
    // Whatever ran in the folder before, it holds the demo's past sessions and gradebook.
    if (!DemoData::ensureSessions(&why) || !DemoData::ensureGradebook(&why)) {
        std::fprintf(stderr, "pollix-demo: %s\n", qPrintable(why));
        return 1;
    }
    if (mode == QLatin1String("data")) {
        // The second line is what the simulated keypads need to answer the demo questions.
        std::printf("%s\n%s\n", qPrintable(quiz), qPrintable(DemoData::answers().join(QLatin1Char(','))));
        return 0;
    }

    int rc = 1;
    bool finished = false;
    QObject::connect(&run, &DemoRun::finished, &app, [&](bool ok) {
        finished = true;
        rc = ok ? 0 : 1;
        if (ok)
            std::printf("Saved session: %s\n", qPrintable(run.savedSession()));
        std::fflush(stdout);
        app.exit(rc);
    });
    run.openProgram(quiz);
    const int ended = app.exec();
    Orvenda_AppDelegate::setAppDelegate(nullptr);
    return finished ? rc : ended;
}
