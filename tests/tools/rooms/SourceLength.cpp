#include "SourceLength.h"
#include "SourceFiles.h"

#include <QDir>

#include <algorithm>

int SourceLength::lineCount(const QByteArray &text)
{
    const int newlines = int(text.count('\n'));
    return text.isEmpty() || text.endsWith('\n') ? newlines : newlines + 1;
}

QStringList SourceLength::filesOver(const QString &root, const QStringList &folders, int maxLines)
{
    QStringList out;
    for (const QString &folder : folders) {
        for (const QString &file : SourceFiles::below(root, folder)) {
            const std::optional<QByteArray> text = SourceFiles::read(QDir(root).filePath(file));
            if (!text)
                out << QStringLiteral("%1: unreadable").arg(file);
            else if (const int lines = lineCount(*text); lines > maxLines)
                out << QStringLiteral("%1: %2 lines").arg(file).arg(lines);
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}
