// A swap record (".Data.swap-<8 hex digits>.journal") found at start never costs data: it is
// carried through only when its new folder is a restore's data staged whole, and whatever it
// sets aside is kept in Backups, where the teacher is told to find it.
#include "StoreTestBase.h"

#include "core/store/DataRecovery.h"
#include "platform/FolderHandle.h"
#include "platform/FolderMark.h"
#include "support/TracedRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <sys/stat.h>

namespace {
using Files = QMap<QString, QByteArray>;

const Files kOld{{"StudentRoster.xml", "<Students>the roster</Students>"},
                 {"Classes/8C.xml", "<ClassRoom>8C</ClassRoom>"},
                 {"Classes/9A.xml", "<ClassRoom>9A</ClassRoom>"},
                 {"UserList.xml", "<Users>old</Users>"}};
const Files kRestored{{"StudentRoster.xml", "<Students>restored</Students>"}, {"UserList.xml", "<Users>restored</Users>"}};
const QByteArray kJournal = "Pollix folder swap 1\nData\nData.restore-abcdef\nData.old-abcdef\nend\n";
const QString kKept = QStringLiteral("Backups/Before restore 2012-03-23 14-07-09");

class SwapRecordTest : public StoreTestBase
{
protected:
    void writeTree(const QString &folder, const Files &files) const
    {
        QDir(home()).mkpath(folder);
        for (auto it = files.begin(); it != files.end(); ++it)
            writeFile(folder + "/" + it.key(), it.value());
    }
    QStringList beside() const
    {
        return QDir(home()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }
    static bool marked(const QString &folder, FolderMark::Kind kind)
    {
        return FolderMark::holds(FolderHandle::open(folder, false), kind);
    }
    void markRestored(const QString &folder) const
    {
        ASSERT_TRUE(FolderMark::write(FolderHandle::open(home() + folder, false), FolderMark::Kind::Restored));
    }
};
} // namespace

// The record as another program could leave it: well formed, naming a folder that holds the
// login file alone, and an empty one for the old data. Nothing is replaced, nothing removed.
TEST_F(SwapRecordTest, ASwapWhoseNewFolderIsNoRestoreStagedWholeReplacesNothingAndIsNamed)
{
    writeTree("Data", kOld);
    writeTree("Data.restore-abcdef", {{"UserList.xml", "<Users/>"}});
    ASSERT_TRUE(QDir(home()).mkpath("Data.old-abcdef"));
    writeFile(".Data.swap-0badcafe.journal", kJournal);

    QString why, kept;
    EXPECT_FALSE(DataRecovery::run(&why, &kept));
    EXPECT_EQ(filesBelow(home() + "Data"), kOld) << "the roster and the classes stay";
    EXPECT_EQ(beside(), (QStringList{".Data.swap-0badcafe.journal", "Data", "Data.old-abcdef", "Data.restore-abcdef"}));
    EXPECT_TRUE(why.contains(".Data.swap-0badcafe.journal is left as it is, and its swap is not carried through: "
                             "Data.restore-abcdef holds no restored data staged whole"))
        << why.toStdString();
    EXPECT_TRUE(kept.isEmpty()) << kept.toStdString();
    EXPECT_TRUE(DataRecovery::dataFolderUsable(home() + "Data")) << "such a record holds no start";

    // Cut between its renames (the data aside, none in place): the old data come back.
    ASSERT_TRUE(QDir(home()).rmdir("Data.old-abcdef") && QDir(home()).rename("Data", "Data.old-abcdef"));
    EXPECT_FALSE(DataRecovery::run(&why));
    EXPECT_EQ(filesBelow(home() + "Data"), kOld);
    EXPECT_TRUE(why.contains("its old contents in Data.old-abcdef were put back in its place")) << why.toStdString();
    EXPECT_EQ(beside(), (QStringList{".Data.swap-0badcafe.journal", "Data", "Data.restore-abcdef"}));
    EXPECT_EQ(filesBelow(home() + "Data.restore-abcdef"), (Files{{"UserList.xml", "<Users/>"}}));
}

// A restore's swap on a file system that cannot exchange two folders, cut at each of its steps:
// the restored data (staged whole) take the data folder's place, and the data they replace are
// kept in Backups, as a restore keeps them, noted there as Pollix's to archive.
TEST_F(SwapRecordTest, WhereverASwapWasCutTheDataItSetsAsideAreKeptInBackups)
{
    enum Step { NothingMoved, OldAside, NewInPlace, OldInNewsPlace };
    for (const Step step : {NothingMoved, OldAside, NewInPlace, OldInNewsPlace}) {
        SCOPED_TRACE(step);
        for (const QString &f : beside())
            QFileInfo(home() + f).isDir() ? void(QDir(home() + f).removeRecursively()) : void(QFile::remove(home() + f));
        writeTree("Data", kOld);
        writeTree("Data.restore-abcdef", kRestored);
        markRestored("Data.restore-abcdef");
        ASSERT_TRUE(QDir(home()).mkpath("Data.old-abcdef"));
        writeFile(".Data.swap-0badcafe.journal", kJournal);
        QDir dir(home());
        const bool moved = (step < OldAside || (dir.rmdir("Data.old-abcdef") && dir.rename("Data", "Data.old-abcdef"))) &&
                           (step < NewInPlace || dir.rename("Data.restore-abcdef", "Data")) &&
                           (step < OldInNewsPlace || dir.rename("Data.old-abcdef", "Data.restore-abcdef"));
        ASSERT_TRUE(moved);

        QString why, kept;
        EXPECT_TRUE(DataRecovery::run(&why, &kept)) << why.toStdString();
        EXPECT_EQ(filesBelow(home() + "Data"), kRestored) << "the data folder holds no note of the restore";
        EXPECT_EQ(beside(), (QStringList{"Backups", "Data"}));
        EXPECT_EQ(filesBelow(home() + kKept, true), kOld);
        EXPECT_TRUE(marked(home() + kKept, FolderMark::Kind::Kept));
        EXPECT_EQ(kept, QStringLiteral("The data a restore replaced are kept in %1; Pollix saves them there as an archive, "
                                       "which Restore can bring back.")
                            .arg(home() + kKept));
    }
}

// Data set aside that a backup would refuse (a pipe another program put under a data file's name)
// are kept all the same, and the start's alert promises no archive of them: they stay a folder.
TEST_F(SwapRecordTest, KeptDataABackupWouldRefuseAreSaidToStayAFolder)
{
    writeTree("Data", kOld);
    ASSERT_EQ(::mkfifo(QFile::encodeName(home() + "Data/Subjects.xml").constData(), 0600), 0);
    writeTree("Data.restore-abcdef", kRestored);
    markRestored("Data.restore-abcdef");
    ASSERT_TRUE(QDir(home()).mkpath("Data.old-abcdef"));
    writeFile(".Data.swap-0badcafe.journal", kJournal);

    QString why, kept;
    EXPECT_TRUE(DataRecovery::run(&why, &kept)) << why.toStdString();
    EXPECT_EQ(filesBelow(home() + kKept, true), kOld);
    EXPECT_EQ(kept, QStringLiteral("The data a restore replaced are kept in the folder %1, where they stay as they are: Pollix "
                                   "cannot save them as an archive. These files cannot be backed up: %1/Subjects.xml (it "
                                   "is no regular file)")
                        .arg(home() + kKept));
}

// Where the restore noted the name it keeps them under, they go there (a free name when it is
// taken); the notes a restore cut short leaves in the data in use go.
TEST_F(SwapRecordTest, KeptDataGoWhereTheRestoreNotedAndItsNotesLeaveTheDataInUse)
{
    writeTree("Data.old-abcdef", kOld);
    writeFile("Data.old-abcdef/.kept-as", "Before restore 2024-05-01 14-07-09");
    writeTree("Data.restore-abcdef", kRestored);
    markRestored("Data.restore-abcdef");
    writeFile(".Data.swap-0badcafe.journal", kJournal);
    writeTree("Backups/Before restore 2024-05-01 14-07-09", {{"letter.docx", "the teacher's"}});

    QString why, kept;
    EXPECT_TRUE(DataRecovery::run(&why, &kept)) << why.toStdString();
    const QString place = home() + "Backups/Before restore 2024-05-01 14-07-09 (2)";
    EXPECT_EQ(filesBelow(place, true), kOld);
    EXPECT_FALSE(QFileInfo::exists(place + "/.kept-as"));
    EXPECT_TRUE(marked(place, FolderMark::Kind::Kept));
    EXPECT_TRUE(kept.contains(place)) << kept.toStdString();
    EXPECT_EQ(filesBelow(home() + "Backups/Before restore 2024-05-01 14-07-09"), (Files{{"letter.docx", "the teacher's"}}));

    // A restore cut short before its swap: its notes in the data folder, none of them data.
    for (const FolderMark::Kind kind : {FolderMark::Kind::Kept, FolderMark::Kind::Restored})
        ASSERT_TRUE(FolderMark::write(FolderHandle::open(home() + "Data", false), kind));
    writeFile("Data/.kept-as", "Before restore 2012-03-23 14-07-09");
    EXPECT_TRUE(DataRecovery::run(&why, &kept)) << why.toStdString();
    EXPECT_EQ(filesBelow(home() + "Data"), kRestored);
    EXPECT_TRUE(kept.isEmpty());
}

// Every move and removal of the start goes through a handle on the folder that holds the name,
// never by a path looked at before: nothing swapped in between (a link) is followed.
TEST_F(SwapRecordTest, TheStartMovesAndRemovesBesideTheDataFolderOnlyRelativeToAFolderHeldOpen)
{
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        startOn(folder);
        QString why;
        EXPECT_TRUE(DataRecovery::run(&why)) << why.toStdString();
        return;
    }
    const QString root = QFileInfo(home()).canonicalFilePath();
    writeTree("Data", kOld);
    writeTree("Data.restore-abcdef", kRestored);
    markRestored("Data.restore-abcdef");
    ASSERT_TRUE(QDir(home()).mkpath("Data.old-abcdef"));
    writeFile(".Data.swap-0badcafe.journal", kJournal);
    writeTree("Data.restore-Qw3rTy/Classes", {});
    const TracedRun::Outcome run = TracedRun::runCurrentTest(
        root, {"-e", "trace=rename,renameat,renameat2,unlink,unlinkat,rmdir,mkdir,mkdirat"}, true);
    ASSERT_TRUE(run.passed) << run.output.toStdString();
    EXPECT_EQ(filesBelow(root + "/Data"), kRestored);
    EXPECT_EQ(filesBelow(root + "/" + kKept, true), kOld);
    EXPECT_FALSE(QFileInfo::exists(root + "/Data.restore-Qw3rTy"));
    int relative = 0;
    const QRegularExpression data(QStringLiteral("\"[^\"]*(Data|Backups)[^\"]*\""));
    for (const QString &call : run.trace) {
        if (!data.match(call).hasMatch())
            continue;
        const bool byHandle = QRegularExpression("^\\d+\\s+(renameat2?|unlinkat|mkdirat)\\(\\d+, ").match(call).hasMatch();
        EXPECT_TRUE(byHandle) << call.toStdString();
        relative += byHandle;
    }
    EXPECT_GE(relative, 6) << "two moves, two into Backups, the journal and the empty folders";
}

// Data set aside that hold no data file (a restore over data already deleted) have nothing an
// archive could hold: no teacher is told they are kept for a Restore to bring back.
TEST_F(SwapRecordTest, DataSetAsideHoldingNoDataFileAreNotToldAsKeptForAnArchive)
{
    writeTree("Data", kRestored);
    markRestored("Data");
    writeTree("Data.restore-abcdef", {{"Classes/seating.txt", "rows by the window"}});
    writeFile(".Data.swap-0badcafe.journal", kJournal);

    QString why, kept;
    EXPECT_TRUE(DataRecovery::run(&why, &kept)) << why.toStdString();
    EXPECT_EQ(filesBelow(home() + "Data"), kRestored);
    EXPECT_TRUE(kept.isEmpty()) << kept.toStdString();
    // Kept all the same, and still Pollix's, for the start's archiving to sort out.
    const QStringList aside = QDir(home() + "Backups").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(aside.size(), 1);
    EXPECT_TRUE(marked(home() + "Backups/" + aside.first(), FolderMark::Kind::Kept));
    EXPECT_EQ(readFile(home() + "Backups/" + aside.first() + "/Classes/seating.txt"), "rows by the window");
}
