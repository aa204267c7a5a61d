#include "platform/AtomicFile.h"
#include "platform/AtomicFileSet.h"
#include "platform/ChangeJournal.h"
#include "platform/SideFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

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

// ---- The journal of a change, and the side files ----

namespace {
QStringList filesBelow(const QString &folder)
{
    QStringList out;
    const QDir root(folder);
    for (const QString &sub : {QString(), QStringLiteral("Classes")})
        for (const QString &name : QDir(root.filePath(sub)).entryList(QDir::Files | QDir::Hidden, QDir::Name))
            out << (sub.isEmpty() ? name : sub + QLatin1Char('/') + name);
    return out;
}

// A change as AtomicFileSet lays it out before its first move: the roster and a class
// replaced, a new class made, an old class removed; the journal in the data folder.
class ChangeJournalTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("Classes")));
        put(path("StudentRoster.xml"), "old roster");
        put(path("Classes/8C.xml"), "old class");
        put(path("Classes/Gone.xml"), "old gone");
        ChangeJournal::setFolder(dir.path());
    }
    void TearDown() override { ChangeJournal::setFolder(QString()); }

    QString path(const QString &relative) const { return dir.filePath(relative); }

    QList<ChangeJournal::Step> laidOut()
    {
        QList<ChangeJournal::Step> steps;
        auto replace = [&](const QString &rel, const QByteArray &bytes) {
            ChangeJournal::Step s;
            s.target = path(rel);
            EXPECT_TRUE(AtomicFile::writeBeside(s.target, SideFiles::Kind::Staged, bytes, &s.staged));
            if (QFile::exists(s.target)) {
                s.kept = SideFiles::nameBeside(s.target, SideFiles::Kind::Kept);
                EXPECT_EQ(::link(QFile::encodeName(s.target).constData(), QFile::encodeName(s.kept).constData()), 0);
            }
            steps << s;
        };
        replace("StudentRoster.xml", "new roster");
        replace("Classes/8C.xml", "new class");
        replace("Classes/Fresh.xml", "fresh class");
        ChangeJournal::Step gone;
        gone.target = path("Classes/Gone.xml");
        gone.kept = SideFiles::nameBeside(gone.target, SideFiles::Kind::Kept);
        EXPECT_EQ(::link(QFile::encodeName(gone.target).constData(), QFile::encodeName(gone.kept).constData()), 0);
        steps << gone;
        return steps;
    }
    // The first done moves of the change, as a process killed after them made them.
    static void moveFirst(const QList<ChangeJournal::Step> &steps, int done)
    {
        for (int i = 0; i < done; ++i) {
            const ChangeJournal::Step &s = steps.at(i);
            if (s.staged.isEmpty())
                ASSERT_TRUE(QFile::remove(s.target));
            else
                ASSERT_EQ(::rename(QFile::encodeName(s.staged).constData(), QFile::encodeName(s.target).constData()), 0);
        }
    }
    void expectNew() const
    {
        EXPECT_EQ(slurp(path("StudentRoster.xml")), "new roster");
        EXPECT_EQ(slurp(path("Classes/8C.xml")), "new class");
        EXPECT_EQ(slurp(path("Classes/Fresh.xml")), "fresh class");
        EXPECT_EQ(filesBelow(dir.path()), (QStringList{"StudentRoster.xml", "Classes/8C.xml", "Classes/Fresh.xml"}));
    }
    void expectOld() const
    {
        EXPECT_EQ(slurp(path("StudentRoster.xml")), "old roster");
        EXPECT_EQ(slurp(path("Classes/8C.xml")), "old class");
        EXPECT_EQ(slurp(path("Classes/Gone.xml")), "old gone");
        EXPECT_EQ(filesBelow(dir.path()), (QStringList{"StudentRoster.xml", "Classes/8C.xml", "Classes/Gone.xml"}));
    }

    QTemporaryDir dir;
};
} // namespace

TEST_F(ChangeJournalTest, AChangeCutAfterAnyMoveIsFinishedForwardAndTwiceIsLikeOnce)
{
    for (int done = 0; done <= 4; ++done) {
        SetUp();
        const QList<ChangeJournal::Step> steps = laidOut();
        QString why;
        const QString journal = ChangeJournal::write(steps, ChangeJournal::Direction::Forward, &why);
        ASSERT_FALSE(journal.isEmpty()) << why.toStdString();
        moveFirst(steps, done);

        // A copy of the journal stands for a start killed while it was finishing the change.
        ASSERT_TRUE(QFile::copy(journal, path(".change-0000beef.journal")));
        EXPECT_EQ(ChangeJournal::finishInterrupted(dir.path(), &why), 2) << "after " << done << " moves";
        EXPECT_TRUE(why.isEmpty()) << why.toStdString();
        expectNew();
        for (const QString &f : QDir(path("Classes")).entryList(QDir::Files))
            QFile::remove(path("Classes/" + f));
        QFile::remove(path("StudentRoster.xml"));
    }
}

TEST_F(ChangeJournalTest, AChangeBeingTakenBackIsTakenBackWholeAtTheNextStart)
{
    for (int done = 0; done <= 4; ++done) {
        SetUp();
        const QList<ChangeJournal::Step> steps = laidOut();
        QString why;
        const QString journal = ChangeJournal::write(steps, ChangeJournal::Direction::Forward, &why);
        moveFirst(steps, done);
        // A move failed; the journal was turned round, then the process was killed.
        ASSERT_EQ(ChangeJournal::write(steps, ChangeJournal::Direction::Back, &why, journal), journal);
        EXPECT_EQ(ChangeJournal::finishInterrupted(dir.path()), 1);
        expectOld();
        for (const QString &f : QDir(path("Classes")).entryList(QDir::Files))
            QFile::remove(path("Classes/" + f));
        QFile::remove(path("StudentRoster.xml"));
    }
}

TEST_F(ChangeJournalTest, AJournalMovesOnlyItsTargetsOwnSideFilesAndAHalfWrittenOneNothing)
{
    put(path("Classes/8C.xml.new-0a0b0c0d"), "new class");
    put(path("Notes.txt"), "the teacher's");
    put(path("Classes/Gone.xml.old-00000001"), "old gone");
    // Side files named for another target; a removal of a file not kept.
    QByteArray forged = "Pollix change journal 1\nforward\n"
                        "Notes.txt Classes/8C.xml.new-0a0b0c0d -\n"
                        "Classes/8C.xml - -\n"
                        "end\n";
    put(path(".change-11111111.journal"), forged);
    put(path(".change-22222222.journal"), "Pollix change journal 1\nforward\nClasses/Gone.xml - Classes/Gone.xml.old-00000001\n");
    QString why;
    ChangeJournal::finishInterrupted(dir.path(), &why);
    EXPECT_TRUE(why.contains("no journal Pollix wrote")) << why.toStdString();
    EXPECT_EQ(slurp(path("Notes.txt")), "the teacher's");
    EXPECT_EQ(slurp(path("Classes/8C.xml")), "old class");
    EXPECT_EQ(slurp(path("Classes/Gone.xml")), "old gone");
}

TEST_F(ChangeJournalTest, ACommitRemovesFilesWithTheOthersAndLeavesNoJournalOrSideFile)
{
    AtomicFileSet set;
    set.add(path("StudentRoster.xml"), "new roster");
    set.remove(path("Classes/Gone.xml"));
    set.remove(path("Classes/Never.xml")); // not there: nothing to do
    set.add(path("Classes/8C.xml"), "new class");
    EXPECT_TRUE(set.removes(path("Classes/Gone.xml")));
    EXPECT_FALSE(set.dataFor(path("Classes/Gone.xml")));
    QString why;
    ASSERT_TRUE(set.commit(&why)) << why.toStdString();
    EXPECT_EQ(filesBelow(dir.path()), (QStringList{"StudentRoster.xml", "Classes/8C.xml"}));
    EXPECT_EQ(slurp(path("Classes/8C.xml")), "new class");

    // A move that fails puts back the removal and the replacements made before it.
    put(path("Classes/Gone.xml"), "old gone");
    AtomicFileSet::setMoveFailureHook([this](const QString &p) { return p == path("Classes/8C.xml"); });
    AtomicFileSet again;
    again.remove(path("Classes/Gone.xml"));
    again.add(path("StudentRoster.xml"), "newer roster");
    again.add(path("Classes/8C.xml"), "newer class");
    EXPECT_FALSE(again.commit(&why));
    AtomicFileSet::setMoveFailureHook({});
    EXPECT_EQ(again.failedPath(), path("Classes/8C.xml"));
    EXPECT_EQ(slurp(path("Classes/Gone.xml")), "old gone");
    EXPECT_EQ(slurp(path("StudentRoster.xml")), "new roster");
    EXPECT_EQ(filesBelow(dir.path()), (QStringList{"StudentRoster.xml", "Classes/8C.xml", "Classes/Gone.xml"}));
}

TEST(SideFiles, OnlyPollixsOwnNamesAreSideFilesAndOnlyTheyAreRemoved)
{
    QTemporaryDir dir;
    const QDir root(dir.path());
    ASSERT_TRUE(root.mkpath("Data/Classes"));
    ASSERT_TRUE(root.mkpath("Elsewhere"));
    const QString target = root.filePath("Data/Classes/8C.xml");
    const QString staged = SideFiles::nameBeside(target, SideFiles::Kind::Staged);
    EXPECT_TRUE(SideFiles::isBeside(staged, target, SideFiles::Kind::Staged));
    EXPECT_FALSE(SideFiles::isBeside(staged, target, SideFiles::Kind::Kept));
    EXPECT_FALSE(SideFiles::isBeside(staged, root.filePath("Data/Classes/8"), SideFiles::Kind::Staged));
    EXPECT_EQ(SideFiles::kindOf("8C.xml.old-0123abcd"), SideFiles::Kind::Kept);
    EXPECT_EQ(SideFiles::kindOf("b.zip.part-ffffffff"), SideFiles::Kind::Part);
    // Names a teacher may give files.
    for (const char *name : {"8C.xml.backup", "8C.xml.new", "8C.xml.new-1234567", "8C.xml.new-ABCDEF12",
                             "8C.xml.tmp-0123456789", ".tmp-01234567", "8C.xml.older-01234567", "8C.xml.AbCdEf"})
        EXPECT_FALSE(SideFiles::kindOf(name)) << name;

    // A name near the longest a file may have still gets side files that can be made.
    const QString longTarget = root.filePath("Data/" + QString(120, QChar(u'\u00FC')) + ".xml");
    const QString longSide = SideFiles::nameBeside(longTarget, SideFiles::Kind::Temporary);
    EXPECT_LE(QFileInfo(longSide).fileName().toUtf8().size(), 255);
    EXPECT_TRUE(SideFiles::isBeside(longSide, longTarget, SideFiles::Kind::Temporary));
    ASSERT_TRUE(AtomicFile::write(longTarget, "long"));

    const QStringList leftovers{"Data/Classes/8C.xml.new-0a0b0c0d", "Data/Classes/8C.xml.old-00000001",
                                "Data/StudentRoster.xml.tmp-deadbeef"};
    const QStringList kept{"Data/Classes/8C.xml", "Data/Classes/8C.xml.backup", "Data/Classes/8C.xml.new-1234567",
                           "Data/notes.tmp-DEADBEEF", "Elsewhere/x.xml.new-0a0b0c0d"};
    for (const QString &rel : leftovers + kept)
        put(root.filePath(rel), "x");
    // Through a link the sweep does not go.
    ASSERT_TRUE(QFile::link(root.filePath("Elsewhere"), root.filePath("Data/Link")));
    QStringList removed = SideFiles::removeIn(root.filePath("Data"), {SideFiles::Kind::Staged, SideFiles::Kind::Kept,
                                                                      SideFiles::Kind::Temporary}, true);
    removed.sort();
    QStringList expected;
    for (const QString &rel : leftovers)
        expected << root.filePath(rel);
    expected.sort();
    EXPECT_EQ(removed, expected);
    for (const QString &rel : kept)
        EXPECT_TRUE(QFile::exists(root.filePath(rel))) << rel.toStdString();
    EXPECT_TRUE(QFile::exists(longTarget));
}
