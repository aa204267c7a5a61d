// The start's recovery: what an earlier run left unfinished is finished, or stays noted down and
// is named, and nothing a recovery still needs is removed.
#include "StoreTestBase.h"

#include "core/store/DataRecovery.h"
#include "core/store/TovStudentRoster.h"
#include "platform/ChangeJournal.h"
#include "platform/FolderHandle.h"
#include "platform/FolderMark.h"
#include "platform/SideFiles.h"
#include "support/KilledRuns.h"
#include "support/OrdinaryUser.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace {
using Files = QMap<QString, QByteArray>;

void put(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

const Files kOld{{"StudentRoster.xml", "<Students>old</Students>"},
                 {"Classes/8C.xml", "<ClassRoom>old 8C</ClassRoom>"},
                 {"Classes/9A.xml", "<ClassRoom>old 9A</ClassRoom>"}};
const Files kNew{{"StudentRoster.xml", "<Students>K1</Students>"},
                 {"Classes/8C.xml", "<ClassRoom>8C with K1</ClassRoom>"},
                 {"Classes/9A.xml", "<ClassRoom>9A with K1</ClassRoom>"}};

class DataRecoveryTest : public StoreTestBase
{
protected:
    // A change of three files killed after it was noted down, before its first move: each new
    // file beside its target, each old one under a second name, and the journal.
    static void changeCutShort(const QString &home)
    {
        const QString data = home + "/Data/";
        QByteArray journal = "Pollix change journal 1\nforward\n";
        int n = 0;
        for (auto it = kOld.begin(); it != kOld.end(); ++it, ++n) {
            put(data + it.key(), it.value());
            const QString staged = QStringLiteral("%1.new-0000000%2").arg(it.key()).arg(n);
            const QString kept = QStringLiteral("%1.old-0000000%2").arg(it.key()).arg(n);
            put(data + staged, kNew.value(it.key()));
            ASSERT_EQ(::link(QFile::encodeName(data + it.key()).constData(), QFile::encodeName(data + kept).constData()), 0);
            journal += (it.key() + " " + staged + " " + kept + "\n").toUtf8();
        }
        put(data + ".change-0000abcd.journal", journal + "end\n");
    }
    // The folders beside the data folder.
    QStringList besideData() const { return QDir(home()).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name); }
    void writeTree(const QString &folder, const Files &files) const
    {
        for (auto it = files.begin(); it != files.end(); ++it)
            writeFile(folder + "/" + it.key(), it.value());
    }
};
} // namespace

TEST_F(DataRecoveryTest, ARollForwardWhoseCallsFailAtAnyStepStaysNotedDownIsNamedAndIsFinishedAtTheNextStart)
{
    if (const QString folder = KilledRuns::childFolder(); !folder.isEmpty()) {
        startOn(folder);
        QString why;
        if (!DataRecovery::run(&why))
            put(folder + "/told.txt", why.toUtf8());
        return;
    }
    int told = 0;
    const int failed = KilledRuns::failingAtEveryStep(
        "EIO", [](const QString &folder) { changeCutShort(folder); },
        [&](const QString &folder, bool wasFailed) {
            const QString why = QString::fromUtf8(readFile(folder + "/told.txt"));
            QFile::remove(folder + "/told.txt");
            if (!why.isEmpty()) {
                ++told;
                EXPECT_TRUE(wasFailed);
                // The teacher is told which files and why, and the change stays noted down.
                for (const char *name : {"StudentRoster.xml", "Classes/8C.xml", "Classes/9A.xml", "Input/output error"})
                    EXPECT_TRUE(why.contains(name)) << name << " in: " << why.toStdString();
                EXPECT_TRUE(QFileInfo::exists(folder + "/Data/.change-0000abcd.journal"));
            }
            // The next start finishes it: every file new, and nothing of the change left.
            startOn(folder, true);
            const Files now = filesBelow(folder + "/Data");
            EXPECT_EQ(now, kNew) << (wasFailed ? "after a failed call" : "with no call failed");
        });
    EXPECT_GE(failed, 6) << "three moves, the side files' removal and the journal's";
    EXPECT_GE(told, 3) << "each failed move";
}

// A change cut short right after its first file's exchange, finished by the next start, which is
// killed at each removal of what the change left (its journal first): the start after that finds
// every file new, leaves nothing of the change, and names nothing, as no move is left undone.
TEST_F(DataRecoveryTest, AStartKilledAsItClearsAwayAFinishedChangeLeavesEveryFileNewAndNamesNothing)
{
    if (const QString folder = KilledRuns::childFolder(); !folder.isEmpty()) {
        startFinishingOn(folder);
        return;
    }
    const int killed = KilledRuns::atEveryCall(
        "unlinkat",
        [](const QString &folder) {
            changeCutShort(folder);
            // The first file's names exchanged: its side file of new bytes holds its old ones.
            const QByteArray klass = QFile::encodeName(folder + "/Data/Classes/8C.xml");
            ASSERT_EQ(::renameat2(AT_FDCWD, QFile::encodeName(folder + "/Data/Classes/8C.xml.new-00000000").constData(),
                                  AT_FDCWD, klass.constData(), RENAME_EXCHANGE),
                      0);
        },
        [&](const QString &folder, bool wasKilled) {
            for (const LeftAlone &f : startFinishingOn(folder))
                ADD_FAILURE() << (wasKilled ? "killed run: " : "whole run: ") << f.text.toStdString();
            EXPECT_EQ(filesBelow(folder + "/Data"), kNew) << (wasKilled ? "killed run" : "whole run");
        });
    EXPECT_GE(killed, 4) << "the journal and the side files of three files";
}

TEST_F(DataRecoveryTest, ASwapOfTheDataFolderCutBetweenItsRenamesIsFinishedFromItsJournalAndTheOldDataAreKept)
{
    // The old data moved aside, the restored data (staged whole) not yet in place: no "Data".
    QDir(home() + "Data").removeRecursively();
    writeTree("Data.old-dEf456", kOld);
    writeTree("Data.restore-aBc123", kNew);
    ASSERT_TRUE(FolderMark::write(FolderHandle::open(home() + "Data.restore-aBc123", false), FolderMark::Kind::Restored));
    writeFile(".Data.swap-0000abcd.journal", "Pollix folder swap 1\nData\nData.restore-aBc123\nData.old-dEf456\nend\n");
    // A journal naming folders that are no swap's own moves nothing.
    writeTree("Mine", {{"keep.xml", "<a/>"}});
    writeFile(".Data.swap-0000beef.journal", "Pollix folder swap 1\nData\nMine\nData.old-dEf456\nend\n");

    QString why, kept;
    EXPECT_FALSE(DataRecovery::run(&why, &kept));
    EXPECT_TRUE(why.contains(".Data.swap-0000beef.journal is no journal Pollix wrote")) << why.toStdString();
    EXPECT_EQ(filesBelow(home() + "Data"), kNew) << "the restore's note goes with its swap";
    EXPECT_EQ(besideData(), (QStringList{"Backups", "Data", "Mine"}));
    EXPECT_FALSE(QFileInfo::exists(home() + ".Data.swap-0000abcd.journal"));
    // The data it replaced, kept as a restore keeps them, to be archived there.
    const QString keptFolder = home() + "Backups/Before restore 2012-03-23 14-07-09";
    EXPECT_EQ(filesBelow(keptFolder, true), kOld);
    EXPECT_TRUE(FolderMark::holds(FolderHandle::open(keptFolder, false), FolderMark::Kind::Kept));
    EXPECT_TRUE(kept.contains(keptFolder)) << kept.toStdString();
}

TEST_F(DataRecoveryTest, ADataFolderMissingWithoutAJournalGetsItsOldDataBackAndNoStagingFolderIsRemovedMeanwhile)
{
    // As earlier versions left it when killed between the two renames of a restore.
    QDir(home() + "Data").removeRecursively();
    writeTree("Data.old-dEf456", kOld);
    writeTree("Data.restore-aBc123", kNew);
    QString why;
    EXPECT_FALSE(DataRecovery::run(&why));
    EXPECT_EQ(filesBelow(home() + "Data", true), kOld);
    // The restore's folder, which no record notes as Pollix's, stays and is named.
    EXPECT_EQ(besideData(), (QStringList{"Data", "Data.restore-aBc123"}));
    EXPECT_TRUE(why.contains("Data.restore-aBc123 beside the data folder is left as it is")) << why.toStdString();
    QDir(home() + "Data.restore-aBc123").removeRecursively();

    // Two folders of old data: which is which is not known, so both stay and are named.
    QDir(home() + "Data").removeRecursively();
    writeTree("Data.old-dEf456", kOld);
    writeTree("Data.old-gHi789", kNew);
    EXPECT_FALSE(DataRecovery::run(&why));
    EXPECT_TRUE(why.contains("Data.old-dEf456") && why.contains("Data.old-gHi789")) << why.toStdString();
    EXPECT_EQ(besideData(), (QStringList{"Data.old-dEf456", "Data.old-gHi789"}));
}

TEST_F(DataRecoveryTest, AFileOfAChangeTheStartCouldNotFinishIsNeitherWrittenNorRemovedAloneUntilItIsFinished)
{
    changeCutShort(home());
    const QString data = home() + "Data/";
    QString why;
    EXPECT_FALSE(GlobalFunctions::createQXmlFileAtPath(data + "StudentRoster.xml", "<Students>newer</Students>", &why));
    EXPECT_TRUE(why.contains("an earlier change of Classes/8C.xml, Classes/9A.xml, StudentRoster.xml was cut short"))
        << why.toStdString();
    EXPECT_FALSE(GlobalFunctions::removeFileAtPath(data + "Classes/9A.xml", &why));
    EXPECT_TRUE(GlobalFunctions::createQXmlFileAtPath(data + "Subjects.xml", "<Subjects/>", &why)) << why.toStdString();
    EXPECT_EQ(readFile(data + "StudentRoster.xml"), kOld.value("StudentRoster.xml"));

    ASSERT_TRUE(DataRecovery::run(&why)) << why.toStdString();
    EXPECT_TRUE(GlobalFunctions::createQXmlFileAtPath(data + "StudentRoster.xml", "<Students>newer</Students>", &why))
        << why.toStdString();
    EXPECT_TRUE(GlobalFunctions::removeFileAtPath(data + "Classes/9A.xml", &why)) << why.toStdString();
    EXPECT_EQ(filesBelow(data), (Files{{"StudentRoster.xml", "<Students>newer</Students>"},
                                       {"Classes/8C.xml", kNew.value("Classes/8C.xml")},
                                       {"Subjects.xml", "<Subjects/>"}}));
}

// A change whose new bytes another program wrote into since is left as it is for good: it holds
// back no save of its files, and a start after that save still keeps its journal and its side
// files where they are, as the teacher was told.
TEST_F(DataRecoveryTest, AChangeLeftAsItIsHoldsBackNoSaveAndKeepsItsFilesAfterIt)
{
    POLLIX_AS_ORDINARY_USER();
    TovStudentRoster *roster = TovStudentRoster::sharedUI();
    StudentEntity student;
    student.setId("K1");
    ASSERT_TRUE(roster->addStudentWithData(student));
    const QString target = home() + "Data/StudentRoster.xml";
    const QByteArray old = readFile(target);
    const QString staged = SideFiles::nameBeside(target, SideFiles::Kind::Staged);
    const QString kept = SideFiles::nameBeside(target, SideFiles::Kind::Kept);
    put(staged, "<ClassRoom><Students></Students></ClassRoom>");
    ASSERT_EQ(::link(QFile::encodeName(target).constData(), QFile::encodeName(kept).constData()), 0);
    QString why;
    const QString journal = ChangeJournal::write({{target, staged, kept}}, ChangeJournal::Direction::Forward, &why);
    ASSERT_FALSE(journal.isEmpty()) << why.toStdString();
    put(staged, "written into by another program");
    for (const QString id : {"K2", "K3"}) {
        LeftAloneList found;
        EXPECT_TRUE(DataRecovery::run(&why, nullptr, &found)) << why.toStdString();
        ASSERT_EQ(found.size(), 1);
        EXPECT_EQ(found.first().path, journal);
        EXPECT_EQ(readFile(staged), "written into by another program");
        EXPECT_EQ(readFile(kept), old);
        student.setId(id);
        EXPECT_TRUE(roster->addStudentWithData(student, &why)) << why.toStdString();
    }
    EXPECT_EQ(roster->getAllStudents().value_or(QList<StudentEntity>()).size(), 3);
}

// Help made a link to a folder elsewhere: the start removes the side files of interrupted writes
// in the folders it holds open, never in the folder the link leads to, whose files merely look
// like them.
TEST_F(DataRecoveryTest, AHelpFolderMadeALinkLeadsTheStartToNoFileWhereItPoints)
{
    QTemporaryDir outside;
    const QString lookalike = outside.filePath("guide.pdf.tmp-0123abcd");
    put(lookalike, "another program's");
    put(home() + "Data/Subjects.xml.tmp-89abcdef", "left by a kill");
    put(home() + "Subjects.xml.tmp-89abcdef", "left by a kill");
    ASSERT_TRUE(QFile::link(outside.path(), home() + "Help"));
    QString why;
    DataRecovery::run(&why);
    EXPECT_TRUE(QFileInfo::exists(lookalike)) << why.toStdString();
    EXPECT_FALSE(QFileInfo::exists(home() + "Data/Subjects.xml.tmp-89abcdef"));
    EXPECT_FALSE(QFileInfo::exists(home() + "Subjects.xml.tmp-89abcdef"));
}
