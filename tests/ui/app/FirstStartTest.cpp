// What a new teacher meets first: the program started on an application folder puts in place
// every first-run file the folder lacks (manuals, sounds, standards, the slide template), on a
// new folder, on one holding only what a killed Pollix left, and on a teacher's folder without
// manuals and sounds; and Help opens its manual, or says why it cannot.

#include "core/app/ZipArchive.h"
#include "platform/InstanceLock.h"
#include "platform/Log.h"
#include "support/CommandFolder.h"
#include "support/DialogAnswers.h"
#include "support/EventWait.h"
#include "support/ModalDriver.h"
#include "support/PollixTest.h"
#include "support/RunningPollix.h"
#include "ui/app/MainwndController.h"
#include "ui/app/TabController.h"
#include "ui/app/WelcomeWindowController.h"
#include "ui/controls/DialogHooks.h"
#include "ui/controls/PollixAlert.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>

namespace {

const QString kArchive = QStringLiteral(POLLIX_BINARY_DIR "/src/Pollix");

// Every file of the program's first-run archive, by its path in the application folder, with
// its bytes.
QMap<QString, QByteArray> firstRunFiles()
{
    QMap<QString, QByteArray> files;
    ZipArchive zip;
    EXPECT_TRUE(zip.UnzipOpenFile(kArchive));
    for (const ZipArchive::Entry &e : zip.entries().value_or(QList<ZipArchive::Entry>())) {
        QByteArray bytes;
        if (!e.isFolder && zip.readEntry(e, &bytes))
            files.insert(e.name.mid(QStringLiteral("Pollix/").size()), bytes);
    }
    return files;
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

void write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// The program started on folder until its start has put the first-run files in place; then it
// is killed, as a power cut would end it.
void startAndKill(const QString &folder)
{
    RunningPollix pollix(folder);
    ASSERT_TRUE(pollix.saw("First-run files:")) << pollix.output.toStdString();
    ::kill(pid_t(pollix.process.processId()), SIGKILL);
    ASSERT_TRUE(pollix.process.waitForFinished(5000));
}

void expectEveryFirstRunFile(const QString &folder, const QStringList &except = {})
{
    const QMap<QString, QByteArray> files = firstRunFiles();
    ASSERT_GE(files.size(), 9);
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        if (!except.contains(it.key())) {
            EXPECT_EQ(bytesOf(folder + QLatin1Char('/') + it.key()), it.value()) << it.key().toStdString();
        }
    }
}

} // namespace

TEST(FirstStartTest, TheProgramPutsInPlaceWhatTheFolderLacksAndKeepsWhatIsThere)
{
    QTemporaryDir scratch;

    // A new folder.
    const QString fresh = scratch.filePath("new/Pollix");
    ASSERT_NO_FATAL_FAILURE(startAndKill(fresh));
    expectEveryFirstRunFile(fresh);

    // A folder holding nothing but the lock of a Pollix killed there (and empty folders): every
    // other file is gone, as when the lock was made before anything was unpacked.
    const QString locked = scratch.filePath("locked/Pollix");
    ASSERT_NO_FATAL_FAILURE(startAndKill(locked));
    int locks = 0;
    for (QDirIterator it(locked, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
        const QFileInfo f(it.next());
        if (f.fileName() == InstanceLock::lockFileName())
            ++locks;
        else
            ASSERT_TRUE(QFile::remove(f.filePath())) << f.filePath().toStdString();
    }
    ASSERT_GE(locks, 1) << "the killed Pollix left its lock";
    ASSERT_NO_FATAL_FAILURE(startAndKill(locked));
    expectEveryFirstRunFile(locked);

    // A teacher's folder without manuals and sounds: they come; the teacher's own standards stay
    // byte for byte.
    const QString teachers = scratch.filePath("teacher/Pollix");
    const QByteArray ownStandards = "<?xml version=\"1.0\"?>\n<Standards><Node Code=\"M.1\" Title=\"Fractions\"/></Standards>\n";
    write(teachers + "/Template.xml", ownStandards);
    const QDateTime written = QFileInfo(teachers + "/Template.xml").lastModified();
    write(teachers + "/template.pptx", firstRunFiles().value("template.pptx"));
    QDir().mkpath(teachers + "/Data/Quiz");
    ASSERT_NO_FATAL_FAILURE(startAndKill(teachers));
    expectEveryFirstRunFile(teachers, {QStringLiteral("Template.xml")});
    EXPECT_EQ(bytesOf(teachers + "/Template.xml"), ownStandards);
    EXPECT_EQ(QFileInfo(teachers + "/Template.xml").lastModified(), written);
}

namespace {
class FirstStartHelpTest : public PollixTest
{
protected:
    void TearDown() override
    {
        WelcomeWindowController::setArchivePath(QString());
        WelcomeWindowController::setDefaultSeconds(5);
        TabController::resetHooks();
        PollixTest::TearDown();
    }

    // The start as the program makes it: the splash over the new folder, then the main window
    // (no receiver here, and no one to choose a system).
    void start()
    {
        WelcomeWindowController::setArchivePath(kArchive);
        WelcomeWindowController::setDefaultSeconds(0);
        TabController::hooks().runSystemChoice = [](QWidget *) {};
        main.initWindow();
        main.showWindow();
    }

    // Help, then Pollix Help, with the mouse on the menu bar and the menu.
    void chooseHelp()
    {
        QMenuBar *bar = main.window()->menuBar();
        QAction *menu = nullptr;
        for (QAction *a : bar->actions())
            if (a->text() == QStringLiteral("&Help"))
                menu = a;
        ASSERT_TRUE(menu && menu->menu());
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu).center());
        ASSERT_TRUE(QTest::qWaitFor([&] { return menu->menu()->isVisible(); }, kEventWaitMs)) << "a click opens the menu";
        QAction *item = nullptr;
        for (QAction *a : menu->menu()->actions())
            if (a->text() == QStringLiteral("Pollix Help"))
                item = a;
        ASSERT_TRUE(item);
        QTest::mouseClick(menu->menu(), Qt::LeftButton, {}, menu->menu()->actionGeometry(item).center());
    }

    QString manual() const { return home() + "Help/User Manual of TovDravel.pdf"; }

    MainwndController main;
    QTemporaryDir desktop;
};
} // namespace

TEST_F(FirstStartHelpTest, OnANewFolderHelpOpensTheManualTheStartPutInPlace)
{
    // The desktop's opener notes what it was asked to open.
    const QString opened = desktop.filePath("opened");
    const QString bin = CommandFolder::make(desktop.filePath("bin"), {},
                                            {{"xdg-open", "printf '%s\\n' \"$1\" >> '" + opened.toUtf8() + "'\n"}});
    ScopedEnvironment path({{"PATH", bin.toUtf8()}});
    DialogAnswers answers;
    start();
    ASSERT_NO_FATAL_FAILURE(chooseHelp());

    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo(opened).size() > 0; }, kEventWaitMs));
    EXPECT_EQ(QString::fromUtf8(bytesOf(opened)), manual() + "\n");
    EXPECT_EQ(bytesOf(manual()), firstRunFiles().value("Help/User Manual of TovDravel.pdf"));
    EXPECT_TRUE(bytesOf(manual()).startsWith("%PDF"));
    QTest::qWait(50);
    EXPECT_TRUE(answers.alerts().isEmpty()) << answers.alertTexts().join("; ").toStdString();
}

// A desktop with no program for PDF files (xdg-open finds no viewer and no browser): Help says
// so in an alert naming the manual, which the teacher closes with OK.
TEST_F(FirstStartHelpTest, WithoutAProgramForPdfFilesHelpSaysSoNamingTheManual)
{
    QDir().mkpath(desktop.filePath("empty"));
    const QByteArray empty = desktop.filePath("empty").toUtf8();
    // No desktop to ask, no display for a graphical viewer, and none of the text browsers or
    // mail-cap viewers xdg-open falls back on.
    const QString bin = CommandFolder::make(desktop.filePath("bin"), {"run-mailcap", "mimeopen", "www-browser", "links2",
                                                                      "elinks", "links", "lynx", "w3m"});
    ScopedEnvironment env({{"PATH", bin.toUtf8()},
                           {"XDG_CURRENT_DESKTOP", "X-Generic"},
                           {"DISPLAY", ""},
                           {"WAYLAND_DISPLAY", ""},
                           {"BROWSER", ""},
                           {"XDG_DATA_HOME", empty},
                           {"XDG_DATA_DIRS", empty},
                           {"XDG_CONFIG_HOME", empty},
                           {"XDG_CONFIG_DIRS", empty}});
    ModalDriver modals;
    QStringList shown;
    modals.on(QStringLiteral("PollixAlert"), [&](QWidget *w) {
        auto *alert = static_cast<PollixAlert *>(w);
        shown = QStringList{alert->windowTitle(), alert->text(), alert->informativeText()};
        QTest::mouseClick(alert->findChild<QPushButton *>(QStringLiteral("alertButton0")), Qt::LeftButton);
    });
    start();
    ASSERT_NO_FATAL_FAILURE(chooseHelp());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shown.isEmpty(); }, kEventWaitMs)) << "the alert comes";
    EXPECT_EQ(shown.at(0), "Pollix");
    EXPECT_EQ(shown.at(1), "\"" + manual() + "\" cannot be opened: no program on this computer opens PDF files.");
    EXPECT_TRUE(shown.at(2).startsWith("Install a program that opens PDF files, then try again.")) << shown.at(2).toStdString();
    EXPECT_TRUE(shown.at(2).contains("no method available")) << "xdg-open's own words follow: " << shown.at(2).toStdString();
    EXPECT_EQ(modals.opened(), QStringList{"PollixAlert"});
}

// Without xdg-open at all, and with the manual gone from the folder, Help says which.
TEST_F(FirstStartHelpTest, WithoutAnOpenerOrWithoutTheManualHelpSaysWhich)
{
    QDir().mkpath(desktop.filePath("nothing"));
    ScopedEnvironment path({{"PATH", desktop.filePath("nothing").toUtf8()}});
    DialogAnswers answers;
    start();
    ASSERT_NO_FATAL_FAILURE(chooseHelp());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !answers.alerts().isEmpty(); }, kEventWaitMs));
    EXPECT_EQ(answers.alerts().last().text,
              "\"" + manual() + "\" cannot be opened: no program on this computer opens PDF files.");
    EXPECT_TRUE(answers.alerts().last().informativeText.contains("xdg-open (of xdg-utils) is not installed"))
        << answers.alerts().last().informativeText.toStdString();

    ASSERT_TRUE(QFile::remove(manual()));
    ASSERT_NO_FATAL_FAILURE(chooseHelp());
    ASSERT_TRUE(QTest::qWaitFor([&] { return answers.alerts().size() == 2; }, kEventWaitMs));
    EXPECT_EQ(answers.alerts().last().text, "\"" + manual() + "\" cannot be opened: the file is not there.");
}


namespace {
QStringList s_logged;
void noteLogLine(QtMsgType, const QMessageLogContext &, const QString &text)
{
    s_logged << text;
}
} // namespace

// Without a desktop xdg-open runs the viewer in its stead and hands on how it ended. A viewer that
// showed the manual and ends with an error later (the teacher may be in a run by then) is logged,
// never told as "no program"; xdg-open's own "nothing opens this" is told: exit status 3, or 4
// with "no method available" (or, on a GNOME desktop, gio's words for it).
TEST_F(FirstStartHelpTest, OnlyNothingToOpenTheManualIsToldAsNoProgramNotAViewerEndingWithAnError)
{
    const QString opened = desktop.filePath("opened");
    const QByteArray shows = "printf '%s\\n' \"$1\" >> '" + opened.toUtf8() + "'\nsleep 0.2\n";
    const QByteArray gaveUp = "echo \"xdg-open: no method available for opening '$1'\" >&2\n";
    const QByteArray gioGaveUp = "echo \"gio: file://$1: No application is registered as handling this file\" >&2\n";
    const struct
    {
        QByteArray script;
        bool noProgram;
    } cases[] = {
        {gaveUp + "exit 3\n", true},
        {gaveUp + "exit 4\n", true},
        {gioGaveUp + "exit 4\n", true},
        // The viewer's own status handed on, or xdg-open's "the action failed" after it.
        {shows + "echo 'viewer: lost the connection to the session' >&2\nexit 1\n", false},
        {shows + "echo 'viewer: lost the connection to the session' >&2\nexit 4\n", false},
    };
    // The fake xdg-open runs what the case wrote for it.
    const QString now = desktop.filePath("case.sh");
    const QString bin = CommandFolder::make(desktop.filePath("bin"), {}, {{"xdg-open", ". '" + now.toUtf8() + "'\n"}});
    ScopedEnvironment path({{"PATH", bin.toUtf8()}});
    DialogAnswers answers;
    start();
    QLoggingCategory &log = const_cast<QLoggingCategory &>(lcPollix());
    const bool wasLogging = log.isInfoEnabled();
    log.setEnabled(QtInfoMsg, true);
    const auto previous = qInstallMessageHandler(noteLogLine);
    const auto restore = qScopeGuard([previous, &log, wasLogging] {
        qInstallMessageHandler(previous);
        log.setEnabled(QtInfoMsg, wasLogging);
    });
    for (const auto &c : cases) {
        SCOPED_TRACE(c.script.toStdString());
        s_logged.clear();
        const qsizetype alertsBefore = answers.alerts().size();
        QFile script(now);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
        script.write(c.script);
        script.close();
        ASSERT_NO_FATAL_FAILURE(chooseHelp());
        const QString ended = "\"" + manual() + "\": the program that opened it ended with status";
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return answers.alerts().size() > alertsBefore || !s_logged.filter(ended).isEmpty(); }, kEventWaitMs));
        if (c.noProgram) {
            ASSERT_EQ(answers.alerts().size(), alertsBefore + 1);
            EXPECT_EQ(answers.alerts().last().text,
                      "\"" + manual() + "\" cannot be opened: no program on this computer opens PDF files.");
            EXPECT_TRUE(answers.alerts().last().informativeText.contains(c.script.contains("gio") ? "No application is registered"
                                                                                                  : "no method available"))
                << answers.alerts().last().informativeText.toStdString();
        } else {
            EXPECT_EQ(answers.alerts().size(), alertsBefore) << answers.alertTexts().join("; ").toStdString();
            const QString line = s_logged.filter(ended).value(0);
            EXPECT_TRUE(line.endsWith(": viewer: lost the connection to the session")) << line.toStdString();
            EXPECT_TRUE(line.contains(c.script.contains("exit 1") ? "status 1" : "status 4")) << line.toStdString();
        }
    }
    EXPECT_EQ(QString::fromUtf8(bytesOf(opened)), manual() + "\n" + manual() + "\n") << "both viewers had the manual";
}

// The splash's white lettering is its own: an alert that comes while it is up (a receiver's port
// refused as the start finds it) stands over it and must be drawn in the alerts' usual colours.
using SplashTest = PollixTest;

TEST_F(SplashTest, AnAlertOverItKeepsTheAlertsOwnColours)
{
    WelcomeWindowController splash;
    splash.show();
    splash.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&splash, kEventWaitMs));
    const QColor usual = QApplication::palette().color(QPalette::WindowText);
    QStringList drawnElse;
    const DialogHooks::AlertResponder putAside = DialogHooks::alertResponder();
    DialogHooks::setAlertResponder({});
    const auto restore = qScopeGuard([&] { DialogHooks::setAlertResponder(putAside); });
    QTimer::singleShot(0, [&] {
        auto *alert = qobject_cast<PollixAlert *>(QApplication::activeModalWidget());
        ASSERT_TRUE(alert);
        for (QLabel *label : alert->findChildren<QLabel *>())
            if (!label->text().isEmpty() && label->palette().color(label->foregroundRole()) != usual)
                drawnElse << label->text();
        alert->reject();
    });
    PollixAlert::show(nullptr, QStringLiteral("Pollix ARS"), QStringLiteral("The receiver on /dev/ttyUSB0 is in use by another program."));
    EXPECT_TRUE(drawnElse.isEmpty()) << drawnElse.join(QLatin1Char('\n')).toStdString();
    for (QLabel *label : splash.findChildren<QLabel *>(Qt::FindDirectChildrenOnly))
        EXPECT_EQ(label->palette().color(label->foregroundRole()), QColor(Qt::white)) << label->text().toStdString();
}
