#include "BackupsFolder.h"

#include "GlobalFunctions.h"
#include "platform/FolderHandle.h"
#include "platform/RecordFile.h"
#include "platform/TakenFolders.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <sys/stat.h>

namespace BackupsFolder {

QString path()
{
    return GlobalFunctions::pathInApplicationFolder(QStringLiteral("Backups"));
}

FolderHandle open(bool make, QString *why)
{
    const QString backups = path();
    if (backups.isEmpty()) {
        GlobalFunctions::failWith(why, QStringLiteral("no application folder"));
        return {};
    }
    const QFileInfo info(backups);
    // The application folder itself may lie behind a link; Backups in it may not.
    const FolderHandle application = FolderHandle::open(info.absolutePath(), true, why);
    if (!application.isOpen())
        return {};
    FolderHandle folder = make ? application.makeFolder(info.fileName(), why) : application.openFolder(info.fileName(), why);
    if (!folder.isOpen() && application.kindAt(info.fileName()) == RecordFile::Kind::Link)
        GlobalFunctions::failWith(why, TakenFolders::neverThroughLink(backups));
    return folder;
}

QString refusal()
{
    const QString backups = path();
    return !backups.isEmpty() && RecordFile::kindAt(backups) == RecordFile::Kind::Link ? TakenFolders::neverThroughLink(backups)
                                                                                      : QString();
}

QString beforeRestoreStem(const QDateTime &when)
{
    const QString folder = path();
    if (folder.isEmpty())
        return QString();
    return folder + QStringLiteral("/Before restore ") + when.toString(QStringLiteral("yyyy-MM-dd HH-mm-ss"));
}

QString freeStem(const QString &stem, const QStringList &endings)
{
    const auto taken = [&](const QString &path) {
        return std::any_of(endings.cbegin(), endings.cend(), [&](const QString &ending) {
            const QFileInfo info(path + ending);
            return info.exists() || info.isSymLink();
        });
    };
    QString path = stem;
    for (int n = 2; taken(path); ++n)
        path = QStringLiteral("%1 (%2)").arg(stem).arg(n);
    return path;
}

} // namespace BackupsFolder
