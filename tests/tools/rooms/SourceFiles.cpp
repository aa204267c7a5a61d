#include "SourceFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <algorithm>

namespace SourceFiles {

QStringList below(const QString &root, const QString &folder)
{
    const QDir base(root);
    QStringList out;
    QDirIterator it(folder.isEmpty() ? root : base.filePath(folder),
                    {QStringLiteral("*.cpp"), QStringLiteral("*.h"), QStringLiteral("*.c"), QStringLiteral("*.hpp")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        out << base.relativeFilePath(it.next());
    std::sort(out.begin(), out.end());
    return out;
}

std::optional<QByteArray> read(const QString &path)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return std::nullopt;
    return in.readAll();
}

} // namespace SourceFiles
