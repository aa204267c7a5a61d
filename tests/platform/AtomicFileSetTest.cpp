#include "platform/AtomicFile.h"
#include "platform/AtomicFileSet.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
QByteArray slurp(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

void put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A roster beside a class folder, as the data folder has them; "Fresh.xml" does not exist yet.
class AtomicFileSetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("Classes")));
        roster = dir.filePath(QStringLiteral("StudentRoster.xml"));
        klass = dir.filePath(QStringLiteral("Classes/8C.xml"));
        fresh = dir.filePath(QStringLiteral("Classes/Fresh.xml"));
        put(roster, "old roster");
        put(klass, "old class");
    }
    void TearDown() override
    {
        AtomicFile::setFailureHook({});
        AtomicFileSet::setMoveFailureHook({});
    }
    AtomicFileSet change() const
    {
        AtomicFileSet set;
        set.add(roster, "new roster");
        set.add(fresh, "fresh class");
        set.add(klass, "first try");
        set.add(klass, "new class");
        return set;
    }
    void expectUntouched() const
    {
        EXPECT_EQ(slurp(roster), "old roster");
        EXPECT_EQ(slurp(klass), "old class");
        EXPECT_FALSE(QFile::exists(fresh));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"StudentRoster.xml"}) << "no side files";
        EXPECT_EQ(QDir(dir.filePath("Classes")).entryList(QDir::Files), QStringList{"8C.xml"}) << "no side files";
    }

    QTemporaryDir dir;
    QString roster, klass, fresh;
};
} // namespace

TEST_F(AtomicFileSetTest, AllFilesLandTogetherAndTheLastBytesAddedForAPathWin)
{
    AtomicFileSet set = change();
    EXPECT_EQ(set.paths().size(), 3);
    QString why;
    ASSERT_TRUE(set.commit(&why)) << why.toStdString();
    EXPECT_EQ(slurp(roster), "new roster");
    EXPECT_EQ(slurp(klass), "new class");
    EXPECT_EQ(slurp(fresh), "fresh class");
    EXPECT_EQ(QDir(dir.filePath("Classes")).entryList(QDir::Files), (QStringList{"8C.xml", "Fresh.xml"}));
}

TEST_F(AtomicFileSetTest, AWriteThatFailsAfterOthersWereWrittenChangesNoFile)
{
    AtomicFile::setFailureHook([this](const QString &p) { return p == klass; });
    AtomicFileSet set = change();
    QString why;
    EXPECT_FALSE(set.commit(&why));
    EXPECT_TRUE(why.startsWith("8C.xml: ")) << why.toStdString();
    expectUntouched();
}

TEST_F(AtomicFileSetTest, AMoveThatFailsPutsTheEarlierMovesBack)
{
    // The last file's move fails after the roster and the new class file were in place.
    AtomicFileSet::setMoveFailureHook([this](const QString &p) { return p == klass; });
    AtomicFileSet set = change();
    QString why;
    EXPECT_FALSE(set.commit(&why));
    EXPECT_FALSE(why.isEmpty());
    expectUntouched();
}

TEST_F(AtomicFileSetTest, AFolderThatCannotBeMadeStopsTheChangeBeforeAnyFile)
{
    put(dir.filePath("NotAFolder"), "x");
    AtomicFileSet set;
    set.add(roster, "new roster");
    set.add(dir.filePath("NotAFolder/8D.xml"), "class");
    EXPECT_FALSE(set.commit());
    EXPECT_EQ(slurp(roster), "old roster");
}
