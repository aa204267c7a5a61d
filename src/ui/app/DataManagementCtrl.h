#pragma once

#include "core/app/zipHelper.h"
#include "ui/controls/PollixAlert.h"

#include <QDialog>

#include <functional>
#include <memory>

class QPushButton;
class TovDBUI;

// The data management page ("DataManagement"): backs up every data file into one zip archive,
// restores such an archive, clears the activity records (sessions and points-only sessions) and
// deletes every data file, offering a backup before the last two. After a restore or a delete
// the stores that hold data in memory are loaded again. Run modally after a login; the main
// window asks isDataChanged() afterwards.
class DataManagementCtrl : public QDialog
{
    Q_OBJECT
public:
    // Stores of other parts of the program that must be loaded again after the data changed.
    struct Hooks
    {
        std::function<void()> reloadGradebook;
    };
    static Hooks &hooks();

    explicit DataManagementCtrl(QWidget *parent = nullptr);
    ~DataManagementCtrl() override;

    void doBackup();
    void doRecover();
    void doClearSession();
    void doDelAllRecords();
    void doOK();

    void clearSession();
    void deleteAllReords();
    void reLoadMessage();
    bool isDataChanged() const { return m_isDataChanged; }

    // The archive of data an earlier restore replaced is finished, with a progress window over
    // parent (alone without one) saying so in text, before the data folder is worked on again or
    // let go of: one piece of work at a time.
    static void finishBackgroundWork(QWidget *parent, const QString &text);

    QPushButton *btnBackup = nullptr, *btnRecover = nullptr, *btnClearSession = nullptr,
                *btnDelAllRecords = nullptr, *btnOK = nullptr;

    TovDBUI *dbUI = nullptr;
    // What follows a backup: 0 nothing, 1 the question to clear the activity records, 2 the
    // question to delete all records.
    int backupState = 0;

protected:
    // Closing the page is its Cancel.
    void reject() override;

private:
    int ask(const QString &text, const QStringList &buttons, const QString &informativeText = {},
            PollixAlert::Default byDefault = PollixAlert::Default::First);
    // backupNote: what became of the backup asked for just before, told with the question.
    void confirmClearSession(const QString &backupNote = {});
    void confirmDelAllRecords(const QString &backupNote = {});
    // The question before a clear or a delete: Yes backs up first, then asks followUp's question
    // (backupState); No asks withoutBackup's question at once; Escape and the close box do neither.
    void askBackupFirst(int followUp, void (DataManagementCtrl::*withoutBackup)(const QString &));
    void reloadSessionIndex();
    // What the success of a restore says of the data it replaced (kept: where zipHelper left
    // them).
    static QString keptDataText(const QString &kept);
    // What the question before a restore says becomes of the data it replaces: an archive in
    // Backups only where one can be written, as the report after it says.
    static QString keptDataPromise();
    // What a restore did to the folders an administrator had linked elsewhere: the teacher would
    // otherwise go on taking those data for kept on the other disk. Empty for none.
    static QString unlinkedText(const QList<zipHelper::Unlinked> &unlinked);
    void finishBackgroundWork();
    // A folder kept in Backups, to be archived after the restore.
    static bool isKeptInBackups(const QString &kept);

    bool m_isDataChanged = false;
    std::unique_ptr<zipHelper> zipControl;
};
