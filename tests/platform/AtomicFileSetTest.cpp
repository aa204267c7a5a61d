#include "platform/AtomicFile.h"
#include "platform/AtomicFileSet.h"
#include "platform/ChangeJournal.h"
#include "platform/ContentHash.h"
#include "platform/FolderHandle.h"
#include "platform/InstanceLock.h"
#include "platform/SideFiles.h"
#include "support/KilledRuns.h"
#include "support/TracedRun.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
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
// What lies in the folder and below it (one level), with each file's bytes.
QMap<QString, QByteArray> contents(const QString &folder)
{
    QMap<QString, QByteArray> out;
    for (const QString &sub : {QString(), QStringLiteral("Classes/")})
        for (const QString &name : QDir(folder + "/" + sub).entryList(QDir::Files | QDir::Hidden))
            out.insert(sub + name, slurp(folder + "/" + sub + name));
    return out;
}

// A change as AtomicFileSet lays it out before its first move: the roster and a class
// replaced, a new class made, an old class removed; the journal in the folder.
QList<ChangeJournal::Step> laidOut(const QString &folder)
{
    QList<ChangeJournal::Step> steps;
    auto step = [&](const QString &rel, const std::optional<QByteArray> &bytes) {
        ChangeJournal::Step s;
        s.target = folder + "/" + rel;
        if (bytes) {
            EXPECT_TRUE(AtomicFile::writeBeside(s.target, SideFiles::Kind::Staged, *bytes, &s.staged));
        }
        if (QFile::exists(s.target)) {
            s.kept = SideFiles::nameBeside(s.target, SideFiles::Kind::Kept);
            EXPECT_EQ(::link(QFile::encodeName(s.target).constData(), QFile::encodeName(s.kept).constData()), 0);
        }
        steps << s;
    };
    step("StudentRoster.xml", "new roster");
    step("Classes/8C.xml", "new class");
    step("Classes/Fresh.xml", "fresh class");
    step("Classes/Gone.xml", std::nullopt);
    return steps;
}
} // namespace

TEST(ChangeJournal, AChangeCutAfterAnyMoveIsFinishedAtTheNextStartInTheDirectionItsJournalSays)
{
    using Files = QMap<QString, QByteArray>;
    const Files before{{"StudentRoster.xml", "old roster"}, {"Classes/8C.xml", "old class"}, {"Classes/Gone.xml", "old gone"}};
    const Files after{{"StudentRoster.xml", "new roster"}, {"Classes/8C.xml", "new class"}, {"Classes/Fresh.xml", "fresh class"}};
    for (const auto direction : {ChangeJournal::Direction::Forward, ChangeJournal::Direction::Back}) {
        for (int done = 0; done <= 4; ++done) {
            QTemporaryDir dir;
            ASSERT_TRUE(QDir(dir.path()).mkpath("Classes"));
            for (auto it = before.begin(); it != before.end(); ++it)
                put(dir.filePath(it.key()), it.value());
            ChangeJournal::setFolder(dir.path());
            const QList<ChangeJournal::Step> steps = laidOut(dir.path());
            QString why;
            const QString journal = ChangeJournal::write(steps, ChangeJournal::Direction::Forward, &why);
            ChangeJournal::setFolder(QString());
            ASSERT_FALSE(journal.isEmpty()) << why.toStdString();
            // The first moves, as a process killed after them made them.
            for (int i = 0; i < done; ++i) {
                const ChangeJournal::Step &s = steps.at(i);
                ASSERT_EQ(s.staged.isEmpty() ? ::unlink(QFile::encodeName(s.target).constData())
                                             : ::rename(QFile::encodeName(s.staged).constData(), QFile::encodeName(s.target).constData()),
                          0);
            }
            int journals = 1;
            if (direction == ChangeJournal::Direction::Back) {
                // A move failed: the journal was turned round before the files were put back.
                ASSERT_EQ(ChangeJournal::write(steps, direction, &why, journal), journal);
            } else {
                // A second copy stands for a start killed while it was finishing the change.
                ASSERT_TRUE(QFile::copy(journal, dir.filePath(".change-0000beef.journal")));
                ++journals;
            }
            EXPECT_EQ(ChangeJournal::finishInterrupted(dir.path(), &why), journals);
            EXPECT_EQ(contents(dir.path()), direction == ChangeJournal::Direction::Forward ? after : before)
                << done << " moves made";
        }
    }
}

TEST(ChangeJournal, AJournalMovesOnlyItsTargetsOwnSideFilesAndAHalfWrittenOneNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("Classes"));
    put(dir.filePath("Classes/8C.xml"), "old class");
    put(dir.filePath("Classes/8C.xml.new-0a0b0c0d"), "new class");
    put(dir.filePath("Notes.txt"), "the teacher's");
    put(dir.filePath("Classes/Gone.xml"), "old gone");
    put(dir.filePath("Classes/Gone.xml.old-00000001"), "old gone");
    // Side files named for another target, and a removal of a file that was not kept.
    put(dir.filePath(".change-11111111.journal"), "Pollix change journal 1\nforward\n"
                                                  "Notes.txt Classes/8C.xml.new-0a0b0c0d -\n"
                                                  "Classes/8C.xml - -\n"
                                                  "end\n");
    // No end: the journal was never written whole.
    put(dir.filePath(".change-22222222.journal"),
        "Pollix change journal 1\nforward\nClasses/Gone.xml - Classes/Gone.xml.old-00000001\n");
    QString why;
    ChangeJournal::finishInterrupted(dir.path(), &why);
    EXPECT_TRUE(why.contains("no journal Pollix wrote")) << why.toStdString();
    EXPECT_EQ(slurp(dir.filePath("Notes.txt")), "the teacher's");
    EXPECT_EQ(slurp(dir.filePath("Classes/8C.xml")), "old class");
    EXPECT_EQ(slurp(dir.filePath("Classes/Gone.xml")), "old gone");
}

TEST(ChangeJournal, AChangeWhoseFilesWereSavedAgainSinceItWasCutShortIsGivenUpAndTheLaterSaveStays)
{
    using Files = QMap<QString, QByteArray>;
    for (const auto direction : {ChangeJournal::Direction::Forward, ChangeJournal::Direction::Back}) {
        QTemporaryDir dir;
        ASSERT_TRUE(QDir(dir.path()).mkpath("Classes"));
        put(dir.filePath("StudentRoster.xml"), "old roster");
        put(dir.filePath("Classes/8C.xml"), "old class");
        put(dir.filePath("Classes/Gone.xml"), "old gone");
        ChangeJournal::setFolder(dir.path());
        QList<ChangeJournal::Step> steps = laidOut(dir.path());
        QString why;
        ASSERT_FALSE(ChangeJournal::write(steps, direction, &why).isEmpty()) << why.toStdString();
        ChangeJournal::setFolder(QString());
        // Cut short before its moves; then a Pollix that did not wait for it saved the class
        // again (forward) or made the removed file anew after the removal (back).
        if (direction == ChangeJournal::Direction::Forward) {
            ASSERT_TRUE(AtomicFile::write(dir.filePath("Classes/8C.xml"), "later class"));
        } else {
            ASSERT_EQ(::unlink(QFile::encodeName(dir.filePath("Classes/Gone.xml")).constData()), 0);
            ASSERT_TRUE(AtomicFile::write(dir.filePath("Classes/Gone.xml"), "made again"));
        }
        EXPECT_EQ(ChangeJournal::finishInterrupted(dir.path(), &why), 0);
        const bool forward = direction == ChangeJournal::Direction::Forward;
        EXPECT_TRUE(why.contains(forward ? "8C.xml was saved again since" : "Gone.xml was made again since")) << why.toStdString();
        EXPECT_TRUE(why.contains("StudentRoster.xml, Classes/8C.xml, Classes/Fresh.xml, Classes/Gone.xml")) << why.toStdString();
        EXPECT_EQ(contents(dir.path()), (Files{{"StudentRoster.xml", "old roster"},
                                               {"Classes/8C.xml", forward ? "later class" : "old class"},
                                               {"Classes/Gone.xml", forward ? "old gone" : "made again"}}))
            << "nothing moved, and the change's journal and side files are gone";
    }
}

TEST_F(AtomicFileSetTest, AFileOfAChangeNotFinishedYetIsNotSavedOverUntilTheChangeIsFinished)
{
    // A change the start could not finish: noted down, no move made.
    ChangeJournal::setFolder(dir.path());
    QList<ChangeJournal::Step> pending;
    for (const QString &path : {roster, klass}) {
        ChangeJournal::Step s{path, {}, SideFiles::nameBeside(path, SideFiles::Kind::Kept)};
        ASSERT_TRUE(AtomicFile::writeBeside(path, SideFiles::Kind::Staged, "pending", &s.staged));
        ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(s.kept).constData()), 0);
        pending << s;
    }
    QString why;
    ASSERT_FALSE(ChangeJournal::write(pending, ChangeJournal::Direction::Forward, &why).isEmpty());
    AtomicFileSet set;
    set.add(fresh, "fresh class");
    set.add(klass, "newer class");
    EXPECT_FALSE(set.commit(&why));
    EXPECT_EQ(set.failedPath(), klass);
    EXPECT_TRUE(why.startsWith("8C.xml: an earlier change of StudentRoster.xml, Classes/8C.xml was cut short")) << why.toStdString();
    EXPECT_FALSE(QFile::exists(fresh));
    // Files outside that change are saved as ever; once it is finished, its files are too.
    AtomicFileSet other;
    other.add(fresh, "fresh class");
    EXPECT_TRUE(other.commit(&why)) << why.toStdString();
    EXPECT_EQ(ChangeJournal::finishInterrupted(dir.path(), &why), 1);
    EXPECT_EQ(slurp(klass), "pending");
    EXPECT_TRUE(set.commit(&why)) << why.toStdString();
    ChangeJournal::setFolder(QString());
    EXPECT_EQ(slurp(klass), "newer class");
}

TEST_F(AtomicFileSetTest, RemovalsGoWithTheOtherFilesAndAFailedMovePutsThemBack)
{
    ChangeJournal::setFolder(dir.path());
    const QString gone = dir.filePath("Classes/Gone.xml");
    put(gone, "old gone");
    AtomicFileSet set;
    set.add(roster, "new roster");
    set.remove(gone);
    set.remove(dir.filePath("Classes/Never.xml")); // not there: nothing to do
    EXPECT_TRUE(set.removes(gone));
    EXPECT_FALSE(set.dataFor(gone));
    QString why;
    ASSERT_TRUE(set.commit(&why)) << why.toStdString();
    EXPECT_EQ(contents(dir.path()), (QMap<QString, QByteArray>{{"StudentRoster.xml", "new roster"}, {"Classes/8C.xml", "old class"}}));

    put(gone, "old gone");
    AtomicFileSet::setMoveFailureHook([this](const QString &p) { return p == klass; });
    AtomicFileSet again;
    again.remove(gone);
    again.add(roster, "newer roster");
    again.add(klass, "newer class");
    EXPECT_FALSE(again.commit(&why));
    ChangeJournal::setFolder(QString());
    EXPECT_EQ(again.failedPath(), klass);
    EXPECT_EQ(contents(dir.path()), (QMap<QString, QByteArray>{{"StudentRoster.xml", "new roster"},
                                                               {"Classes/8C.xml", "old class"},
                                                               {"Classes/Gone.xml", "old gone"}}));
}

TEST(SideFiles, OnlyPollixsOwnNamesAreSideFilesEvenBesideTheLongestNames)
{
    const QString target = QStringLiteral("/data/Classes/8C.xml");
    const QString staged = SideFiles::nameBeside(target, SideFiles::Kind::Staged);
    EXPECT_TRUE(SideFiles::isBeside(staged, target, SideFiles::Kind::Staged));
    EXPECT_FALSE(SideFiles::isBeside(staged, target, SideFiles::Kind::Kept));
    EXPECT_FALSE(SideFiles::isBeside(staged, "/data/Classes/8", SideFiles::Kind::Staged));
    EXPECT_EQ(SideFiles::kindOf("8C.xml.old-0123abcd"), SideFiles::Kind::Kept);
    EXPECT_EQ(SideFiles::kindOf("b.zip.part-ffffffff"), SideFiles::Kind::Part);
    // Names a teacher may give files.
    for (const char *name : {"8C.xml.backup", "8C.xml.new", "8C.xml.new-1234567", "8C.xml.new-ABCDEF12",
                             "8C.xml.tmp-0123456789", ".tmp-01234567", "8C.xml.older-01234567", "8C.xml.AbCdEf"})
        EXPECT_FALSE(SideFiles::kindOf(name)) << name;

    // A name near the longest a file may have still gets side files that can be made.
    QTemporaryDir dir;
    const QString longTarget = dir.filePath(QString(120, QChar(u'\u00FC')) + ".xml");
    const QString longSide = SideFiles::nameBeside(longTarget, SideFiles::Kind::Temporary);
    EXPECT_LE(QFileInfo(longSide).fileName().toUtf8().size(), 255);
    EXPECT_TRUE(SideFiles::isBeside(longSide, longTarget, SideFiles::Kind::Temporary));
    ASSERT_TRUE(AtomicFile::write(longTarget, "long"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

// ---- A change that cannot be taken back, and failing calls at every step ----

TEST_F(AtomicFileSetTest, AMoveThatFailsWhenTheJournalCannotBeTurnedRoundCarriesTheChangeThrough)
{
    ChangeJournal::setFolder(dir.path());
    // The journal's first write goes through; its rewrite saying "back" does not (a full disk).
    int journalWrites = 0;
    AtomicFile::setFailureHook([&](const QString &p) { return p.endsWith(".journal") && ++journalWrites == 2; });
    AtomicFileSet::setMoveFailureHook([this](const QString &p) { return p == klass; });
    AtomicFileSet set = change();
    QString why;
    // Putting files back under a journal that says forward would leave them half undone for the
    // next start to roll forward; the change is carried through instead, and that is a success.
    EXPECT_TRUE(set.commit(&why)) << why.toStdString();
    ChangeJournal::setFolder(QString());
    EXPECT_EQ(journalWrites, 2);
    EXPECT_EQ(contents(dir.path()), (QMap<QString, QByteArray>{{"StudentRoster.xml", "new roster"},
                                                               {"Classes/8C.xml", "new class"},
                                                               {"Classes/Fresh.xml", "fresh class"}}));
}

namespace {
using Files = QMap<QString, QByteArray>;
const Files kBefore{{"StudentRoster.xml", "old roster"}, {"Classes/8C.xml", "old class"}, {"Classes/Gone.xml", "old gone"}};
const Files kAfter{{"StudentRoster.xml", "new roster"}, {"Classes/8C.xml", "new class"}, {"Classes/Fresh.xml", "fresh class"}};

void layOutBefore(const QString &folder)
{
    ASSERT_TRUE(QDir(folder).mkpath("Classes"));
    for (auto it = kBefore.begin(); it != kBefore.end(); ++it)
        put(folder + "/" + it.key(), it.value());
}

// In the child: the change of kBefore into kAfter, with a journal; whether it was reported done.
bool changeInChild(const QString &folder)
{
    ChangeJournal::setFolder(folder);
    AtomicFileSet set;
    set.add(folder + "/StudentRoster.xml", "new roster");
    set.add(folder + "/Classes/8C.xml", "new class");
    set.add(folder + "/Classes/Fresh.xml", "fresh class");
    set.remove(folder + "/Classes/Gone.xml");
    QString why;
    const bool done = set.commit(&why);
    // What the caller was told must be what the next start finds.
    put(folder + (done ? "/reported-done" : "/reported-failed"), why.toUtf8());
    return done;
}

// What the next start finds, with what the caller was told; the files of the report go.
Files nextStart(const QString &folder, bool *reportedDone)
{
    *reportedDone = QFile::remove(folder + "/reported-done");
    QFile::remove(folder + "/reported-failed");
    QString why;
    ChangeJournal::finishInterrupted(folder, &why);
    EXPECT_TRUE(why.isEmpty()) << why.toStdString();
    // Side files a failed removal left once their journal was gone are the start's sweep's.
    SideFiles::removeIn(FolderHandle::open(folder, false), {SideFiles::Kind::Temporary, SideFiles::Kind::Staged, SideFiles::Kind::Kept}, true);
    return contents(folder);
}
} // namespace

TEST_F(AtomicFileSetTest, AChangeWhoseCallsFailAtAnyOneStepIsAllOldOrAllNewAfterTheNextStart)
{
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        changeInChild(folder);
        return;
    }
    int failedAndTold = 0;
    const int failed = KilledRuns::failingAtEveryStep("EIO", layOutBefore, [&](const QString &folder, bool wasFailed) {
        bool reportedDone = false;
        const Files now = nextStart(folder, &reportedDone);
        EXPECT_EQ(now, reportedDone ? kAfter : kBefore) << (wasFailed ? "a call failed" : "no call failed");
        EXPECT_TRUE(reportedDone || wasFailed);
        failedAndTold += !reportedDone;
    });
    EXPECT_GE(failed, 6) << "the journal, the moves, the removals";
    EXPECT_GT(failedAndTold, 0) << "no failed call made the change fail";
}

TEST_F(AtomicFileSetTest, AFailedChangeWhoseJournalCannotBeTurnedRoundIsAllOldOrAllNewWhereverItIsKilled)
{
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        // A move fails, and the journal cannot be rewritten to say the change is taken back.
        AtomicFileSet::setMoveFailureHook([folder](const QString &p) { return p == folder + "/Classes/8C.xml"; });
        int journalWrites = 0;
        AtomicFile::setFailureHook([&](const QString &p) { return p.endsWith(".journal") && ++journalWrites == 2; });
        changeInChild(folder);
        return;
    }
    const int killed = KilledRuns::atEveryStep(layOutBefore, [&](const QString &folder, bool wasKilled) {
        bool reportedDone = false;
        const Files now = nextStart(folder, &reportedDone);
        if (wasKilled) {
            EXPECT_TRUE(now == kAfter || now == kBefore) << "killed run";
        } else {
            // Carried through rather than put back: put back under a journal saying forward,
            // a kill meanwhile would leave it half undone for the next start to roll forward.
            EXPECT_TRUE(reportedDone);
            EXPECT_EQ(now, kAfter);
        }
    });
    EXPECT_GE(killed, 4);
}

// ---- A later save by another writer, after a kill at any step ----

namespace {
// Another program's save of a file of the folder: written whole elsewhere and moved over it
// (mv: a new inode), or copied into it (cp: the bytes written into the file that is there).
// Elsewhere is a folder of the save's own: one beside the folder, in the shared temporary folder,
// would be another test's at the same time.
void savedByMove(const QString &folder, const QString &rel, const QByteArray &bytes)
{
    const QTemporaryDir scratch;
    const QString elsewhere = scratch.filePath("later-" + QFileInfo(rel).fileName());
    put(elsewhere, bytes);
    ASSERT_EQ(QProcess::execute("mv", {elsewhere, folder + "/" + rel}), 0);
}

void savedInPlace(const QString &folder, const QString &rel, const QByteArray &bytes)
{
    const QTemporaryDir scratch;
    const QString target = folder + "/" + rel, elsewhere = scratch.filePath("later-" + QFileInfo(rel).fileName());
    put(elsewhere, bytes);
    struct stat before{}, after{};
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &before), 0);
    ASSERT_EQ(QProcess::execute("cp", {elsewhere, target}), 0);
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &after), 0);
    ASSERT_EQ(before.st_ino, after.st_ino) << "cp wrote into the file that was there";
    QFile::remove(elsewhere);
}

// In the child: a change of the files named (relative to folder), with a journal; whether it
// was reported done.
bool changeOf(const QString &folder, const QList<std::pair<QString, QByteArray>> &files)
{
    ChangeJournal::setFolder(folder);
    AtomicFileSet set;
    for (const auto &[rel, bytes] : files)
        set.add(folder + "/" + rel, bytes);
    return set.commit();
}

// What the journal left in folder says: its direction, or empty when there is none.
QByteArray journalDirection(const QString &folder)
{
    const QStringList journals = QDir(folder).entryList({".change-????????.journal"}, QDir::Files | QDir::Hidden);
    return journals.isEmpty() ? QByteArray() : slurp(folder + "/" + journals.first()).split('\n').value(1);
}

// The next start after the other writer's save: every later save stays whatever the change had
// done; where the change was still noted down, it is given up with the alert saying so.
void expectLaterSaveKept(const QString &folder, const QString &rel, const QByteArray &later, bool noted)
{
    QString why;
    ChangeJournal::finishInterrupted(folder, &why);
    EXPECT_EQ(slurp(folder + "/" + rel), later) << "the later save was undone";
    if (noted) {
        EXPECT_TRUE(why.contains(QFileInfo(rel).fileName() + " was saved again since, and that later save stays"))
            << why.toStdString();
    }
    EXPECT_TRUE(journalDirection(folder).isEmpty()) << "the change stays noted down";
}
} // namespace

namespace {
using OtherWriter = void (*)(const QString &folder, const QString &rel, const QByteArray &bytes);

// The child's change killed at each of its steps; after each kill the other writer saves rel,
// and the next start must keep that save. isCase: whether a kill left what the test is about
// (the alert then names the later save); how many did.
int laterSaveKeptAfterEveryKill(const QString &rel, OtherWriter save, const std::function<bool(const QString &)> &isCase)
{
    int cases = 0;
    KilledRuns::atEveryStep(layOutBefore, [&](const QString &folder, bool) {
        const bool found = isCase(folder);
        cases += found;
        save(folder, rel, "later");
        expectLaterSaveKept(folder, rel, "later", found);
    });
    return cases;
}
} // namespace

TEST_F(AtomicFileSetTest, AFileSavedByAnotherWriterWhileItsChangeWasBeingTakenBackKeepsThatSave)
{
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        // The class file's move fails after the roster got its new bytes: the change is taken back.
        AtomicFileSet::setMoveFailureHook([folder](const QString &p) { return p == folder + "/Classes/8C.xml"; });
        EXPECT_FALSE(changeOf(folder, {{"StudentRoster.xml", "new roster"}, {"Classes/8C.xml", "new class"}}));
        return;
    }
    const int takingBack = laterSaveKeptAfterEveryKill("StudentRoster.xml", savedByMove, [](const QString &folder) {
        EXPECT_EQ(slurp(folder + "/Classes/8C.xml"), "old class");
        return journalDirection(folder) == "back" && slurp(folder + "/StudentRoster.xml") == "new roster";
    });
    EXPECT_GE(takingBack, 1) << "no kill fell while the roster held its new bytes and the change was being taken back";
}

TEST_F(AtomicFileSetTest, AFileSavedInPlaceBeforeItsChangeReplacedItKeepsThatSave)
{
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        EXPECT_TRUE(changeOf(folder, {{"StudentRoster.xml", "new roster"}, {"Classes/8C.xml", "new class"}}));
        return;
    }
    const int notReplacedYet = laterSaveKeptAfterEveryKill("Classes/8C.xml", savedInPlace, [](const QString &folder) {
        return journalDirection(folder) == "forward" && slurp(folder + "/Classes/8C.xml") == "old class";
    });
    EXPECT_GE(notReplacedYet, 1) << "no kill fell after the change was noted down and before the class file's move";
}

TEST_F(AtomicFileSetTest, AFileAChangeMakesSavedByAnotherWriterSinceKeepsThatSave)
{
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        EXPECT_TRUE(changeOf(folder, {{"Classes/Fresh.xml", "fresh class"}, {"StudentRoster.xml", "new roster"}}));
        return;
    }
    int made = 0;
    const int noted = laterSaveKeptAfterEveryKill("Classes/Fresh.xml", savedByMove, [&](const QString &folder) {
        const bool found = !journalDirection(folder).isEmpty();
        made += found && QFile::exists(folder + "/Classes/Fresh.xml");
        return found;
    });
    EXPECT_GT(noted, made) << "no kill fell between the change noted down and the new file's move";
    EXPECT_GE(made, 1) << "no kill fell after the new file's move";
}

TEST(ChangeJournal, AJournalOfTheEarlierFormIsStillFinishedAndSeesTheLaterSavesItCanTell)
{
    // As the earlier version wrote it: names only, no digests.
    const auto layOut = [](const QString &folder) {
        put(folder + "/StudentRoster.xml", "old roster");
        ASSERT_EQ(::link(QFile::encodeName(folder + "/StudentRoster.xml").constData(),
                         QFile::encodeName(folder + "/StudentRoster.xml.old-0000000a").constData()),
                  0);
        put(folder + "/StudentRoster.xml.new-0000000b", "new roster");
        put(folder + "/Fresh.xml.new-0000000c", "fresh class");
        put(folder + "/.change-0000abcd.journal", "Pollix change journal 1\nforward\n"
                                                  "StudentRoster.xml StudentRoster.xml.new-0000000b StudentRoster.xml.old-0000000a\n"
                                                  "Fresh.xml Fresh.xml.new-0000000c -\n"
                                                  "end\n");
    };
    QTemporaryDir plain, made;
    layOut(plain.path());
    QString why;
    EXPECT_EQ(ChangeJournal::finishInterrupted(plain.path(), &why), 1) << why.toStdString();
    EXPECT_EQ(contents(plain.path()), (QMap<QString, QByteArray>{{"StudentRoster.xml", "new roster"}, {"Fresh.xml", "fresh class"}}));

    // A file the change had still to make, there already: a later save.
    layOut(made.path());
    put(made.path() + "/Fresh.xml", "later fresh");
    EXPECT_EQ(ChangeJournal::finishInterrupted(made.path(), &why), 0);
    EXPECT_TRUE(why.contains("Fresh.xml was saved again since, and that later save stays")) << why.toStdString();
    EXPECT_EQ(contents(made.path()), (QMap<QString, QByteArray>{{"StudentRoster.xml", "old roster"}, {"Fresh.xml", "later fresh"}}));
}

TEST(ChangeJournal, AChangeWhoseSideFileNoLongerHoldsWhatItsJournalNotedIsLeftAsItIs)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("Classes"));
    put(dir.filePath("StudentRoster.xml"), "old roster");
    put(dir.filePath("Classes/8C.xml"), "old class");
    put(dir.filePath("Classes/Gone.xml"), "old gone");
    ChangeJournal::setFolder(dir.path());
    const QList<ChangeJournal::Step> steps = laidOut(dir.path());
    QString why;
    ASSERT_FALSE(ChangeJournal::write(steps, ChangeJournal::Direction::Forward, &why).isEmpty()) << why.toStdString();
    ChangeJournal::setFolder(QString());
    put(steps.at(1).staged, "not the new class");
    EXPECT_EQ(ChangeJournal::finishInterrupted(dir.path(), &why), 0);
    EXPECT_TRUE(why.contains(QFileInfo(steps.at(1).staged).fileName() + " no longer holds the bytes its journal noted"))
        << why.toStdString();
    EXPECT_EQ(slurp(dir.filePath("Classes/8C.xml")), "old class");
    EXPECT_EQ(slurp(steps.at(1).staged), "not the new class");
    EXPECT_EQ(journalDirection(dir.path()), "forward") << "the journal stays for the teacher to see";
}

// A change killed at any step once its journal was in place, after which an administrator
// tidying up removed one of its new files, or put the class folder back from a copy made before
// the change: the next start carries the change through only where that file's new bytes are in
// place already; else it puts the whole change back, and its alert names the file missing.
TEST_F(AtomicFileSetTest, AChangeThatLostANewFileAfterAKillIsPutBackWholeAndTheStartSaysSo)
{
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        changeInChild(folder);
        return;
    }
    enum class Tidy { RosterNewFile, ClassNewFile, OlderClassFolder };
    for (const Tidy tidy : {Tidy::RosterNewFile, Tidy::ClassNewFile, Tidy::OlderClassFolder}) {
        int putBack = 0;
        KilledRuns::atEveryStep(layOutBefore, [&](const QString &folder, bool) {
            QString missing;
            if (journalDirection(folder) == "forward") {
                const QString in = folder + (tidy == Tidy::RosterNewFile ? "" : "/Classes");
                const QString name = tidy == Tidy::RosterNewFile ? "StudentRoster.xml" : "8C.xml";
                const QStringList news = QDir(in).entryList({name + ".new-????????"}, QDir::Files | QDir::Hidden);
                if (tidy == Tidy::OlderClassFolder) {
                    ASSERT_TRUE(QDir(folder).rename("Classes", "Classes-after-the-kill") && QDir(folder).mkpath("Classes"));
                    for (const QString &file : {QString("Classes/8C.xml"), QString("Classes/Gone.xml")})
                        put(folder + "/" + file, kBefore.value(file));
                    missing = news.isEmpty() ? QString() : "Classes/" + news.first();
                } else if (!news.isEmpty()) {
                    ASSERT_TRUE(QFile::remove(in + "/" + news.first()));
                    missing = (tidy == Tidy::RosterNewFile ? "" : "Classes/") + news.first();
                }
            }
            QString why;
            ChangeJournal::finishInterrupted(folder, &why);
            QDir(folder + "/Classes-after-the-kill").removeRecursively();
            SideFiles::removeIn(FolderHandle::open(folder, false),
                                {SideFiles::Kind::Temporary, SideFiles::Kind::Staged, SideFiles::Kind::Kept}, true);
            QFile::remove(folder + "/reported-done");
            QFile::remove(folder + "/reported-failed");
            const Files now = contents(folder);
            EXPECT_TRUE(now == kBefore || now == kAfter) << "half a change";
            if (!missing.isEmpty() && now == kBefore) {
                ++putBack;
                EXPECT_TRUE(why.contains("was put back: " + missing + " is missing")) << why.toStdString();
            }
            EXPECT_TRUE(journalDirection(folder).isEmpty()) << "the change stays noted down";
        });
        EXPECT_GT(putBack, 0) << "no kill left a new file to lose";
    }
}

// ---- What a change notes of the file it replaces ----

namespace {
// The digest of the old bytes the journal in folder notes for the file called name.
QByteArray oldDigestNoted(const QString &folder, const QString &name)
{
    const QStringList journals = QDir(folder).entryList({".change-????????.journal"}, QDir::Files | QDir::Hidden);
    for (const QByteArray &line : slurp(folder + "/" + journals.value(0)).split('\n'))
        if (line.startsWith(name.toUtf8() + ' '))
            return line.split(' ').value(4);
    return "(not noted)";
}

// Until the file system's clock has moved past the file's last change: a write by another program
// in the very tick of Pollix's own is the one a file's stamp cannot tell.
void clockPastChangeOf(const QString &path)
{
    struct stat st{};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    for (timespec now{}; ::clock_gettime(CLOCK_REALTIME_COARSE, &now) == 0 &&
                         (now.tv_sec < st.st_ctim.tv_sec || (now.tv_sec == st.st_ctim.tv_sec && now.tv_nsec <= st.st_ctim.tv_nsec));)
        ::usleep(1000);
}
} // namespace

TEST_F(AtomicFileSetTest, TheOldBytesAChangeNotesAreThoseOnTheDiskWhoeverWroteThemLast)
{
    ChangeJournal::setFolder(dir.path());
    const auto reset = qScopeGuard([] { ChangeJournal::setFolder(QString()); });
    // The journal is on the disk before the first move.
    QByteArray noted;
    AtomicFileSet::setMoveFailureHook([&](const QString &) {
        noted = oldDigestNoted(dir.path(), "StudentRoster.xml");
        return false;
    });
    const auto save = [&](const QByteArray &bytes) {
        AtomicFileSet set;
        set.add(roster, bytes);
        EXPECT_TRUE(set.commit());
        return noted.toStdString();
    };
    const auto digestOf = [](const QByteArray &bytes) { return ContentHash::of(bytes).toStdString(); };
    EXPECT_EQ(save("roster 1"), digestOf("old roster"));
    EXPECT_EQ(save("roster 2"), digestOf("roster 1")) << "what Pollix wrote itself";

    // Written into by another program, the same size, its modification time set back.
    struct stat saved{};
    ASSERT_EQ(::stat(QFile::encodeName(roster).constData(), &saved), 0);
    clockPastChangeOf(roster);
    {
        QFile file(roster);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.write("ROSTER 2");
    }
    const timespec times[2] = {saved.st_atim, saved.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(roster).constData(), times, 0), 0);
    EXPECT_EQ(save("roster 3"), digestOf("ROSTER 2"));

    // Replaced by another file of the same size and time.
    ASSERT_EQ(::stat(QFile::encodeName(roster).constData(), &saved), 0);
    const QString elsewhere = dir.filePath("elsewhere");
    put(elsewhere, "Roster 3");
    const timespec same[2] = {saved.st_atim, saved.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(elsewhere).constData(), same, 0), 0);
    ASSERT_EQ(::rename(QFile::encodeName(elsewhere).constData(), QFile::encodeName(roster).constData()), 0);
    EXPECT_EQ(save("roster 4"), digestOf("Roster 3"));
}

namespace {
// The roster and a class, as the changes below find them in the application folder.
const QStringList kChanged{"Data/StudentRoster.xml", "Data/Classes/8C.xml"};

// In the child: holds folder and changes both files, stopping itself right before its move
// number stopAt (from 1); the commit's answer and why.
bool changeStoppedBeforeMove(const QString &folder, int stopAt, QString *why)
{
    ChangeJournal::setFolder(folder + "/Data");
    InstanceLock lock(folder, folder + "/Data");
    EXPECT_EQ(lock.take(), InstanceLock::Outcome::Taken);
    int moves = 0;
    AtomicFileSet::setMoveFailureHook([&](const QString &) {
        if (++moves == stopAt)
            TracedRun::stopHere(folder);
        return false;
    });
    AtomicFileSet set;
    for (const QString &file : kChanged)
        set.add(folder + "/" + file, "new " + file.toUtf8());
    const bool done = set.commit(why);
    AtomicFileSet::setMoveFailureHook({});
    ChangeJournal::setFolder(QString());
    return done;
}

// An application folder in home holding the old roster and class; its real path.
QString folderOfOldFiles(const QTemporaryDir &home)
{
    const QString root = QFileInfo(home.path()).canonicalFilePath();
    EXPECT_TRUE(QDir(root).mkpath("Data/Classes"));
    for (const QString &file : kChanged)
        put(root + "/" + file, "old " + file.toUtf8());
    return root;
}

// No journal and no side file left beside the two files.
void expectNoSideFiles(const QString &root, const std::string &label)
{
    EXPECT_EQ(QDir(root + "/Data").entryList(QDir::Files | QDir::Hidden), QStringList{"StudentRoster.xml"})
        << label << ": no journal, no side file";
    EXPECT_EQ(QDir(root + "/Data/Classes").entryList(QDir::Files | QDir::Hidden), QStringList{"8C.xml"}) << label;
}
} // namespace

// A Pollix stopped (for real) in the middle of a change of the roster and a class, once the change
// was noted down, while its lock file went and another start took the folder and finished the
// change as every start does: woken, it says that another Pollix has the folder, and puts nothing
// back over the finished change (no "No such file or directory" of the files the other moved).
TEST(AtomicFileSetOnATakenFolder, AChangeStoppedWhileAnotherStartFinishedItSaysSoAndPutsNothingBack)
{
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        QString why;
        EXPECT_FALSE(changeStoppedBeforeMove(folder, 1, &why));
        EXPECT_TRUE(why.contains("Another Pollix on this computer")) << why.toStdString();
        return;
    }
    QTemporaryDir home;
    const QString root = folderOfOldFiles(home);
    const TracedRun::Outcome run = TracedRun::runTakenWhileStopped(root, [&] {
        // As the other start does before anything else.
        QString why;
        ChangeJournal::finishInterrupted(root + "/Data", &why);
        EXPECT_TRUE(why.isEmpty()) << why.toStdString();
    });
    EXPECT_TRUE(run.passed) << run.output.toStdString();
    for (const QString &file : kChanged)
        EXPECT_EQ(slurp(root + "/" + file), "new " + file.toUtf8());
    expectNoSideFiles(root, "finished by the other");
}

// The same change stopped (for real) between its two moves, while another start took the folder,
// finished the change from its journal and ended (in one case saving the roster again first):
// woken, it is done where every file holds what it wrote, and says that another start carried it
// on where a file holds a save made since, which stays. Nothing is put back or noted again.
TEST(AtomicFileSetOnATakenFolder, AChangeStoppedBetweenItsMovesThatAnotherStartFinishedAndLeftIsDoneOrSaysWhatCameSince)
{
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        QString why;
        const bool done = changeStoppedBeforeMove(folder, 2, &why);
        if (slurp(folder + "/case") == "saved since") {
            EXPECT_FALSE(done);
            EXPECT_TRUE(why.contains("another start of Pollix carried this change on from its journal while this Pollix "
                                     "was stopped, and StudentRoster.xml holds another save since, which stays"))
                << why.toStdString();
        } else {
            EXPECT_TRUE(done) << why.toStdString();
        }
        return;
    }
    for (const QByteArray which : {"finished", "saved since"}) {
        QTemporaryDir home;
        const QString root = folderOfOldFiles(home);
        put(root + "/case", which);
        const TracedRun::Outcome run = TracedRun::runTakenWhileStopped(
            root,
            [&] {
                QString why;
                EXPECT_EQ(ChangeJournal::finishInterrupted(root + "/Data", &why), 1) << why.toStdString();
                if (which == "saved since") {
                    EXPECT_TRUE(AtomicFile::write(root + "/Data/StudentRoster.xml", "theirs"));
                }
            },
            true);
        EXPECT_TRUE(run.passed) << which.toStdString() << ": " << run.output.toStdString();
        EXPECT_EQ(slurp(root + "/Data/StudentRoster.xml"), which == "saved since" ? "theirs" : "new Data/StudentRoster.xml");
        EXPECT_EQ(slurp(root + "/Data/Classes/8C.xml"), "new Data/Classes/8C.xml");
        expectNoSideFiles(root, which.toStdString());
    }
}

// ---- Every move in the folder held open ----

// The class folder swapped for a link to a copy of it elsewhere (side files and all) right before
// the class file's move: the change lands in the class folder it began in, wherever that now is,
// and nothing the link leads to is replaced or removed.
TEST_F(AtomicFileSetTest, AClassFolderSwappedForALinkBeforeItsMoveLeadsNothingElsewhere)
{
    ChangeJournal::setFolder(dir.path());
    const auto reset = qScopeGuard([] { ChangeJournal::setFolder(QString()); });
    QTemporaryDir outside;
    AtomicFileSet::setMoveFailureHook([&](const QString &path) {
        if (path != klass)
            return false;
        EXPECT_TRUE(QDir(dir.path()).rename("Classes", "Classes-moved"));
        for (const QString &name : QDir(dir.filePath("Classes-moved")).entryList(QDir::Files | QDir::Hidden))
            EXPECT_TRUE(QFile::copy(dir.filePath("Classes-moved/" + name), outside.filePath(name)));
        EXPECT_TRUE(QFile::link(outside.path(), dir.filePath("Classes")));
        return false;
    });
    AtomicFileSet set;
    set.add(roster, "new roster");
    set.add(klass, "new class");
    QString why;
    EXPECT_TRUE(set.commit(&why)) << why.toStdString();
    ASSERT_EQ(contents(outside.path()).value("8C.xml"), "old class") << "replaced through the link";
    EXPECT_EQ(contents(outside.path()).size(), 3) << "the class file and its two side files, as copied";
    EXPECT_EQ(slurp(roster), "new roster");
    EXPECT_EQ(QDir(dir.filePath("Classes-moved")).entryList(QDir::Files | QDir::Hidden), QStringList{"8C.xml"});
    EXPECT_EQ(slurp(dir.filePath("Classes-moved/8C.xml")), "new class");
}

// ---- A disk without second names (FAT, exFAT, some network shares) ----

// Where hard links are refused, each old file is kept as a synced copy: a change lands, a failed
// move puts the copies back, and a kill at any step leaves it all old or all new after the next
// start, as with second names.
TEST_F(AtomicFileSetTest, OnADiskWithoutSecondNamesAChangeKeepsCopiesAndIsAllOldOrAllNewWhereverItIsKilled)
{
    FolderHandle::setRefusalsForTesting({.hardLinks = true});
    const auto reset = qScopeGuard([] {
        FolderHandle::setRefusalsForTesting({});
        ChangeJournal::setFolder(QString());
    });
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        changeInChild(folder);
        return;
    }
    AtomicFileSet::setMoveFailureHook([this](const QString &p) { return p == klass; });
    QString why;
    for (const bool journalled : {false, true}) {
        ChangeJournal::setFolder(journalled ? dir.path() : QString());
        EXPECT_FALSE(change().commit(&why));
        expectUntouched();
    }
    AtomicFileSet::setMoveFailureHook({});
    EXPECT_TRUE(change().commit(&why)) << why.toStdString();
    EXPECT_EQ(contents(dir.path()), (Files{{"StudentRoster.xml", "new roster"}, {"Classes/8C.xml", "new class"}, {"Classes/Fresh.xml", "fresh class"}}));

    const int killed = KilledRuns::atEveryStep(layOutBefore, [&](const QString &folder, bool wasKilled) {
        bool reportedDone = false;
        const Files now = nextStart(folder, &reportedDone);
        if (wasKilled)
            EXPECT_TRUE(now == kAfter || now == kBefore) << "killed run";
        else
            EXPECT_TRUE(reportedDone && now == kAfter);
    });
    EXPECT_GE(killed, 4);
}

// The side files of a change found where no journal names them (removed by hand after a kill):
// the old bytes of each file the change had moved (replaced or removed) are named with the way
// back where the change's moves were cut short (new bytes not in place, or old bytes still the
// file in place, beside them), and nothing is named where none was made yet or all were. On a
// disk with second names and on one without, and beside a file whose side files' names are cut
// short to fit.
TEST(ChangeJournal, TheOldBytesOfWhatAChangeCutShortMovedAreNamedWhereItsJournalIsGone)
{
    // 244 bytes: its side files' names are cut short to 255.
    const QString longName = QString(120, QChar(0x00e9)) + QStringLiteral(".xml");
    enum class Side { Before, Exchanged, Moved, Gone }; // of a target: as the change left it
    struct Case
    {
        const char *label;
        QList<std::pair<QString, Side>> targets;
        bool copies; // old bytes kept as copies (a disk without second names)
        QStringList named; // the old bytes named, by target
    };
    const Case cases[] = {
        {"no move made", {{"StudentRoster.xml", Side::Before}, {"8C.xml", Side::Before}}, false, {}},
        {"the roster exchanged", {{"StudentRoster.xml", Side::Exchanged}, {"8C.xml", Side::Before}}, false, {"StudentRoster.xml"}},
        {"the roster moved", {{"StudentRoster.xml", Side::Moved}, {"8C.xml", Side::Before}}, false, {"StudentRoster.xml"}},
        {"a file removed", {{"Gone.xml", Side::Gone}, {"8C.xml", Side::Before}}, false, {"Gone.xml"}},
        {"every move made", {{"StudentRoster.xml", Side::Moved}, {"8C.xml", Side::Exchanged}}, false, {}},
        {"copies, the roster moved", {{"StudentRoster.xml", Side::Moved}, {"8C.xml", Side::Before}}, true, {"StudentRoster.xml"}},
        {"copies, no move made", {{"StudentRoster.xml", Side::Before}, {"8C.xml", Side::Before}}, true, {}},
        {"a long name moved", {{longName, Side::Moved}, {"8C.xml", Side::Before}}, false, {longName}},
        {"a long name not moved", {{"StudentRoster.xml", Side::Moved}, {longName, Side::Before}}, false, {"StudentRoster.xml"}},
    };
    for (const Case &c : cases) {
        QTemporaryDir dir;
        QStringList olds;
        for (const auto &[name, side] : c.targets) {
            const QString target = dir.filePath(name);
            const QString old = SideFiles::nameBeside(target, SideFiles::Kind::Kept);
            const QString staged = SideFiles::nameBeside(target, SideFiles::Kind::Staged);
            put(target, "old " + name.toUtf8());
            if (c.copies)
                put(old, "old " + name.toUtf8());
            else
                ASSERT_EQ(::link(QFile::encodeName(target).constData(), QFile::encodeName(old).constData()), 0) << c.label;
            olds << old;
            if (side != Side::Gone)
                put(staged, "new " + name.toUtf8());
            if (side == Side::Gone) {
                ASSERT_TRUE(QFile::remove(target));
            } else if (side == Side::Exchanged) {
                ASSERT_EQ(::renameat2(AT_FDCWD, QFile::encodeName(staged).constData(), AT_FDCWD,
                                      QFile::encodeName(target).constData(), RENAME_EXCHANGE),
                          0);
            } else if (side == Side::Moved) {
                ASSERT_TRUE(QFile::remove(target) && QFile::rename(staged, target));
            }
        }
        QStringList named;
        for (const LeftAlone &found : ChangeJournal::cutShortWithoutJournal(FolderHandle::open(dir.path(), false), {})) {
            const QString target = c.targets.value(olds.indexOf(found.path)).first;
            named << target;
            EXPECT_TRUE(found.text.startsWith(found.path + " holds what " + target + " held")) << found.text.toStdString();
            const bool gone = !QFileInfo::exists(dir.filePath(target));
            EXPECT_TRUE(found.text.endsWith(gone ? "give this file the name " + target : "put this file in its place"))
                << c.label << ": " << found.text.toStdString();
        }
        EXPECT_EQ(named, c.named) << c.label;
    }
}
