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
        alerts.click(QStringLiteral("OK")); // the backup's report
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
// full) refuses the backup in the words of the folder the teacher chose, never of the part file
// Pollix writes first, and the alert leads back to the save panel for another folder.
TEST_F(BackupQuestionsTest, AFolderThatTakesNoFileIsNamedAndThePanelComesAgainForAnother)
{
    const QString refusing = scratch.path() + "/system";
    ASSERT_TRUE(QDir().mkpath(refusing));
    // Refused as a folder this account may not write is refused, whoever runs the test.
    BackupWriter::setPartRefusalHook([refusing](const QString &part) {
        return QFileInfo(part).absolutePath() == refusing ? EACCES : 0;
    });
    const auto unhook = qScopeGuard([] { BackupWriter::setPartRefusalHook({}); });
    DataManagementCtrl page;
    page.show();
    const QString again = scratch.path() + "/elsewhere.zip";
    for (const bool chooseAnother : {true, false}) {
        SCOPED_TRACE(chooseAnother ? "another folder chosen" : "cancelled");
        RealAlerts alerts;
        answers.answerFile(refusing + "/bk.zip");
        if (chooseAnother) {
            alerts.click(QStringLiteral("Choose Another Folder"));
            answers.answerFile(again);
            alerts.click(QStringLiteral("OK"));
        } else {
            alerts.leave(Way::Escape);
        }
        const qsizetype panels = answers.fileDialogs().size();
        QTest::mouseClick(page.btnBackup, Qt::LeftButton);
        ASSERT_GE(alerts.seen().size(), 1);
        EXPECT_EQ(alerts.seen().first(), "Unsuccessfully backup. | bk.zip cannot be saved in the folder " +
                                             QDir::toNativeSeparators(refusing) +
                                             ": Permission denied. Choose another folder for the backup.");
        EXPECT_EQ(alerts.seen().size(), chooseAnother ? 2 : 1) << alerts.seen().join("\n").toStdString();
        EXPECT_EQ(answers.fileDialogs().size() - panels, chooseAnother ? 2 : 1) << "the save panel again";
        EXPECT_TRUE(alerts.allTaken());
        EXPECT_EQ(alerts.stuck() + alerts.unanswered(), 0);
        EXPECT_EQ(QFile::remove(again), chooseAnother);
        EXPECT_TRUE(QDir(refusing).isEmpty());
    }
}
