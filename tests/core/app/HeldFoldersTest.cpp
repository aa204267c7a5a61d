// Pollix changes its folders through each folder held open: a folder swapped for a link to one
// elsewhere at the moment it matters leads no change there; an archive is reported saved only
// when its name leads to the very file written; and a delete names what it left.
#include "core/app/BackupWriter.h"
#include "core/app/ZipArchive.h"
#include "core/app/RecordDeletion.h"
#include "core/app/SystemFileUnpacker.h"
#include "core/app/zipHelper.h"
#include "core/reports/SessionImport.h"
#include "core/roster/RosterEdits.h"
#include "core/store/DataRecovery.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/TovClassXmlDatabase.h"
#include "platform/AtomicFile.h"
#include "platform/FolderHandle.h"
#include "platform/FolderMark.h"
#include "platform/FolderSwap.h"
#include "platform/ProcessStart.h"
#include "support/DataFiles.h"
#include "support/EventWait.h"
#include "support/PollixTest.h"
#include "support/RunningPollix.h"
#include "support/SmallDisk.h"
#include "support/ZipFixture.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <functional>
#include <optional>
#include <ostream>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
using Files = QMap<QString, QByteArray>;

using DataFiles::classFile;

QByteArray session(const char *id)
{
    return QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Session><ID>") + id +
           "</ID><DateCreated>2024-05-01</DateCreated><Name>Week</Name><Mode>1</Mode><ClassName>8C</ClassName><Subject>Science"
           "</Subject><TeacherName>ann</TeacherName><Type>Exam</Type><TotalMark>10</TotalMark><Questions><Question><No>1</No>"
           "<CAnswer>A</CAnswer></Question></Questions></Session>";
}

void put(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

// Everything in and below folder, links and pipes too, by path: files with their bytes, the rest
// with what they are.
Files everythingBelow(const QString &folder)
{
    Files out;
    const QDir root(folder);
    QDirIterator it(folder, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo fi(it.next());
        QFile f(fi.filePath());
        out.insert(root.relativeFilePath(fi.filePath()),
                   fi.isSymLink() ? "link to " + fi.symLinkTarget().toUtf8()
                   : fi.isDir()   ? QByteArray("folder")
                   : fi.isFile() && f.open(QIODevice::ReadOnly) ? f.readAll()
                                                                : QByteArray("other"));
    }
    return out;
}

// path moved aside and a link to target put in its place.
bool linkInstead(const QString &path, const QString &target)
{
    return QFile::rename(path, path + ".moved") && QFile::link(target, path);
}

bool addStudent(const char *id, QString *why)
{
    StudentEntity student;
    student.setId(id);
    const RosterEdits::Result r = RosterEdits::addNewStudent(student, TovClassXmlDatabase::sharedClassUI()->classNoByName("8C"), 400);
    *why = r.errorText;
    return r.ok();
}

using Step = std::function<bool(const QString &root, QString *why)>;

// The changes a teacher makes to the data, each as the program makes it.
struct DataStep
{
    const char *label;
    Step act;
};

const DataStep kStudentAdded{"a student added", [](const QString &, QString *why) { return addStudent("A8", why); }};
const DataStep kSessionSaved{"a session saved", [](const QString &root, QString *why) {
                                 return GlobalFunctions::createQXmlFileAtPath(root + "/Data/Quiz/Tuesday.xml", session("t"), why);
                             }};
const DataStep kBackup{"a backup", [](const QString &root, QString *why) { return zipHelper().backupFilTo(root + "/Out/backup.zip", why); }};
const DataStep kRestore{"a restore", [](const QString &root, QString *why) {
                            const QString archive = makeZipArchive(root + "/Out/friday.zip", {{"/Quiz/Friday.xml", session("f")},
                                                                                                {"//Quiz/Friday.xml", session("f")},
                                                                                                {"//UserList.xml", DataFiles::accounts()}});
                            QString kept;
                            return zipHelper().recoverFileFrom(archive, why, {}, &kept);
                        }};
const DataStep kDeleteAll{"Delete All Records", [](const QString &, QString *why) { return zipHelper().DelAllRecords(why); }};
const DataStep kClearActivities{"Clear Activity Records", [](const QString &, QString *why) { return zipHelper().clearSession(why); }};

class HeldFoldersTest : public PollixTest
{
protected:
    void TearDown() override
    {
        AtomicFile::setBeginHook({});
        RecordDeletion::setListedHook({});
        BackupWriter::setPartSyncedHook({});
        PollixTest::TearDown();
    }
    // The bytes of the regular file at path (a link followed), read without waiting on a pipe.
    static QByteArray contentOf(const QString &path)
    {
        return QFileInfo(path).isFile() ? readFile(path) : QByteArray("no regular file");
    }
    // An application folder at root as a teacher's: a class, a session, the login, a folder for
    // backups of the teacher's and Pollix's Backups, and the manuals' folder; justBefore is done
    // right before Pollix starts on it.
    void prepare(const QString &root, bool finishWork = false, const std::function<void()> &justBefore = {})
    {
        put(root + "/Data/Quiz/Monday.xml", session("m"));
        put(root + "/Data/Classes/8C.xml", classFile("8C"));
        put(root + "/Data/UserList.xml", DataFiles::accounts());
        for (const char *folder : {"Data/CourseGrade", "Out", "Backups", "Help"})
            QDir().mkpath(root + "/" + folder);
        if (justBefore)
            justBefore();
        startOn(root, finishWork);
        // The classes are read now, as at a start, not through a link put in place later.
        EXPECT_GT(TovClassXmlDatabase::sharedClassUI()->classNoByName("8C"), 0);
    }
};
} // namespace

// Each place that changes the application folder, with the folder it works in swapped for a link
// to a folder elsewhere holding files of the same names, at the moment that matters: before the
// change starts, once a delete has listed what goes, once a backup's part file is noted as work
// under way, as the first of the manuals is written. Nothing changes where the link leads; where
// the answer is told, the change is not reported done.
TEST_F(HeldFoldersTest, AFolderSwappedForALinkAtTheMomentThatMattersLeadsNoChangeElsewhere)
{
    enum class When { Before, Listed, Noted, HelpWritten };
    const struct
    {
        const char *place;
        const char *swapped; // below the application folder, linked to the same place outside
        When when;
        std::function<bool(const QString &root, QString *why)> act;
        std::optional<bool> answer;
    } rows[] = {
        {"Delete All Records", "Data/Quiz", When::Listed, [](const QString &, QString *why) { return zipHelper().DelAllRecords(why); },
         false},
        {"Clear Activity Records", "Data/Quiz", When::Listed,
         [](const QString &, QString *why) { return zipHelper().clearSession(why); }, false},
        {"a backup to a folder of the teacher's", "Out", When::Noted,
         [](const QString &root, QString *why) { return zipHelper().backupFilTo(root + "/Out/backup.zip", why); }, false},
        {"the archive a restore keeps of the data it replaces", "Backups", When::Noted,
         [](const QString &, QString *why) {
             QString archive;
             return zipHelper().backupBeforeRestore(&archive, why);
         },
         false},
        {"a class renamed", "Data/Classes", When::Before,
         [](const QString &, QString *why) { return TovClassXmlDatabase::sharedClassUI()->updateClassName("8C", "9A", why); }, false},
        {"a session imported", "Data/Quiz", When::Before,
         [](const QString &root, QString *why) {
             put(root + "/import.xml", session("i"));
             EXPECT_TRUE(SessionImport::check(root + "/import.xml", why).has_value()) << why->toStdString();
             return SessionImport::importFile(root + "/import.xml", root + "/Data/Quiz", "2024-05-02", nullptr, why);
         },
         false},
        {"a session file removed by its store", "Data/Quiz", When::Before,
         [](const QString &root, QString *why) { return GlobalFunctions::removeFileAtPath(root + "/Data/Quiz/Monday.xml", why); },
         false},
        {"the first-run files", "Help", When::HelpWritten,
         [](const QString &root, QString *) {
             const QString archive = makeZipArchive(root + "/first-run.zip", {{"Pollix/Help/", ""}, {"Pollix/Help/Manual.pdf", "%PDF"}});
             return SystemFileUnpacker::unZipSystemFile(archive, root) != SystemFileUnpacker::Failed;
         },
         std::nullopt},
    };
    for (const auto &row : rows) {
        QTemporaryDir rootDir, outsideDir;
        const QString root = QFileInfo(rootDir.path()).canonicalFilePath(), outside = outsideDir.path();
        prepare(root);
        put(outside + "/Quiz/Monday.xml", session("the teacher's own"));
        put(outside + "/Classes/8C.xml", classFile("the teacher's own 8C"));
        for (const char *folder : {"Out", "Backups", "Help"})
            QDir().mkpath(outside + "/" + folder);
        const QString from = root + "/" + row.swapped;
        const QString to = outside + "/" + QString(row.swapped).remove("Data/");
        const Files before = everythingBelow(outside);
        bool swapped = false;
        const auto swap = [&] {
            if (!swapped)
                swapped = linkInstead(from, to);
        };
        switch (row.when) {
        case When::Before: swap(); break;
        case When::Listed: RecordDeletion::setListedHook([&](const QString &) { swap(); }); break;
        case When::Noted:
            AtomicFile::setFailureHook([&](const QString &path) {
                if (path.endsWith("/.unfinished-work"))
                    swap();
                return false;
            });
            break;
        case When::HelpWritten:
            AtomicFile::setBeginHook([&](const QString &path) {
                if (path.contains("/Help/"))
                    swap();
            });
            break;
        }
        QString why;
        const bool answer = row.act(root, &why);
        AtomicFile::setFailureHook({});
        AtomicFile::setBeginHook({});
        RecordDeletion::setListedHook({});
        EXPECT_TRUE(swapped) << row.place;
        EXPECT_EQ(everythingBelow(outside), before) << row.place;
        if (row.answer) {
            EXPECT_EQ(answer, *row.answer) << row.place << ": " << why.toStdString();
        }
    }
}

// A folder of the data folder that an administrator moved to another disk and linked back
// before Pollix started is gone through by every change, as saves go through it; a link put in
// the folder's place once Pollix runs, or the administrator's link pointed elsewhere since (at a
// folder holding files of the same names), leads none of them there. Each change, with the
// folder it works in linked each way.
TEST_F(HeldFoldersTest, AFolderLinkedBeforeTheStartIsFollowedByEveryChangeAndOneLinkedLaterByNone)
{
    using Act = std::function<bool(const QString &root, QString *why)>;
    const auto firstRun = [](const QString &root, QString *) {
        const QString archive = makeZipArchive(root + "/first-run.zip", {{"Pollix/Data/Quiz/", ""}});
        return SystemFileUnpacker::unZipSystemFile(archive, root) != SystemFileUnpacker::Failed;
    };
    const struct
    {
        const char *change;
        const char *folder; // below the data folder: moved out and linked back
        Act act;
        QMap<QString, QByteArray> after; // the moved folder's files once done: each name, and text it holds
        bool startOnly = false;          // done as Pollix starts, so never after a later link
        std::function<void(const QString &root, const QString &moved)> before = {};
    } rows[] = {
        {"a session saved", "Quiz",
         [](const QString &root, QString *why) {
             return GlobalFunctions::createQXmlFileAtPath(root + "/Data/Quiz/Tuesday.xml", session("t"), why);
         },
         {{"Monday.xml", "<ID>m</ID>"}, {"Tuesday.xml", "<ID>t</ID>"}}},
        {"a session deleted", "Quiz",
         [](const QString &root, QString *why) { return GlobalFunctions::removeFileAtPath(root + "/Data/Quiz/Monday.xml", why); },
         {}},
        {"a session imported", "Quiz",
         [](const QString &root, QString *why) {
             put(root + "/import.xml", session("i"));
             return SessionImport::importFile(root + "/import.xml", root + "/Data/Quiz", "2024-05-02", nullptr, why);
         },
         {{"Monday.xml", "<ID>m</ID>"}, {"Week2024-05-02.xml", "<ID>i</ID>"}}},
        {"a class renamed", "Classes",
         [](const QString &, QString *why) { return TovClassXmlDatabase::sharedClassUI()->updateClassName("8C", "9A", why); },
         {{"9A.xml", "<ClassName>9A</ClassName>"}}},
        {"a student added to the roster and a class", "Classes", [](const QString &, QString *why) { return addStudent("A7", why); },
         {{"8C.xml", "<ID>A7</ID>"}}},
        {"Delete All Records", "Quiz", [](const QString &, QString *why) { return zipHelper().DelAllRecords(why); }, {}},
        {"a backup", "Quiz",
         [](const QString &root, QString *why) {
             if (!zipHelper().backupFilTo(root + "/Out/backup.zip", why))
                 return false;
             // Both passes go through the folder, as through one of the data folder.
             ZipArchive zip;
             const bool opened = zip.UnzipOpenFile(root + "/Out/backup.zip", why);
             QStringList names;
             for (const ZipArchive::Entry &e : (opened ? zip.entries(why) : std::nullopt).value_or(QList<ZipArchive::Entry>()))
                 names << e.name;
             *why = names.join(", ");
             return names.contains("/Quiz/Monday.xml") && names.contains("//Quiz/Monday.xml");
         },
         {{"Monday.xml", "<ID>m</ID>"}}},
        {"a restore", "Quiz",
         [](const QString &root, QString *why) {
             const QString archive = makeZipArchive(root + "/Out/friday.zip", {{"/Quiz/Friday.xml", session("f")},
                                                                                 {"//Quiz/Friday.xml", session("f")},
                                                                                 {"//UserList.xml", DataFiles::accounts()}});
             return zipHelper().recoverFileFrom(archive, why) && readFile(root + "/Data/Quiz/Friday.xml") == session("f");
         },
         {{"Monday.xml", "<ID>m</ID>"}}},
        {"the first-run files", "Quiz", firstRun, {{"Monday.xml", "<ID>m</ID>"}}},
        {"a change of two files cut short, finished as Pollix starts", "Classes",
         [](const QString &, QString *why) { return DataRecovery::run(why); }, {{"8C.xml", "finished"}}, true,
         [](const QString &root, const QString &moved) {
             put(moved + "/8C.xml.new-0a0b0c0d", classFile("finished"));
             ASSERT_EQ(::link(QFile::encodeName(moved + "/8C.xml").constData(),
                              QFile::encodeName(moved + "/8C.xml.old-0a0b0c0d").constData()),
                       0);
             put(root + "/Data/.change-0a0b0c0d.journal",
                 "Pollix change journal 1\nforward\nClasses/8C.xml Classes/8C.xml.new-0a0b0c0d Classes/8C.xml.old-0a0b0c0d\nend\n");
         }},
        {"what a save cut short left, removed as Pollix starts", "Quiz",
         [](const QString &, QString *why) { return DataRecovery::run(why); }, {{"Monday.xml", "<ID>m</ID>"}}, true,
         [](const QString &, const QString &moved) { put(moved + "/Monday.xml.tmp-0a0b0c0d", "half a save"); }},
    };
    enum class Linked { BeforeTheStart, InTheFoldersPlaceLater, PointedElsewhereLater };
    for (const auto &row : rows) {
        for (const Linked linking : {Linked::BeforeTheStart, Linked::InTheFoldersPlaceLater, Linked::PointedElsewhereLater}) {
            const bool later = linking != Linked::BeforeTheStart;
            if (later && row.startOnly)
                continue;
            const std::string label = std::string(row.change) + (linking == Linked::BeforeTheStart          ? ", linked before the start"
                                                                 : linking == Linked::InTheFoldersPlaceLater ? ", linked later"
                                                                                                             : ", pointed elsewhere later");
            QTemporaryDir rootDir, outsideDir, elsewhereDir;
            const QString root = QFileInfo(rootDir.path()).canonicalFilePath();
            const QString linked = root + "/Data/" + row.folder, moved = outsideDir.path() + "/" + row.folder;
            put(root + "/Data/Quiz/Monday.xml", session("m"));
            put(root + "/Data/Classes/8C.xml", classFile("8C"));
            if (linking != Linked::InTheFoldersPlaceLater) {
                // As an administrator puts the folder on another disk.
                ASSERT_TRUE(QDir().rename(linked, moved)) << label;
                ASSERT_TRUE(QFile::link(moved, linked)) << label;
                if (row.before)
                    row.before(root, moved);
            }
            prepare(root);
            // Once Pollix runs, another folder of files of the same names put in the folder's place.
            const QString other = elsewhereDir.path() + "/" + row.folder;
            put(other + "/Monday.xml", session("the teacher's own"));
            put(other + "/8C.xml", classFile("the teacher's own 8C"));
            const Files before = everythingBelow(elsewhereDir.path());
            if (linking == Linked::InTheFoldersPlaceLater) {
                ASSERT_TRUE(linkInstead(linked, other)) << label;
            } else if (linking == Linked::PointedElsewhereLater) {
                ASSERT_TRUE(QFile::remove(linked) && QFile::link(other, linked)) << label;
            }
            QString why;
            const bool done = row.act(root, &why);
            if (later) {
                EXPECT_EQ(everythingBelow(elsewhereDir.path()), before) << label;
                EXPECT_TRUE(QFileInfo(linked).isSymLink()) << label;
                continue;
            }
            EXPECT_TRUE(done) << label << ": " << why.toStdString();
            const Files now = everythingBelow(moved);
            EXPECT_EQ(now.keys(), row.after.keys()) << label << ": " << QStringList(now.keys()).join(", ").toStdString();
            for (auto it = row.after.cbegin(); it != row.after.cend(); ++it)
                EXPECT_TRUE(now.value(it.key()).contains(it.value())) << label << ": " << it.key().toStdString();
        }
    }
}

// A start finishes what the record of unfinished work names only inside the application folder:
// a line naming a backup's part file elsewhere, with that very file's device and inode and this
// process (whose work is over), removes nothing there.
TEST_F(HeldFoldersTest, ALineOfUnfinishedWorkNamingAPartFileOutsideTheFolderRemovesNothing)
{
    QTemporaryDir outsideDir;
    const QString outside = QFileInfo(outsideDir.path()).canonicalFilePath();
    const QString part = outside + "/marks.zip.part-12345678";
    put(part, "the teacher's file");
    put(home() + "Data/UserList.xml", DataFiles::accounts());
    struct stat st{};
    ASSERT_EQ(::lstat(QFile::encodeName(part).constData(), &st), 0);
    put(home() + ".unfinished-work", QByteArray::number(qint64(::getpid())) + ' ' + ProcessStart::of(::getpid()).toLatin1() + ' ' +
                                         QByteArray::number(quint64(st.st_dev)) + ' ' + QByteArray::number(quint64(st.st_ino)) +
                                         '\t' + part.toUtf8() + '\n');
    QString why;
    LeftAloneList leftAlone;
    DataRecovery::run(&why, nullptr, &leftAlone);
    EXPECT_EQ(readFile(part), "the teacher's file");
    const bool named = std::any_of(leftAlone.cbegin(), leftAlone.cend(), [&](const LeftAlone &found) {
        return found.path == part && found.text.contains("lies outside the application folder");
    });
    EXPECT_TRUE(named) << why.toStdString();
}

// After the part file of an archive is synced and before it is put in place, what lies under its
// name is swapped for a hard link to a file of the teacher's, a link to it, a pipe or a folder:
// the archive is not reported saved, the archive saved before keeps its place, and the teacher's
// file stays as it was.
TEST_F(HeldFoldersTest, AnArchiveIsReportedSavedOnlyWhenItsNameLeadsToTheFileWritten)
{
    enum class Swap { HardLink, Link, Pipe, Folder };
    const struct
    {
        const char *label;
        Swap swap;
        bool beforeRestore; // the archive a restore keeps, else a backup to the teacher's folder
    } rows[] = {
        {"a hard link to the teacher's file", Swap::HardLink, false},
        {"a symbolic link to it", Swap::Link, false},
        {"a pipe", Swap::Pipe, false},
        {"a folder", Swap::Folder, false},
        {"a symbolic link, in the archive a restore keeps", Swap::Link, true},
    };
    for (const auto &row : rows) {
        QTemporaryDir rootDir;
        const QString root = QFileInfo(rootDir.path()).canonicalFilePath();
        prepare(root);
        const QString letter = root + "/letter.txt", archive = root + "/Out/backup.zip";
        put(letter, "the teacher's letter");
        put(archive, "the backup made before");
        BackupWriter::setPartSyncedHook([&](const QString &part) {
            const QByteArray native = QFile::encodeName(part);
            EXPECT_EQ(::unlink(native.constData()), 0);
            switch (row.swap) {
            case Swap::HardLink: EXPECT_EQ(::link(QFile::encodeName(letter).constData(), native.constData()), 0); break;
            case Swap::Link: EXPECT_TRUE(QFile::link(letter, part)); break;
            case Swap::Pipe: EXPECT_EQ(::mkfifo(native.constData(), 0600), 0); break;
            case Swap::Folder: EXPECT_TRUE(QDir().mkdir(part)); break;
            }
        });
        QString why, kept;
        const bool saved = row.beforeRestore ? zipHelper().backupBeforeRestore(&kept, &why) : zipHelper().backupFilTo(archive, &why);
        BackupWriter::setPartSyncedHook({});
        EXPECT_FALSE(saved) << row.label;
        EXPECT_TRUE(why.contains("is no longer the archive Pollix wrote")) << row.label << ": " << why.toStdString();
        EXPECT_EQ(contentOf(letter), "the teacher's letter") << row.label;
        EXPECT_EQ(contentOf(archive), "the backup made before") << row.label;
        EXPECT_TRUE(QDir(root + "/Backups").entryList({"*.zip"}, QDir::AllEntries | QDir::System).isEmpty()) << row.label;
    }
}

// Delete All Records and Clear Activity Records remove the data files; a pipe or a link under a
// data file's name is no file Pollix wrote: it stays, and the answer names it and says why.
TEST_F(HeldFoldersTest, DeletingNamesWhatItLeftUnderADataFilesName)
{
    enum class Kind { Pipe, LinkToAFile, DanglingLink };
    const struct
    {
        const char *name; // below the data folder
        Kind kind;
        bool all; // Delete All Records, else Clear Activity Records
        const char *said;
    } rows[] = {
        {"Quiz/Friday.xml", Kind::Pipe, true, "Quiz/Friday.xml is no regular file"},
        {"CourseGrade/Points.xml", Kind::Pipe, false, "CourseGrade/Points.xml is no regular file"},
        {"Classes/9A.xml", Kind::LinkToAFile, true, "Classes/9A.xml is a symbolic link"},
        {"Quiz/Gone.xml", Kind::DanglingLink, false, "Quiz/Gone.xml is a symbolic link"},
    };
    for (const auto &row : rows) {
        QTemporaryDir rootDir;
        const QString root = QFileInfo(rootDir.path()).canonicalFilePath(), letter = root + "/letter.xml";
        prepare(root);
        put(letter, "the teacher's letter");
        const QString path = root + "/Data/" + row.name;
        switch (row.kind) {
        case Kind::Pipe: ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0); break;
        case Kind::LinkToAFile: ASSERT_TRUE(QFile::link(letter, path)); break;
        case Kind::DanglingLink: ASSERT_TRUE(QFile::link(root + "/nothing.xml", path)); break;
        }
        QString why;
        EXPECT_FALSE(row.all ? zipHelper().DelAllRecords(&why) : zipHelper().clearSession(&why)) << row.name;
        EXPECT_TRUE(why.contains(row.said)) << row.name << ": " << why.toStdString();
        EXPECT_TRUE(QFileInfo(path).isSymLink() || QFileInfo::exists(path)) << row.name;
        EXPECT_FALSE(QFileInfo::exists(root + "/Data/Quiz/Monday.xml")) << row.name;
        EXPECT_EQ(contentOf(letter), "the teacher's letter") << row.name;
    }
}

// A folder of the data folder's own made a link while Pollix runs, or an administrator's link
// pointed at another folder since the start: a restore says what became of the folder (made a
// link, or its link pointed elsewhere; not what its name was in the way of), before the archive
// is read through, and also when the link is put in place while it reads; nothing changes on
// either side of the link.
TEST_F(HeldFoldersTest, ARestoreSaysThatAFolderOfTheDataBecameALinkAndChangesNothing)
{
    enum class When { Before, PointedElsewhereBefore, WhileItReads };
    for (const When when : {When::Before, When::PointedElsewhereBefore, When::WhileItReads}) {
        const std::string label = when == When::Before                  ? "linked before the restore"
                                   : when == When::PointedElsewhereBefore ? "pointed elsewhere before the restore"
                                                                          : "linked while the restore reads";
        QTemporaryDir rootDir, outsideDir, elsewhereDir;
        const QString root = QFileInfo(rootDir.path()).canonicalFilePath(), linked = root + "/Data/Quiz";
        put(root + "/Data/Quiz/Monday.xml", session("m"));
        if (when == When::PointedElsewhereBefore) {
            // As an administrator puts the folder on another disk, before the start.
            ASSERT_TRUE(QDir().rename(linked, outsideDir.path() + "/Quiz")) << label;
            ASSERT_TRUE(QFile::link(outsideDir.path() + "/Quiz", linked)) << label;
        }
        prepare(root);
        const QString archive = makeZipArchive(root + "/Out/friday.zip", {{"/Quiz/Friday.xml", session("f")},
                                                                            {"//Quiz/Friday.xml", session("f")},
                                                                            {"//UserList.xml", DataFiles::accounts()}});
        const QString other = elsewhereDir.path() + "/Quiz";
        put(other + "/Monday.xml", session("the teacher's own"));
        bool done = false;
        const auto link = [&] {
            if (!done)
                done = when == When::PointedElsewhereBefore ? QFile::remove(linked) && QFile::link(other, linked) : linkInstead(linked, other);
        };
        if (when != When::WhileItReads)
            link();
        const Files elsewhere = everythingBelow(elsewhereDir.path()), outside = everythingBelow(outsideDir.path());
        const QByteArray classes = readFile(root + "/Data/Classes/8C.xml"), accounts = readFile(root + "/Data/UserList.xml");
        QString why;
        EXPECT_FALSE(zipHelper().recoverFileFrom(archive, &why, [&](int, int) {
            if (when == When::WhileItReads)
                link();
        })) << label;
        EXPECT_TRUE(done) << label;
        const QString said = when == When::PointedElsewhereBefore
                                 ? QDir::toNativeSeparators(linked) + " is a link that led to " +
                                       QFileInfo(outsideDir.path() + "/Quiz").canonicalFilePath() + " when Pollix started, and it leads to " +
                                       other + " now"
                                 : QDir::toNativeSeparators(linked) + " became a link to another folder while Pollix was running";
        EXPECT_TRUE(why.contains(said)) << label << ": " << why.toStdString();
        EXPECT_TRUE(why.contains("nothing was replaced")) << label << ": " << why.toStdString();
        EXPECT_TRUE(QFileInfo(linked).isSymLink()) << label;
        EXPECT_EQ(everythingBelow(elsewhereDir.path()), elsewhere) << label;
        EXPECT_EQ(everythingBelow(outsideDir.path()), outside) << label;
        EXPECT_EQ(readFile(root + "/Data/Classes/8C.xml"), classes) << label;
        EXPECT_EQ(readFile(root + "/Data/UserList.xml"), accounts) << label;
        EXPECT_EQ(QDir(root).entryList({"Data?*"}, QDir::AllEntries | QDir::Hidden | QDir::System), QStringList()) << label;
    }
}

// The data folder itself moved aside while Pollix runs, and a link to a copy of it on another
// disk put in its place: each change is refused, naming the folder and the way out, and nothing
// changes where the link leads nor in the data moved aside. A student added before the swap went
// into the data; one added after goes nowhere.
TEST_F(HeldFoldersTest, TheDataFolderSwappedForALinkWhilePollixRunsLeadsNoChangeThere)
{
    for (const DataStep &step : {kStudentAdded, kSessionSaved, kBackup, kRestore, kDeleteAll, kClearActivities}) {
        QTemporaryDir rootDir, diskDir;
        const QString root = QFileInfo(rootDir.path()).canonicalFilePath(), copy = diskDir.path() + "/Data";
        prepare(root);
        QString why;
        ASSERT_TRUE(addStudent("A7", &why)) << why.toStdString();
        ASSERT_EQ(QProcess::execute("cp", {"-a", root + "/Data", copy}), 0);
        ASSERT_TRUE(QDir().rename(root + "/Data", root + "/Data.moved"));
        ASSERT_TRUE(QFile::link(copy, root + "/Data"));
        const Files there = everythingBelow(diskDir.path()), moved = everythingBelow(root + "/Data.moved");
        EXPECT_FALSE(step.act(root, &why)) << step.label;
        EXPECT_TRUE(why.contains(root + "/Data became a link to another folder while Pollix was running")) << step.label << ": "
                                                                                                             << why.toStdString();
        EXPECT_TRUE(why.contains("Put the folder back in the link's place and try again, or quit Pollix and start it again"))
            << step.label << ": " << why.toStdString();
        EXPECT_EQ(everythingBelow(diskDir.path()), there) << step.label;
        EXPECT_EQ(everythingBelow(root + "/Data.moved"), moved) << step.label;
        EXPECT_TRUE(moved.value("Classes/8C.xml").contains("<ID>A7</ID>")) << step.label;
        EXPECT_FALSE(QFileInfo::exists(root + "/Out/backup.zip")) << step.label;
        EXPECT_TRUE(QFileInfo(root + "/Data").isSymLink()) << step.label;
    }
}

// Backups swapped for a link to a folder elsewhere while Pollix runs: a restore, which keeps the
// data it replaces there, and the archive it would write there first are refused, naming the
// folder and the way out; nothing lands where the link leads, and the data stay as they were.
TEST_F(HeldFoldersTest, BackupsSwappedForALinkWhilePollixRunsKeepsNothingThere)
{
    const DataStep archived{"the archive a restore keeps of the data it replaces", [](const QString &, QString *why) {
                                QString archive;
                                return zipHelper().backupBeforeRestore(&archive, why);
                            }};
    for (const DataStep &step : {kRestore, archived}) {
        QTemporaryDir rootDir, elsewhereDir;
        const QString root = QFileInfo(rootDir.path()).canonicalFilePath();
        prepare(root);
        QDir().mkpath(elsewhereDir.path() + "/Backups");
        ASSERT_TRUE(linkInstead(root + "/Backups", elsewhereDir.path() + "/Backups"));
        const Files data = everythingBelow(root + "/Data");
        QString why;
        EXPECT_FALSE(step.act(root, &why)) << step.label;
        EXPECT_TRUE(why.contains(root + "/Backups is a symbolic link to another folder, and Pollix keeps nothing in that folder of "
                                        "the application folder through a link. Put a folder in the link's place"))
            << step.label << ": " << why.toStdString();
        EXPECT_EQ(everythingBelow(elsewhereDir.path()), (Files{{"Backups", "folder"}})) << step.label;
        EXPECT_EQ(everythingBelow(root + "/Data"), data) << step.label;
    }
}

// A folder linked from another disk before Pollix started (the data folder itself, or its
// sessions' folder), whose folder then goes away (the disk unplugged) or whose link is pointed at
// another folder, or the sessions' link whose folder was gone already as Pollix started: each
// change that would go through it is refused saying what happened and the way out for that case,
// never that the folder became a link; nothing lands on either side.
TEST_F(HeldFoldersTest, ALinkFromTheStartWhoseFolderWentAwayOrThatLeadsElsewhereIsSaidAsSuch)
{
    enum class Then { FolderGone, PointedElsewhere, GoneAtTheStart };
    for (const char *linked : {"Data/Quiz", "Data"}) {
        for (const Then then : {Then::FolderGone, Then::PointedElsewhere, Then::GoneAtTheStart}) {
            if (then == Then::GoneAtTheStart && QString(linked) == "Data")
                continue; // a data folder reached at no start is no data folder to change
            for (const DataStep &step : {kSessionSaved, kBackup, kRestore, kDeleteAll}) {
                const std::string label = std::string(linked) +
                                          (then == Then::FolderGone         ? ", its folder gone, "
                                           : then == Then::PointedElsewhere ? ", pointed elsewhere, "
                                                                            : ", its folder gone at the start, ") +
                                          step.label;
                QTemporaryDir rootDir, diskDir, otherDir;
                const QString root = QFileInfo(rootDir.path()).canonicalFilePath();
                const QString link = root + "/" + linked, name = QFileInfo(link).fileName();
                const QString disk = QFileInfo(diskDir.path()).canonicalFilePath() + "/" + name, other = otherDir.path() + "/" + name;
                put(root + "/Data/Quiz/Monday.xml", session("m"));
                put(root + "/Data/Classes/8C.xml", classFile("8C"));
                ASSERT_TRUE(QDir().rename(link, disk)) << label;
                ASSERT_TRUE(QFile::link(disk, link)) << label;
                prepare(root, false, [&] {
                    if (then == Then::GoneAtTheStart) {
                        EXPECT_TRUE(QDir().rename(disk, disk + ".unplugged")) << label;
                    }
                });
                put(other + "/Monday.xml", session("the teacher's own"));
                if (then == Then::FolderGone) {
                    ASSERT_TRUE(QDir().rename(disk, disk + ".unplugged")) << label;
                } else if (then == Then::PointedElsewhere) {
                    ASSERT_TRUE(QFile::remove(link) && QFile::link(other, link)) << label;
                }
                const Files away = everythingBelow(diskDir.path()), elsewhere = everythingBelow(otherDir.path());
                QString why;
                EXPECT_FALSE(step.act(root, &why)) << label;
                const QString said =
                    then == Then::FolderGone ? link + " is a link, and the folder it led to when Pollix started (" + disk +
                                                   ") cannot be reached now (No such file or directory). Pollix goes through that "
                                                   "link to that folder alone. Plug the disk it lies on back in, or make the "
                                                   "folder reachable again, and try again."
                    : then == Then::PointedElsewhere
                        ? link + " is a link that led to " + disk + " when Pollix started, and it leads to " + other +
                              " now. Pollix goes through that link to the folder it led to then alone. Point the link back to " +
                              disk + " and try again, or quit Pollix and start it again"
                        : link + " is a link that led to no folder when Pollix started (it leads to " + disk +
                              "), and Pollix goes through no link that did not lead to a folder then. Make that folder "
                              "reachable, then quit Pollix and start it again";
                EXPECT_TRUE(why.contains(said)) << label << ": " << why.toStdString();
                EXPECT_FALSE(why.contains("became a link")) << label << ": " << why.toStdString();
                // Whole sentences of its own, never an item of a list of files.
                EXPECT_FALSE(why.contains(": " + link)) << label << ": " << why.toStdString();
                EXPECT_EQ(everythingBelow(diskDir.path()), away) << label;
                EXPECT_EQ(everythingBelow(otherDir.path()), elsewhere) << label;
            }
        }
    }
}

// The data folder linked from another disk before Pollix started stays the data folder after
// Pollix replaced the folder the link leads to itself: by a restore (the names exchanged, or, on
// a disk that cannot exchange them, two renames), or by a start finishing such a restore cut
// short. A session saved and a backup afterwards go through the link into the restored data.
TEST_F(HeldFoldersTest, ADataFolderLinkedFromTheStartIsGoneThroughAfterPollixReplacedItsFolder)
{
    enum class By { Restore, RestoreByTwoRenames, StartFinishingARestore };
    for (const By by : {By::Restore, By::RestoreByTwoRenames, By::StartFinishingARestore}) {
        const std::string label = by == By::Restore               ? "a restore"
                                  : by == By::RestoreByTwoRenames ? "a restore by two renames"
                                                                  : "a start finishing a restore cut short";
        QTemporaryDir rootDir, diskDir;
        const QString root = QFileInfo(rootDir.path()).canonicalFilePath(), disk = QFileInfo(diskDir.path()).canonicalFilePath();
        put(disk + "/Data/Quiz/Monday.xml", session("m"));
        put(disk + "/Data/Classes/8C.xml", classFile("8C"));
        ASSERT_TRUE(QFile::link(disk + "/Data", root + "/Data")) << label;
        if (by == By::StartFinishingARestore) {
            // Cut short before its first rename: the restored data staged whole beside the data.
            put(disk + "/Data.restore-aBc123/Quiz/Friday.xml", session("f"));
            put(disk + "/Data.restore-aBc123/Classes/8C.xml", classFile("8C"));
            put(disk + "/Data.restore-aBc123/UserList.xml", DataFiles::accounts());
            ASSERT_TRUE(FolderMark::write(FolderHandle::open(disk + "/Data.restore-aBc123", false), FolderMark::Kind::Restored));
            QDir().mkpath(disk + "/Data.old-dEf456");
            put(disk + "/.Data.swap-0000abcd.journal", "Pollix folder swap 1\nData\nData.restore-aBc123\nData.old-dEf456\nend\n");
        }
        prepare(root, by == By::StartFinishingARestore);
        QString why;
        if (by != By::StartFinishingARestore) {
            FolderHandle::setRefusalsForTesting({.renameFlags = by == By::RestoreByTwoRenames});
            const bool restored = kRestore.act(root, &why);
            FolderHandle::setRefusalsForTesting({});
            ASSERT_TRUE(restored) << label << ": " << why.toStdString();
        }
        ASSERT_TRUE(readFile(disk + "/Data/Quiz/Friday.xml").contains("<ID>f</ID>")) << label;
        EXPECT_TRUE(kSessionSaved.act(root, &why)) << label << ": " << why.toStdString();
        EXPECT_TRUE(readFile(disk + "/Data/Quiz/Tuesday.xml").contains("<ID>t</ID>")) << label;
        EXPECT_TRUE(kBackup.act(root, &why)) << label << ": " << why.toStdString();
        EXPECT_TRUE(QFileInfo(root + "/Out/backup.zip").isFile()) << label;
        EXPECT_TRUE(QFileInfo(root + "/Data").isSymLink()) << label;
    }
}

// The application folder named through a link (as a school's profile may name it), pointed while
// Pollix runs at another application folder that another running Pollix holds: each change is
// refused, saying where the link led and leads, with the way out; neither folder changes.
TEST_F(HeldFoldersTest, TheApplicationFolderPointedAtAnotherWhilePollixRunsLeadsNoChangeThere)
{
    QTemporaryDir placesDir;
    const QString places = QFileInfo(placesDir.path()).canonicalFilePath();
    const QString ours = places + "/ours", theirs = places + "/theirs", link = places + "/Pollix";
    ASSERT_TRUE(QDir().mkpath(theirs));
    RunningPollix other(theirs);
    ASSERT_TRUE(other.saw("First-run files:", kEventWaitMs) && QTest::qWaitFor([&] { return other.holds(theirs); }, kEventWaitMs))
        << other.output.toStdString();
    // Stopped, it changes nothing of its folder by itself while the steps run; its lock stays held.
    ASSERT_EQ(::kill(pid_t(other.process.processId()), SIGSTOP), 0);
    const auto wake = qScopeGuard([&] { ::kill(pid_t(other.process.processId()), SIGCONT); });
    const QString archive = makeZipArchive(places + "/friday.zip", {{"/Quiz/Friday.xml", session("f")},
                                                                    {"//Quiz/Friday.xml", session("f")},
                                                                    {"//UserList.xml", DataFiles::accounts()}});
    const DataStep restore{"a restore", [&](const QString &, QString *why) {
                               QString kept;
                               return zipHelper().recoverFileFrom(archive, why, {}, &kept);
                           }};
    for (const DataStep &step : {kStudentAdded, kSessionSaved, kDeleteAll, kClearActivities, restore}) {
        QDir(ours).removeRecursively();
        QFile::remove(link);
        ASSERT_TRUE(QDir().mkpath(ours) && QFile::link(ours, link)) << step.label;
        prepare(link);
        const Files theirsBefore = everythingBelow(theirs), oursBefore = everythingBelow(ours);
        ASSERT_TRUE(QFile::remove(link) && QFile::link(theirs, link)) << step.label;
        QString why;
        EXPECT_FALSE(step.act(link, &why)) << step.label;
        EXPECT_TRUE(why.contains(link + " is a link that led to " + ours + " when Pollix started, and it leads to " + theirs +
                                 " now. Pollix goes through that link to the folder it led to then alone. Point the link back"))
            << step.label << ": " << why.toStdString();
        EXPECT_EQ(everythingBelow(theirs), theirsBefore) << step.label;
        EXPECT_EQ(everythingBelow(ours), oursBefore) << step.label;
    }
}

// A student added (the roster and a class under one journal) whose data folder is swapped at one of
// its moves, for a link to a copy or for a plain copy, says saved; with the folder put back, no
// journal of it is left and the next student added is saved too.
TEST_F(HeldFoldersTest, AChangeMadeWhileTheDataFolderWasSwappedLeavesNoJournalToHoldBackTheNextSave)
{
    const auto restoreHook = qScopeGuard([] { FolderHandle::setMomentHook({}); });
    for (const bool forALink : {true, false}) {
        for (const char *movedAt : {"StudentRoster.xml", "8C.xml"}) {
            const std::string label = std::string(forALink ? "for a link" : "for a copy") + ", at the move of " + movedAt;
            QTemporaryDir rootDir, diskDir;
            const QString root = QFileInfo(rootDir.path()).canonicalFilePath(), data = root + "/Data";
            const QString copy = forALink ? diskDir.path() + "/Data" : root + "/Data.copy";
            prepare(root);
            QString why;
            ASSERT_TRUE(addStudent("A7", &why)) << label << ": " << why.toStdString(); // the roster is there
            bool swapped = false;
            FolderHandle::setMomentHook([&](FolderHandle::Moment moment, const QString &path) {
                if (!swapped && moment == FolderHandle::Moment::Exchanged && QFileInfo(path).fileName() == movedAt)
                    swapped = QProcess::execute("cp", {"-a", data, copy}) == 0 && QDir().rename(data, data + ".moved") &&
                              (forALink ? QFile::link(copy, data) : QDir().rename(copy, data));
            });
            EXPECT_TRUE(addStudent("A8", &why)) << label << ": " << why.toStdString();
            FolderHandle::setMomentHook({});
            ASSERT_TRUE(swapped && (forALink ? QFile::remove(data) : QDir().rename(data, copy)) && QDir().rename(data + ".moved", data))
                << label;
            EXPECT_EQ(QDir(data).entryList({".change-*"}, QDir::AllEntries | QDir::Hidden | QDir::System), QStringList()) << label;
            EXPECT_TRUE(addStudent("A9", &why)) << label << ": " << why.toStdString();
            EXPECT_TRUE(readFile(data + "/Classes/8C.xml").contains("<ID>A8</ID>")) << label;
        }
    }
}

// A restore whose data folder is swapped for a link to a copy of it between the sync of its files
// and the swap (names exchanged, or two renames) is refused as its other steps refuse such a
// folder: nothing replaced, the link not kept in Backups, the data as they were.
TEST_F(HeldFoldersTest, ARestoreWhoseDataFolderBecameALinkAsItsFilesWereSyncedReplacesNothing)
{
    const auto restoreHooks = qScopeGuard([] {
        FolderSwap::setExchangeHook({});
        FolderHandle::setRefusalsForTesting({});
    });
    for (const bool exchanges : {true, false}) {
        QTemporaryDir rootDir, diskDir;
        const QString root = QFileInfo(rootDir.path()).canonicalFilePath(), data = root + "/Data", copy = diskDir.path() + "/Data";
        prepare(root);
        const QString archive = makeZipArchive(diskDir.path() + "/friday.zip", {{"/Quiz/Friday.xml", session("f")},
                                                                                 {"//Quiz/Friday.xml", session("f")},
                                                                                 {"//UserList.xml", DataFiles::accounts()}});
        const Files before = everythingBelow(data);
        bool linked = false;
        FolderSwap::setExchangeHook([&](const QString &) {
            linked = !linked && QProcess::execute("cp", {"-a", data, copy}) == 0 && QDir().rename(data, data + ".moved") &&
                     QFile::link(copy, data);
        });
        FolderHandle::setRefusalsForTesting({.renameFlags = !exchanges});
        QString why, kept;
        EXPECT_FALSE(zipHelper().recoverFileFrom(archive, &why, {}, &kept)) << exchanges;
        ASSERT_TRUE(linked) << exchanges;
        EXPECT_TRUE(why.contains(data + " became a link to another folder while Pollix was running") &&
                    why.contains("A restore does not go through such a link either, so nothing was replaced."))
            << exchanges << ": " << why.toStdString();
        EXPECT_EQ(QDir(root + "/Backups").entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden), QStringList()) << exchanges;
        EXPECT_EQ(everythingBelow(data + ".moved"), before) << exchanges;
        EXPECT_EQ(QDir(root).entryList({"Data?*"}, QDir::AllEntries | QDir::Hidden), QStringList{"Data.moved"}) << exchanges;
    }
}

// A folder linked from another disk before the start (the data folder, or its classes' folder)
// whose disk is unplugged or whose folder another one took the place of: each change of students
// there says so in the sentence of every refusal over such a folder, not the system's word on a file.
TEST_F(HeldFoldersTest, AStudentChangeThroughALinkFromTheStartWhoseFolderCannotBeReachedSaysSo)
{
    StudentEntity newcomer;
    newcomer.setId("A8");
    const std::function<RosterEdits::Result(int classNo)> changes[] = {
        [&](int no) { return RosterEdits::addNewStudent(newcomer, no, 400); },
        [&](int no) { return RosterEdits::addFromRoster({newcomer}, no, 400); },
        [](int no) { return RosterEdits::removeFromClass({"1"}, no); },
        [](int no) { return RosterEdits::deleteStudent("1", no); },
    };
    for (const char *linked : {"Data/Classes", "Data"}) {
        for (const bool leftEmpty : {false, true}) {
            for (const auto &change : changes) {
                const std::string label = std::string(linked) +
                                          (leftEmpty ? ", another folder in its place, change " : ", unplugged, change ") +
                                          std::to_string(&change - changes);
                QTemporaryDir rootDir, diskDir;
                const QString root = QFileInfo(rootDir.path()).canonicalFilePath(), link = root + "/" + linked;
                const QString disk = QFileInfo(diskDir.path()).canonicalFilePath() + "/" + QFileInfo(link).fileName();
                put(root + "/Data/Classes/8C.xml", classFile("8C"));
                ASSERT_TRUE(QDir().rename(link, disk) && QFile::link(disk, link)) << label;
                prepare(root);
                const int classNo = TovClassXmlDatabase::sharedClassUI()->classNoByName("8C");
                ASSERT_TRUE(QDir().rename(disk, disk + ".unplugged") && (!leftEmpty || QDir().mkdir(disk))) << label;
                const RosterEdits::Result r = change(classNo);
                EXPECT_FALSE(r.ok()) << label;
                const QString said = link + " is a link, and the folder it led to when Pollix started (" + disk +
                                     (leftEmpty ? ") is not there now: another folder was put at " + disk +
                                                      " in its place. Pollix goes through that link to that folder alone. "
                                                      "Put that folder back"
                                                : ") cannot be reached now (No such file or directory). Pollix goes through "
                                                  "that link to that folder alone. Plug the disk");
                EXPECT_TRUE(r.errorText.contains(said)) << label << ": " << r.errorText.toStdString();
            }
        }
    }
}

// A folder linked before the start whose link still says what it said but leads to another folder
// now: its disk unmounted, leaving the empty folder it was mounted on (a folder of another disk),
// or its folder moved aside and another put where it was (of the same disk). A session saved says
// which happened and the way out for that case, never to plug a disk in where it is to be mounted
// again; followed, the next save goes through into that very folder.
TEST_F(HeldFoldersTest, ALinkFromTheStartLeadingToAnotherFolderNowSaysWhichAndItsWayOutLetsTheSaveThrough)
{
    POLLIX_ON_SMALL_DISK(.kilobytes = 1024);
    // The disk's folder is on the small disk; where the link leads, a folder of another disk.
    const QString onDisk = SmallDisk::folder() + "/disk/Quiz";
    ASSERT_TRUE(QDir().mkpath(onDisk));
    const auto mount = [&](const QString &at) {
        return ::mount(QFile::encodeName(onDisk).constData(), QFile::encodeName(at).constData(), nullptr, MS_BIND, nullptr) == 0;
    };
    const auto unmount = [](const QString &at) { return ::umount2(QFile::encodeName(at).constData(), MNT_DETACH) == 0; };
    const struct
    {
        const char *what;
        bool mounted;
        std::function<bool(const QString &at)> away, back;
        QString said; // %1 the link, %2 where it led
    } rows[] = {
        {"its disk unmounted", true, unmount, mount,
         "%1 is a link, and the folder it led to when Pollix started (%2) lies on a disk that is not mounted there now: what "
         "is at %2 now is a folder of another disk (the folder the disk was mounted on, say). Pollix goes through that link "
         "to that folder alone. Mount that disk at %2 again and try again."},
        {"another folder put where it was", false,
         [](const QString &at) { return QDir().rename(at, at + ".moved") && QDir().mkdir(at); },
         [](const QString &at) { return QDir().rename(at, at + ".other") && QDir().rename(at + ".moved", at); },
         "%1 is a link, and the folder it led to when Pollix started (%2) is not there now: another folder was put at %2 in "
         "its place. Pollix goes through that link to that folder alone. Put that folder back at %2 (the other one moved "
         "aside) and try again, or quit Pollix and start it again: it then takes the link as it finds it."},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        QTemporaryDir rootDir, placeDir;
        const QString root = QFileInfo(rootDir.path()).canonicalFilePath(), link = root + "/Data/Quiz";
        const QString at = QFileInfo(placeDir.path()).canonicalFilePath() + "/Quiz";
        ASSERT_TRUE(QDir().mkpath(at) && QDir().mkpath(root + "/Data") && QFile::link(at, link));
        ASSERT_TRUE(!row.mounted || mount(at)) << std::strerror(errno);
        const auto unmounted = qScopeGuard([&] {
            if (row.mounted)
                unmount(at);
        });
        prepare(root);
        ASSERT_TRUE(row.away(at)) << std::strerror(errno);
        QString why;
        EXPECT_FALSE(kSessionSaved.act(root, &why));
        EXPECT_EQ(why, row.said.arg(link, at));
        EXPECT_FALSE(QFileInfo(at + "/Tuesday.xml").exists());

        ASSERT_TRUE(row.back(at)) << std::strerror(errno);
        EXPECT_TRUE(kSessionSaved.act(root, &why)) << why.toStdString();
        EXPECT_TRUE(readFile(at + "/Tuesday.xml").contains("<ID>t</ID>"));
        EXPECT_TRUE(readFile(at + "/Monday.xml").contains("<ID>m</ID>"));
    }
}
