#include "SoundFile.h"

#include "platform/RegularFile.h"
#include "platform/SoundPlayer.h"

#include <QFile>

namespace SoundFile {

QString whyNotASound(const QString &path)
{
    if (path.trimmed().isEmpty())
        return QStringLiteral("no file is chosen");
    QFile file;
    QString why;
    if (!RegularFile::open(file, path, &why))
        return why;
    if (SoundPlayer::kindOf(file.read(12)) == SoundPlayer::Kind::None)
        return QStringLiteral("it is not a WAV or MP3 sound");
    return {};
}

QString whyNotPlayable(const QString &path)
{
    if (QString why = whyNotASound(path); !why.isEmpty())
        return why;
    if (const QString why = SoundPlayer::whyNotPlayable(path); !why.isEmpty())
        return QStringLiteral("it cannot be played (%1)").arg(why);
    return {};
}

} // namespace SoundFile
