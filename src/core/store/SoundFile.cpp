#include "SoundFile.h"

#include "platform/RegularFile.h"

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
    const QByteArray head = file.read(12);
    const bool wav = head.size() == 12 && head.startsWith("RIFF") && head.mid(8, 4) == "WAVE";
    // An MP3 starts with its ID3 tag or straight with a frame's sync bits.
    const bool mp3 = head.startsWith("ID3")
                     || (head.size() >= 2 && uchar(head.at(0)) == 0xFF && (uchar(head.at(1)) & 0xE0) == 0xE0);
    if (!wav && !mp3)
        return QStringLiteral("it is not a WAV or MP3 sound");
    return {};
}

} // namespace SoundFile
