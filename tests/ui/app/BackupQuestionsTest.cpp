// What the data page asks and says around a backup, through its real alerts: the question that
// clears or deletes after a backup that saved nothing, and a backup refused by the folder chosen
// for it.

#include "DataManagementFixture.h"

#include "core/app/BackupWriter.h"
#include "ui/controls/PollixAlert.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QScopeGuard>

#include <cerrno>

namespace {
using BackupQuestionsTest = DataManagementFixture;
using Way = RealAlerts::Way;
} // namespace

// After a backup that saved nothing, OK on the question clears or deletes records that no archive
// holds: Return there presses Cancel and removes nothing, and Escape still leaves it as Cancel.
// After a backup that saved, the records are in its archive, and Return still removes nothing.
TEST_F(BackupQuestionsTest, ReturnOnTheQuestionThatClearsOrDeletesRemovesNothing)
{
    const QString failing = scratch.path() + "/missing folder/backup.zip";
    const struct
    {
        const char *name;
        bool clear;
        QString file;
        Way way;
    } cases[] = {{"Return after a backup that failed, before a clear", true, failing, Way::Return},
                 {"Return after a backup that failed, before a delete", false, failing, Way::Return},
                 {"Escape after a backup that failed, before a delete", false, failing, Way::Escape},
                 {"Return after a backup that saved, before a delete", false, backup(), Way::Return}};
    DataManagementCtrl page;
    page.show();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        RealAlerts alerts;
        alerts.click(QStringLiteral("Yes")); // back up first
        answers.answerFile(c.file);
        // The backup's report; a folder that is not there offers another, which is not taken.
        alerts.click(c.file == failing ? QStringLiteral("Cancel") : QStringLiteral("OK"));
        alerts.leave(c.way);
        QTest::mouseClick(c.clear ? page.btnClearSession : page.btnDelAllRecords, Qt::LeftButton);
        ASSERT_EQ(alerts.seen().size(), 3) << alerts.seen().join("\n").toStdString();
        EXPECT_TRUE(alerts.seen().last().startsWith(c.clear ? "Are you sure to purge all activity records?" : "Delete all records?"));
        EXPECT_TRUE(alerts.allTaken());
        EXPECT_EQ(alerts.stuck() + alerts.unanswered(), 0);
        EXPECT_EQ(sessionCount(), 2);
        EXPECT_EQ(TovClassXmlDatabase::sharedClassUI()->classCount(), 1);
        EXPECT_FALSE(page.isDataChanged());
        QFile::remove(backup());
    }
}

// A folder that takes no new file (this account may not write there, its disk is read-only or
// full), or that is no longer there (removed or renamed after the panel closed), refuses the
// backup in the words of the folder the teacher chose, never of the part file Pollix writes first
// nor as the system's bare error, and the alert leads back to the save panel for another folder,
// its name box holding the name the teacher typed.
TEST_F(BackupQuestionsTest, AFolderThatTakesNoFileIsNamedAndThePanelComesAgainForAnother)
{
    const QString refusing = scratch.path() + "/system";
    ASSERT_TRUE(QDir().mkpath(refusing));
    const QString gone = scratch.path() + "/stick";
    // Refused as a folder this account may not write is refused, whoever runs the test.
    BackupWriter::setPartRefusalHook([refusing](const QString &part) {
        return QFileInfo(part).absolutePath() == refusing ? EACCES : 0;
    });
    const auto unhook = qScopeGuard([] { BackupWriter::setPartRefusalHook({}); });
    const struct
    {
        const char *name;
        QString folder;
        QString reason;
        bool chooseAnother;
    } cases[] = {
        {"a folder that may not be written, another chosen", refusing, "Permission denied", true},
        {"a folder that may not be written, cancelled", refusing, "Permission denied", false},
        {"a folder removed after the panel, another chosen", gone,
         "the folder is no longer there (it was removed or renamed after it was chosen)", true},
        {"a folder removed after the panel, cancelled", gone,
         "the folder is no longer there (it was removed or renamed after it was chosen)", false},
    };
    DataManagementCtrl page;
    page.show();
    const QString again = scratch.path() + "/elsewhere/bk.zip";
    ASSERT_TRUE(QDir().mkpath(QFileInfo(again).absolutePath()));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(QDir().mkpath(c.folder));
        RealAlerts alerts;
        if (c.chooseAnother) {
            alerts.click(QStringLiteral("Choose Another Folder"));
            alerts.click(QStringLiteral("OK"));
        } else {
            alerts.leave(Way::Escape);
        }
        QList<FileDialogRequest> panels;
        const auto answered = qScopeGuard([] { DialogHooks::setFileResponder({}); });
        // The first panel answered with the folder, the next one with another. The folder removed
        // goes once its panel is answered, as a stick pulled out then.
        DialogHooks::setFileResponder([&](const FileDialogRequest &request) {
            panels << request;
            if (panels.size() > 1)
                return again;
            if (c.folder == gone) {
                EXPECT_TRUE(QDir(gone).removeRecursively());
            }
            return c.folder + "/bk.zip";
        });
        QTest::mouseClick(page.btnBackup, Qt::LeftButton);
        ASSERT_GE(alerts.seen().size(), 1);
        EXPECT_EQ(alerts.seen().first().toStdString(),
                  ("Unsuccessfully backup. | bk.zip cannot be saved in the folder " + QDir::toNativeSeparators(c.folder) +
                   ": " + c.reason + ". Choose another folder for the backup.")
                      .toStdString());
        EXPECT_EQ(alerts.seen().size(), c.chooseAnother ? 2 : 1) << alerts.seen().join("\n").toStdString();
        ASSERT_EQ(panels.size(), c.chooseAnother ? 2 : 1) << "the save panel again";
        EXPECT_EQ(panels.last().proposedName.toStdString(), c.chooseAnother ? "bk.zip" : "") << "the name typed stays";
        EXPECT_TRUE(alerts.allTaken());
        EXPECT_EQ(alerts.stuck() + alerts.unanswered(), 0);
        EXPECT_EQ(QFile::remove(again), c.chooseAnother);
        EXPECT_TRUE(!QFileInfo::exists(c.folder) || QDir(c.folder).isEmpty());
    }
}
