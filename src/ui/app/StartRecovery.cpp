#include "StartRecovery.h"

#include "core/app/zipHelper.h"
#include "core/base/AppDelegateBase.h"
#include "core/store/DataFolderLayout.h"
#include "core/store/DataRecovery.h"
#include "core/store/ToldAtStart.h"
#include "platform/FolderHandle.h"
#include "platform/FolderWork.h"
#include "platform/Log.h"
#include "ui/controls/PollixAlert.h"

#include <QDir>
#include <QObject>
#include <QStringList>

namespace {
// Why the folder sessions are saved in cannot hold their names, with what to do; empty when it
// can. A session's file name holds the ':' of the time it was saved, which FAT and exFAT disks
// (a USB stick as it comes) refuse: every session saved there would fail. Tried in the deepest of
// the folders that is there: the sessions' own, the data folder, the application folder.
QString namesRefused()
{
    const AppDelegateBase *app = AppDelegateBase::getAppDelegate();
    if (!app)
        return QString();
    for (const QString &path : {app->strQuizXmlDataFilePath(), app->strDataFilePath(), app->strPollixFilePath()}) {
        const FolderHandle folder = FolderHandle::open(path, true);
        if (!folder.isOpen())
            continue;
        const QString why = folder.namesRefused();
        if (why.isEmpty())
            return QString();
        const QString system = folder.fileSystemName();
        const QString disk = system.isEmpty() ? QObject::tr("a file system") : QObject::tr("a disk of the file system %1").arg(system);
        return QObject::tr("%1 lies on %2, which takes no \":\" in the name of a file (%3). Every session Pollix saves has "
                           "one in its name, the time it was saved, so no session could be saved there.")
                   .arg(QDir::toNativeSeparators(folder.path()), disk, why) +
               QStringLiteral("\n\n") +
               QObject::tr("Move the application folder %1 to a disk with a Linux file system (ext4, for example), or start "
                           "Pollix with POLLIX_HOME naming a folder on such a disk.")
                   .arg(QDir::toNativeSeparators(app->strPollixFilePath()));
    }
    return QString();
}
} // namespace

namespace StartRecovery {

bool run(QWidget *parent)
{
    // Before anything is done in a folder where nothing could be saved.
    if (const QString why = namesRefused(); !why.isEmpty()) {
        PollixLog(QStringLiteral("Pollix ends: its application folder cannot hold the names of its files. %1").arg(why));
        PollixAlert::show(parent, QStringLiteral("Pollix"), QObject::tr("Pollix cannot save sessions in this application folder, and ends."),
                          {QObject::tr("OK")}, why);
        return false;
    }
    QString why, kept;
    LeftAloneList found;
    const bool finished = DataRecovery::run(&why, &kept, &found);
    QStringList foundLines;
    for (const LeftAlone &thing : std::as_const(found))
        foundLines << thing.text;
    if (!found.isEmpty())
        PollixLog(QStringLiteral("The start left as it is what Pollix did not make: %1").arg(foundLines.join(QLatin1Char('\n'))));
    // Where data set aside were kept goes with whatever else the alert says.
    const auto withKept = [&](QStringList lines) {
        if (!kept.isEmpty())
            lines << PollixAlert::sentences(kept);
        return lines;
    };
    QString dataWhy;
    if (!DataRecovery::dataFolderUsable(DataFolderLayout::dataFolder(), &dataWhy)) {
        // A paragraph for each: the reasons name long paths, which run over several lines. What
        // was left as it is may be why, and is said too.
        QStringList lines{PollixAlert::sentences(dataWhy)};
        if (!finished)
            lines << PollixAlert::sentences(why);
        if (!found.isEmpty())
            lines << PollixAlert::sentences(foundLines.join(QLatin1Char('\n')));
        lines = withKept(lines);
        lines << QObject::tr("Pollix tries again when it starts next.");
        const QString details = lines.join(QStringLiteral("\n\n"));
        PollixLog(QStringLiteral("Pollix ends: its data folder cannot be used. %1").arg(details));
        PollixAlert::show(parent, QStringLiteral("Pollix"), QObject::tr("Pollix cannot open its data folder, and ends."),
                          {QObject::tr("OK")}, details);
        return false;
    }
    // Data a restore replaced whose archive, or removal after it, was cut short become
    // restorable again, and their folder goes as far as the archive holds it; the folder's lock
    // is held until that is done, as after the restore itself.
    if (const QStringList kept = zipHelper::keptFoldersToFinish(); !kept.isEmpty())
        FolderWork::runInBackground([kept] { zipHelper::archiveKeptFolders(kept); });
    // A change of Pollix's own that could not be finished is tried again, and said, at every start.
    if (!finished) {
        PollixLog(QStringLiteral("The start could not finish what the last run left: %1").arg(why));
        PollixAlert::show(parent, QStringLiteral("Pollix"), QObject::tr("A change cut short when Pollix last ended could not be finished."),
                          {QObject::tr("OK")}, withKept({PollixAlert::sentences(why)}).join(QStringLiteral("\n\n")));
    } else if (!kept.isEmpty()) {
        PollixAlert::show(parent, QStringLiteral("Pollix"), QObject::tr("Pollix kept the data a restore replaced in Backups."),
                          {QObject::tr("OK")}, PollixAlert::sentences(kept));
    }
    // What Pollix did not make stays as it is for good: the teacher is told once what it is, and
    // what to do with it. Noted first, so that the alert promises quiet only where the note was
    // kept (a note that is none of Pollix's, or an application folder it may not write, keeps none).
    bool noteRefused = false;
    const LeftAloneList untold = ToldAtStart::untold(found, &noteRefused);
    QString notNoted;
    const bool noted = ToldAtStart::noteTold(found, &notNoted);
    if (!untold.isEmpty()) {
        // A paragraph for each: they name long paths, which run over several lines.
        QStringList lines;
        for (const LeftAlone &thing : untold)
            lines << PollixAlert::sentences(thing.text);
        if (noted) {
            lines << QObject::tr("If any of it holds what you want to keep, move it out of the application folder; "
                                 "if not, you may remove it. Pollix leaves it alone and does not tell of it again.");
        } else {
            lines << QObject::tr("If any of it holds what you want to keep, move it out of the application folder; "
                                 "if not, you may remove it. Pollix leaves it alone.");
            // A note that is none of Pollix's is named among the things found, with why.
            if (!noteRefused)
                lines << PollixAlert::sentences(QObject::tr("Pollix could not note that it told of this (%1), so it tells of it "
                                                            "again at the next start")
                                                    .arg(notNoted));
        }
        PollixAlert::show(parent, QStringLiteral("Pollix"),
                          QObject::tr("Pollix found what it did not make in its application folder, and left it as it is."),
                          {QObject::tr("OK")}, lines.join(QStringLiteral("\n\n")));
    }
    return true;
}

} // namespace StartRecovery
