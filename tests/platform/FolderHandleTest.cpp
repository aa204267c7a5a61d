#include "platform/FolderHandle.h"
#include "platform/FolderMark.h"
#include "platform/RecordFile.h"
#include "support/OrdinaryUser.h"
#include "support/TracedRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {
void put(const QString &path, const QByteArray &bytes = "x")
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

bool link(const QString &target, const QString &path)
{
    return ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(path).constData()) == 0;
}

// The disk dates changes by a coarse clock: waits until a change made now is dated after every
// change made before the call, so that a change of a file is seen in its times.
bool waitForTheNextTick(const QString &folder)
{
    const QString probe = folder + QStringLiteral("/.tick");
    put(probe);
    struct stat first{}, now{};
    if (::stat(QFile::encodeName(probe).constData(), &first) != 0)
        return false;
    for (int i = 0; i < 1000000; ++i) {
        ::chmod(QFile::encodeName(probe).constData(), i % 2 ? 0644 : 0600);
        if (::stat(QFile::encodeName(probe).constData(), &now) == 0 &&
            (now.st_ctim.tv_sec != first.st_ctim.tv_sec || now.st_ctim.tv_nsec != first.st_ctim.tv_nsec))
            return QFile::remove(probe);
    }
    return false;
}
} // namespace

// What another program leaves inside a folder Pollix removes must not lead the removal anywhere
// else: a link to a folder or a file outside goes as a link, and what it led to stays whole.
TEST(FolderHandle, RemovingATreeTakesLinksAwayAndNeverWhatTheyLeadTo)
{
    QTemporaryDir dir;
    const QString outside = dir.filePath(QStringLiteral("outside"));
    put(outside + QStringLiteral("/marks.xml"));
    put(dir.filePath(QStringLiteral("Backups/kept/Data/Classes/A.xml")));
    ASSERT_TRUE(link(outside, dir.filePath(QStringLiteral("Backups/kept/Data/elsewhere"))));
    ASSERT_TRUE(link(outside + QStringLiteral("/marks.xml"), dir.filePath(QStringLiteral("Backups/kept/marks.xml"))));

    QString why;
    const FolderHandle backups = FolderHandle::open(dir.filePath(QStringLiteral("Backups")), false, &why);
    ASSERT_TRUE(backups.isOpen()) << why.toStdString();
    QStringList stayed;
    EXPECT_TRUE(backups.removeTree(QStringLiteral("kept"), &stayed));
    EXPECT_TRUE(stayed.isEmpty()) << stayed.join(QLatin1Char(' ')).toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("Backups/kept"))));
    EXPECT_TRUE(QFileInfo::exists(outside + QStringLiteral("/marks.xml")));
}

// Only what the caller lets go goes; the rest stays in its folders, and is named.
TEST(FolderHandle, RemovingATreeKeepsWhatMayNotGoAndNamesIt)
{
    QTemporaryDir dir;
    put(dir.filePath(QStringLiteral("kept/Data/Classes/A.xml")));
    put(dir.filePath(QStringLiteral("kept/Data/marks-scan.pdf")));
    put(dir.filePath(QStringLiteral("kept/letter.docx")));
    const FolderHandle root = FolderHandle::open(dir.path(), true);
    QStringList stayed;
    EXPECT_FALSE(root.removeTree(QStringLiteral("kept"), &stayed, [](const QString &relative, const struct stat &st) {
        EXPECT_TRUE(S_ISREG(st.st_mode));
        return relative.endsWith(QStringLiteral(".xml"));
    }));
    stayed.sort();
    EXPECT_EQ(stayed, (QStringList{QStringLiteral("kept/Data/marks-scan.pdf"), QStringLiteral("kept/letter.docx")}));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("kept/Data/Classes"))));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("kept/Data/marks-scan.pdf"))));
}

// A file is checked, then removed: another program putting a file under its name right after
// the check keeps that file whole, and only the very file checked goes. A removal cut short with
// a file set aside (a kill) puts it back first, where it is checked again.
TEST(FolderHandle, ARemovalTakesOnlyTheVeryFileItChecked)
{
    QTemporaryDir dir;
    put(dir.filePath(QStringLiteral("kept/Quiz/Monday.xml")), "checked");
    put(dir.filePath(QStringLiteral("kept/Subjects.xml")), "checked");
    put(dir.filePath(QStringLiteral("kept/notes.txt")), "the teacher's");
    const FolderHandle root = FolderHandle::open(dir.path(), true);
    const auto replace = [&](const QString &relative) {
        const QString path = dir.filePath(QStringLiteral("kept/") + relative);
        put(path + QStringLiteral(".new"), "another program's");
        ASSERT_EQ(::rename(QFile::encodeName(path + QStringLiteral(".new")).constData(), QFile::encodeName(path).constData()), 0);
    };
    QStringList stayed;
    EXPECT_FALSE(root.removeTree(QStringLiteral("kept"), &stayed, [&](const QString &relative, const struct stat &) {
        if (relative == QStringLiteral("Quiz/Monday.xml"))
            replace(relative); // just after the check said yes
        return relative != QStringLiteral("notes.txt");
    }));
    stayed.sort();
    EXPECT_EQ(stayed, (QStringList{QStringLiteral("kept/Quiz/Monday.xml"), QStringLiteral("kept/notes.txt")}));
    QFile replaced(dir.filePath(QStringLiteral("kept/Quiz/Monday.xml")));
    ASSERT_TRUE(replaced.open(QIODevice::ReadOnly));
    EXPECT_EQ(replaced.readAll(), QByteArray("another program's"));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("kept/Subjects.xml"))));
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("kept"))).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
              (QStringList{QStringLiteral("Quiz"), QStringLiteral("notes.txt")}))
        << "nothing is left aside";

    put(dir.filePath(QStringLiteral("kept/") + FolderHandle::asideName() + QStringLiteral("/Quiz/Tuesday.xml")));
    QStringList asked;
    EXPECT_TRUE(root.removeTree(QStringLiteral("kept"), nullptr, [&](const QString &relative, const struct stat &) {
        asked << relative;
        return true;
    }));
    asked.sort();
    EXPECT_EQ(asked, (QStringList{QStringLiteral("Quiz/Monday.xml"), QStringLiteral("Quiz/Tuesday.xml"), QStringLiteral("notes.txt")}));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("kept"))));
}

// A file found removable stays when another program writes into it, or changes it otherwise,
// between its check and its removal: the very file is the one of the same device and inode, size,
// and times of its last write and change as it was checked, not one of the same inode alone.
TEST(FolderHandle, AFileWrittenIntoOrChangedBetweenItsCheckAndItsRemovalStays)
{
    QTemporaryDir dir;
    for (const char *file : {"kept/Quiz/Monday.xml", "kept/Classes/8C.xml", "kept/Subjects.xml"})
        put(dir.filePath(QString::fromLatin1(file)), "checked");
    ASSERT_TRUE(waitForTheNextTick(dir.path()));
    const FolderHandle root = FolderHandle::open(dir.path(), true);
    QStringList stayed;
    EXPECT_FALSE(root.removeTree(QStringLiteral("kept"), &stayed, [&](const QString &relative, const struct stat &) {
        const QString path = dir.filePath(QStringLiteral("kept/") + relative);
        if (relative == QStringLiteral("Quiz/Monday.xml")) {
            // Written over in place, the same number of bytes, right after the check said yes.
            QFile file(path);
            EXPECT_TRUE(file.open(QIODevice::ReadWrite));
            file.write("CHANGED");
        } else if (relative == QStringLiteral("Classes/8C.xml")) {
            EXPECT_EQ(::chmod(QFile::encodeName(path).constData(), 0600), 0); // its change time alone
        }
        return true;
    }));
    stayed.sort();
    EXPECT_EQ(stayed, (QStringList{QStringLiteral("kept/Classes/8C.xml"), QStringLiteral("kept/Quiz/Monday.xml")}));
    QFile written(dir.filePath(QStringLiteral("kept/Quiz/Monday.xml")));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), QByteArray("CHANGED"));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("kept/Classes/8C.xml"))));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("kept/Subjects.xml"))));
}

TEST(FolderHandle, OpensNothingThroughALinkAndNothingThatIsNoRegularFile)
{
    QTemporaryDir dir;
    put(dir.filePath(QStringLiteral("real/Data/UserList.xml")), "accounts");
    ASSERT_TRUE(link(dir.filePath(QStringLiteral("real")), dir.filePath(QStringLiteral("linked"))));
    ASSERT_TRUE(link(dir.filePath(QStringLiteral("real/Data/UserList.xml")), dir.filePath(QStringLiteral("real/alias.xml"))));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("real/pipe.xml"))).constData(), 0600), 0);
    const FolderHandle root = FolderHandle::open(dir.path(), false);
    ASSERT_TRUE(root.isOpen());

    QString why;
    EXPECT_FALSE(root.openFolder(QStringLiteral("linked/Data"), &why).isOpen());
    EXPECT_TRUE(why.contains(QStringLiteral("symbolic link"))) << why.toStdString();
    EXPECT_FALSE(root.openFolder(QStringLiteral("real/../linked"), &why).isOpen());
    EXPECT_FALSE(FolderHandle::open(dir.filePath(QStringLiteral("linked")), false, &why).isOpen());
    EXPECT_TRUE(FolderHandle::open(dir.filePath(QStringLiteral("linked")), true).isOpen());

    const FolderHandle real = root.openFolder(QStringLiteral("real"));
    ASSERT_TRUE(real.isOpen());
    EXPECT_FALSE(real.readFile(QStringLiteral("alias.xml"), 1024, &why));
    EXPECT_TRUE(why.contains(QStringLiteral("symbolic link"))) << why.toStdString();
    // A pipe is refused at once, not waited on.
    EXPECT_FALSE(real.readFile(QStringLiteral("pipe.xml"), 1024, &why));
    EXPECT_TRUE(why.contains(QStringLiteral("no regular file"))) << why.toStdString();
    EXPECT_FALSE(real.readFile(QStringLiteral("Data"), 1024, &why));
    EXPECT_TRUE(why.contains(QStringLiteral("a folder"))) << why.toStdString();
    const FolderHandle data = real.openFolder(QStringLiteral("Data"));
    EXPECT_EQ(data.readFile(QStringLiteral("UserList.xml"), 1024).value_or(QByteArray()), QByteArray("accounts"));
    EXPECT_FALSE(data.readFile(QStringLiteral("UserList.xml"), 4, &why));
    EXPECT_TRUE(why.contains(QStringLiteral("larger than"))) << why.toStdString();
    EXPECT_FALSE(data.readFile(QStringLiteral("../alias.xml"), 1024));
}

TEST(FolderHandle, AMoveReplacesNothing)
{
    QTemporaryDir dir;
    put(dir.filePath(QStringLiteral("a/Data/x.xml")), "new");
    put(dir.filePath(QStringLiteral("b/Data/x.xml")), "old");
    const FolderHandle a = FolderHandle::open(dir.filePath(QStringLiteral("a")), false);
    const FolderHandle b = FolderHandle::open(dir.filePath(QStringLiteral("b")), false);
    QString why;
    EXPECT_FALSE(a.moveTo(QStringLiteral("Data"), b, QStringLiteral("Data"), &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_TRUE(a.moveTo(QStringLiteral("Data"), b, QStringLiteral("Data 2"), &why)) << why.toStdString();
    EXPECT_FALSE(b.readFile(QStringLiteral("Data/x.xml"), 64).has_value()); // one entry, not a path
    EXPECT_EQ(b.openFolder(QStringLiteral("Data 2")).readFile(QStringLiteral("x.xml"), 64).value_or(QByteArray()), QByteArray("new"));
}

// A folder Pollix set aside stays its own when moved; a copy of it, note and all, is not.
TEST(FolderMark, NamesTheVeryFolderItWasWrittenInNotACopy)
{
    QTemporaryDir dir;
    put(dir.filePath(QStringLiteral("Before restore 1/Data/UserList.xml")));
    const FolderHandle root = FolderHandle::open(dir.path(), false);
    {
        const FolderHandle kept = root.openFolder(QStringLiteral("Before restore 1"));
        EXPECT_FALSE(FolderMark::holds(kept, FolderMark::Kind::Kept));
        ASSERT_TRUE(FolderMark::write(kept, FolderMark::Kind::Kept));
        EXPECT_TRUE(FolderMark::holds(kept, FolderMark::Kind::Kept));
    }
    ASSERT_TRUE(root.moveTo(QStringLiteral("Before restore 1"), root, QStringLiteral("Before restore 2")));
    EXPECT_TRUE(FolderMark::holds(root.openFolder(QStringLiteral("Before restore 2")), FolderMark::Kind::Kept));

    put(dir.filePath(QStringLiteral("Before restore - copy/Data/UserList.xml")));
    ASSERT_TRUE(QFile::copy(dir.filePath(QStringLiteral("Before restore 2/")) + FolderMark::noteName(FolderMark::Kind::Kept),
                            dir.filePath(QStringLiteral("Before restore - copy/")) + FolderMark::noteName(FolderMark::Kind::Kept)));
    const FolderHandle copy = root.openFolder(QStringLiteral("Before restore - copy"));
    QString why;
    EXPECT_FALSE(FolderMark::holds(copy, FolderMark::Kind::Kept, &why));
    EXPECT_TRUE(why.contains(QStringLiteral("copy"))) << why.toStdString();

    // A note that is a link to Pollix's own note is none either.
    const FolderHandle linked = [&] {
        put(dir.filePath(QStringLiteral("linked/Data/UserList.xml")));
        link(dir.filePath(QStringLiteral("Before restore 2/")) + FolderMark::noteName(FolderMark::Kind::Kept),
             dir.filePath(QStringLiteral("linked/")) + FolderMark::noteName(FolderMark::Kind::Kept));
        return root.openFolder(QStringLiteral("linked"));
    }();
    EXPECT_FALSE(FolderMark::holds(linked, FolderMark::Kind::Kept));
    ASSERT_TRUE(FolderMark::remove(root.openFolder(QStringLiteral("Before restore 2")), FolderMark::Kind::Kept));
    EXPECT_FALSE(FolderMark::holds(root.openFolder(QStringLiteral("Before restore 2")), FolderMark::Kind::Kept));
}

// Folders made below a folder held open are made there, or refused where a link stands on the
// way; a new file replaces nothing and carries the date it is given.
TEST(FolderHandle, MakesFoldersAndNewFilesOnlyWhereItStands)
{
    QTemporaryDir dir, outside;
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("staging")));
    ASSERT_TRUE(link(outside.path(), dir.filePath(QStringLiteral("staging/Quiz"))));
    const FolderHandle staging = FolderHandle::open(dir.filePath(QStringLiteral("staging")), false);
    QString why;
    EXPECT_FALSE(staging.makeFolder(QStringLiteral("Quiz/Week"), &why).isOpen());
    EXPECT_TRUE(why.contains(QStringLiteral("symbolic link"))) << why.toStdString();
    EXPECT_TRUE(QDir(outside.path()).isEmpty());

    const FolderHandle classes = staging.makeFolder(QStringLiteral("Classes/8C"), &why);
    ASSERT_TRUE(classes.isOpen()) << why.toStdString();
    EXPECT_TRUE(staging.makeFolder(QStringLiteral("Classes/8C")).isOpen()) << "made already: opened";
    const QDateTime date(QDate(2020, 5, 4), QTime(3, 2, 0));
    ASSERT_TRUE(classes.createFile(QStringLiteral("8C.xml"), "class", date, false, &why)) << why.toStdString();
    EXPECT_EQ(QFileInfo(dir.filePath(QStringLiteral("staging/Classes/8C/8C.xml"))).lastModified(), date);
    EXPECT_FALSE(classes.createFile(QStringLiteral("8C.xml"), "again", date, false, &why));
    EXPECT_EQ(classes.readFile(QStringLiteral("8C.xml"), 64).value_or(QByteArray()), QByteArray("class"));
}

// A folder a teacher's account may pass through but not list (mode 0311), as cat reads a file in
// it: the records in it (a lock, a journal) are read all the same, and still never through a link.
TEST(RecordFile, AFolderThatCanBePassedThroughButNotListedGivesItsRecords)
{
    POLLIX_AS_ORDINARY_USER();
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("locks"));
    put(folder + QStringLiteral("/.pollix.lock"), "12 host");
    ASSERT_TRUE(link(folder + QStringLiteral("/.pollix.lock"), folder + QStringLiteral("/alias.lock")));
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0311), 0);
    QString why;
    EXPECT_EQ(RecordFile::read(folder + QStringLiteral("/.pollix.lock"), 64, &why).value_or(QByteArray()), QByteArray("12 host"))
        << why.toStdString();
    EXPECT_FALSE(RecordFile::read(folder + QStringLiteral("/alias.lock"), 64, &why));
    EXPECT_TRUE(why.contains(QStringLiteral("symbolic link"))) << why.toStdString();
    // Reached, the folder is still not listed.
    EXPECT_FALSE(FolderHandle::openToReach(folder, true).entries(&why));
    EXPECT_TRUE(why.contains(QStringLiteral("cannot be read"))) << why.toStdString();
    ::chmod(QFile::encodeName(folder).constData(), 0700);
}

// An entry removed by another program between the folder's listing and the look at it (here its
// look made to fail so) is left out of the listing; the listing itself, and every other entry,
// stay.
TEST(FolderHandle, AnEntryGoneWhileTheFolderIsListedIsLeftOutOfAWholeListing)
{
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        for (const QString &name : {QStringLiteral("alone"), QStringLiteral("shared")}) {
            QString why;
            const std::optional<QList<FolderHandle::Entry>> list =
                FolderHandle::open(folder + QLatin1Char('/') + name, false).entries(&why);
            ASSERT_TRUE(list) << name.toStdString() << ": " << why.toStdString();
            QStringList names;
            for (const FolderHandle::Entry &e : *list)
                names << e.name + (e.kind == RecordFile::Kind::Folder ? QStringLiteral("/") : QString());
            names.sort();
            EXPECT_EQ(names, name == QLatin1String("alone") ? QStringList()
                                                           : QStringList({QStringLiteral("Classes/"), QStringLiteral("kept.xml")}));
        }
        return;
    }
    QTemporaryDir dir;
    put(dir.filePath(QStringLiteral("alone/gone.xml")));
    put(dir.filePath(QStringLiteral("shared/gone.xml")));
    put(dir.filePath(QStringLiteral("shared/kept.xml")));
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("shared/Classes")));
    const TracedRun::Outcome run = TracedRun::runCurrentTest(
        dir.path(), {QStringLiteral("-P"), QStringLiteral("gone.xml"), QStringLiteral("-e"), QStringLiteral("trace=newfstatat"),
                     QStringLiteral("-e"), QStringLiteral("inject=newfstatat:error=ENOENT")},
        true);
    ASSERT_TRUE(run.ended);
    EXPECT_TRUE(TracedRun::injected(run.trace)) << run.trace.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(run.passed) << run.output.toStdString();
}
