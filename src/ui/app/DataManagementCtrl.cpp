#include "DataManagementCtrl.h"

#include "core/app/TovDBUI.h"
#include "core/app/zipHelper.h"
#include "core/store/DataFolderLayout.h"
#include "core/store/DataRecovery.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovFastQuizXmlDatabase.h"
#include "core/store/TovSubjectXmlDatabase.h"
#include "core/store/TovTeacherXmlDatabase.h"
#include "core/store/TovUserListXmlDatabase.h"
#include "platform/FolderWork.h"
#include "ui/controls/FileDialogs.h"
#include "ui/controls/PollixAlert.h"
#include "ui/controls/ProgressControl.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kTitle = QStringLiteral("Pollix ARS");
const QString kOK = QStringLiteral("OK");
const QString kCancel = QStringLiteral("Cancel");
} // namespace

DataManagementCtrl::Hooks &DataManagementCtrl::hooks()
{
    static Hooks h;
    return h;
}

DataManagementCtrl::DataManagementCtrl(QWidget *parent)
    : QDialog(parent), dbUI(TovDBUI::sharedDBUI()), zipControl(std::make_unique<zipHelper>())
{
    setObjectName(QStringLiteral("DataManagement"));
    setWindowTitle(tr("Data Management"));

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(12);
    const auto row = [&](int r, const char *name, const QString &text, const QString &explanation) {
        auto *button = new QPushButton(text, this);
        button->setObjectName(QString::fromLatin1(name));
        button->setMinimumWidth(190);
        auto *label = new QLabel(explanation, this);
        label->setWordWrap(true);
        label->setMinimumWidth(320);
        grid->addWidget(button, r, 0, Qt::AlignTop);
        grid->addWidget(label, r, 1, Qt::AlignVCenter);
        return button;
    };
    btnBackup = row(0, "btnBackup", tr("Backup..."),
                    tr("Save every class, roster, session and gradebook file in one zip archive."));
    btnRecover = row(1, "btnRecover", tr("Restore..."),
                     tr("Replace the data by those of a backup archive, saving the data replaced in Backups first. "
                        "A damaged or wrong archive changes nothing."));
    btnClearSession = row(2, "btnClearSession", tr("Clear Activity Records"),
                          tr("Delete every saved session; classes, rosters and the gradebook stay."));
    btnDelAllRecords = row(3, "btnDelAllRecords", tr("Delete All Records"),
                           tr("Delete every data file: classes, rosters, sessions, gradebook and login."));
    grid->setColumnStretch(1, 1);

    btnOK = new QPushButton(kOK, this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 16);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    connect(btnBackup, &QPushButton::clicked, this, &DataManagementCtrl::doBackup);
    connect(btnRecover, &QPushButton::clicked, this, &DataManagementCtrl::doRecover);
    connect(btnClearSession, &QPushButton::clicked, this, &DataManagementCtrl::doClearSession);
    connect(btnDelAllRecords, &QPushButton::clicked, this, &DataManagementCtrl::doDelAllRecords);
    connect(btnOK, &QPushButton::clicked, this, &DataManagementCtrl::doOK);
}

DataManagementCtrl::~DataManagementCtrl() = default;

int DataManagementCtrl::ask(const QString &text, const QStringList &buttons, const QString &informativeText,
                            PollixAlert::Default byDefault)
{
    return PollixAlert::show(this, kTitle, text, buttons, informativeText, byDefault) - PollixAlert::AlertFirstButtonReturn;
}

void DataManagementCtrl::finishBackgroundWork(QWidget *parent, const QString &text)
{
    if (!FolderWork::running())
        return;
    ProgressControl::runWithProgress(
        parent,
        [](const ProgressControl::Progress &) {
            FolderWork::waitUntilIdle();
            return true;
        },
        text);
}

void DataManagementCtrl::finishBackgroundWork()
{
    finishBackgroundWork(this, tr("Pollix is finishing the archive of replaced data in %1; this goes on when it is done.")
                                   .arg(QDir::toNativeSeparators(zipHelper::backupsFolder())));
}

void DataManagementCtrl::doBackup()
{
    finishBackgroundWork();
    // With no data file there is nothing to save (Restore would refuse an archive of none), and
    // no place for it is asked for.
    const QString nothing = zipHelper::nothingToBackUp();
    if (!nothing.isEmpty())
        ask(QStringLiteral("Unsuccessfully backup."), {kOK}, PollixAlert::sentences(nothing));
    // proposedName: the name typed in the panel before, which another folder keeps.
    const auto choosePlace = [this](const QString &proposedName = {}) {
        return FileDialogs::getSaveFileName(this, tr("Backup"), FileDialogs::Kind::Backups,
                                            tr("Zip archives (*.zip);;All files (*)"), {}, proposedName);
    };
    QString path = nothing.isEmpty() ? choosePlace() : QString();
    bool saved = false;
    while (!path.isEmpty()) {
        QString why;
        bool otherFolder = false;
        saved = ProgressControl::runWithProgress(this, [&](const ProgressControl::Progress &progress) {
            return zipControl->backupFilTo(path, &why, progress, &otherFolder);
        });
        if (saved) {
            ask(QStringLiteral("Successfully backup."), {kOK}, PollixAlert::savedTo(path));
            break;
        }
        if (!otherFolder) {
            ask(QStringLiteral("Unsuccessfully backup."), {kOK}, PollixAlert::sentences(why));
            break;
        }
        // A folder that takes no file leads on: the save panel again, for another folder.
        if (ask(QStringLiteral("Unsuccessfully backup."), {tr("Choose Another Folder"), kCancel}, PollixAlert::sentences(why)) != 0)
            break;
        path = choosePlace(QFileInfo(path).fileName());
    }
    // Saved or not, the question that asked for the backup comes now, and only once; where no
    // backup was saved it says so, as OK there removes records no archive holds.
    const QString note = saved ? QString() : tr("No backup was saved: what OK removes cannot be restored.");
    const int follow = backupState;
    backupState = 0;
    if (follow == 1)
        confirmClearSession(note);
    else if (follow == 2)
        confirmDelAllRecords(note);
}

void DataManagementCtrl::doRecover()
{
    const QString path = FileDialogs::getOpenFileName(this, tr("Restore"), FileDialogs::Kind::Backups);
    if (path.isEmpty())
        return;
    // No restore is offered that would be refused whatever the archive: the teacher is told why
    // and what to do instead.
    if (const QString refused = zipHelper::restoreRefused(); !refused.isEmpty()) {
        ask(tr("The data of the backup \"%1\" cannot replace the data of this application folder now.")
                .arg(QFileInfo(path).fileName()),
            {kOK}, PollixAlert::sentences(refused));
        return;
    }
    // Nothing is replaced before the teacher agrees, and what is replaced can be taken back.
    if (ask(tr("The data of the backup \"%1\" replace all data of this application folder.").arg(QFileInfo(path).fileName()),
            {QStringLiteral("Restore"), kCancel}, keptDataPromise(), PollixAlert::Default::LeavesAsIs) != 0)
        return;
    finishBackgroundWork();
    QString why, kept, keptText;
    QList<zipHelper::Unlinked> unlinked;
    const bool ok = ProgressControl::runWithProgress(this, [&](const ProgressControl::Progress &progress) {
        // One piece of work from the restore to the archive of the data it replaced: an ending
        // meanwhile keeps the folder until both are done.
        FolderWork::Running work;
        const bool restored = zipControl->recoverFileFrom(path, &why, progress, &kept, &unlinked);
        // Said of the folder as the restore left it: the archive written next may already have
        // taken its place by the time the report is shown.
        keptText = restored ? keptDataText(kept) : QString();
        if (restored && isKeptInBackups(kept))
            FolderWork::runInBackground([kept] { zipHelper::archiveKeptFolders({kept}); });
        return restored;
    });
    reLoadMessage();
    // Also after a failure, so that the main window drops what it holds of the data.
    m_isDataChanged = true;
    if (!ok) {
        ask(QStringLiteral("Unsuccessfully recovered."), {kOK}, PollixAlert::sentences(why) + tr("\n\nThe data were not changed."));
        return;
    }
    const QString linksText = unlinkedText(unlinked);
    ask(QStringLiteral("Successfully recover."), {kOK},
        keptText.isEmpty() || linksText.isEmpty() ? keptText + linksText : keptText + QStringLiteral("\n\n") + linksText);
}

QString DataManagementCtrl::keptDataPromise()
{
    const QString backups = QDir::toNativeSeparators(zipHelper::backupsFolder());
    // The report after the restore goes by the same listing: what a backup would refuse now (a
    // pipe another program put under a data file's name) keeps the replaced data a folder.
    if (const QString refusal = DataFolderLayout::backupRefusal(DataFolderLayout::dataFolder()); !refusal.isEmpty())
        return PollixAlert::sentences(tr("Every class, student, session and grade now kept here is replaced. They are "
                                         "kept in a folder in %1, where they stay as they are: Pollix cannot save them "
                                         "as an archive. %2")
                                          .arg(backups, refusal));
    return tr("Every class, student, session and grade now kept here is replaced. They are kept in %1 and saved "
              "there as a backup archive, which Restore can bring back.")
        .arg(backups);
}

QString DataManagementCtrl::unlinkedText(const QList<zipHelper::Unlinked> &unlinked)
{
    const auto native = [](const QString &path) { return QDir::toNativeSeparators(path); };
    if (unlinked.isEmpty())
        return QString();
    if (unlinked.size() == 1)
        return tr("%1 was a link to %2 until now: the restore made it a plain folder of the data folder, which holds "
                  "the restored data. %2 still holds the data the restore replaced. To keep the data on the other disk "
                  "again, move the folder there and link it again while Pollix is not running.")
            .arg(native(unlinked.first().path), native(unlinked.first().target));
    QStringList named;
    for (const zipHelper::Unlinked &link : unlinked)
        named << tr("%1 (a link to %2)").arg(native(link.path), native(link.target));
    const QString list = tr("%1 and %2").arg(named.mid(0, named.size() - 1).join(QStringLiteral(", ")), named.last());
    return tr("%1, links to other folders until now, are plain folders of the data folder now, which hold the restored "
              "data. The folders they led to still hold the data the restore replaced. To keep the data on the other "
              "disk again, move the folders there and link them again while Pollix is not running.")
        .arg(list);
}

bool DataManagementCtrl::isKeptInBackups(const QString &kept)
{
    const QString backups = zipHelper::backupsFolder();
    return !kept.isEmpty() && QFileInfo(kept).isDir() && QFileInfo(kept).absolutePath() == backups;
}

QString DataManagementCtrl::keptDataText(const QString &kept)
{
    if (kept.isEmpty())
        return QString();
    const QFileInfo info(kept);
    if (!info.isDir())
        return tr("The data it replaced were saved first to %1; restore that archive to take this restore back.")
            .arg(QDir::toNativeSeparators(kept));
    if (!isKeptInBackups(kept)) {
        // Not moved into Backups: they say themselves where they go at the next start.
        QString destination = DataRecovery::keptPlace(kept);
        if (destination.isEmpty())
            destination = zipHelper::backupsFolder();
        return tr("The data it replaced are kept in %1, beside the data folder: they could not be moved to %2 now. "
                  "Pollix moves them there when it starts next.")
            .arg(QDir::toNativeSeparators(kept), QDir::toNativeSeparators(destination));
    }
    // No archive is promised that a backup would refuse (a pipe another program put under a data
    // file's name): the folder is what there is.
    if (const QString refusal = DataFolderLayout::backupRefusal(kept); !refusal.isEmpty())
        return PollixAlert::sentences(tr("The data it replaced are kept in the folder %1, where they stay as they are: Pollix "
                                         "cannot save them as an archive. %2")
                                          .arg(QDir::toNativeSeparators(kept), refusal));
    // Kept by a rename, at no cost to the restore's time; their archive is being written.
    return tr("The data it replaced are kept in %1. Pollix now saves them there as the archive \"%2\", which Restore "
              "can bring back; once the archive is complete, what it holds goes from the folder (the folder stays as it "
              "is if a file among them cannot be read, and a file of its own that no archive holds stays in it).")
        .arg(QDir::toNativeSeparators(kept), QFileInfo(kept).fileName() + QStringLiteral(".zip"));
}

void DataManagementCtrl::doClearSession() { askBackupFirst(1, &DataManagementCtrl::confirmClearSession); }

void DataManagementCtrl::doDelAllRecords() { askBackupFirst(2, &DataManagementCtrl::confirmDelAllRecords); }

void DataManagementCtrl::askBackupFirst(int followUp, void (DataManagementCtrl::*withoutBackup)(const QString &))
{
    // Escape and the close box leave the clearing untouched: "No" would lead on to it.
    switch (PollixAlert::askWithWayBack(this, kTitle, QStringLiteral("Backup before clearing all activity records?"),
                                        {QStringLiteral("Yes"), QStringLiteral("No")})) {
    case 0:
        backupState = followUp;
        doBackup();
        break;
    case 1:
        (this->*withoutBackup)(QString());
        break;
    default:
        break;
    }
}

void DataManagementCtrl::confirmClearSession(const QString &backupNote)
{
    if (ask(QStringLiteral("Are you sure to purge all activity records?"), {kOK, kCancel}, backupNote,
            PollixAlert::Default::LeavesAsIs) == 0)
        clearSession();
}

void DataManagementCtrl::confirmDelAllRecords(const QString &backupNote)
{
    if (ask(QStringLiteral("Delete all records?"), {kOK, kCancel}, backupNote, PollixAlert::Default::LeavesAsIs) == 0)
        deleteAllReords();
}

void DataManagementCtrl::clearSession()
{
    finishBackgroundWork();
    QString why;
    const bool ok = zipControl->clearSession(&why);
    m_isDataChanged = true;
    // The session list must not offer files that are gone.
    reloadSessionIndex();
    if (ok)
        ask(QStringLiteral("The activity records  were successfully cleared."), {kOK});
    else
        ask(tr("Not every activity record could be cleared."), {kOK}, PollixAlert::sentences(why));
}

void DataManagementCtrl::deleteAllReords()
{
    finishBackgroundWork();
    QString why;
    const bool ok = zipControl->DelAllRecords(&why);
    reLoadMessage();
    m_isDataChanged = true;
    if (ok)
        ask(QStringLiteral("All records  were successfully cleared."), {kOK});
    else
        ask(tr("Not every record could be deleted."), {kOK}, PollixAlert::sentences(why));
}

void DataManagementCtrl::reLoadMessage()
{
    TovClassXmlDatabase::sharedClassUI()->loadClasses();
    TovSubjectXmlDatabase::sharedSubjectUI()->loadSubjects();
    TovTeacherXmlDatabase::sharedUI()->loadTeachers();
    if (hooks().reloadGradebook)
        hooks().reloadGradebook();
    // A restored account list replaces the one in memory (a restore always leaves one); after a
    // delete the accounts in memory stay in use until the next start.
    if (QFileInfo::exists(GlobalFunctions::pathInDataFolder(DataFolderLayout::loginFile())))
        TovUserListXmlDatabase::sharedUI()->loadUserList();
    reloadSessionIndex();
}

void DataManagementCtrl::reloadSessionIndex()
{
    ProgressControl progress(this);
    bool shown = false;
    TovFastQuizXmlDatabase::sharedFastQuiz()->reloadQuiz([&](int done, int total) {
        if (!shown && total > 1) {
            progress.setMaxValue(total);
            progress.show();
            shown = true;
        }
        if (shown)
            progress.showProgress(done);
    });
}

void DataManagementCtrl::doOK()
{
    close();
    done(1);
}

void DataManagementCtrl::reject()
{
    done(0);
}
