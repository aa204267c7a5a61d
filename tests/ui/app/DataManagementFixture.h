#pragma once

#include "core/store/DataManager.h"
#include "core/store/DataRecovery.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "core/store/TovSubjectXmlDatabase.h"
#include "core/store/TovUserListXmlDatabase.h"
#include "platform/FolderSwap.h"
#include "support/DialogAnswers.h"
#include "support/PollixTest.h"
#include "support/RealAlerts.h"
#include "support/RealFilePanels.h"
#include "ui/app/DataManagementCtrl.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

// The page of Backup, Restore, Clear Activity Records and Delete All Records over a data folder
// of one class, one subject, two sessions and a login account.
class DataManagementFixture : public PollixTest
{
protected:
    void SetUp() override
    {
        PollixTest::SetUp();
        auto *classes = TovClassXmlDatabase::sharedClassUI();
        classes->addClassWithName("Class A");
        SubjectEntity science;
        science.setName("Science");
        TovSubjectXmlDatabase::sharedSubjectUI()->addSubjectWithData(science);
        for (const char *name : {"Monday", "Tuesday"}) {
            QuizEntity quiz;
            quiz.setActionType("1");
            quiz.setClassName("Class A");
            quiz.setDate(QStringLiteral("2012-03-23T14:07:09"));
            QString path;
            ASSERT_TRUE(TovQuizXmlDatabase().addQuizWithName(name, quiz, &path));
            m_sessions << path;
        }
        writeFile("Data/UserList.xml", "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<ArrayOfTeacher><Teacher><UserName>ann</UserName>"
                                       "<Password>pw</Password></Teacher></ArrayOfTeacher>");
        TovUserListXmlDatabase::sharedUI()->loadUserList();
    }

    QString data() const { return home() + "Data/"; }
    QString backup() const { return scratch.path() + "/backup.zip"; }
    static int sessionCount() { return int(DataManager::getAllFileNames().value_or(QStringList()).size()); }
    // A restore's staging folder beside the data folder, noted as unfinished work, as a restore
    // ended before its swap leaves it.
    QString restoreLeftUnfinished() const
    {
        const QString staging = FolderSwap::makeSibling(home() + "Data", "restore");
        EXPECT_FALSE(staging.isEmpty());
        DataRecovery::noteStarted(staging);
        return staging;
    }

    // A click on Restore with archive chosen in the real file panel, met by one real alert that
    // refuses it (OK alone), answered with a click: its text.
    static QString restoreRefusedOn(DataManagementCtrl &page, const QString &archive)
    {
        RealFilePanels panels;
        panels.type(archive);
        RealAlerts alerts;
        alerts.click(QStringLiteral("OK"));
        QTest::mouseClick(page.btnRecover, Qt::LeftButton);
        EXPECT_EQ(alerts.seen().size(), 1) << alerts.seen().join("\n").toStdString();
        EXPECT_EQ(alerts.unanswered(), 0) << "the alert bears OK alone, no Restore";
        EXPECT_TRUE(alerts.allTaken());
        return alerts.seen().value(0);
    }

    DialogAnswers answers;
    QTemporaryDir scratch;
    QStringList m_sessions;
};
