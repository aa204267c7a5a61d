// What a new teacher meets first: the program started on an application folder puts in place
// every first-run file the folder lacks (manuals, sounds, standards, the slide template), on a
// new folder, on one holding only what a killed Pollix left, and on a teacher's folder without
// manuals and sounds; and Help opens its manual.

#include "core/app/ZipArchive.h"
#include "platform/InstanceLock.h"
#include "support/PollixTest.h"
#include "support/RunningPollix.h"
#include "ui/app/MainwndController.h"
#include "ui/app/TabController.h"
#include "ui/app/WelcomeWindowController.h"

#include <QAction>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QUrl>

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
// Stands in for the desktop's document opener: notes what it was asked to open.
class Opener : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened << url; }
};

class FirstStartHelpTest : public PollixTest
{
protected:
    void TearDown() override
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        WelcomeWindowController::setArchivePath(QString());
        WelcomeWindowController::setDefaultSeconds(5);
        TabController::resetHooks();
        PollixTest::TearDown();
    }
};
} // namespace

TEST_F(FirstStartHelpTest, OnANewFolderHelpOpensTheManualTheStartPutInPlace)
{
    // The start as the program makes it: the splash over the new folder, then the main window
    // (no receiver here, and no one to choose a system).
    WelcomeWindowController::setArchivePath(kArchive);
    WelcomeWindowController::setDefaultSeconds(0);
    TabController::hooks().runSystemChoice = [](QWidget *) {};
    Opener opener;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &opener, "open");
    MainwndController main;
    main.initWindow();
    main.showWindow();

    // Help, then Pollix Help, from the menu bar.
    QAction *help = nullptr;
    for (QAction *menu : main.window()->menuBar()->actions())
        if (menu->text() == QStringLiteral("&Help") && menu->menu())
            for (QAction *item : menu->menu()->actions())
                if (item->text() == QStringLiteral("Pollix Help"))
                    help = item;
    ASSERT_TRUE(help);
    help->trigger();

    ASSERT_EQ(opener.opened.size(), 1);
    const QString manual = opener.opened.first().toLocalFile();
    EXPECT_EQ(manual, home() + "Help/User Manual of TovDravel.pdf");
    EXPECT_EQ(bytesOf(manual), firstRunFiles().value("Help/User Manual of TovDravel.pdf"));
    EXPECT_TRUE(bytesOf(manual).startsWith("%PDF"));
}

#include "FirstStartTest.moc"
