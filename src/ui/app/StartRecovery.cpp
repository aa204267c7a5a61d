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

#include <algorithm>
#include <vector>

namespace {
QString shown(const QString &path)
{
    return QDir::toNativeSeparators(QDir::cleanPath(path));
}

// A folder the teacher's work is saved in, or, where it is not there yet, the nearest folder
// above it that is, which the start would make it in: what is tried in its place.
struct Place
{
    QString folder;
    QString missing;    // the steps of folder not there yet
    FolderHandle there; // not open: openWhy says why
    QString openWhy;
};

// One place for each folder the saved folders lie in or would be made in.
std::vector<Place> placesOf(const QString &applicationFolder)
{
    std::vector<Place> places;
    for (const QString &folder : AppDelegateBase::savedFolders(applicationFolder)) {
        Place place{folder, {}, {}, {}};
        place.there = FolderHandle::openNearest(folder, &place.missing, &place.openWhy);
        // A folder on the way that cannot be opened (another account's) stands in the way of
        // every one below it: said once.
        const bool open = place.there.isOpen();
        if (std::none_of(places.begin(), places.end(), [&](const Place &p) { return p.there.path() == place.there.path(); }))
            places.push_back(std::move(place));
        if (!open)
            break;
    }
    return places;
}

// Each place that takes no new file, with why: a line each, none when all can be written. Tried,
// not asked of the permissions.
QStringList unwritable(const std::vector<Place> &places)
{
    QStringList lines;
    for (const Place &place : places) {
        if (!place.there.isOpen()) {
            lines << place.openWhy;
            continue;
        }
        const QString why = place.there.newFilesRefused();
        if (why.isEmpty())
            continue;
        lines << (place.missing.isEmpty() ? QObject::tr("%1 cannot be written (%2)").arg(shown(place.folder), why)
                                          : QObject::tr("%1 cannot be made, as %2 cannot be written (%3)")
                                                .arg(shown(place.there.pathOf(place.missing.section(QLatin1Char('/'), 0, 0))),
                                                     shown(place.there.path()), why));
    }
    return lines;
}

// Why a place sessions are saved in cannot hold their names, with what to do; empty when each
// can. A session's file name holds the ':' of the time it was saved, which FAT and exFAT disks
// (a USB stick as it comes) refuse: every session saved there would fail.
QString namesRefused(const QString &applicationFolder, const std::vector<Place> &places)
{
    for (const Place &place : places) {
        const QString why = place.there.namesRefused();
        if (why.isEmpty())
            continue;
        const QString at = shown(place.there.path());
        const QString disk = place.there.describeDisk();
        PollixLog(QStringLiteral("%1 takes no \":\" in a file's name (%2); its disk: %3")
                      .arg(at, why, disk.isEmpty() ? QStringLiteral("of no kind known by name") : disk));
        // The disk's own error says nothing to a teacher (exFAT through FUSE answers "No such
        // file or directory"): what it refuses does.
        const QString lies = disk.isEmpty() ? QObject::tr("%1 lies on a disk that refuses a \":\" in a file's name.").arg(at)
                                            : QObject::tr("%1 lies on %2, which refuses a \":\" in a file's name.").arg(at, disk);
        QString missing;
        FolderHandle::openNearest(applicationFolder, &missing);
        const QString todo =
            missing.isEmpty()
                ? QObject::tr("Move the application folder %1 to a disk with a Linux file system (ext4, for example), or "
                              "start Pollix with POLLIX_HOME naming a folder on such a disk.")
                      .arg(shown(applicationFolder))
                : QObject::tr("Start Pollix with POLLIX_HOME naming a folder on a disk with a Linux file system (ext4, for "
                              "example). Pollix made nothing on this disk.");
        return lies + QLatin1Char(' ') +
               QObject::tr("Every session Pollix saves has one in its name, the time it was saved, so no session could be "
                           "saved there.") +
               QStringLiteral("\n\n") + todo;
    }
    return QString();
}
} // namespace

namespace StartRecovery {

QStringList unwritableFolders(const QString &applicationFolder)
{
    return unwritable(placesOf(applicationFolder));
}

bool checkFolders(const QString &applicationFolder, QWidget *parent)
{
    const std::vector<Place> places = placesOf(applicationFolder);
    // The nearest folder there is above one not made yet (the root of a USB stick) is none of
    // Pollix's, and no tidying of a start goes there: what a trial of an earlier start cut short
    // left there goes first. In Pollix's own folders the start's recovery removes it.
    for (const Place &place : places)
        if (!place.missing.isEmpty() && place.there.isOpen())
            place.there.removeTrialsLeft();
    if (const QStringList lines = unwritable(places); !lines.isEmpty()) {
        tellUnwritable(applicationFolder, lines.join(QLatin1Char('\n')), parent);
        return false;
    }
    if (const QString why = namesRefused(applicationFolder, places); !why.isEmpty()) {
        PollixLog(QStringLiteral("Pollix ends: its application folder cannot hold the names of its files. %1").arg(why));
        PollixAlert::show(parent, QStringLiteral("Pollix"), QObject::tr("Pollix cannot save sessions in this application folder, and ends."),
                          {QObject::tr("OK")}, why);
        return false;
    }
    return true;
}

void tellUnwritable(const QString &applicationFolder, const QString &reasons, QWidget *parent)
{
    const QString details =
        PollixAlert::sentences(reasons) + QStringLiteral("\n\n") +
        QObject::tr("Every class, student roster and session Pollix saves goes there, so nothing could be saved.") +
        QStringLiteral("\n\n") +
        QObject::tr("Start Pollix with POLLIX_HOME naming a folder this account can write (one in your home folder, for "
                    "example), or have this account allowed to write there. Pollix changed nothing in %1.")
            .arg(shown(applicationFolder));
    PollixLog(QStringLiteral("Pollix ends: nothing can be saved in its application folder. %1").arg(details));
    PollixAlert::show(parent, QStringLiteral("Pollix"), QObject::tr("Pollix cannot save anything in this application folder, and ends."),
                      {QObject::tr("OK")}, details);
}

bool run(QWidget *parent)
{
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
