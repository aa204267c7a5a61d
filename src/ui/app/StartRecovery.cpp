#include "StartRecovery.h"

#include "core/app/zipHelper.h"
#include "core/store/DataFolderLayout.h"
#include "core/store/DataRecovery.h"
#include "platform/FolderWork.h"
#include "platform/Log.h"
#include "ui/controls/PollixAlert.h"

#include <QObject>
#include <QStringList>

namespace StartRecovery {

bool run(QWidget *parent)
{
    QString why, kept;
    const bool finished = DataRecovery::run(&why, &kept);
    // Where data set aside were kept goes with whatever else the alert says.
    const auto withKept = [&](QStringList lines) {
        if (!kept.isEmpty())
            lines << PollixAlert::sentences(kept);
        return lines;
    };
    QString dataWhy;
    if (!DataRecovery::dataFolderUsable(DataFolderLayout::dataFolder(), &dataWhy)) {
        // A paragraph for each: the reasons name long paths, which run over several lines.
        QStringList lines{PollixAlert::sentences(dataWhy)};
        if (!finished)
            lines << PollixAlert::sentences(why);
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
    if (!finished) {
        PollixLog(QStringLiteral("The start could not finish what the last run left: %1").arg(why));
        PollixAlert::show(parent, QStringLiteral("Pollix"), QObject::tr("A change cut short when Pollix last ended could not be finished."),
                          {QObject::tr("OK")}, withKept({PollixAlert::sentences(why)}).join(QStringLiteral("\n\n")));
    } else if (!kept.isEmpty()) {
        PollixAlert::show(parent, QStringLiteral("Pollix"), QObject::tr("Pollix kept the data a restore replaced in Backups."),
                          {QObject::tr("OK")}, PollixAlert::sentences(kept));
    }
    return true;
}

} // namespace StartRecovery
