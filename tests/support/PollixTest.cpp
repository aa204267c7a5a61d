#include "PollixTest.h"

#include "core/store/DataRecovery.h"
#include "platform/AtomicFile.h"
#include "platform/FolderWork.h"
#include "platform/Singleton.h"
#include "support/SmallDisk.h"
#include "ui/controls/DialogHooks.h"
#include "ui/controls/FileDialogs.h"
#include "ui/run/RunSession.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

void PollixTest::SetUp()
{
    SingletonRegistry::resetAll();
    // Each case is a new start of the program: no panel has been used yet.
    FileDialogs::forgetFolders();
    // A test that runs on a small filesystem of its own keeps its application folder there.
    const QString disk = SmallDisk::folder();
    m_home = disk.isEmpty() ? std::make_unique<QTemporaryDir>()
                            : std::make_unique<QTemporaryDir>(disk + QStringLiteral("/home-XXXXXX"));
    ASSERT_TRUE(m_home->isValid());
    qputenv("POLLIX_HOME", m_home->path().toUtf8());
    m_app = std::make_unique<Orvenda_AppDelegate>(m_home->path());
    Orvenda_AppDelegate::setAppDelegate(m_app.get());
}

void PollixTest::startOn(const QString &folder, bool finishWork)
{
    SingletonRegistry::resetAll();
    Orvenda_AppDelegate::setAppDelegate(nullptr);
    m_app = std::make_unique<Orvenda_AppDelegate>(folder);
    Orvenda_AppDelegate::setAppDelegate(m_app.get());
    QString why;
    if (finishWork) {
        EXPECT_TRUE(DataRecovery::run(&why)) << why.toStdString();
    }
}

LeftAloneList PollixTest::startFinishingOn(const QString &folder)
{
    startOn(folder);
    QString why;
    LeftAloneList found;
    EXPECT_TRUE(DataRecovery::run(&why, nullptr, &found)) << why.toStdString();
    return found;
}

void PollixTest::TearDown()
{
    closeRunWindowsLeftOpen();
    // Work handed on to a thread of its own (the archive of the data a restore replaced) ends
    // in this test's folder.
    FolderWork::waitUntilIdle();
    AtomicFile::setUnsyncedHandler({});
    AtomicFile::refuseChangesIn({}, {});
    DialogHooks::setAlertResponder({});
    DialogHooks::setFileResponder({});
    AtomicFile::setFailureHook({});
    SingletonRegistry::resetAll();
    Orvenda_AppDelegate::setAppDelegate(nullptr);
    m_app.reset();
    m_home.reset();
}

void PollixTest::closeRunWindowsLeftOpen()
{
    // A run window outliving its test would act on the next test's notifications with this
    // test's delegate and stores gone. One closed for good goes now; one left open is this test's
    // fault, and goes too.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (!window->findChild<RunSession *>(QString(), Qt::FindDirectChildrenOnly))
            continue;
        ADD_FAILURE() << "the run window " << window->objectName().toStdString() << " was left open";
        delete window;
    }
}

QString PollixTest::writeFile(const QString &relativePath, const QByteArray &bytes) const
{
    const QString path = home() + relativePath;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return QString();
    f.write(bytes);
    return path;
}

QMap<QString, QByteArray> PollixTest::filesBelow(const QString &folder, bool xmlOnly)
{
    QMap<QString, QByteArray> out;
    const QDir root(folder);
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        if (!xmlOnly || it.fileName().endsWith(QLatin1String(".xml")))
            out.insert(root.relativeFilePath(it.filePath()), readFile(it.filePath()));
    }
    return out;
}

QByteArray PollixTest::readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

QString PollixTest::testDataPath(const QString &relativePath)
{
    return QStringLiteral(POLLIX_TEST_DATA_DIR "/") + relativePath;
}

QByteArray PollixTest::testData(const QString &relativePath)
{
    return readFile(testDataPath(relativePath));
}
