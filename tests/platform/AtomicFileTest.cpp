#include "platform/AtomicFile.h"
#include "platform/Singleton.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
QByteArray slurp(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

TEST(AtomicFile, InterruptedWriteLeavesOldFileWholeAndNoLeftovers)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Class.xml"));
    ASSERT_TRUE(AtomicFile::write(path, "old contents"));

    AtomicFile::setFailureHook([](const QString &) { return true; });
    QString why;
    EXPECT_FALSE(AtomicFile::write(path, "new contents that never land", &why));
    AtomicFile::setFailureHook({});
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(slurp(path), QByteArray("old contents"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Class.xml")});

    EXPECT_TRUE(AtomicFile::write(path, "new"));
    EXPECT_EQ(slurp(path), QByteArray("new"));
}

TEST(AtomicFile, ReportsFailureWhenFolderIsMissingOrPathIsAFolder)
{
    QTemporaryDir dir;
    EXPECT_FALSE(AtomicFile::write(dir.filePath(QStringLiteral("no/such/folder/file.xml")), "x"));
    EXPECT_FALSE(AtomicFile::write(dir.path(), "x"));
    EXPECT_FALSE(AtomicFile::write(QString(), "x"));
}

namespace {
struct Counted
{
    static inline int alive = 0;
    Counted() { ++alive; }
    ~Counted() { --alive; }
};
} // namespace

TEST(Singleton, CreatedOnceAndResetForTests)
{
    SingletonRegistry::resetAll();
    Counted *a = Singleton<Counted>::instance();
    EXPECT_EQ(a, Singleton<Counted>::instance());
    EXPECT_EQ(Counted::alive, 1);
    SingletonRegistry::resetAll();
    EXPECT_EQ(Counted::alive, 0);
    EXPECT_FALSE(Singleton<Counted>::exists());
    Singleton<Counted>::instance();
    EXPECT_EQ(Counted::alive, 1);
    SingletonRegistry::resetAll();
}
