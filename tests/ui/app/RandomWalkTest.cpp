// Random roads through the program: seeded walks from the main window as the program starts it
// (the lock, the start's recovery, the splash, the system choice, the main window), over whatever
// window is in front, with a simulated receiver and its keypads, each walk in a child process of
// its own. A walk fails on a crash, a sanitizer report of Pollix's code, an event loop that stops
// answering, steps left untaken, a session, class or student gone that no Delete of Pollix's
// took, or a file of them rewritten with what no save of Pollix's wrote; after it every data file
// left is read back by the reader that loads it, and nothing outside the walk's folders has
// changed.
//
// POLLIX_WALK_SEED      the seed of the (first) walk; unset: the suite's own seeds
// POLLIX_WALK_STEPS     steps of each walk
// POLLIX_WALK_SECONDS   with it, walks begin one after another (seed, seed + 1, ...) while this
//                       time lasts, each walking all its steps; without it, each seed walks once
// POLLIX_WALK_KEEP      the folder a failed walk's steps are copied to (default: the current one)
// POLLIX_WALK_STALL_SECONDS  how long the event loop may not answer before the walk fails
// A failure prints the line that replays it.

#include "core/app/Orvenda_AppDelegate.h"
#include "core/authoring/ExamPaperInfo.h"
#include "core/store/DataFolderLayout.h"
#include "core/store/GlobalFunctions.h"
#include "platform/FolderWork.h"
#include "platform/InstanceLock.h"
#include "platform/Singleton.h"
#include "support/ChildTestRun.h"
#include "support/CommandFolder.h"
#include "support/FakeOffice.h"
#include "support/LoopWatchdog.h"
#include "support/RandomWalk.h"
#include "support/ReceiverTest.h"
#include "support/RecordWatch.h"
#include "support/SanitizerReports.h"
#include "ui/app/MainwndController.h"
#include "ui/app/PollixProgram.h"
#include "ui/app/StartRecovery.h"
#include "ui/app/TabController.h"
#include "ui/app/WelcomeWindowController.h"

#include "DemoData.h"
#include "SimReceiver.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <pugixml.hpp>

#include <iostream>

#include <fcntl.h>
#include <unistd.h>

using namespace keypadsim;

namespace {

constexpr char kRunVariable[] = "POLLIX_WALK_RUN";
// The suite's walks: a few seeds, each over another set-up (receiver model, demo data or none, a
// receiver at the start or none), within the suite's time.
constexpr quint32 kSuiteSeeds[] = {1, 2, 3, 4};
constexpr int kSuiteSteps = 400;
constexpr int kKeypads = 8;

// A walk takes all the steps it planned. Its deadline, far above the usual time, only ends one
// whose steps crawl (each answered in time, so that the stall check does not end it): such a walk
// took fewer steps than planned and fails.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kStallMs = 120000;
constexpr int kDeadlineMsPerStep = 400;
#else
constexpr int kStallMs = 30000;
constexpr int kDeadlineMsPerStep = 150;
#endif

int variable(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

// One walk as the parent hands it to its child.
// Whether the seed's walk starts on a folder holding the demo class and its sessions.
bool withDemoData(quint32 seed)
{
    return seed % 3 != 0;
}

struct WalkPlan
{
    quint32 seed = 1;
    int steps = kSuiteSteps;
    qint64 budgetMs = 60000;
    QString root;

    QString encoded() const { return QStringLiteral("%1 %2 %3 %4").arg(seed).arg(steps).arg(budgetMs).arg(root); }
    static WalkPlan decoded(const QString &text)
    {
        WalkPlan plan;
        const QStringList parts = text.split(QLatin1Char(' '));
        if (parts.size() < 4)
            return plan;
        plan.seed = parts.at(0).toUInt();
        plan.steps = parts.at(1).toInt();
        plan.budgetMs = parts.at(2).toLongLong();
        plan.root = parts.mid(3).join(QLatin1Char(' '));
        return plan;
    }
};

// The folders of one walk, all below its root: the application folder, the folder the file
// panels are answered in, the home, temporary and current folders of the walk's process, and a
// neighbour of the application folder that nothing may touch.
struct WalkFolders
{
    QString root;
    QString app() const { return root + QStringLiteral("/app"); }
    QString files() const { return root + QStringLiteral("/files"); }
    QString home() const { return root + QStringLiteral("/home"); }
    QString tmp() const { return root + QStringLiteral("/tmp"); }
    QString cwd() const { return root + QStringLiteral("/cwd"); }
    QString neighbour() const { return root + QStringLiteral("/neighbour"); }
    QString steps() const { return root + QStringLiteral("/steps.txt"); }
    QString receiverLink() const { return root + QStringLiteral("/receiver"); }
    QString output() const { return root + QStringLiteral("/output.txt"); }
};

// Every entry below folder (links not followed) with its kind, size and time of change.
QMap<QString, QString> snapshot(const QString &folder)
{
    QMap<QString, QString> out;
    const QDir base(folder);
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        out.insert(base.relativeFilePath(it.filePath()),
                   QStringLiteral("%1 %2 %3")
                       .arg(info.isSymLink() ? QStringLiteral("link") : info.isDir() ? QStringLiteral("dir") : QStringLiteral("file"))
                       .arg(info.isDir() ? 0 : info.size())
                       .arg(info.lastModified().toMSecsSinceEpoch()));
    }
    return out;
}

// What libraries below the program keep in a home of their own (font and shader caches, the
// sound server's cookie, the custom colours Qt's colour panel remembers): not the program's
// writing.
bool libraryCache(const QString &relative)
{
    return relative == QLatin1String(".cache") || relative.startsWith(QLatin1String(".cache/"))
           || relative == QLatin1String(".config") || relative.startsWith(QLatin1String(".config/pulse"))
           || relative == QLatin1String(".config/QtProject.conf");
}

// What Pollix took away and wrote, in the steps file; a record lost or changed otherwise fails
// the walk, there too.
void noteRecords(const RandomWalk &walk, const RecordWatch::Findings &findings, const QString &when)
{
    for (const QString &line : findings.removals)
        walk.note(QStringLiteral("    removed by Pollix: ") + line);
    for (const QString &line : findings.saves)
        walk.note(QStringLiteral("    saved by Pollix: ") + line);
    for (const QString &line : findings.failures) {
        walk.note(QStringLiteral("    LOST (%1): %2").arg(when, line));
        ADD_FAILURE() << line.toStdString() << " (found " << when.toStdString() << ")";
    }
}

// Where a failed walk failed: the steps it had taken (a record found lost before step N: N - 1,
// else the last step written) and the 40 lines of the steps file up to there.
struct FailedAt
{
    int taken = 0;
    QString steps = QStringLiteral("(no steps file)");
};

FailedAt failedAt(const QString &stepsFile)
{
    static const QRegularExpression lost(QStringLiteral("^    LOST \\(before step (\\d+)\\)"));
    FailedAt out;
    QFile f(stepsFile);
    if (!f.open(QIODevice::ReadOnly))
        return out;
    const QStringList all = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    qsizetype end = all.size();
    for (qsizetype i = 0; i < all.size(); ++i) {
        if (const QRegularExpressionMatch m = lost.match(all.at(i)); m.hasMatch()) {
            out.taken = m.captured(1).toInt() - 1;
            end = i + 1;
            break;
        }
        if (all.at(i).startsWith(QLatin1Char('#')))
            out.taken = all.at(i).mid(1, all.at(i).indexOf(QLatin1Char(' ')) - 1).toInt();
    }
    out.steps = all.mid(std::max<qsizetype>(0, end - 40), std::min<qsizetype>(end, 40)).join(QLatin1Char('\n'));
    return out;
}

} // namespace

class RandomWalkTest : public ReceiverTest
{
protected:
    void walkInChild(const WalkPlan &plan);
    static void prepareFolders(const WalkFolders &folders, quint32 seed);
    // The files a walk may open: question files, decks and rosters, good and broken.
    static void prepareFiles(const WalkFolders &folders);
    void runProgram(const WalkFolders &folders, RandomWalk &walk, LoopWatchdog &watchdog);
    void readBack(const WalkFolders &folders, bool heldData);
    static QString checkedOutside(const WalkFolders &folders, const QMap<QString, QString> &neighbourBefore,
                                  const QMap<QString, QString> &cwdBefore, const QDateTime &checkoutBefore);
};

void RandomWalkTest::prepareFolders(const WalkFolders &folders, quint32 seed)
{
    for (const QString &folder : {folders.app(), folders.files(), folders.home(), folders.tmp(), folders.cwd(),
                                  folders.neighbour()})
        QDir().mkpath(folder);
    QFile neighbour(folders.neighbour() + QStringLiteral("/keep.xml"));
    if (neighbour.open(QIODevice::WriteOnly))
        neighbour.write("<Keep>seed " + QByteArray::number(seed) + "</Keep>\n");
}

void RandomWalkTest::prepareFiles(const WalkFolders &folders)
{
    const QDir files(folders.files());
    const auto put = [&](const QString &name, const QByteArray &bytes) {
        QFile f(files.filePath(name));
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
    };
    put(QStringLiteral("broken.px"), QByteArray("bplist00 not really"));
    put(QStringLiteral("empty.px"), QByteArray());
    static const char cutShort[] = "PK\x03\x04 cut short";
    put(QStringLiteral("broken.pptx"), QByteArray(cutShort, sizeof cutShort - 1));
    put(QStringLiteral("students.csv"), QByteArray("ID,First Name,Last Name\n001,Ann,Lee\n002,Bo,\"Quoted, Name\"\n"));
    put(QStringLiteral("odd.csv"), QByteArray("\xff\xfe\x00garbage;;;\n,,,\n") + QByteArray(5000, 'x'));
    put(QStringLiteral("backup.zip"), QByteArray("PK\x05\x06", 4) + QByteArray(18, '\0'));
    QFile::copy(QStringLiteral(POLLIX_SOURCE_DIR "/resources/Pollix/template.pptx"), files.filePath(QStringLiteral("deck.pptx")));
}

void RandomWalkTest::runProgram(const WalkFolders &folders, RandomWalk &walk, LoopWatchdog &watchdog)
{
    // Keeps ending every event loop, the dialogs' included, until the program's own loop is over:
    // what a loop's end opens next ends too.
    QTimer exitLoops;
    exitLoops.setInterval(20);
    QObject::connect(&exitLoops, &QTimer::timeout, [] { QCoreApplication::exit(0); });
    std::function<void()> endThisStart;
    walk.start([&endThisStart] {
        if (endThisStart)
            endThisStart();
    });
    walk.pause();
    for (int start = 1; !walk.spent(); ++start) {
        walk.note(QStringLiteral("start %1").arg(start));
        watchdog.setDoing(QStringLiteral("starting Pollix"));
        SingletonRegistry::resetAll();
        InstanceLock lock(folders.app(), folders.app() + QStringLiteral("/Data"));
        ASSERT_TRUE(PollixProgram::claimApplicationFolder(lock)) << "start " << start;
        PollixProgram::installServices();
        Orvenda_AppDelegate delegate;
        delegate.setIsLogin(false);
        Orvenda_AppDelegate::setAppDelegate(&delegate);
        // At the walk's end the teacher logs out, as the program ends on the session's end.
        endThisStart = [&lock, &exitLoops] {
            PollixProgram::endNow(lock, QStringLiteral("the walk ended"), [&exitLoops] { exitLoops.start(); });
        };
        watchdog.watchLoop();
        watchdog.setDoing(QStringLiteral("walking (the last step taken is the last in the steps file)"));
        // From here every window the start shows modally is walked too.
        walk.resume();
        if (!StartRecovery::run()) {
            walk.note(QStringLiteral("the start refused the data folder"));
            ADD_FAILURE() << "the start refused the data folder after start " << start - 1;
            Orvenda_AppDelegate::setAppDelegate(nullptr);
            return;
        }
        {
            MainwndController controller;
            PollixProgram::comeForwardOnRequest(lock, controller);
            controller.initWindow();
            controller.showWindow();
            if (!walk.spent() || exitLoops.isActive())
                QApplication::exec();
            walk.pause();
            exitLoops.stop();
            endThisStart = nullptr;
            walk.note(QStringLiteral("Pollix ended"));
            watchdog.hold(kStallMs);
            watchdog.setDoing(QStringLiteral("ending Pollix"));
            PollixProgram::finishFolderWork(lock);
            FolderWork::waitUntilIdle();
            // The windows still open go with the program, the main window last.
            for (bool again = true; again;) {
                again = false;
                for (QWidget *top : QApplication::topLevelWidgets()) {
                    if (!top->parentWidget() && top != controller.window()) {
                        delete top;
                        again = true;
                        break;
                    }
                }
            }
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Orvenda_AppDelegate::setAppDelegate(nullptr);
    }
}

void RandomWalkTest::walkInChild(const WalkPlan &plan)
{
    const WalkFolders folders{plan.root};
    // Whatever the program writes outside its folder lands where the parent looks.
    ASSERT_TRUE(QDir::setCurrent(folders.cwd()));
    qputenv("HOME", folders.home().toUtf8());
    qputenv("TMPDIR", folders.tmp().toUtf8());
    const QString runtime = folders.tmp() + QStringLiteral("/runtime");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
    qputenv("POLLIX_HOME", folders.app().toUtf8());
    // The keypad mouse and the window system's own calls stay off every real display.
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
    // Files handed to the desktop are noted; LibreOffice is the stand-in; nothing prints.
    const QString bin = CommandFolder::make(plan.root + QStringLiteral("/bin"), {"xdg-open", "soffice", "libreoffice", "lp", "lpr"},
                                            {{QStringLiteral("xdg-open"),
                                              "printf '%s\\n' \"$1\" >> '" + (plan.root + "/opened.txt").toUtf8() + "'\n"}});
    ScopedEnvironment path({{"PATH", bin.toUtf8()}});
    const QString converted = plan.root + QStringLiteral("/converted.pdf");
    {
        QPdfWriter pdf(converted);
        QPainter painter(&pdf);
        painter.drawText(100, 100, QStringLiteral("Slide 1"));
    }
    FakeOffice office(plan.root + QStringLiteral("/office"), converted);

    // The seed chooses the set-up too: the receiver's model, whether it is in at the start, and
    // whether the folder holds the demo class and its sessions.
    static const Model models[] = {Model::Dravel, Model::Corvel, Model::Arvel, Model::Envel};
    const Model model = models[plan.seed % 4];
    const bool withDemo = withDemoData(plan.seed);
    const bool receiverIn = plan.seed % 5 != 4;
    prepareFiles(folders);
    startOn(folders.app());
    if (withDemo) {
        QString why;
        const QString quiz = DemoData::ensure(folders.app(), QString(), &why);
        ASSERT_FALSE(quiz.isEmpty()) << why.toStdString();
        ASSERT_TRUE(DemoData::ensureSessions(&why)) << why.toStdString();
        ASSERT_TRUE(DemoData::ensureGradebook(&why)) << why.toStdString();
        QFile::copy(quiz, QDir(folders.files()).filePath(QFileInfo(quiz).fileName()));
    }

    SimReceiver::Options options;
    options.seed = plan.seed;
    options.linkPath = folders.receiverLink();
    SimReceiver *sim = makeReceiver(model, options);
    ASSERT_TRUE(sim);
    sim->addKeypads(1, kKeypads);
    if (!receiverIn)
        sim->unplug();
    qputenv("POLLIX_SERIAL_PORTS", folders.receiverLink().toUtf8());
    WelcomeWindowController::setDefaultSeconds(1);

    RandomWalk::Options walkOptions;
    walkOptions.seed = plan.seed;
    walkOptions.steps = plan.steps;
    walkOptions.budgetMs = plan.budgetMs;
    walkOptions.stepsFile = folders.steps();
    walkOptions.filesFolder = folders.files();
    walkOptions.receiver = sim;
    for (int id = 1; id <= kKeypads; ++id)
        walkOptions.keypads << id;
    walkOptions.family = sim->info().family;
    walkOptions.wellKnownText = {DemoData::className(), DemoData::studentID(1), QStringLiteral("tovani")};
    // The built-in account, as the teacher types it.
    walkOptions.account = QStringLiteral("tovani");
    walkOptions.password = QStringLiteral("thqh");
    // Every session, class and student there now or saved later stays, unless Pollix's own
    // Delete takes it while a step acts, and its file changes only as Pollix's own saves write
    // it; each step first checks what the steps before it did.
    const RandomWalk *stepping = nullptr;
    RecordWatch records([&stepping] { return stepping && stepping->acting(); });
    records.check();
    walkOptions.beforeStep = [&stepping, &records] {
        noteRecords(*stepping, records.check(), QStringLiteral("before step %1").arg(stepping->stepsTaken()));
    };
    RandomWalk walk(walkOptions);
    stepping = &walk;
    walk.note(QStringLiteral("set-up: model %1, demo data %2, receiver %3")
                  .arg(QString::fromLatin1(sim->info().name), withDemo ? QStringLiteral("yes") : QStringLiteral("no"),
                       receiverIn ? QStringLiteral("in") : QStringLiteral("out")));
    LoopWatchdog watchdog(variable("POLLIX_WALK_STALL_SECONDS", kStallMs / 1000) * 1000, folders.steps());
    runProgram(folders, walk, watchdog);
    walk.note(QStringLiteral("walk over"));
    startOn(folders.app());
    noteRecords(walk, records.check(), QStringLiteral("after the walk"));
    watchdog.hold(kStallMs);
    watchdog.setDoing(QStringLiteral("closing the walk"));
}

void RandomWalkTest::readBack(const WalkFolders &folders, bool heldData)
{
    startOn(folders.app());
    // Every data file, by the reader of the store that loads it.
    const QString data = DataFolderLayout::dataFolder();
    int read = 0;
    QDirIterator it(data, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        if (!DataFolderLayout::isDataFileName(it.fileName()))
            continue;
        const QString relative = QDir(data).relativeFilePath(it.filePath());
        QFile f(it.filePath());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << relative.toStdString();
        const QString problem = DataFolderLayout::contentProblem(relative, f.readAll());
        EXPECT_TRUE(problem.isEmpty()) << relative.toStdString() << ": " << problem.toStdString();
        ++read;
    }
    // A walk from an empty folder may save nothing at all; one from the demo data keeps files.
    if (heldData) {
        EXPECT_GT(read, 0) << "the walk left no data file";
    }
    // The application folder's own XML files (the settings) parse.
    for (const QFileInfo &xml : QDir(folders.app()).entryInfoList({QStringLiteral("*.xml")}, QDir::Files)) {
        QFile f(xml.filePath());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        pugi::xml_document doc;
        QString why;
        EXPECT_TRUE(GlobalFunctions::parseXmlBytes(f.readAll(), doc, &why)) << xml.fileName().toStdString() << ": "
                                                                           << why.toStdString();
    }
    // Question files saved through the panels read back as question files.
    for (const QFileInfo &px : QDir(folders.files()).entryInfoList({QStringLiteral("*.px")}, QDir::Files)) {
        if (px.fileName() == QLatin1String("broken.px") || px.fileName() == QLatin1String("empty.px"))
            continue;
        EXPECT_TRUE(ExamPaperInfo::unarchiveObjectWithFile(px.filePath())) << px.fileName().toStdString();
    }
}

QString RandomWalkTest::checkedOutside(const WalkFolders &folders, const QMap<QString, QString> &neighbourBefore,
                                       const QMap<QString, QString> &cwdBefore, const QDateTime &checkoutBefore)
{
    QStringList changed;
    if (snapshot(folders.neighbour()) != neighbourBefore)
        changed << QStringLiteral("the application folder's neighbour");
    const QMap<QString, QString> cwd = snapshot(folders.cwd());
    if (cwd != cwdBefore)
        changed << QStringLiteral("the current folder: ") + QStringList(cwd.keys()).join(QStringLiteral(", "));
    const QMap<QString, QString> home = snapshot(folders.home());
    for (auto it = home.cbegin(); it != home.cend(); ++it)
        if (!libraryCache(it.key()))
            changed << QStringLiteral("the home folder: ") + it.key();
    const QStringList expected{QStringLiteral("app"),    QStringLiteral("files"),      QStringLiteral("home"),
                               QStringLiteral("tmp"),    QStringLiteral("cwd"),        QStringLiteral("neighbour"),
                               QStringLiteral("bin"),    QStringLiteral("office"),     QStringLiteral("steps.txt"),
                               QStringLiteral("opened.txt"), QStringLiteral("converted.pdf"), QStringLiteral("receiver"),
                               QStringLiteral("output.txt")};
    for (const QString &entry : QDir(folders.root).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        if (!expected.contains(entry))
            changed << QStringLiteral("beside the application folder: ") + entry;
    if (QFileInfo(QStringLiteral(POLLIX_SOURCE_DIR)).lastModified() != checkoutBefore)
        changed << QStringLiteral("the checkout's folder");
    return changed.join(QLatin1Char('\n'));
}

TEST_F(RandomWalkTest, RandomRoadsThroughTheProgramEndWithoutACrashAndLeaveEveryFileReadable)
{
    if (const QString run = qEnvironmentVariable(kRunVariable); !run.isEmpty()) {
        walkInChild(WalkPlan::decoded(run));
        return;
    }
    const bool seeded = qEnvironmentVariableIsSet("POLLIX_WALK_SEED");
    const bool timed = qEnvironmentVariableIsSet("POLLIX_WALK_SECONDS");
    const int steps = variable("POLLIX_WALK_STEPS", kSuiteSteps);
    const qint64 budgetMs = qint64(variable("POLLIX_WALK_SECONDS", 0)) * 1000;
    QList<quint32> seeds;
    if (seeded)
        seeds << quint32(variable("POLLIX_WALK_SEED", 1));
    else
        for (const quint32 seed : kSuiteSeeds)
            seeds << seed;
    QString suppressions;
    if (QFile file(QStringLiteral(POLLIX_SOURCE_DIR "/tools/sanitizers/leak-suppressions.txt")); file.open(QIODevice::ReadOnly))
        suppressions = QString::fromUtf8(file.readAll());
    // The frames of a sanitizer's report name their modules, so that Pollix's own are told apart.
    const QByteArray asanOptions = qgetenv("ASAN_OPTIONS");
    ScopedEnvironment stackFormat(
        {{"ASAN_OPTIONS", (asanOptions.isEmpty() ? QByteArray() : asanOptions + ':') + SanitizerReports::stackFormatOption()}});
    QElapsedTimer clock;
    clock.start();
    int walks = 0;
    for (int i = 0;; ++i) {
        if (i >= seeds.size()) {
            if (!timed)
                break;
            seeds << seeds.last() + 1;
        }
        // A walk begun walks all its steps: the time given is for beginning walks.
        if (timed && i > 0 && clock.elapsed() >= budgetMs)
            break;
        QTemporaryDir root;
        ASSERT_TRUE(root.isValid());
        WalkPlan plan;
        plan.seed = seeds.at(i);
        plan.steps = steps;
        plan.budgetMs = qint64(steps) * kDeadlineMsPerStep;
        plan.root = QFileInfo(root.path()).canonicalFilePath();
        const WalkFolders folders{plan.root};
        prepareFolders(folders, plan.seed);
        const QMap<QString, QString> neighbourBefore = snapshot(folders.neighbour());
        const QMap<QString, QString> cwdBefore = snapshot(folders.cwd());
        const QDateTime checkoutBefore = QFileInfo(QStringLiteral(POLLIX_SOURCE_DIR)).lastModified();

        // The child's output (Pollix's log, Qt's warnings, a sanitizer's report) is kept beside
        // its steps, then shown, then judged.
        const QByteArray outputPath = QFile::encodeName(folders.output());
        const auto intoOutputFile = [&outputPath] {
            const int fd = ::open(outputPath.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
            return fd >= 0 && ::dup2(fd, STDOUT_FILENO) >= 0 && ::dup2(fd, STDERR_FILENO) >= 0;
        };
        ChildTestRun::Ending ending;
        const ChildTestRun::Outcome outcome =
            ChildTestRun::runCurrentTest(kRunVariable, plan.encoded().toStdString(), intoOutputFile, &ending);
        ++walks;
        QFile outputFile(folders.output());
        const QString output = outputFile.open(QIODevice::ReadOnly) ? QString::fromUtf8(outputFile.readAll()) : QString();
        std::cerr << output.toStdString() << std::flush;
        const SanitizerReports::Judgement reports =
            SanitizerReports::judge(output, suppressions, QStringLiteral(POLLIX_BINARY_DIR));
        // Leaks of system libraries alone, reported as the process ended, do not fail a walk
        // that passed.
        const bool passed = reports.counted.isEmpty()
                            && (outcome == ChildTestRun::Outcome::Passed || (ending.testPassed && reports.leftOut > 0));
        const QString outside = checkedOutside(folders, neighbourBefore, cwdBefore, checkoutBefore);
        const bool failedBefore = HasFailure();
        if (reports.leftOut > 0)
            std::cerr << "random walk: seed " << plan.seed << ": " << reports.leftOut
                      << " leak reports of system libraries left out (tools/sanitizers/leak-suppressions.txt)\n";
        if (!reports.counted.isEmpty())
            ADD_FAILURE() << "the walk of seed " << plan.seed << " ends on a sanitizer's report:\n"
                          << reports.counted.toStdString();
        else if (!passed)
            ADD_FAILURE() << "the walk of seed " << plan.seed << " failed (crash, hang or check; its output above)";
        if (passed) {
            readBack(folders, withDemoData(plan.seed));
            const int walked = RandomWalk::stepsNoted(folders.steps());
            if (walked < 0)
                ADD_FAILURE() << "the walk of seed " << plan.seed << " noted no end in its steps file";
            else
                EXPECT_EQ(walked, plan.steps) << "the walk of seed " << plan.seed << " was cut short: it took " << walked
                                              << " of its " << plan.steps << " steps";
        }
        EXPECT_TRUE(outside.isEmpty()) << "seed " << plan.seed << " changed what lies outside its folder:\n"
                                       << outside.toStdString();
        if (HasFailure() && !failedBefore) {
            // The steps so far, the replay, and a copy of the steps that outlives the folder.
            // A step is written before it acts, but one that failed at once may not be there yet:
            // the replay takes one step more than the file holds.
            const FailedAt at = failedAt(folders.steps());
            const QString keep = QDir(qEnvironmentVariable("POLLIX_WALK_KEEP", QDir::currentPath()))
                                     .filePath(QStringLiteral("walk-seed-%1-steps.txt").arg(plan.seed));
            QFile::remove(keep);
            QFile::copy(folders.steps(), keep);
            root.setAutoRemove(false);
            std::cerr << "\n---- random walk: seed " << plan.seed << ", failed after step " << at.taken
                      << "; its last steps:\n"
                      << at.steps.toStdString() << "\n---- replay: POLLIX_WALK_SEED=" << plan.seed
                      << " POLLIX_WALK_STEPS=" << at.taken + 1 << " " << QCoreApplication::applicationFilePath().toStdString()
                      << " " << ChildTestRun::currentTestFilter().toStdString() << "\n---- all steps: " << keep.toStdString()
                      << "\n---- the walk's folders (kept, its output in output.txt): " << plan.root.toStdString() << "\n";
        }
        if (seeded && !timed)
            break;
    }
    std::cerr << "random walk: " << walks << " walks in " << clock.elapsed() / 1000 << " s\n";
}
