#include "BackupsFolder.h"

#include "GlobalFunctions.h"

#include <QFileInfo>

#include <algorithm>

namespace BackupsFolder {

QString path()
{
    return GlobalFunctions::pathInApplicationFolder(QStringLiteral("Backups"));
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
