// A start on folders where nothing could be saved says so at once, as the program's start does
// (PollixProgram::claimApplicationFolder), and ends having made nothing there: no folder, no lock,
// no file tried.
#include "platform/FolderHandle.h"
#include "platform/InstanceLock.h"
#include "support/DialogAnswers.h"
#include "support/KilledRuns.h"
#include "support/OrdinaryUser.h"
#include "support/ReadOnlyFolders.h"
#include "ui/app/PollixProgram.h"
#include "ui/app/StartRecovery.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {
// Everything below root, folders and hidden files too.
QStringList everythingBelow(const QString &root)
{
    QStringList out;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << QDir(root).relativeFilePath(it.next());
    out.sort();
    return out;
}

const QString kCannotSave = "Pollix cannot save anything in this application folder, and ends.";
const QString kCannotLock = "Pollix cannot lock this application folder.";
} // namespace

// A folder of the school's read-only copy, another account's, or below one: the start names what
// cannot be written and why, and holds no lock, so that no later start joins it unannounced. The
// read-only application folder of a school image whose data folder can be written still starts.
TEST(StartFolders, AFolderNothingCanBeSavedInEndsTheStartNamingItAndWhyWithoutALock)
{
    POLLIX_AS_ORDINARY_USER();
    struct Row
    {
        const char *what;
        // Readies the folders; answers the application folder to start on.
        std::function<QString(ReadOnlyFolders &)> ready;
        QString alert;            // none: the start goes on
        QStringList said;         // in the alert, each relative to the temporary folder
        QString lockIn = {};      // where a start that goes on holds its lock
    };
    const QList<Row> rows{
        {"the application folder and its data folder read-only",
         [](ReadOnlyFolders &f) { return f.makeReadOnly(f.data()) && f.makeReadOnly(f.folder()) ? f.folder() : QString(); },
         kCannotSave, {"Pollix/Data cannot be written (Permission denied)."}},
        {"the data folder alone read-only",
         [](ReadOnlyFolders &f) { return f.makeReadOnly(f.data()) ? f.folder() : QString(); }, kCannotSave,
         {"Pollix/Data cannot be written (Permission denied)."}},
        {"the sessions' folder alone read-only",
         [](ReadOnlyFolders &f) {
             return QDir(f.data()).mkdir("Quiz") && f.makeReadOnly(f.data() + "/Quiz") ? f.folder() : QString();
         },
         kCannotSave, {"Pollix/Data/Quiz cannot be written (Permission denied)."}},
        {"a new folder named below a read-only one",
         [](ReadOnlyFolders &f) { return f.makeReadOnly(f.folder()) ? f.folder() + "/Term 2/Pollix" : QString(); },
         kCannotSave, {"Pollix/Term 2 cannot be made, as ", "Pollix cannot be written (Permission denied)."}},
        {"a folder this account may not enter",
         [](ReadOnlyFolders &f) { return QFile::setPermissions(f.folder(), {}) ? f.folder() : QString(); }, kCannotSave,
         {"Pollix/Data cannot be opened: Permission denied"}},
        {"a writable folder whose lock's places are taken by folders",
         [](ReadOnlyFolders &f) {
             return QDir(f.folder()).mkdir(InstanceLock::lockFileName()) && QDir(f.data()).mkdir(InstanceLock::lockFileName())
                        ? f.folder()
                        : QString();
         },
         kCannotLock, {"a folder of that name is in its place"}},
        {"a school image: the application folder read-only, its data folder not",
         [](ReadOnlyFolders &f) { return f.makeReadOnly(f.folder()) ? f.folder() : QString(); }, {}, {}, "Pollix/Data"},
    };
    for (const Row &row : rows) {
        ReadOnlyFolders folders;
        ASSERT_TRUE(folders.isValid()) << row.what;
        const QString top = QFileInfo(folders.folder()).absolutePath();
        const QString start = row.ready(folders);
        ASSERT_FALSE(start.isEmpty()) << row.what;
        const QStringList before = everythingBelow(top);

        DialogAnswers answers;
        InstanceLock lock(start, start + "/Data");
        const bool started = PollixProgram::claimApplicationFolder(lock);
        EXPECT_EQ(started, row.alert.isEmpty()) << row.what;
        EXPECT_EQ(lock.isHeld(), started) << row.what;
        if (started) {
            EXPECT_TRUE(answers.alerts().isEmpty()) << row.what;
            EXPECT_EQ(lock.lockPath(), QFileInfo(top + "/" + row.lockIn).canonicalFilePath() + "/" + InstanceLock::lockFileName())
                << row.what;
            lock.release();
            EXPECT_EQ(everythingBelow(top), before) << row.what;
            continue;
        }
        ASSERT_EQ(answers.alertTexts(), QStringList{row.alert}) << row.what;
        const QString text = answers.alerts().first().informativeText;
        for (const QString &part : row.said) {
            const QString expected = part.startsWith("a folder") ? part : QDir::toNativeSeparators(top + "/" + part);
            EXPECT_TRUE(text.contains(expected)) << row.what << ": " << expected.toStdString() << " in:\n" << text.toStdString();
        }
        EXPECT_EQ(text.contains("POLLIX_HOME"), row.alert == kCannotSave) << row.what << ": what to do, in:\n" << text.toStdString();
        EXPECT_EQ(everythingBelow(top), before) << row.what << ": nothing made, nothing left";
        if (QFileInfo::exists(folders.data() + "/Quiz"))
            folders.makeWritable(folders.data() + "/Quiz");
    }
}

// A disk that takes no ':' in a name (FAT and exFAT as USB sticks come), where no session could
// be saved: the alert says what the disk refuses in words, not the disk's own error, and the start
// ends before it makes the folder, its lock or anything else there, also where the folder named
// is not there yet.
TEST(StartFolders, ADiskThatRefusesAColonInANameEndsTheStartInATeachersWordsHavingMadeNothing)
{
    FolderHandle::setRefusalsForTesting({.colons = true});
    const auto reset = qScopeGuard([] { FolderHandle::setRefusalsForTesting({}); });
    struct Row
    {
        const char *what;
        QStringList made;   // folders there before the start, below the stick
        const char *start;  // the application folder, below the stick
        const char *tried;  // where the disk is tried, below the stick
        QString todo;
    };
    const QString moveIt = "Move the application folder ";
    const QString nameAnother = "Start Pollix with POLLIX_HOME naming a folder on a disk with a Linux file system";
    const QList<Row> rows{
        {"a folder not there yet", {}, "Pollix", "", nameAnother},
        {"two steps not there yet", {}, "School/Pollix", "", nameAnother},
        {"an empty folder", {"Pollix"}, "Pollix", "/Pollix", moveIt},
        {"a folder with its data folder", {"Pollix/Data"}, "Pollix", "/Pollix/Data", moveIt},
        {"a folder with its sessions' folder", {"Pollix/Data/Quiz"}, "Pollix", "/Pollix/Data", moveIt},
    };
    for (const Row &row : rows) {
        QTemporaryDir stick;
        const QString root = QFileInfo(stick.path()).canonicalFilePath();
        for (const QString &folder : row.made)
            ASSERT_TRUE(QDir(root).mkpath(folder)) << row.what;
        const QStringList before = everythingBelow(root);

        DialogAnswers answers;
        InstanceLock lock(root + "/" + row.start, root + "/" + row.start + "/Data");
        EXPECT_FALSE(PollixProgram::claimApplicationFolder(lock)) << row.what;
        EXPECT_FALSE(lock.isHeld()) << row.what;
        EXPECT_EQ(everythingBelow(root), before) << row.what << ": nothing made, nothing left";
        ASSERT_EQ(answers.alertTexts(), QStringList{"Pollix cannot save sessions in this application folder, and ends."})
            << row.what;
        const QString text = answers.alerts().first().informativeText;
        for (const QString &part : {QDir::toNativeSeparators(root + row.tried) + " lies on ",
                                    QString("refuses a \":\" in a file's name. Every session Pollix saves"), row.todo})
            EXPECT_TRUE(text.contains(part)) << row.what << ": " << part.toStdString() << " in:\n" << text.toStdString();
        EXPECT_FALSE(text.contains("Invalid argument")) << row.what << ": the disk's own error is the log's";
    }
}

// A start killed while it tries whether the nearest folder there is takes new files (the root of a
// USB stick, where the application folder is not made yet) leaves its trial file there: the next
// start finds it by its name, knows it for Pollix's by the note it holds naming that very file,
// and removes it. A file named alike without that note, and a copy of a trial file, stay. Killed
// at each sync and each removal, on a disk that makes files without a name first and on one that
// cannot.
TEST(StartFolders, ATrialFileLeftByAStartKilledAtThatMomentIsRemovedByTheNextStart)
{
    if (const QString child = KilledRuns::childFolder(); !child.isEmpty()) {
        if (QFileInfo::exists(child + "/no-unnamed-files"))
            FolderHandle::setRefusalsForTesting({.hardLinks = true});
        EXPECT_TRUE(StartRecovery::checkFolders(child + "/stick/Pollix"));
        return;
    }
    const QString teachers = "Pollix.tmp-0a0b0c0d", copy = "Pollix.tmp-0f0f0f0f";
    for (const bool unnamedFiles : {true, false}) {
        for (const char *call : {"fsync", "unlinkat"}) {
            const std::string label = std::string(unnamedFiles ? "unnamed files" : "no unnamed files") + ", killed at " + call;
            int leftBehind = 0;
            const auto prepare = [&](const QString &folder) {
                ASSERT_TRUE(QDir(folder).mkpath("stick"));
                if (!unnamedFiles)
                    QFile(folder + "/no-unnamed-files").open(QIODevice::WriteOnly);
                QFile own(folder + "/stick/" + teachers);
                ASSERT_TRUE(own.open(QIODevice::WriteOnly));
                own.write("the teacher's own");
            };
            const auto check = [&](const QString &folder, bool) {
                const QString stick = folder + "/stick";
                QStringList expected{teachers};
                const QStringList left = QDir(stick).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
                if (left != expected) {
                    ++leftBehind;
                    // A copy of what was left, under another trial's name: its note names another file.
                    QString trial;
                    for (const QString &name : left)
                        if (name != teachers)
                            trial = name;
                    EXPECT_TRUE(QFile::copy(stick + "/" + trial, stick + "/" + copy)) << label << ": " << left.join(", ").toStdString();
                    expected << copy;
                }
                // The next start.
                DialogAnswers answers;
                EXPECT_TRUE(StartRecovery::checkFolders(stick + "/Pollix")) << label;
                expected.sort();
                EXPECT_EQ(QDir(stick).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name)
                              .join(", ")
                              .toStdString(),
                          expected.join(", ").toStdString())
                    << label;
            };
            KilledRuns::atEveryCall(call, prepare, check);
            // Named only once it holds its note, where the disk can: a kill before leaves nothing.
            if (unnamedFiles && std::string(call) == "fsync")
                EXPECT_EQ(leftBehind, 0) << label;
            else
                EXPECT_GT(leftBehind, 0) << label << ": no run was killed with the trial file there";
        }
    }
}
