#include "SourceLength.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <algorithm>

int SourceLength::lineCount(const QByteArray &text)
{
    const int newlines = int(text.count('\n'));
    return text.isEmpty() || text.endsWith('\n') ? newlines : newlines + 1;
}

QStringList SourceLength::filesOver(const QString &root, const QStringList &folders, int maxLines)
{
    const QDir base(root);
    QStringList out;
    for (const QString &folder : folders) {
        QDirIterator it(base.filePath(folder),
                        {QStringLiteral("*.cpp"), QStringLiteral("*.h"), QStringLiteral("*.c"), QStringLiteral("*.hpp")},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile in(path);
            if (!in.open(QIODevice::ReadOnly)) {
                out << QStringLiteral("%1: unreadable").arg(base.relativeFilePath(path));
                continue;
            }
            const int lines = lineCount(in.readAll());
            if (lines > maxLines)
                out << QStringLiteral("%1: %2 lines").arg(base.relativeFilePath(path)).arg(lines);
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}
