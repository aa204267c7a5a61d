// A start on an application folder of 10,000 sessions, up to its first window, made as the program
// makes it (src/main.cpp): the folder's lock taken, the services installed, what the last run left
// finished and tidied, and the main window built until its welcome splash, the first window the
// teacher sees, comes up. The data folder is made once; with POLLIX_BENCH_HOME naming a folder it
// is made there and kept, so that a second run under `strace -c -f` counts the start's system
// calls apart from the making.
#include "core/app/Orvenda_AppDelegate.h"
#include "platform/InstanceLock.h"
#include "platform/Singleton.h"
#include "ui/app/MainwndController.h"
#include "ui/app/PollixProgram.h"
#include "ui/app/StartRecovery.h"
#include "ui/app/TabController.h"

#include "BenchSession.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {
constexpr int kSessionFiles = 10000;

// The application folder, with its sessions made where they are missing.
QString applicationFolder()
{
    static std::unique_ptr<QTemporaryDir> temporary;
    QString home = qEnvironmentVariable("POLLIX_BENCH_HOME");
    if (home.isEmpty()) {
        temporary = std::make_unique<QTemporaryDir>();
        home = temporary->path();
    }
    home = QDir::cleanPath(QDir(home).absolutePath()) + QLatin1Char('/');
    QDir().mkpath(home + QStringLiteral("Data/Quiz"));
    QDir().mkpath(home + QStringLiteral("Data/CourseGrade"));
    if (QDir(home + QStringLiteral("Data/Quiz")).entryList(QDir::Files).size() < kSessionFiles) {
        Orvenda_AppDelegate maker(home);
        Orvenda_AppDelegate::setAppDelegate(&maker);
        fillSessionFolder(home, kSessionFiles);
        Orvenda_AppDelegate::setAppDelegate(nullptr);
    }
    return home;
}

void BM_StartToFirstWindow(benchmark::State &state)
{
    const QString home = applicationFolder();
    for (auto _ : state) {
        SingletonRegistry::resetAll();
        TabController::resetHooks();
        QElapsedTimer timer;
        timer.start();
        double firstWindowMs = -1;
        {
            InstanceLock lock(home, home + QStringLiteral("Data"));
            if (!PollixProgram::claimApplicationFolder(lock)) {
                state.SkipWithError("the application folder was not taken");
                break;
            }
            PollixProgram::installServices();
            TabController::hooks().runSplash = [&](QWidget *) { firstWindowMs = double(timer.nsecsElapsed()) / 1e6; };
            TabController::hooks().runSystemChoice = [](QWidget *) {};
            Orvenda_AppDelegate delegate(home);
            delegate.setIsLogin(false);
            Orvenda_AppDelegate::setAppDelegate(&delegate);
            if (StartRecovery::run()) {
                MainwndController controller;
                controller.initWindow();
            }
            Orvenda_AppDelegate::setAppDelegate(nullptr);
        }
        if (firstWindowMs < 0) {
            state.SkipWithError("no first window");
            break;
        }
        state.SetIterationTime(firstWindowMs / 1000);
    }
    state.counters["sessions"] = double(QDir(home + QStringLiteral("Data/Quiz")).entryList(QDir::Files).size());
}
BENCHMARK(BM_StartToFirstWindow)->Unit(benchmark::kMillisecond)->Iterations(20)->UseManualTime();
} // namespace

int main(int argc, char **argv)
{
    qputenv("POLLIX_NO_UDEV", "1");
    return runGuiBenchmarks(argc, argv);
}
